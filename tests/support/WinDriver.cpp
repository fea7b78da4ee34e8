#include "support/WinDriver.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <wincodec.h>

#include <algorithm>
#include <memory>

namespace testsupport {

namespace {

constexpr UINT kSendTimeoutMs = 3000;

std::wstring Folder(const std::wstring& path) {
    size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

LRESULT Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    LRESULT r = SendMessageTimeoutW(wnd, msg, wp, lp, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs, &result);
    if (ok) *ok = r != 0;
    return static_cast<LRESULT>(result);
}

struct EnumTop {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> out;
};
BOOL CALLBACK EnumTopProc(HWND wnd, LPARAM lp) {
    auto* e = reinterpret_cast<EnumTop*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == e->pid && (!e->visibleOnly || IsWindowVisible(wnd))) e->out.push_back(wnd);
    return TRUE;
}

void CollectDescendants(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        out.push_back(c);
        CollectDescendants(c, out);
    }
}

}  // namespace

// --- distribution --------------------------------------------------------------

TempDistribution::TempDistribution() {
    folder_ = dir_ / L"Дистрибутив\\";
    scratch_ = dir_ / L"scratch\\";
    std::wstring source = BuildDir() + L"distribution";
    if (!DirExists(source)) {
        ADD_FAILURE() << "no sample distribution at " << ToUtf8(source);
        return;
    }
    CopyTree(source, folder_);
    MakeDirs(scratch_);
    if (!FileExists(Exe())) ADD_FAILURE() << "the copied distribution holds no Install.exe";
}

// --- queries -------------------------------------------------------------------

WindowQuery ByClass(std::wstring className) {
    WindowQuery q;
    q.className = std::move(className);
    return q;
}
WindowQuery ByCaption(std::wstring caption) {
    WindowQuery q;
    q.caption = std::move(caption);
    return q;
}

bool WindowQuery::Matches(HWND wnd) const {
    if (!IsWindow(wnd)) return false;
    if (visible && !IsWindowVisible(wnd)) return false;
    if (!className.empty() && ClassOf(wnd) != className) return false;
    if (!caption.empty() && TextOf(wnd) != caption) return false;
    if (!childName.empty() && !FindChildByName(wnd, childName) && !FindChild(wnd, childName)) return false;
    if (ready && !ready(wnd)) return false;
    return true;
}

// --- process -------------------------------------------------------------------

AppProcess::~AppProcess() { Kill(); }

bool AppProcess::Start(const std::wstring& exe, const std::wstring& currentFolder, const std::wstring& args) {
    Kill();
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    std::wstring cwd = currentFolder.empty() ? Folder(exe) : currentFolder;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    if (!CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
        ADD_FAILURE() << "cannot start " << ToUtf8(exe) << " (error " << GetLastError() << ")";
        return false;
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

bool AppProcess::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool AppProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_) return true;
    return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD AppProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

void AppProcess::Kill() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

std::vector<HWND> AppProcess::Windows(bool visibleOnly) const {
    EnumTop e{pid_, visibleOnly, {}};
    if (pid_) EnumWindows(EnumTopProc, reinterpret_cast<LPARAM>(&e));
    return e.out;
}

HWND AppProcess::FindTopWindow(const WindowQuery& q) const {
    for (HWND w : Windows(q.visible))
        if (q.Matches(w)) return w;
    return nullptr;
}

HWND AppProcess::WaitForWindow(const WindowQuery& q, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(q)) != nullptr || !Running(); }, timeoutMs);
    if (!found) {
        std::string seen;
        for (HWND w : Windows(false))
            seen += " [" + ToUtf8(ClassOf(w)) + " \"" + ToUtf8(TextOf(w)) + "\"" +
                    (IsWindowVisible(w) ? " visible" : "") + "]";
        ADD_FAILURE() << "no window of class \"" << ToUtf8(q.className) << "\" caption \"" << ToUtf8(q.caption)
                      << "\" child \"" << ToUtf8(q.childName) << "\"" << (Running() ? "" : " (the process ended)")
                      << "; windows:" << seen;
    }
    return found;
}

HWND AppProcess::FindMessageBox(const std::wstring& text) const {
    for (HWND w : Windows(true)) {
        if (ClassOf(w) != L"#32770") continue;
        if (FindChild(w, L"SysTreeView32")) continue;  // the folder browser
        HWND msg = GetDlgItem(w, 0xFFFF);
        if (!msg) continue;
        if (text.empty() || TextOf(msg) == text) return w;
    }
    return nullptr;
}

HWND AppProcess::WaitForMessageBox(const std::wstring& text, DWORD timeoutMs) const {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBox(text)) != nullptr || !Running(); }, timeoutMs);
    if (!box) {
        std::string seen;
        if (HWND any = FindMessageBox()) seen = " (a box with \"" + ToUtf8(MessageBoxText(any)) + "\" is open)";
        ADD_FAILURE() << "no message box \"" << ToUtf8(text) << "\"" << seen;
    }
    return box;
}

HWND AppProcess::WaitForFolderBrowser(DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : Windows(true))
                if (ClassOf(w) == L"#32770" && FindChild(w, L"SysTreeView32")) {
                    found = w;
                    return true;
                }
            return !Running();
        },
        timeoutMs);
    if (!found) ADD_FAILURE() << "the folder browser did not open";
    return found;
}

bool AppProcess::WaitForWindowGone(const WindowQuery& q, DWORD timeoutMs) const {
    return WaitUntil([&] { return FindTopWindow(q) == nullptr; }, timeoutMs);
}

// --- windows and controls ----------------------------------------------------------

std::wstring ClassOf(HWND wnd) {
    wchar_t buf[256] = {};
    int n = GetClassNameW(wnd, buf, 256);
    return std::wstring(buf, n > 0 ? n : 0);
}

std::wstring TextOf(HWND wnd) {
    bool ok = false;
    LRESULT len = Send(wnd, WM_GETTEXTLENGTH, 0, 0, &ok);
    if (!ok || len <= 0) return {};
    std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
    LRESULT got = Send(wnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), &ok);
    if (!ok) return {};
    return std::wstring(buf.data(), std::min<size_t>(static_cast<size_t>(got), buf.size()));
}

std::wstring NameOf(HWND wnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(wnd, L"Holter.Name")));
    if (!atom) return {};
    wchar_t buf[256] = {};
    UINT n = GlobalGetAtomNameW(atom, buf, 256);
    return std::wstring(buf, n);
}

bool IsShown(HWND wnd) { return IsWindowVisible(wnd) != FALSE; }
bool IsEnabledWindow(HWND wnd) { return IsWindowEnabled(wnd) != FALSE; }

RECT WindowRect(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    return r;
}

RECT ClientRectOnScreen(HWND wnd) {
    RECT r{};
    GetClientRect(wnd, &r);
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<HWND> Descendants(HWND root) {
    std::vector<HWND> out;
    if (root) CollectDescendants(root, out);
    return out;
}

HWND FindChildByName(HWND root, const std::wstring& name) {
    for (HWND c : Descendants(root))
        if (NameOf(c) == name) return c;
    return nullptr;
}

HWND FindChild(HWND root, const std::wstring& className, const std::wstring& text) {
    for (HWND c : Descendants(root))
        if ((className.empty() || ClassOf(c) == className) && (text.empty() || TextOf(c) == text)) return c;
    return nullptr;
}

std::vector<HWND> FindChildren(HWND root, const std::wstring& className) {
    std::vector<HWND> out;
    for (HWND c : Descendants(root))
        if (ClassOf(c) == className) out.push_back(c);
    return out;
}

HWND FindChildById(HWND root, int id) {
    for (HWND c : Descendants(root))
        if (GetDlgCtrlID(c) == id) return c;
    return nullptr;
}

int ListCount(HWND listBox) { return static_cast<int>(Send(listBox, LB_GETCOUNT, 0, 0)); }

std::vector<std::wstring> ListItems(HWND listBox) {
    std::vector<std::wstring> out;
    int n = ListCount(listBox);
    for (int i = 0; i < n; ++i) {
        LRESULT len = Send(listBox, LB_GETTEXTLEN, i, 0);
        if (len < 0) break;
        std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
        Send(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
        out.emplace_back(buf.data());
    }
    return out;
}

int ListItemHeight(HWND listBox) { return static_cast<int>(Send(listBox, LB_GETITEMHEIGHT, 0, 0)); }

int ComboCount(HWND combo) { return static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0)); }

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> out;
    int n = ComboCount(combo);
    for (int i = 0; i < n; ++i) {
        LRESULT len = Send(combo, CB_GETLBTEXTLEN, i, 0);
        if (len < 0) break;
        std::vector<wchar_t> buf(static_cast<size_t>(len) + 2, L'\0');
        Send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
        out.emplace_back(buf.data());
    }
    return out;
}

int ComboSelection(HWND combo) { return static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0)); }

bool IsChecked(HWND checkBox) { return Send(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void SetTextOf(HWND wnd, const std::wstring& text) {
    Send(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PostKey(HWND target, UINT vk) {
    UINT scan = MapVirtualKeyW(vk, 0 /* MAPVK_VK_TO_VSC */);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

HWND FocusOf(HWND wnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(wnd, nullptr);
    if (!GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

std::wstring MessageBoxText(HWND box) {
    HWND msg = GetDlgItem(box, 0xFFFF);
    return msg ? TextOf(msg) : std::wstring();
}

void PressDialogButton(HWND dialog, int id) {
    HWND b = GetDlgItem(dialog, id);
    if (b) {
        PostMessageW(b, BM_CLICK, 0, 0);
    } else {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
}

bool PickFolder(const AppProcess& process, HWND browser, const std::wstring& path) {
    // BFFM_SETSELECTIONW takes a path in the browser's own address space.
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process.Pid());
    if (!proc) return false;
    size_t bytes = (path.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(proc, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool ok = remote && WriteProcessMemory(proc, remote, path.c_str(), bytes, nullptr);
    if (ok) {
        Send(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
        Pause(200);
        PressDialogButton(browser, IDOK);
        process.WaitForWindowGone(ByClass(L"#32770").WithChild(L"SysTreeView32"), 5000);
    }
    if (remote) VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    CloseHandle(proc);
    return ok;
}

void PostClose(HWND wnd) { PostMessageW(wnd, WM_CLOSE, 0, 0); }
void PostSysClose(HWND wnd) { PostMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= timeoutMs) return cond();
        Pause(20);
    }
}

void Pause(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        DWORD left = ms - (GetTickCount() - start);
        if (static_cast<int>(left) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(left, 10), QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

// --- screenshots ----------------------------------------------------------------------

namespace {

const CLSID kClsidWicImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const GUID kContainerPng = {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};
const GUID kFormat32bppBGRA = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};
const GUID kFormat24bppBGR = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};

template <class T>
struct Releaser {
    void operator()(T* p) const {
        if (p) p->Release();
    }
};
template <class T>
using Com = std::unique_ptr<T, Releaser<T>>;

bool SavePixelsPng(const std::vector<BYTE>& bgr, int w, int h, const std::wstring& path) {
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    {
        IWICImagingFactory* f = nullptr;
        if (SUCCEEDED(CoCreateInstance(kClsidWicImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                       reinterpret_cast<void**>(&f)))) {
            Com<IWICImagingFactory> factory(f);
            IWICStream* s = nullptr;
            IWICBitmapEncoder* e = nullptr;
            if (SUCCEEDED(factory->CreateStream(&s))) {
                Com<IWICStream> stream(s);
                if (SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
                    SUCCEEDED(factory->CreateEncoder(kContainerPng, nullptr, &e))) {
                    Com<IWICBitmapEncoder> encoder(e);
                    IWICBitmapFrameEncode* fr = nullptr;
                    if (SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
                        SUCCEEDED(encoder->CreateNewFrame(&fr, nullptr))) {
                        Com<IWICBitmapFrameEncode> frame(fr);
                        WICPixelFormatGUID fmt = kFormat24bppBGR;
                        UINT stride = static_cast<UINT>(((w * 3) + 3) & ~3);
                        ok = SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(w, h)) &&
                             SUCCEEDED(frame->SetPixelFormat(&fmt)) && IsEqualGUID(fmt, kFormat24bppBGR) &&
                             SUCCEEDED(frame->WritePixels(h, stride, static_cast<UINT>(bgr.size()),
                                                          const_cast<BYTE*>(bgr.data()))) &&
                             SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
                    }
                }
            }
        }
    }
    (void)kFormat32bppBGRA;
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

bool SaveScreenArea(const RECT& r, const std::wstring& path) {
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        UINT stride = static_cast<UINT>(((w * 3) + 3) & ~3);
        std::vector<BYTE> pixels(static_cast<const BYTE*>(bits), static_cast<const BYTE*>(bits) + stride * h);
        SelectObject(mem, old);
        ok = SavePixelsPng(pixels, w, h, path);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace

bool SaveWindowPng(HWND wnd, const std::wstring& path) {
    if (!wnd) return false;
    RECT r = WindowRect(wnd);
    // Clip to the screen.
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT clipped{};
    IntersectRect(&clipped, &r, &screen);
    return SaveScreenArea(clipped, path);
}

bool SaveScreenPng(const std::wstring& path) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return SaveScreenArea(r, path);
}

COLORREF ScreenPixel(HWND wnd, int clientX, int clientY) {
    POINT p{clientX, clientY};
    ClientToScreen(wnd, &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

std::wstring ScreenshotFolder() {
    std::wstring f = FromUnixPath(Env(L"HOLTER_TEST_OUTPUT"));
    if (Env(L"HOLTER_TEST_OUTPUT").empty()) f = BuildDir() + L"tests\\screenshots";
    if (!f.empty() && f.back() != L'\\') f += L'\\';
    MakeDirs(f);
    return f;
}

}  // namespace testsupport
