#include "platform/Glyphs.h"

#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr int kScale = 4;  // supersampling factor for smooth edges

struct MaskCanvas {
    HDC dc;
    int unit;  // sub-pixels per glyph unit (glyph size / 16 * kScale)
    int X(double v) const { return static_cast<int>(std::lround(v * unit)); }
    POINT P(double x, double y) const { return POINT{X(x), X(y)}; }
};

void ThickLines(const MaskCanvas& c, std::initializer_list<POINT> pts, double width) {
    LOGBRUSH lb{BS_SOLID, RGB(255, 255, 255), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                            static_cast<DWORD>(c.X(width)), &lb, 0, nullptr);
    HGDIOBJ old = SelectObject(c.dc, pen);
    std::vector<POINT> v(pts);
    Polyline(c.dc, v.data(), static_cast<int>(v.size()));
    SelectObject(c.dc, old);
    DeleteObject(pen);
}

void FillPolygon(const MaskCanvas& c, std::initializer_list<POINT> pts, COLORREF color = RGB(255, 255, 255)) {
    HBRUSH br = CreateSolidBrush(color);
    HGDIOBJ oldBrush = SelectObject(c.dc, br);
    HGDIOBJ oldPen = SelectObject(c.dc, GetStockObject(NULL_PEN));
    std::vector<POINT> v(pts);
    Polygon(c.dc, v.data(), static_cast<int>(v.size()));
    SelectObject(c.dc, oldPen);
    SelectObject(c.dc, oldBrush);
    DeleteObject(br);
}

void FillEllipse(const MaskCanvas& c, double l, double t, double r, double b, COLORREF color) {
    HBRUSH br = CreateSolidBrush(color);
    HGDIOBJ oldBrush = SelectObject(c.dc, br);
    HGDIOBJ oldPen = SelectObject(c.dc, GetStockObject(NULL_PEN));
    Ellipse(c.dc, c.X(l), c.X(t), c.X(r), c.X(b));
    SelectObject(c.dc, oldPen);
    SelectObject(c.dc, oldBrush);
    DeleteObject(br);
}

// Draws the shape in white on black, in a 16-unit coordinate system.
void DrawShape(const MaskCanvas& c, GlyphShape shape) {
    switch (shape) {
        case GlyphShape::Cross:
            ThickLines(c, {c.P(3.5, 3.5), c.P(12.5, 12.5)}, 3.2);
            ThickLines(c, {c.P(12.5, 3.5), c.P(3.5, 12.5)}, 3.2);
            break;
        case GlyphShape::Tick:
            ThickLines(c, {c.P(2.5, 8.5), c.P(6.3, 12.3), c.P(13.8, 3.6)}, 3.0);
            break;
        case GlyphShape::ArrowRight:
            FillPolygon(c, {c.P(1.5, 6), c.P(8.5, 6), c.P(8.5, 2.5), c.P(14.8, 8), c.P(8.5, 13.5), c.P(8.5, 10),
                            c.P(1.5, 10)});
            break;
        case GlyphShape::ArrowLeft:
            FillPolygon(c, {c.P(14.5, 6), c.P(7.5, 6), c.P(7.5, 2.5), c.P(1.2, 8), c.P(7.5, 13.5), c.P(7.5, 10),
                            c.P(14.5, 10)});
            break;
        case GlyphShape::Exit:
            ThickLines(c, {c.P(9, 4), c.P(9, 2), c.P(2, 2), c.P(2, 14), c.P(9, 14), c.P(9, 12)}, 1.6);
            FillPolygon(c, {c.P(5, 6.8), c.P(10.5, 6.8), c.P(10.5, 4.2), c.P(15, 8), c.P(10.5, 11.8),
                            c.P(10.5, 9.2), c.P(5, 9.2)});
            break;
        case GlyphShape::Install:
            FillPolygon(c, {c.P(6.3, 1), c.P(9.7, 1), c.P(9.7, 6), c.P(12.5, 6), c.P(8, 10.8), c.P(3.5, 6),
                            c.P(6.3, 6)});
            ThickLines(c, {c.P(1.8, 10), c.P(1.8, 14.2), c.P(14.2, 14.2), c.P(14.2, 10)}, 1.6);
            break;
        case GlyphShape::Gear: {
            const double cx = 8, cy = 8;
            std::vector<POINT> pts;
            for (int i = 0; i < 32; ++i) {
                double a = (i + 0.5) * 3.14159265358979 / 16;
                bool tooth = (i / 2) % 2 == 0;
                double r = tooth ? 7.4 : 5.4;
                pts.push_back(c.P(cx + r * std::cos(a), cy + r * std::sin(a)));
            }
            HBRUSH br = CreateSolidBrush(RGB(255, 255, 255));
            HGDIOBJ oldBrush = SelectObject(c.dc, br);
            HGDIOBJ oldPen = SelectObject(c.dc, GetStockObject(NULL_PEN));
            Polygon(c.dc, pts.data(), static_cast<int>(pts.size()));
            SelectObject(c.dc, oldPen);
            SelectObject(c.dc, oldBrush);
            DeleteObject(br);
            FillEllipse(c, 5.5, 5.5, 10.5, 10.5, RGB(0, 0, 0));
            break;
        }
        case GlyphShape::Folder:
            FillPolygon(c, {c.P(1, 3), c.P(6, 3), c.P(7.5, 4.8), c.P(15, 4.8), c.P(15, 13.5), c.P(1, 13.5)});
            break;
    }
}

}  // namespace

GlyphList::GlyphList(std::initializer_list<GlyphSpec> glyphs, int size) : size_(size) {
    const int big = size * kScale;
    HDC screen = GetDC(nullptr);
    MemoryDC maskDC(CreateCompatibleDC(screen));
    ReleaseDC(nullptr, screen);

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = big;
    bmi.bmiHeader.biHeight = -big;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;

    for (const GlyphSpec& g : glyphs) {
        void* maskBits = nullptr;
        Bitmap mask(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &maskBits, nullptr, 0));
        Picture pic;
        if (mask && maskBits) {
            std::memset(maskBits, 0, static_cast<size_t>(big) * big * 4);
            {
                SelectObjectScope sel(maskDC.get(), mask.get());
                MaskCanvas canvas{maskDC.get(), big / 16};
                DrawShape(canvas, g.shape);
                GdiFlush();
            }
            BITMAPINFO small = bmi;
            small.bmiHeader.biWidth = size;
            small.bmiHeader.biHeight = -size;
            void* bits = nullptr;
            pic.bitmap.reset(CreateDIBSection(nullptr, &small, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (pic.bitmap && bits) {
                auto* src = static_cast<const unsigned char*>(maskBits);
                auto* dst = static_cast<unsigned char*>(bits);
                const unsigned r = GetRValue(g.color), gr = GetGValue(g.color), b = GetBValue(g.color);
                for (int y = 0; y < size; ++y) {
                    for (int x = 0; x < size; ++x) {
                        unsigned sum = 0;
                        for (int sy = 0; sy < kScale; ++sy)
                            for (int sx = 0; sx < kScale; ++sx)
                                sum += src[((y * kScale + sy) * big + (x * kScale + sx)) * 4 + 1];  // green
                        unsigned a = sum / (kScale * kScale);
                        unsigned char* p = dst + (y * size + x) * 4;
                        p[0] = static_cast<unsigned char>(b * a / 255);
                        p[1] = static_cast<unsigned char>(gr * a / 255);
                        p[2] = static_cast<unsigned char>(r * a / 255);
                        p[3] = static_cast<unsigned char>(a);
                    }
                }
                pic.bits = static_cast<const unsigned char*>(bits);
            }
        }
        pictures_.push_back(std::move(pic));
    }
}

void GlyphList::Draw(HDC dc, int index, int x, int y) const {
    if (index < 0 || index >= Count() || !pictures_[static_cast<size_t>(index)].bitmap) return;
    MemoryDC mem(CreateCompatibleDC(dc));
    SelectObjectScope sel(mem.get(), pictures_[static_cast<size_t>(index)].bitmap.get());
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, x, y, size_, size_, mem.get(), 0, 0, size_, size_, bf);
}

int GlyphList::AlphaAt(int index, int x, int y) const {
    if (index < 0 || index >= Count() || x < 0 || y < 0 || x >= size_ || y >= size_) return 0;
    const unsigned char* bits = pictures_[static_cast<size_t>(index)].bits;
    return bits ? bits[(y * size_ + x) * 4 + 3] : 0;
}

COLORREF GlyphList::ColorAt(int index, int x, int y) const {
    int a = AlphaAt(index, x, y);
    if (a == 0) return RGB(0, 0, 0);
    const unsigned char* p = pictures_[static_cast<size_t>(index)].bits + (y * size_ + x) * 4;
    return RGB(p[2] * 255 / a, p[1] * 255 / a, p[0] * 255 / a);
}

}  // namespace platform
