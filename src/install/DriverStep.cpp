#include "install/DriverStep.h"

#include <windows.h>

#include "common/ZT_Common_Proc.h"
#include "install/InstallHost.h"
#include "install/ProgramRunners.h"

void InstallDriver(IInstallHost& host, const std::wstring& distribution, const std::wstring& destination) {
    const std::wstring source = distribution + L"FTDIDriverInstall";
    DWORD attributes = GetFileAttributesW(source.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        CopyFolderByShell(source, destination + L"FTDIDriverInstall");

    host.AddLogLine(L"Началась установка драйверов устройства...");
    host.RepaintLog();
    RunProgram(L"\"" + destination + L"FTDIDriverInstall\\FTDIDriverInstall.exe\"", SW_HIDE, true);
    host.AddLogLine(L"Установка драйверов устройства завершена");
}
