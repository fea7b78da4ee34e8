// Shared GDI objects: fonts by pixel height or point size and solid brushes,
// created once per distinct description and kept until the process ends (the
// callers never delete them), plus a few colour helpers.
//
// Usage:
//   HFONT f = platform::FontByPixels(L"Times New Roman", 20, RUSSIAN_CHARSET);
//   HFONT g = platform::FontByPoints(L"Tahoma", 10);   // at the screen's PixelsPerInch
//   HBRUSH b = platform::SolidBrush(RGB(244, 244, 240));
//   COLORREF face = platform::ButtonFace();
//
// No DPI scaling happens here: a pixel height is a character height in pixels
// (LOGFONT height -px); a point size uses the screen's logical pixels per inch.
#pragma once

#include <windows.h>
#include <string>

namespace platform {

struct FontSpec {
    std::wstring face = L"Tahoma";
    int pixelHeight = 13;  // character height (without internal leading)
    BYTE charset = DEFAULT_CHARSET;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
};

HFONT FontFromSpec(const FontSpec& font);
HFONT FontByPixels(const std::wstring& face, int pixelHeight, BYTE charset = DEFAULT_CHARSET,
                   int weight = FW_NORMAL);
HFONT FontByPoints(const std::wstring& face, int points, BYTE charset = DEFAULT_CHARSET,
                   int weight = FW_NORMAL);
// The description a font was made from (for fonts made here; else read from GDI).
FontSpec DescribeFont(HFONT font);

HBRUSH SolidBrush(COLORREF color);

inline COLORREF ButtonFace() { return GetSysColor(COLOR_BTNFACE); }
inline COLORREF WindowColor() { return GetSysColor(COLOR_WINDOW); }
inline COLORREF WindowText() { return GetSysColor(COLOR_WINDOWTEXT); }

// Colour names of the suite's window designs.
constexpr COLORREF clBlack = RGB(0, 0, 0);
constexpr COLORREF clNavy = RGB(0, 0, 128);
constexpr COLORREF clMaroon = RGB(128, 0, 0);
constexpr COLORREF clWhite = RGB(255, 255, 255);
constexpr COLORREF clGray = RGB(128, 128, 128);

// Height in pixels of text drawn with font in a box width pixels wide, words
// wrapped (DrawText with DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS).
int WrappedTextHeight(HFONT font, const std::wstring& text, int width, UINT extraFlags = 0);
// Width and height of a single line.
SIZE TextExtent(HFONT font, const std::wstring& text);

}  // namespace platform
