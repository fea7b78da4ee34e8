// An owner-drawn push button (class Button, BS_OWNERDRAW; caption = window
// text) in the flat look of the program's windows: a frame colour, a face
// colour, hot tracking (a coloured inner frame while the pointer is over it),
// an optional glyph with a normal and a disabled picture at the left of the
// caption with a gap of 3 pixels, the focus rectangle, and a highlighted
// inner frame while it is the form's default button (Enter presses it).
//
// Usage:
//   auto& b = Add<platform::GlyphButton>(strip.Handle(), L"BtnStartNext", L"Далее",
//                                        platform::Bounds{510, 2, 98, 38});
//   b.SetGlyph(&glyphs, 0, 1);                       // normal, disabled
//   b.OnClick = Bind(&TFMain::BtnStartNextClick);
//   // a plain button with the same face and other colours, no glyph:
//   sel.SetColors(platform::GlyphButton::kFrame, platform::GlyphButton::kFace);
//   sel.SetHighlightColor(RGB(106, 141, 244)); sel.SetHotTrack(true, RGB(255, 199, 60));
#pragma once

#include "platform/Controls.h"
#include "platform/Glyphs.h"

namespace platform {

class GlyphButton : public Control {
public:
    static constexpr COLORREF kFrame = RGB(0, 60, 116);
    static constexpr COLORREF kFace = RGB(244, 244, 240);
    static constexpr COLORREF kHotTrack = RGB(255, 199, 60);
    static constexpr COLORREF kHighlight = RGB(106, 141, 244);

    GlyphButton(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption,
                const Bounds& b);

    void SetGlyph(const GlyphList* list, int normalIndex, int disabledIndex);
    bool HasGlyph() const noexcept { return glyphs_ && normal_ >= 0; }
    void SetColors(COLORREF frame, COLORREF face);
    COLORREF FrameColor() const noexcept { return frameColor_; }
    COLORREF FaceColor() const noexcept { return faceColor_; }
    void SetHotTrack(bool on, COLORREF color = kHotTrack);
    bool HotTrack() const noexcept { return hotTrack_; }
    COLORREF HotTrackColor() const noexcept { return hotColor_; }
    void SetHighlightColor(COLORREF color) { highlight_ = color; Repaint(); }
    COLORREF HighlightColor() const noexcept { return highlight_; }
    void SetSpacing(int pixels) { spacing_ = pixels; Repaint(); }
    int Spacing() const noexcept { return spacing_; }
    // Whether the pointer is over the button now.
    bool IsHot() const noexcept { return Hot(); }

    void Command(WORD code) override;
    bool DrawItem(const DRAWITEMSTRUCT& dis) override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void HotChanged() override;

private:
    const GlyphList* glyphs_ = nullptr;
    int normal_ = -1, disabled_ = -1;
    COLORREF frameColor_ = kFrame, faceColor_ = kFace, hotColor_ = kHotTrack, highlight_ = kHighlight;
    bool hotTrack_ = true;
    int spacing_ = 3;
};

}  // namespace platform
