// The 32-bit bitmaps, PNG loading from the executable's resources, and the
// composition of the main window's background.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Bitmap32.h"
#include "platform/Exceptions.h"
#include "shell/MainBackground.h"
#include "support/TestSupport.h"

using platform::Bitmap32;
using platform::Color32;
using platform::Color32Of;

namespace {

std::string Hex(Color32 c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", static_cast<unsigned>(c));
    return buf;
}
#define EXPECT_PIXEL(bmp, x, y, expected) \
    EXPECT_EQ(Hex((bmp).Pixel((x), (y))), Hex(expected)) << "at (" << (x) << ", " << (y) << ")"

void Fill(Bitmap32& b, int w, int h, Color32 c) {
    b.SetSize(w, h);
    b.Clear(c);
}

// A picture whose every pixel tells where it came from: tag in alpha, x and y.
void Coded(Bitmap32& b, int w, int h, BYTE tag) {
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, Color32Of(BYTE(x >> 2), BYTE(x & 3), BYTE(y), tag));
}
Color32 CodeAt(int x, int y, BYTE tag) { return Color32Of(BYTE(x >> 2), BYTE(x & 3), BYTE(y), tag); }

// --- a minimal PNG writer (stored deflate blocks) for the loader tests -------
unsigned Crc(const std::string& s) {
    unsigned c = 0xFFFFFFFFu;
    for (unsigned char ch : s) {
        c ^= ch;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}
std::string Be32(unsigned v) {
    return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
std::string Chunk(const std::string& tag, const std::string& data) {
    return Be32(static_cast<unsigned>(data.size())) + tag + data + Be32(Crc(tag + data));
}
// RGBA pixels, row by row.
std::string MakePng(int w, int h, const std::vector<unsigned char>& rgba) {
    std::string raw;
    for (int y = 0; y < h; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(rgba.data()) + y * w * 4, w * 4);
    }
    std::string z = "\x78\x01";
    z += '\x01';  // final stored block
    unsigned n = static_cast<unsigned>(raw.size());
    z += char(n & 0xFF);
    z += char(n >> 8);
    z += char(~n & 0xFF);
    z += char((~n >> 8) & 0xFF);
    z += raw;
    unsigned a = 1, b = 0;
    for (unsigned char ch : raw) {
        a = (a + ch) % 65521;
        b = (b + a) % 65521;
    }
    z += Be32((b << 16) | a);
    std::string ihdr = Be32(w) + Be32(h) + std::string{8, 6, 0, 0, 0};
    return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", z) + Chunk("IEND", "");
}

}  // namespace

TEST(Bitmap32, DrawsOpaquelyAndClipsAtEveryEdge) {
    Bitmap32 dst, src;
    Fill(dst, 10, 8, Color32Of(1, 1, 1));
    Coded(src, 4, 3, 0x40);  // alpha 0x40 must be copied as it is: no blending

    src.DrawTo(dst, -2, -1);  // top-left corner cut off
    EXPECT_PIXEL(dst, 0, 0, CodeAt(2, 1, 0x40));
    EXPECT_PIXEL(dst, 1, 1, CodeAt(3, 2, 0x40));
    EXPECT_PIXEL(dst, 2, 0, Color32Of(1, 1, 1));
    EXPECT_PIXEL(dst, 0, 2, Color32Of(1, 1, 1));

    src.DrawTo(dst, 8, 6);  // bottom-right corner cut off
    EXPECT_PIXEL(dst, 8, 6, CodeAt(0, 0, 0x40));
    EXPECT_PIXEL(dst, 9, 7, CodeAt(1, 1, 0x40));
    EXPECT_PIXEL(dst, 7, 6, Color32Of(1, 1, 1));

    Bitmap32 before;
    Fill(before, 10, 8, 0);
    for (auto [x, y] : {std::pair{-4, 0}, {10, 0}, {0, -3}, {0, 8}, {-100, -100}, {500, 500}}) {
        Bitmap32 copy;
        Fill(copy, 10, 8, Color32Of(9, 9, 9));
        src.DrawTo(copy, x, y);  // entirely outside: nothing changes, nothing breaks
        for (int yy = 0; yy < 8; ++yy)
            for (int xx = 0; xx < 10; ++xx) ASSERT_EQ(copy.Pixel(xx, yy), Color32Of(9, 9, 9));
    }
    Bitmap32 empty;
    src.DrawTo(empty, 0, 0);
    empty.DrawTo(dst, 0, 0);
    EXPECT_TRUE(empty.Empty());
}

TEST(Bitmap32, ResizingClearsAndEmptySizesAreEmpty) {
    Bitmap32 b(3, 2);
    b.Clear(Color32Of(5, 6, 7));
    b.SetSize(3, 2);
    EXPECT_EQ(b.Pixel(2, 1), 0u);
    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Pixel(0, 0), 0u);
    b.SetPixel(0, 0, 1);  // ignored, no crash
    b.SetSize(2, 2);
    EXPECT_NE(b.DC(), nullptr);
}

TEST(PngLoading, FlattensTransparencyOntoWhiteAndMakesEveryPixelOpaque) {
    // Opaque red, fully transparent blue, half-transparent black, 3/4 green.
    std::vector<unsigned char> px = {255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 128, 0, 255, 0, 191};
    std::string png = MakePng(2, 2, px);
    Bitmap32 b;
    platform::LoadPngFromMemory(b, png.data(), png.size());
    ASSERT_EQ(b.Width(), 2);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_PIXEL(b, 0, 0, Color32Of(255, 0, 0));
    EXPECT_PIXEL(b, 1, 0, Color32Of(255, 255, 255));
    EXPECT_PIXEL(b, 0, 1, Color32Of(127, 127, 127));  // 255 * (1 - 128/255)
    EXPECT_PIXEL(b, 1, 1, Color32Of(64, 255, 64));
}

TEST(PngLoading, BadDataOrMissingResourceRaisesAndKeepsTheBitmap) {
    Bitmap32 b(2, 2);
    b.Clear(Color32Of(1, 2, 3));
    std::string junk = "this is not a picture";
    EXPECT_THROW(platform::LoadPngFromMemory(b, junk.data(), junk.size()), platform::Exception);
    std::string png = MakePng(1, 1, {0, 0, 0, 255});
    std::string truncated = png.substr(0, png.size() - 20);
    EXPECT_THROW(platform::LoadPngFromMemory(b, truncated.data(), truncated.size()), platform::Exception);
    EXPECT_THROW(platform::LoadPngResource(b, L"NO_SUCH_PICTURE"), platform::Exception);
    EXPECT_EQ(b.Width(), 2);
    EXPECT_PIXEL(b, 1, 1, Color32Of(1, 2, 3));
}

TEST(PngLoading, TheWindowPicturesHaveTheirSizesAndAreOpaque) {
    struct Case {
        const wchar_t* name;
        int w, h;
    };
    for (const Case& c : {Case{L"BACKGROUND", 128, 128}, Case{L"MAIN", 958, 472}, Case{L"LOGO", 72, 70},
                          Case{L"TITLE_PNL_L", 22, 100}, Case{L"TITLE_PNL_R", 22, 100}, Case{L"TITLE_PNL_M", 1, 100},
                          Case{L"TITLE2", 500, 66}}) {
        SCOPED_TRACE(testsupport::ToUtf8(c.name));
        Bitmap32 b;
        ASSERT_NO_THROW(platform::LoadPngResource(b, c.name));
        EXPECT_EQ(b.Width(), c.w);
        EXPECT_EQ(b.Height(), c.h);
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                ASSERT_EQ(platform::AlphaOf(b.Pixel(x, y)), 0xFF) << "at " << x << "," << y;
    }
    Bitmap32 title;
    platform::LoadPngResource(title, L"TITLE2");
    EXPECT_PIXEL(title, 0, 0, Color32Of(236, 236, 235));
    // The logo and the title bar's outer corner are transparent in their files.
    Bitmap32 logo, left;
    platform::LoadPngResource(logo, L"LOGO");
    platform::LoadPngResource(left, L"TITLE_PNL_L");
    EXPECT_PIXEL(logo, 0, 0, Color32Of(255, 255, 255));
    EXPECT_PIXEL(left, 0, 0, Color32Of(255, 255, 255));
}

namespace {

struct Fixture {
    Bitmap32 tile, panels, logo, left, right, middle, title;
    static constexpr Color32 kLeft = Color32Of(0xAA, 0, 0), kRight = Color32Of(0, 0xBB, 0),
                             kMiddle = Color32Of(0, 0, 0xCC), kLogo = Color32Of(0xDD, 0xDD, 0),
                             kPanels = Color32Of(0xEE, 0, 0xEE);
    Fixture() {
        Coded(tile, 128, 128, 0x11);
        Fill(panels, 958, 472, kPanels);
        Fill(logo, 72, 70, kLogo);
        Fill(left, 22, 100, kLeft);
        Fill(right, 22, 100, kRight);
        Fill(middle, 1, 100, kMiddle);
        Coded(title, 500, 66, 0x22);
    }
    BackgroundPictures Pictures() const { return {&tile, &panels, &logo, &left, &right, &middle, &title}; }
};

}  // namespace

TEST(BackgroundComposition, PlacesEveryPictureWhereTheLayoutSays) {
    Fixture f;
    Bitmap32 buf(954, 579);
    ComposeBackground(buf, f.Pictures());
    EXPECT_FALSE(buf.Updating());

    // Title bar: ends at 0 and 932, middle slices 22..931, above the panels (rows 0..94).
    EXPECT_PIXEL(buf, 0, 0, Fixture::kLeft);
    EXPECT_PIXEL(buf, 21, 94, Fixture::kLeft);
    EXPECT_PIXEL(buf, 22, 0, Fixture::kMiddle);
    EXPECT_PIXEL(buf, 931, 94, Fixture::kMiddle);
    EXPECT_PIXEL(buf, 932, 0, Fixture::kRight);
    EXPECT_PIXEL(buf, 953, 94, Fixture::kRight);
    EXPECT_PIXEL(buf, 500, 10, Fixture::kMiddle);
    // Logo at (17, 15), 72 x 70.
    EXPECT_PIXEL(buf, 16, 15, Fixture::kLeft);
    EXPECT_PIXEL(buf, 17, 14, Fixture::kLeft);
    EXPECT_PIXEL(buf, 17, 15, Fixture::kLogo);
    EXPECT_PIXEL(buf, 88, 84, Fixture::kLogo);
    EXPECT_PIXEL(buf, 89, 84, Fixture::kMiddle);
    EXPECT_PIXEL(buf, 88, 85, Fixture::kMiddle);
    // Title at (227, 20), 500 x 66.
    EXPECT_PIXEL(buf, 226, 20, Fixture::kMiddle);
    EXPECT_PIXEL(buf, 227, 19, Fixture::kMiddle);
    EXPECT_PIXEL(buf, 227, 20, CodeAt(0, 0, 0x22));
    EXPECT_PIXEL(buf, 726, 85, CodeAt(499, 65, 0x22));
    EXPECT_PIXEL(buf, 727, 85, Fixture::kMiddle);
    EXPECT_PIXEL(buf, 726, 86, Fixture::kMiddle);
    // The panel picture at (-3, 95) covers the lower 5 rows of the title bar and reaches 566.
    EXPECT_PIXEL(buf, 0, 95, Fixture::kPanels);
    EXPECT_PIXEL(buf, 953, 99, Fixture::kPanels);
    EXPECT_PIXEL(buf, 953, 566, Fixture::kPanels);
    // Below it the tiles show, in steps of 128 from (0, 0): rows 567..578 are tile rows 55..66.
    EXPECT_PIXEL(buf, 0, 567, CodeAt(0, 55, 0x11));
    EXPECT_PIXEL(buf, 127, 578, CodeAt(127, 66, 0x11));
    EXPECT_PIXEL(buf, 128, 570, CodeAt(0, 58, 0x11));
    EXPECT_PIXEL(buf, 953, 578, CodeAt(57, 66, 0x11));
    EXPECT_PIXEL(buf, 896, 567, CodeAt(0, 55, 0x11));
}

TEST(BackgroundComposition, TilesCoverTheWholeBufferWithoutPanels) {
    Fixture f;
    BackgroundPictures only{};
    only.tile = &f.tile;
    for (auto [w, h] : {std::pair{954, 579}, {128, 128}, {129, 1}, {1, 129}, {1024, 640}}) {
        Bitmap32 buf(w, h);
        ComposeBackground(buf, only);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(buf.Pixel(x, y), CodeAt(x % 128, y % 128, 0x11)) << x << "," << y;
    }
}

TEST(BackgroundComposition, NarrowWindowsGetNoMiddleSliceAndACentredTitle) {
    Fixture f;
    struct Case {
        int width;
        int middleColumns;  // columns showing the middle slice in row 0
    };
    for (Case c : {Case{44, 0}, Case{30, 0}, Case{10, 0}, Case{45, 1}, Case{46, 2}, Case{954, 910}}) {
        SCOPED_TRACE(c.width);
        Bitmap32 buf(c.width, 120);
        ComposeBackground(buf, f.Pictures());
        int middle = 0;
        for (int x = 0; x < c.width; ++x)
            if (buf.Pixel(x, 5) == Fixture::kMiddle) ++middle;
        EXPECT_EQ(middle, c.middleColumns);
        // The right end sits at W - 22, drawn after the left end.
        EXPECT_PIXEL(buf, c.width - 1, 5, Fixture::kRight);
        if (c.width >= 22) {
            EXPECT_PIXEL(buf, std::max(0, c.width - 22), 5, Fixture::kRight);
        }
    }
    // A title wider than the buffer: its left edge (W - 500) / 2 truncates toward zero,
    // so at W = 45 the buffer's column 0 shows the title's column 227 (not 228).
    Bitmap32 buf(45, 120);
    ComposeBackground(buf, f.Pictures());
    EXPECT_PIXEL(buf, 0, 20, CodeAt(227, 0, 0x22));
    EXPECT_PIXEL(buf, 44, 85, CodeAt(271, 65, 0x22));
}

TEST(BackgroundComposition, MissingPicturesAreSkipped) {
    Bitmap32 buf(100, 100);
    buf.Clear(Color32Of(3, 3, 3));
    ComposeBackground(buf, BackgroundPictures{});
    EXPECT_PIXEL(buf, 50, 50, Color32Of(3, 3, 3));
    EXPECT_FALSE(buf.Updating());
}

TEST(BackgroundComposition, TheDeliveredPicturesFrameTheTwoControls) {
    Bitmap32 pic[7];
    const wchar_t* names[7] = {L"BACKGROUND", L"MAIN", L"LOGO", L"TITLE_PNL_L", L"TITLE_PNL_R", L"TITLE_PNL_M", L"TITLE2"};
    for (int i = 0; i < 7; ++i) platform::LoadPngResource(pic[i], names[i]);
    Bitmap32 buf(954, 579);
    ComposeBackground(buf, {&pic[0], &pic[1], &pic[2], &pic[3], &pic[4], &pic[5], &pic[6]});

    EXPECT_PIXEL(buf, 17 + 36, 15 + 35, pic[2].Pixel(36, 35));
    EXPECT_PIXEL(buf, 227 + 250, 20 + 30, pic[6].Pixel(250, 30));
    EXPECT_PIXEL(buf, 500, 300, pic[1].Pixel(503, 205));
    EXPECT_PIXEL(buf, 600, 3, pic[5].Pixel(0, 3));
    // The surface under each control has the controls' colour, corner to corner,
    // and the frame around it does not.
    const Color32 paper = Color32Of(236, 236, 235);
    for (const ControlBounds& b : {kRichEditBounds, kPagesBounds}) {
        int r = b.left + b.width - 1, btm = b.top + b.height - 1;
        EXPECT_PIXEL(buf, b.left, b.top, paper);
        EXPECT_PIXEL(buf, r, b.top, paper);
        EXPECT_PIXEL(buf, b.left, btm, paper);
        EXPECT_PIXEL(buf, r, btm, paper);
        EXPECT_NE(buf.Pixel(b.left - 7, b.top + 100), paper);
        EXPECT_NE(buf.Pixel(r + 7, b.top + 100), paper);
    }
}
