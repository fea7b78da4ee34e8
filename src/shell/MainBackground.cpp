#include "shell/MainBackground.h"

namespace {
bool Usable(const platform::Bitmap32* b) { return b && !b->Empty(); }
}  // namespace

void ComposeBackground(platform::Bitmap32& buffer, const BackgroundPictures& p) {
    const int W = buffer.Width();
    const int H = buffer.Height();
    buffer.BeginUpdate();

    if (Usable(p.tile)) {
        const int tw = p.tile->Width(), th = p.tile->Height();
        for (int y = 0; y <= H; y += th)
            for (int x = 0; x <= W; x += tw) p.tile->DrawTo(buffer, x, y);
    }

    int L = 0;
    if (Usable(p.titleLeft)) {
        p.titleLeft->DrawTo(buffer, 0, 0);
        L = p.titleLeft->Width();
    }
    int R = W;
    if (Usable(p.titleRight)) {
        R = W - p.titleRight->Width();
        p.titleRight->DrawTo(buffer, R, 0);
    }
    if (Usable(p.titleMiddle))
        for (int x = L; x <= R - 1; ++x) p.titleMiddle->DrawTo(buffer, x, 0);

    if (Usable(p.logo)) p.logo->DrawTo(buffer, L - 5, 15);
    if (Usable(p.title)) p.title->DrawTo(buffer, (W - p.title->Width()) / 2, 20);
    if (Usable(p.panels)) p.panels->DrawTo(buffer, -3, 95);

    buffer.EndUpdate();
}
