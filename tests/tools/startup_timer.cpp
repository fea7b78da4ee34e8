// Measures how long a program takes from process start until its window is visible:
//   startup_timer.exe <program.exe> [window class]
// Prints the milliseconds, then closes the program. With a class given, only a
// visible top-level window of that class counts (and for the installer, only one
// that already holds its page control).
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/WinDriver.h"

using namespace testsupport;

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_timer.exe <program.exe> [window class]\n");
        return 2;
    }
    std::wstring cls = argc > 2 ? argv[2] : L"";
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    AppProcess app;
    QueryPerformanceCounter(&t0);
    if (!app.Start(argv[1])) return 1;
    WindowQuery q = ByClass(cls);
    HWND found = nullptr;
    DWORD start = GetTickCount();
    while (!(found = app.FindTopWindow(q)) && app.Running() && GetTickCount() - start < 60000) Sleep(1);
    QueryPerformanceCounter(&t1);
    if (!found) {
        std::fprintf(stderr, "no visible window\n");
        return 1;
    }
    double ms = double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(freq.QuadPart);
    std::printf("%.1f\n", ms);
    std::fflush(stdout);
    PostClose(found);
    if (!app.WaitForExit(10000)) app.Kill();
    return 0;
}
