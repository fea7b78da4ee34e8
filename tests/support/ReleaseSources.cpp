#include "support/ReleaseSources.h"

#include <windows.h>

#include "support/TestSupport.h"

namespace testsupport {

std::string ReleaseInfoXml(int version, const std::wstring& level) {
    return "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<ROOT>\r\n  <Version>" + std::to_string(version) +
           "</Version>\r\n  <Level>" + ToUtf8(level) + "</Level>\r\n</ROOT>\r\n";
}

void MakeReleaseSources(const std::wstring& folder, const std::wstring& release, int exitCode) {
    MakeDirs(folder + L"backup\\" + release);
    WriteFileBytes(folder + L"backup\\" + release + L"\\Install.cmd",
                   "@echo %~dp0> installed.mark\r\n@exit /b " + std::to_string(exitCode) + "\r\n");
    MakeDirs(folder + L"Updater");
    WriteFileBytes(folder + L"Updater\\ReleaseInfo", ReleaseInfoXml(1, L"000000"));
}

CurrentFolderKept::CurrentFolderKept() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
    if (n && n < MAX_PATH) saved_.assign(buf, n);
}

CurrentFolderKept::~CurrentFolderKept() {
    if (!saved_.empty()) SetCurrentDirectoryW(saved_.c_str());
}

}  // namespace testsupport
