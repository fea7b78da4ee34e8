// The main window's painted background: the tiled texture, the title bar with
// its logo and title picture, and the picture of the two framed panels, composed
// into the paint box's back buffer; and where the two panels' controls go.
#pragma once

#include <windows.h>

#include "platform/Bitmap32.h"

struct BackgroundPictures {
    const platform::Bitmap32* tile = nullptr;        // BACKGROUND
    const platform::Bitmap32* panels = nullptr;      // MAIN
    const platform::Bitmap32* logo = nullptr;        // LOGO
    const platform::Bitmap32* titleLeft = nullptr;   // TITLE_PNL_L
    const platform::Bitmap32* titleRight = nullptr;  // TITLE_PNL_R
    const platform::Bitmap32* titleMiddle = nullptr; // TITLE_PNL_M
    const platform::Bitmap32* title = nullptr;       // TITLE2
};

// Bounds of a control: left, top, width, height.
struct ControlBounds {
    int left, top, width, height;
};

// Where the information panel and the page control sit inside the panel picture.
constexpr ControlBounds kRichEditBounds{16, 110, 282, 441};
constexpr ControlBounds kPagesBounds{320, 110, 619, 441};

// Composes the background into buffer, whose size (W x H) is the paint box's,
// from back to front: the tiles from (0, 0) in steps of the tile's size while
// the next position is at most W (H); the title bar's left end at (0, 0), its
// right end at (W - its width, 0) and one middle slice per pixel column between
// them; the logo at (left end's width - 5, 15); the title at ((W - its width) / 2, 20);
// the panel picture at (-3, 95). Each picture is copied opaquely and clipped to
// the buffer. A picture that is missing or empty is skipped.
// Change notifications of the buffer are suspended while it draws.
void ComposeBackground(platform::Bitmap32& buffer, const BackgroundPictures& pictures);
