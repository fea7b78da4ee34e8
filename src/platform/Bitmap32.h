// A 32-bit bitmap: a top-down device-independent bitmap whose pixels are
// 0xAARRGGBB words (blue in the lowest byte, as GDI stores them), with opaque
// drawing onto another bitmap, and loading from the executable's PNG resources
// through the Windows Imaging Component (reached through COM only).
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

#include "platform/Handles.h"

namespace platform {

using Color32 = std::uint32_t;

constexpr Color32 Color32Of(BYTE r, BYTE g, BYTE b, BYTE a = 0xFF) {
    return (Color32(a) << 24) | (Color32(r) << 16) | (Color32(g) << 8) | Color32(b);
}
constexpr BYTE RedOf(Color32 c) { return BYTE((c >> 16) & 0xFF); }
constexpr BYTE GreenOf(Color32 c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE BlueOf(Color32 c) { return BYTE(c & 0xFF); }
constexpr BYTE AlphaOf(Color32 c) { return BYTE(c >> 24); }
// The window colour with the same red, green and blue; the alpha is dropped.
constexpr COLORREF WinColor(Color32 c) { return RGB(RedOf(c), GreenOf(c), BlueOf(c)); }

class Bitmap32 {
public:
    Bitmap32() = default;
    Bitmap32(int width, int height) { SetSize(width, height); }
    Bitmap32(const Bitmap32&) = delete;
    Bitmap32& operator=(const Bitmap32&) = delete;
    ~Bitmap32();

    // New size; the content is all zero (transparent black) afterwards.
    // A size of 0 in either direction leaves an empty bitmap.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    // Row y, left to right; rows run top to bottom.
    Color32* ScanLine(int y) { return bits_ + static_cast<size_t>(y) * width_; }
    const Color32* ScanLine(int y) const { return bits_ + static_cast<size_t>(y) * width_; }
    // Checked pixel access: outside the bitmap Pixel gives 0 and SetPixel does nothing.
    Color32 Pixel(int x, int y) const;
    void SetPixel(int x, int y, Color32 c);
    void Clear(Color32 c);

    // Copies this bitmap opaquely into dst with its top-left corner at (x, y):
    // no blending, the parts outside dst are clipped.
    void DrawTo(Bitmap32& dst, int x, int y) const;

    // Change notifications: while the count is above 0 the owner (a paint box)
    // does not repaint on changes; EndUpdate returns true when it reaches 0.
    void BeginUpdate() { ++updateCount_; }
    bool EndUpdate() { return updateCount_ > 0 && --updateCount_ == 0; }
    bool Updating() const { return updateCount_ > 0; }

    // A memory DC with the bitmap selected (for BitBlt onto a window); null when empty.
    HDC DC() const { return dc_.get(); }

private:
    void Release();

    int width_ = 0;
    int height_ = 0;
    Color32* bits_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    MemoryDC dc_;
    int updateCount_ = 0;
};

// Fills bitmap from the PNG raw-data (RT_RCDATA) resource name of module (the
// executable when null): the bitmap takes the picture's size, half- and fully
// transparent pixels are blended onto opaque white, and every pixel ends fully
// opaque. Raises platform::Exception when the resource is missing or is no
// readable PNG; the bitmap is then left as it was.
void LoadPngResource(Bitmap32& bitmap, const std::wstring& name, HMODULE module = nullptr);

// The same from PNG bytes in memory.
void LoadPngFromMemory(Bitmap32& bitmap, const void* data, size_t size);

}  // namespace platform
