// Drives the real Install.exe from a second process, through its windows only:
// a temporary copy of the sample distribution, the started process, its
// top-level windows and controls, message boxes, the folder browser, and
// screenshots. All calls that talk to the other process use time-outs, so a
// hung installer fails the test instead of hanging it.
//
// Typical use in an end-to-end test:
//   testsupport::TempDistribution dist;                 // copy of build\distribution
//   testsupport::AppProcess app;
//   app.Start(dist.Exe());                              // current folder: the exe's
//   HWND main = app.WaitForWindow(testsupport::ByClass(L"TFMain").WithChild(L"BtnExitOnChangefont"));
//   HWND next = testsupport::FindChildByName(main, L"BtnStartNext");
//   testsupport::Click(next);
//   HWND box = app.WaitForMessageBox();                 // "#32770"
//   EXPECT_EQ(testsupport::MessageBoxText(box), L"...");
//   testsupport::PressDialogButton(box, IDYES);
//   EXPECT_TRUE(app.WaitForExit(10000));
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace testsupport {

// Default time-out of the waits, in milliseconds.
constexpr DWORD kWaitMs = 15000;

// A copy of the sample distribution (HOLTER_BUILD_DIR\distribution) in a
// temporary folder, removed with the object. Tests may change it freely.
class TempDistribution {
public:
    TempDistribution();
    // The distribution folder, ending in "\".
    const std::wstring& Folder() const { return folder_; }
    std::wstring Exe() const { return folder_ + L"Install.exe"; }
    std::wstring operator/(const std::wstring& name) const { return folder_ + name; }
    // A scratch folder beside the distribution (for destinations, other start-in folders).
    const std::wstring& Scratch() const { return scratch_; }

private:
    TempDir dir_;
    std::wstring folder_;
    std::wstring scratch_;
};

// What a top-level window must look like to be found.
struct WindowQuery {
    std::wstring className;  // exact class name, empty: any
    std::wstring caption;    // exact window text, empty: any
    bool visible = true;     // only visible windows
    // The window is ready only when it has this descendant (control name or,
    // failing that, a child of this class). Empty: no condition.
    std::wstring childName;
    std::function<bool(HWND)> ready;  // any further condition

    WindowQuery& WithCaption(std::wstring c) { caption = std::move(c); return *this; }
    WindowQuery& WithChild(std::wstring name) { childName = std::move(name); return *this; }
    WindowQuery& Hidden() { visible = false; return *this; }
    bool Matches(HWND wnd) const;
};
WindowQuery ByClass(std::wstring className);
WindowQuery ByCaption(std::wstring caption);

// A started program. The destructor kills it if it still runs.
class AppProcess {
public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // Starts exe; the current folder is currentFolder, or the exe's folder when empty.
    // Fails the test (and returns false) when the process cannot be started.
    bool Start(const std::wstring& exe, const std::wstring& currentFolder = L"", const std::wstring& args = L"");
    DWORD Pid() const { return pid_; }
    HANDLE Process() const { return process_; }
    bool Running() const;
    // Waits for the process to end; true when it did within the time.
    bool WaitForExit(DWORD timeoutMs = kWaitMs);
    // The exit code after the process ended (STILL_ACTIVE while it runs).
    DWORD ExitCode() const;
    void Kill();

    // Top-level windows of the process (all, or only visible ones).
    std::vector<HWND> Windows(bool visibleOnly = true) const;
    // The first top-level window of the process that matches, or nullptr.
    HWND FindTopWindow(const WindowQuery& q) const;
    // Waits for such a window; nullptr (and a test failure) on time-out.
    HWND WaitForWindow(const WindowQuery& q, DWORD timeoutMs = kWaitMs) const;
    // A visible standard dialog ("#32770"): message boxes, the folder browser.
    // With text given, only a box whose message (control 0xFFFF) equals it.
    HWND FindMessageBox(const std::wstring& text = L"") const;
    HWND WaitForMessageBox(const std::wstring& text = L"", DWORD timeoutMs = kWaitMs) const;
    // The folder browser (a "#32770" with a tree view).
    HWND WaitForFolderBrowser(DWORD timeoutMs = kWaitMs) const;
    // Waits until no visible window matches.
    bool WaitForWindowGone(const WindowQuery& q, DWORD timeoutMs = kWaitMs) const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// --- windows and controls (any process) --------------------------------------
std::wstring ClassOf(HWND wnd);
// The window text, read with WM_GETTEXT (works across processes).
std::wstring TextOf(HWND wnd);
// The control name the program stores on its controls (window property "Holter.Name").
std::wstring NameOf(HWND wnd);
bool IsShown(HWND wnd);    // visible, with every ancestor visible
bool IsEnabledWindow(HWND wnd);
RECT WindowRect(HWND wnd);  // screen coordinates
RECT ClientRectOnScreen(HWND wnd);

// All descendants of root, in window (Z) order, depth first.
std::vector<HWND> Descendants(HWND root);
// The first descendant with that control name, or nullptr.
HWND FindChildByName(HWND root, const std::wstring& name);
// The first descendant of that class (empty: any) whose text equals text (empty: any).
HWND FindChild(HWND root, const std::wstring& className, const std::wstring& text = L"");
// Descendants of that class, in window order.
std::vector<HWND> FindChildren(HWND root, const std::wstring& className);
// The dialog item with that id among root's descendants.
HWND FindChildById(HWND root, int id);

// List and combo boxes.
int ListCount(HWND listBox);
std::vector<std::wstring> ListItems(HWND listBox);
int ListItemHeight(HWND listBox);
int ComboCount(HWND combo);
std::vector<std::wstring> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// Check boxes.
bool IsChecked(HWND checkBox);

// Input. Click posts BM_CLICK (a click that opens a modal window must be posted).
void Click(HWND button);
void SetTextOf(HWND wnd, const std::wstring& text);  // WM_SETTEXT
// Keys typed into the focused control of wnd's thread (posted WM_KEYDOWN/WM_KEYUP).
void PostKey(HWND target, UINT vk);
// The window that has the keyboard focus in the thread that owns wnd.
HWND FocusOf(HWND wnd);

// Message boxes and dialogs.
std::wstring MessageBoxText(HWND box);  // control 0xFFFF
// Presses the dialog's button with that id (IDOK, IDYES, IDNO, IDCANCEL).
void PressDialogButton(HWND dialog, int id);
// Selects path (an existing folder) in the folder browser of process, then presses OK.
bool PickFolder(const AppProcess& process, HWND browser, const std::wstring& path);

// Closing.
void PostClose(HWND wnd);     // WM_CLOSE
void PostSysClose(HWND wnd);  // WM_SYSCOMMAND SC_CLOSE: the title-bar close button

// Polls cond every 20 ms until it is true or the time is up.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = kWaitMs);
// Sleeps while letting this thread's own messages through.
void Pause(DWORD ms);

// --- screenshots --------------------------------------------------------------
// The screen area of wnd (its outer rectangle), or the whole screen, as a PNG.
bool SaveWindowPng(HWND wnd, const std::wstring& path);
bool SaveScreenPng(const std::wstring& path);
// The colour of a pixel of wnd's client area as the screen shows it.
COLORREF ScreenPixel(HWND wnd, int clientX, int clientY);
// Where a test saves its pictures: HOLTER_TEST_OUTPUT, or BuildDir()\tests\screenshots\ (created).
std::wstring ScreenshotFolder();

}  // namespace testsupport
