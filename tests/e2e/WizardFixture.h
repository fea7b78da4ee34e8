// A started wizard for the end-to-end tests: Install.exe from a temporary copy
// of the sample distribution, its main window, and short-cuts to its controls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/WinDriver.h"

namespace wizard {

using namespace testsupport;

const std::wstring kMainCaption = L"Установка комплекса";
const std::wstring kAppTitle = L"Установка комплекса \"Арвела-Холтер\"";
const std::wstring kCancelQuestion = L"Вы уверены, что хотите отменить процесс установки?";
const std::wstring kNoPath = L"Не выбран путь для установки программы!";
const std::wstring kRootPath = L"Программу нелзя устанавливать в корневой каталог!";
const std::vector<std::wstring> kPages = {L"tsStart",           L"tsInputPath", L"tsInputComponents",
                                          L"tsProgressInstall", L"tsCancel",    L"tsChangeFontSize"};

// The window is up when its last page's last button exists.
inline WindowQuery MainWindowQuery() { return ByClass(L"TFMain").WithChild(L"BtnExitOnChangefont"); }

class Wizard {
public:
    // Starts the installer; currentFolder empty: the distribution folder.
    explicit Wizard(const std::wstring& currentFolder = L"", bool start = true) {
        if (start) Start(currentFolder);
    }
    // Starts the installer (when the constructor was told not to).
    void Start(const std::wstring& currentFolder = L"") {
        started_ = app.Start(dist.Exe(), currentFolder);
        if (started_) main = app.WaitForWindow(MainWindowQuery(), 30000);
    }
    bool Up() const { return main != nullptr; }

    HWND Ctl(const std::wstring& name) const {
        HWND w = FindChildByName(main, name);
        EXPECT_NE(w, nullptr) << "no control " << ToUtf8(name);
        return w;
    }
    std::wstring Text(const std::wstring& name) const { return TextOf(Ctl(name)); }
    // Whether the window has the WS_VISIBLE style itself (whatever its parents show).
    bool VisibleFlag(const std::wstring& name) const {
        return (GetWindowLongW(Ctl(name), GWL_STYLE) & WS_VISIBLE) != 0;
    }
    // The one visible page, by name.
    std::wstring ActivePage() const {
        std::wstring shown;
        for (const auto& p : kPages)
            if (HWND w = FindChildByName(main, p); w && IsWindowVisible(w)) shown += (shown.empty() ? L"" : L"+") + p;
        return shown;
    }
    bool WaitForPage(const std::wstring& page, DWORD ms = kWaitMs) const {
        return WaitUntil([&] { return ActivePage() == page; }, ms);
    }
    void Press(const std::wstring& button) const { Click(Ctl(button)); }

    // The driver warning (the message window) while it is open.
    HWND Warning() const { return app.FindTopWindow(ByClass(L"TFMessageform")); }
    HWND WaitForWarning(DWORD ms = kWaitMs) const { return app.WaitForWindow(ByClass(L"TFMessageform"), ms); }
    bool WaitWarningGone(DWORD ms = kWaitMs) const {
        return app.WaitForWindowGone(ByClass(L"TFMessageform"), ms);
    }
    // Presses "OK" on the driver warning.
    void AcknowledgeWarning() const {
        HWND w = WaitForWarning();
        ASSERT_NE(w, nullptr);
        HWND ok = FindChildByName(w, L"btnOK");
        if (!ok) ok = FindChild(w, L"Button", L"OK");
        ASSERT_NE(ok, nullptr);
        Click(ok);
        ASSERT_TRUE(WaitWarningGone());
    }

    // From the welcome page to the components page, acknowledging the warning.
    void GoToComponents() const {
        Press(L"BtnStartNext");
        ASSERT_TRUE(WaitForPage(L"tsInputPath"));
        Press(L"BtnInputPathNext");
        AcknowledgeWarning();
        ASSERT_TRUE(WaitForPage(L"tsInputComponents"));
    }

    // Answers the message box with that text; fails when none appears.
    void Answer(const std::wstring& text, int button) const {
        HWND box = app.WaitForMessageBox(text);
        ASSERT_NE(box, nullptr);
        PressDialogButton(box, button);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    }

    void Screenshot(const std::wstring& name, bool wholeScreen = false) const {
        Pause(300);
        std::wstring path = ScreenshotFolder() + name;
        EXPECT_TRUE(wholeScreen ? SaveScreenPng(path) : SaveWindowPng(main, path)) << ToUtf8(path);
    }

    TempDistribution dist;
    AppProcess app;
    HWND main = nullptr;

private:
    bool started_ = false;
};

}  // namespace wizard
