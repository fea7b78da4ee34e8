// The driver step of the installation: the interface block's driver
// installer is copied from the distribution and run from the destination.
#pragma once

#include <string>

class IInstallHost;

// Copies S + "FTDIDriverInstall" into D + "FTDIDriverInstall" through the
// shell when the distribution has that folder, logs "Началась установка
// драйверов устройства..." (repainted at once, since the window does not
// repaint while the installer runs), runs the copied installer
// D + "FTDIDriverInstall\FTDIDriverInstall.exe" hidden and waits for it, then
// logs "Установка драйверов устройства завершена". A missing folder or program and a failed
// start are not reported; the exit code is not examined.
void InstallDriver(IInstallHost& host, const std::wstring& distribution, const std::wstring& destination);
