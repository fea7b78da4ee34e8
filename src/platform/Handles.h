// RAII owners for the Windows handles the program uses: kernel handles, find
// handles, registry keys, device contexts, GDI objects, modules, COM pointers
// and the COM apartment. Each closes its handle exactly once and keeps the
// thread's last-error value intact across the close.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <utility>

namespace platform {

// Generic owner: Traits supplies the handle type, the invalid value and Close().
template <class Traits>
class UniqueHandle {
public:
    using handle_type = typename Traits::handle_type;

    UniqueHandle() noexcept : h_(Traits::invalid()) {}
    explicit UniqueHandle(handle_type h) noexcept : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    handle_type get() const noexcept { return h_; }
    bool valid() const noexcept { return h_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    handle_type release() noexcept {
        handle_type h = h_;
        h_ = Traits::invalid();
        return h;
    }
    void reset(handle_type h = Traits::invalid()) noexcept {
        if (h_ != Traits::invalid()) {
            DWORD err = GetLastError();
            Traits::close(h_);
            SetLastError(err);
        }
        h_ = h;
    }
    // For APIs that return the handle through an out pointer.
    handle_type* put() noexcept {
        reset();
        return &h_;
    }

private:
    handle_type h_;
};

struct KernelHandleTraits {  // CreateFile: INVALID_HANDLE_VALUE means none
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(handle_type h) noexcept { CloseHandle(h); }
};
struct NullHandleTraits {  // process, thread, event: nullptr means none
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { CloseHandle(h); }
};
struct FindHandleTraits {
    using handle_type = HANDLE;
    static handle_type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(handle_type h) noexcept { FindClose(h); }
};
struct RegKeyTraits {
    using handle_type = HKEY;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { RegCloseKey(h); }
};
struct ModuleTraits {
    using handle_type = HMODULE;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { FreeLibrary(h); }
};
template <class T>
struct GdiObjectTraits {
    using handle_type = T;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { DeleteObject(h); }
};
struct MemoryDCTraits {
    using handle_type = HDC;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { DeleteDC(h); }
};
struct IconTraits {
    using handle_type = HICON;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { DestroyIcon(h); }
};

using FileHandle = UniqueHandle<KernelHandleTraits>;
using Handle = UniqueHandle<NullHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using Library = UniqueHandle<ModuleTraits>;
using MemoryDC = UniqueHandle<MemoryDCTraits>;
using Icon = UniqueHandle<IconTraits>;
using Bitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using Font = UniqueHandle<GdiObjectTraits<HFONT>>;
using Brush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using Pen = UniqueHandle<GdiObjectTraits<HPEN>>;
using Region = UniqueHandle<GdiObjectTraits<HRGN>>;

// A device context taken with GetDC and given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND wnd) noexcept : wnd_(wnd), dc_(GetDC(wnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(wnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint/EndPaint pair for WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND wnd) noexcept : wnd_(wnd) { dc_ = BeginPaint(wnd, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(wnd_, &ps_); }
    HDC get() const noexcept { return dc_; }
    const RECT& rect() const noexcept { return ps_.rcPaint; }

private:
    HWND wnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

// Selects a GDI object into a DC and puts the previous one back on scope exit.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Owning COM interface pointer.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept {
        if (p_) {
            T* p = p_;
            p_ = nullptr;
            p->Release();
        }
    }
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // QueryInterface into another smart pointer; returns the HRESULT.
    template <class U>
    HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.put_void());
    }

private:
    T* p_ = nullptr;
};

// CoInitialize for the calling thread, undone on scope exit when it succeeded
// (S_FALSE, already initialised, counts as success and is balanced too).
class ComInit {
public:
    explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : hr_(CoInitializeEx(nullptr, model)) {}
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    ~ComInit() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

// BSTR owner.
class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(const wchar_t* s) noexcept : b_(SysAllocString(s)) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR get() const noexcept { return b_; }
    BSTR* put() noexcept {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }

private:
    BSTR b_ = nullptr;
};

}  // namespace platform
