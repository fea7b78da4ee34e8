// Stand-in for the FTDI driver installer of the sample distribution: it installs
// nothing, records how it was started in "driver.mark" beside itself and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t exe[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring mark(exe, n);
    mark = mark.substr(0, mark.find_last_of(L'\\') + 1) + L"driver.mark";

    wchar_t cwd[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring text = std::wstring(L"command line: ") + GetCommandLineW() + L"\r\ncurrent folder: " + cwd + L"\r\n";

    HANDLE h = CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
        if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
        DWORD done = 0;
        WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &done, nullptr);
        CloseHandle(h);
    }
    return 0;
}
