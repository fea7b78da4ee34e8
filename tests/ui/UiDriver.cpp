#include "ui/UiDriver.h"

#include <vector>

namespace uitest {

std::wstring TextOf(HWND w) {
    wchar_t buf[2048] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &n))
        return {};
    return std::wstring(buf, n);
}

std::wstring ClassOf(HWND w) {
    wchar_t buf[128] = {};
    int n = GetClassNameW(w, buf, 128);
    return std::wstring(buf, n > 0 ? n : 0);
}

namespace {
struct TopSearch {
    const wchar_t* cls;
    const wchar_t* caption;
    HWND found;
};
BOOL CALLBACK TopMatch(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<TopSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(w)) return TRUE;
    if (s->cls && ClassOf(w) != s->cls) return TRUE;
    if (s->caption && TextOf(w) != s->caption) return TRUE;
    s->found = w;
    return FALSE;
}
struct ChildSearch {
    const std::wstring* text;
    const wchar_t* cls;
    HWND found;
};
BOOL CALLBACK ChildMatch(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<ChildSearch*>(data);
    if (s->cls && ClassOf(w) != s->cls) return TRUE;
    if (TextOf(w) != *s->text) return TRUE;
    s->found = w;
    return FALSE;
}
}  // namespace

HWND FindTopWindow(const wchar_t* cls, const wchar_t* caption) {
    TopSearch s{cls, caption, nullptr};
    EnumWindows(TopMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

namespace {
struct OwnSearch {
    const wchar_t* cls;
    HWND found;
};
BOOL CALLBACK OwnMatch(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<OwnSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != GetCurrentProcessId() || ClassOf(w) != s->cls) return TRUE;
    s->found = w;
    return FALSE;
}
}  // namespace

HWND FindOwnWindow(const wchar_t* cls) {
    OwnSearch s{cls, nullptr};
    EnumWindows(OwnMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindChildByText(HWND parent, const std::wstring& text, const wchar_t* cls) {
    ChildSearch s{&text, cls, nullptr};
    EnumChildWindows(parent, ChildMatch, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::wstring MessageBoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

Watcher::Watcher(std::function<HWND()> find, std::function<void(HWND)> act, DWORD timeoutMs)
    : thread_([this, find, act, timeoutMs] {
          DWORD start = GetTickCount();
          while (!stop_ && GetTickCount() - start < timeoutMs) {
              if (HWND w = find()) {
                  act(w);
                  acted_ = true;
                  return;
              }
              Sleep(20);
          }
      }) {}

Watcher::~Watcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PostTitleClose(HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace uitest
