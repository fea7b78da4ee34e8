// Walks the installation wizard through every page it has and saves a
// screenshot of each into the output folder:
//   demo_walk.exe <Install.exe> <output folder>
// page-1-start.png, page-2-path.png, page-3-driver-warning.png,
// page-3-components.png, then, while the installation runs, page-4-progress.png
// and the pictures of its questions, page-5-finished.png (or the font-size
// page), and from a second start page-6-cancel.png. Questions are answered as an
// operator would: the interface block is "connected" (Yes), the wizard is left
// at the end. Exit code 0 when every page was reached.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/WinDriver.h"

using namespace testsupport;

namespace {

std::wstring g_out;
int g_failures = 0;

void Say(const std::wstring& text) {
    std::string s = ToUtf8(text);
    std::printf("demo: %s\n", s.c_str());
    std::fflush(stdout);
}

void Fail(const std::wstring& text) {
    Say(L"ПРОБЛЕМА: " + text);
    ++g_failures;
}

void Shot(HWND wnd, const std::wstring& name, bool wholeScreen = false, DWORD settle = 400) {
    Pause(settle);  // let the page finish painting
    std::wstring path = g_out + name;
    bool ok = wholeScreen ? SaveScreenPng(path) : SaveWindowPng(wnd, path);
    if (ok)
        Say(L"saved " + name);
    else
        Fail(L"cannot save " + path);
}

bool PageShown(HWND main, const wchar_t* page) {
    HWND p = FindChildByName(main, page);
    return p && IsWindowVisible(p);
}

HWND WaitMain(AppProcess& app) {
    return app.WaitForWindow(ByClass(L"TFMain").WithChild(L"BtnExitOnChangefont"), 30000);
}

// The installation: answers its questions until it reaches an end state.
void WalkInstallation(AppProcess& app, HWND main) {
    Click(FindChildByName(main, L"BtnInsatall"));
    if (!WaitUntil([&] { return PageShown(main, L"tsProgressInstall"); }, 10000)) {
        Fail(L"the progress page did not appear");
        return;
    }
    // The installation runs on at once: the picture is taken while it works.
    Shot(main, L"page-4-progress.png", false, 0);
    int questions = 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 180000 && app.Running()) {
        if (HWND box = app.FindMessageBox()) {
            std::wstring text = MessageBoxText(box);
            ++questions;
            Say(L"question: " + text);
            if (text.find(L"интерфейсный блок") != std::wstring::npos) {
                Shot(box, L"page-4-driver-question.png", true);
                PressDialogButton(box, IDYES);
            } else if (text.find(L"Установка завершена") != std::wstring::npos) {
                Shot(main, L"page-5-finished.png", true);
                PressDialogButton(box, IDNO);  // stay, to show the finished log
                Pause(500);
                Shot(main, L"page-5-finished-log.png");
                Click(FindChildByName(main, L"BtnExit"));
                return;
            } else {
                Shot(box, L"page-4-message-" + std::to_wstring(questions) + L".png", true);
                PressDialogButton(box, GetDlgItem(box, IDOK) ? IDOK : IDNO);
            }
            WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
            continue;
        }
        if (PageShown(main, L"tsChangeFontSize")) {
            Shot(main, L"page-5-change-font-size.png");
            Click(FindChildByName(main, L"BtnExitOnChangefont"));
            return;
        }
        Pause(100);
    }
    Fail(L"the installation did not reach its end");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: demo_walk.exe <Install.exe> <output folder>\n");
        return 2;
    }
    std::wstring exe = argv[1];
    g_out = argv[2];
    if (!g_out.empty() && g_out.back() != L'\\') g_out += L'\\';
    MakeDirs(g_out);

    {
        AppProcess app;
        if (!app.Start(exe)) return 1;
        HWND main = WaitMain(app);
        if (!main) return 1;
        Shot(main, L"page-1-start.png");

        Click(FindChildByName(main, L"BtnStartNext"));
        if (WaitUntil([&] { return PageShown(main, L"tsInputPath"); }, 5000))
            Shot(main, L"page-2-path.png");
        else
            Fail(L"no destination page");

        Click(FindChildByName(main, L"BtnInputPathNext"));
        HWND warning = app.WaitForWindow(ByClass(L"TFMessageform"), 10000);
        if (warning) {
            Shot(main, L"page-3-driver-warning.png", true);
            HWND ok = FindChildByName(warning, L"btnOK");
            if (!ok) ok = FindChild(warning, L"", L"OK");
            Click(ok);
            app.WaitForWindowGone(ByClass(L"TFMessageform"), 5000);
        } else {
            Fail(L"no driver warning");
        }
        if (WaitUntil([&] { return PageShown(main, L"tsInputComponents"); }, 5000))
            Shot(main, L"page-3-components.png");
        else
            Fail(L"no components page");

        WalkInstallation(app, main);
        if (!app.WaitForExit(15000)) {
            Fail(L"the wizard did not end");
            app.Kill();
        }
    }

    {
        AppProcess app;
        if (!app.Start(exe)) return 1;
        HWND main = WaitMain(app);
        if (!main) return 1;
        Click(FindChildByName(main, L"BtnCancel"));
        if (HWND box = app.WaitForMessageBox(L"Вы уверены, что хотите отменить процесс установки?", 10000)) {
            Shot(main, L"page-6-cancel-question.png", true);
            PressDialogButton(box, IDYES);
        }
        if (WaitUntil([&] { return PageShown(main, L"tsCancel"); }, 5000))
            Shot(main, L"page-6-cancel.png");
        else
            Fail(L"no cancel page");
        Click(FindChildByName(main, L"BtnExitCancel"));
        if (!app.WaitForExit(15000)) {
            Fail(L"the wizard did not end after \"Выход\"");
            app.Kill();
        }
    }
    Say(g_failures ? L"done, with problems" : L"done");
    return g_failures ? 1 : 0;
}
