// Helpers of the in-process window tests: a watcher thread that waits for a
// window of this process to appear and then acts on it (clicks a button,
// closes it), the way a person would, while the test's thread sits in a modal
// loop; and small look-ups by class, caption and text.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace uitest {

// The window text, read with a timed WM_GETTEXT (safe from another thread).
std::wstring TextOf(HWND w);
std::wstring ClassOf(HWND w);
// A visible top-level window of this process with that class (nullptr: any)
// and caption (nullptr: any).
HWND FindTopWindow(const wchar_t* cls, const wchar_t* caption);
// Any top-level window of this process with that class, hidden ones too.
HWND FindOwnWindow(const wchar_t* cls);
// A descendant of parent whose window text is text (and class, when given).
HWND FindChildByText(HWND parent, const std::wstring& text, const wchar_t* cls = nullptr);
// The text of a standard message box (its static control 0xFFFF).
std::wstring MessageBoxText(HWND box);
// Pumps this thread's messages for ms milliseconds / until done() or timeout.
void PumpFor(DWORD ms);
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Waits on its own thread until find() returns a window, then calls act(w)
// once. The destructor waits for the thread.
class Watcher {
public:
    Watcher(std::function<HWND()> find, std::function<void(HWND)> act, DWORD timeoutMs = 15000);
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;
    bool Acted() const { return acted_; }
    void Stop() { stop_ = true; }

private:
    std::atomic<bool> acted_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Shortcuts: press a button of the window found by cls/caption.
void PostClick(HWND button);
// Presses the title-bar close button (WM_SYSCOMMAND SC_CLOSE).
void PostTitleClose(HWND w);

}  // namespace uitest
