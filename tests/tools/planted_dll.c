/* A DLL planted in a distribution folder under the names of system libraries.
   If a program ever loads it, it leaves "planted-dll-loaded.txt" beside itself. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(inst, path, MAX_PATH);
        while (n > 0 && path[n - 1] != L'\\') --n;
        lstrcpyW(path + n, L"planted-dll-loaded.txt");
        HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    return TRUE;
}
