#include "platform/Graphics.h"

#include "platform/Handles.h"
#include "platform/Screen.h"

#include <map>
#include <mutex>
#include <tuple>

namespace platform {

namespace {
using FontKey = std::tuple<std::wstring, int, BYTE, int, bool, bool>;
struct Caches {
    std::mutex lock;
    std::map<FontKey, Font> fonts;
    std::map<HFONT, FontSpec> specs;
    std::map<COLORREF, Brush> brushes;
};
Caches& caches() {
    static Caches* c = new Caches;  // lives until the process ends
    return *c;
}
}  // namespace

HFONT FontFromSpec(const FontSpec& s) {
    Caches& c = caches();
    std::lock_guard<std::mutex> guard(c.lock);
    FontKey key{s.face, s.pixelHeight, s.charset, s.weight, s.italic, s.underline};
    auto it = c.fonts.find(key);
    if (it != c.fonts.end()) return it->second.get();
    LOGFONTW lf{};
    lf.lfHeight = -s.pixelHeight;
    lf.lfWeight = s.weight;
    lf.lfItalic = s.italic ? 1 : 0;
    lf.lfUnderline = s.underline ? 1 : 0;
    lf.lfCharSet = s.charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynW(lf.lfFaceName, s.face.c_str(), LF_FACESIZE);
    HFONT f = CreateFontIndirectW(&lf);
    c.fonts.emplace(key, Font(f));
    c.specs[f] = s;
    return f;
}

HFONT FontByPixels(const std::wstring& face, int pixelHeight, BYTE charset, int weight) {
    FontSpec s;
    s.face = face;
    s.pixelHeight = pixelHeight;
    s.charset = charset;
    s.weight = weight;
    return FontFromSpec(s);
}

HFONT FontByPoints(const std::wstring& face, int points, BYTE charset, int weight) {
    return FontByPixels(face, MulDiv(points, TheScreen().PixelsPerInch(), 72), charset, weight);
}

FontSpec DescribeFont(HFONT font) {
    {
        Caches& c = caches();
        std::lock_guard<std::mutex> guard(c.lock);
        auto it = c.specs.find(font);
        if (it != c.specs.end()) return it->second;
    }
    FontSpec s;
    LOGFONTW lf{};
    if (font && GetObjectW(font, sizeof lf, &lf)) {
        s.face = lf.lfFaceName;
        s.pixelHeight = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
        s.charset = lf.lfCharSet;
        s.weight = lf.lfWeight;
        s.italic = lf.lfItalic != 0;
        s.underline = lf.lfUnderline != 0;
    }
    return s;
}

HBRUSH SolidBrush(COLORREF color) {
    Caches& c = caches();
    std::lock_guard<std::mutex> guard(c.lock);
    auto it = c.brushes.find(color);
    if (it != c.brushes.end()) return it->second.get();
    HBRUSH b = CreateSolidBrush(color);
    c.brushes.emplace(color, Brush(b));
    return b;
}

int WrappedTextHeight(HFONT font, const std::wstring& text, int width, UINT extraFlags) {
    WindowDC dc(nullptr);
    SelectObjectScope sel(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT r{0, 0, width, 0};
    std::wstring t = text.empty() ? std::wstring(L" ") : text;
    DrawTextW(dc.get(), t.c_str(), static_cast<int>(t.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | extraFlags);
    return r.bottom - r.top;
}

SIZE TextExtent(HFONT font, const std::wstring& text) {
    WindowDC dc(nullptr);
    SelectObjectScope sel(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE s{0, 0};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &s);
    if (text.empty()) {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc.get(), &tm);
        s.cy = tm.tmHeight;
    }
    return s;
}

}  // namespace platform
