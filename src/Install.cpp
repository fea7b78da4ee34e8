// Install.exe: the installation wizard of the "Арвела-Холтер" suite.
//
// The distribution folder the wizard runs from is full of DLLs of the database
// engine and the suite (fbclient.Dll, gds32.dll, msvcr80.Dll, icu*.Dll ...), and
// the program is often started from a downloads folder. So the very first thing
// it does is to restrict the DLL search to the system folder: a library lying
// beside the executable is never loaded in place of a system library. The
// executable imports only libraries that Windows always takes from its own
// folder; everything else (rich edit, imaging, XML) is loaded after this point,
// from the system folder or through COM.
#include <windows.h>
#include <ole2.h>

#include <string>

#include "../resources/resource_ids.h"
#include "common/ZT_Common_Var.h"
#include "dialogs/WaitRun.h"
#include "platform/Application.h"
#include "shell/Main.h"
#include "shell/ScreenMonitorManager.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif
#ifndef BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE
#define BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE 0x00000001
#endif
#ifndef BASE_SEARCH_PATH_PERMANENT
#define BASE_SEARCH_PATH_PERMANENT 0x00008000
#endif

namespace {

// A kernel32 function that older Windows versions lack, looked up at run time.
template <class Fn>
Fn Kernel32Function(const char* name) {
    HMODULE k32 = GetModuleHandleW(L"kernel32.dll");
    return k32 ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(k32, name))) : nullptr;
}

void RestrictDllSearch() {
    // Windows 8 and later, and Windows 7 / Vista with KB2533623.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    if (auto setDefault = Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The search path (SearchPath) looks in the current folder last, permanently.
    using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);
    if (auto setMode = Kernel32Function<SetSearchPathModeFn>("SetSearchPathMode"))
        setMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
    // Takes the current folder out of the DLL search where the first call is missing.
    SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();

    // The shared units: settings file and language file beside the executable.
    CommonUnitsStartup();

    // The distribution folder becomes the current directory; a failure goes unnoticed.
    SetCurrentDirectoryW(ExecutableFolder().c_str());

    myScreen = new TmyScreen();  // lives until the process ends

    // The folder browser's new-style dialog and the rich edit need OLE on this thread.
    HRESULT ole = OleInitialize(nullptr);

    platform::Application& app = platform::App();
    app.Initialize(instance);
    app.SetTitle(L"Установка комплекса \"Арвела-Холтер\"");
    HICON big = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPICON), IMAGE_ICON, 32, 32, 0));
    HICON small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APPICON), IMAGE_ICON, 16, 16, 0));
    app.SetIcon(big, small);

    FMain = app.CreateForm<TFMain>();
    FWaitRun = app.CreateForm<TFWaitRun>();
    int code = app.Run();
    app.DestroyForms();

    if (SUCCEEDED(ole)) OleUninitialize();
    return code;
}
