// Small pictures drawn in code for buttons: each glyph is a shape in one colour,
// smoothed at the edges, kept as a 32-bit picture with transparency and drawn
// with GdiAlphaBlend. A list holds the glyphs of a window in a fixed order.
//
// Usage:
//   platform::GlyphList ImageList1({{platform::GlyphShape::Cross, platform::kGlyphRed},
//                                   {platform::GlyphShape::Cross, platform::kGlyphGrey},
//                                   {platform::GlyphShape::Tick, platform::kGlyphGreen},
//                                   {platform::GlyphShape::Tick, platform::kGlyphGrey}});
//   btnOK.SetGlyph(&ImageList1, 2, 3);   // normal and disabled pictures
//   ImageList1.Draw(dc, 0, x, y);
#pragma once

#include "platform/Handles.h"

#include <windows.h>
#include <initializer_list>
#include <vector>

namespace platform {

enum class GlyphShape {
    Cross,       // diagonal cross (cancel)
    Tick,        // check mark (OK)
    ArrowRight,  // forward
    ArrowLeft,   // back
    Exit,        // door with an arrow (leave)
    Install,     // arrow down into a tray (start the installation)
    Gear,        // settings
    Folder,      // folder
};

constexpr COLORREF kGlyphRed = RGB(210, 35, 35);
constexpr COLORREF kGlyphGreen = RGB(20, 150, 40);
constexpr COLORREF kGlyphBlue = RGB(0, 90, 170);
constexpr COLORREF kGlyphGrey = RGB(160, 160, 160);

struct GlyphSpec {
    GlyphShape shape;
    COLORREF color;
};

class GlyphList {
public:
    explicit GlyphList(std::initializer_list<GlyphSpec> glyphs, int size = 16);
    int Count() const noexcept { return static_cast<int>(pictures_.size()); }
    int Size() const noexcept { return size_; }
    // Draws glyph index with its top-left corner at (x, y); nothing for a bad index.
    void Draw(HDC dc, int index, int x, int y) const;
    // Alpha (0..255) of a pixel of glyph index, for tests.
    int AlphaAt(int index, int x, int y) const;
    // Colour of a pixel (unpremultiplied), for tests.
    COLORREF ColorAt(int index, int x, int y) const;

private:
    struct Picture {
        Bitmap bitmap;
        const unsigned char* bits = nullptr;  // BGRA, premultiplied, top-down
    };
    int size_;
    std::vector<Picture> pictures_;
};

}  // namespace platform
