#include "platform/Bitmap32.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Exceptions.h"

namespace platform {

namespace {

// The imaging component is created through COM only, so that windowscodecs.dll
// is never a link-time import: the identifiers are spelled out here.
const CLSID kClsidWicImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const IID kIidWicImagingFactory = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const GUID kFormat32bppBGRA = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};
const GUID kContainerPng = {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};

void Check(HRESULT hr, const wchar_t* what) {
    if (FAILED(hr)) throw EOleError(std::wstring(L"Не удалось прочитать изображение PNG: ") + what, hr);
}

// Blends a non-premultiplied BGRA pixel onto opaque white.
inline Color32 OnWhite(Color32 c) {
    unsigned a = AlphaOf(c);
    if (a == 255) return c;
    auto ch = [a](unsigned v) { return (v * a + 255u * (255u - a) + 127u) / 255u; };
    return Color32Of(BYTE(ch(RedOf(c))), BYTE(ch(GreenOf(c))), BYTE(ch(BlueOf(c))));
}

}  // namespace

Bitmap32::~Bitmap32() { Release(); }

void Bitmap32::Release() {
    if (dc_ && oldBitmap_) SelectObject(dc_.get(), oldBitmap_);
    oldBitmap_ = nullptr;
    dc_.reset();
    if (dib_) DeleteObject(dib_);
    dib_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
}

void Bitmap32::SetSize(int width, int height) {
    if (width == width_ && height == height_ && bits_) {
        std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, 0u);
        return;
    }
    Release();
    if (width <= 0 || height <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) throw EOSError(L"Не удалось создать растровое изображение", GetLastError());
    dib_ = dib;
    bits_ = static_cast<Color32*>(bits);
    width_ = width;
    height_ = height;
    std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, 0u);
    dc_.reset(CreateCompatibleDC(nullptr));
    if (dc_) oldBitmap_ = SelectObject(dc_.get(), dib_);
}

Color32 Bitmap32::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return ScanLine(y)[x];
}

void Bitmap32::SetPixel(int x, int y, Color32 c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    ScanLine(y)[x] = c;
}

void Bitmap32::Clear(Color32 c) {
    if (bits_) std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, c);
}

void Bitmap32::DrawTo(Bitmap32& dst, int x, int y) const {
    if (Empty() || dst.Empty()) return;
    // Source rectangle clipped to the destination.
    int sx = std::max(0, -x), sy = std::max(0, -y);
    int ex = std::min(width_, dst.width_ - x), ey = std::min(height_, dst.height_ - y);
    if (sx >= ex || sy >= ey) return;
    size_t count = static_cast<size_t>(ex - sx);
    for (int row = sy; row < ey; ++row)
        std::memcpy(dst.ScanLine(y + row) + x + sx, ScanLine(row) + sx, count * sizeof(Color32));
}

void LoadPngFromMemory(Bitmap32& bitmap, const void* data, size_t size) {
    ComInit com;  // balanced when it succeeded; a thread in another apartment still has COM
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(kClsidWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kIidWicImagingFactory,
                           factory.put_void()),
          L"компонент обработки изображений недоступен");
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(stream.put()), L"поток");
    Check(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), static_cast<DWORD>(size)),
          L"поток");
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put()),
          L"данные не являются изображением");
    GUID container{};
    if (SUCCEEDED(decoder->GetContainerFormat(&container)) && !IsEqualGUID(container, kContainerPng))
        throw Exception(L"Не удалось прочитать изображение PNG: другой формат данных");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.put()), L"кадр");
    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.put()), L"преобразование");
    Check(converter->Initialize(frame.get(), kFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          L"преобразование");
    UINT w = 0, h = 0;
    Check(converter->GetSize(&w, &h), L"размер");
    if (w == 0 || h == 0 || w > 16384 || h > 16384)
        throw Exception(L"Не удалось прочитать изображение PNG: недопустимый размер");
    std::vector<Color32> pixels(static_cast<size_t>(w) * h);
    Check(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size() * 4),
                                reinterpret_cast<BYTE*>(pixels.data())),
          L"пиксели");
    // Everything read: only now is the bitmap changed.
    bitmap.SetSize(static_cast<int>(w), static_cast<int>(h));
    for (UINT y = 0; y < h; ++y) {
        Color32* dst = bitmap.ScanLine(static_cast<int>(y));
        const Color32* src = pixels.data() + static_cast<size_t>(y) * w;
        for (UINT x = 0; x < w; ++x) dst[x] = OnWhite(src[x]);
    }
}

void LoadPngResource(Bitmap32& bitmap, const std::wstring& name, HMODULE module) {
    if (!module) module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!res) throw Exception(L"Ресурс " + name + L" не найден");
    HGLOBAL mem = LoadResource(module, res);
    const void* data = mem ? LockResource(mem) : nullptr;
    DWORD size = SizeofResource(module, res);
    if (!data || size == 0) throw Exception(L"Ресурс " + name + L" не найден");
    LoadPngFromMemory(bitmap, data, size);
}

}  // namespace platform
