// The driver step: the installer copied from the distribution and run from
// the destination, and both log lines in every case.
#include <gtest/gtest.h>

#include "install/DriverStep.h"
#include "support/TestSupport.h"
#include "unit/LogRecordingHost.h"

using testsupport::FileExists;
using testsupport::MakeDirs;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::ToUtf8;

namespace {
const std::vector<std::wstring> kDriverEvents = {L"line: Началась установка драйверов устройства...", L"repaint",
                                                 L"line: Установка драйверов устройства завершена"};
}

TEST(InstallDriver, RunsTheCopiedInstallerFromTheDestination) {
    TempDir dir;
    std::wstring S = dir / L"Дистрибутив\\", D = dir / L"Program Files\\Holter (x86) & Co\\";
    MakeDirs(S + L"FTDIDriverInstall");
    MakeDirs(D);
    ASSERT_TRUE(CopyFileW((testsupport::BuildDir() + L"FTDIDriverInstall.exe").c_str(),
                          (S + L"FTDIDriverInstall\\FTDIDriverInstall.exe").c_str(), FALSE));
    LogRecordingHost host;

    InstallDriver(host, S, D);

    EXPECT_EQ(host.events, kDriverEvents);
    std::wstring exe = D + L"FTDIDriverInstall\\FTDIDriverInstall.exe";
    EXPECT_TRUE(FileExists(exe));
    EXPECT_FALSE(FileExists(S + L"FTDIDriverInstall\\driver.mark"));
    ASSERT_TRUE(FileExists(D + L"FTDIDriverInstall\\driver.mark"));
    std::string mark = ReadFileBytes(D + L"FTDIDriverInstall\\driver.mark");
    EXPECT_NE(mark.find("command line: \"" + ToUtf8(exe) + "\"\r\n"), std::string::npos) << mark;
}

TEST(InstallDriver, WithoutTheDriverFolderBothLinesAreStillWritten) {
    TempDir dir;
    std::wstring S = dir / L"S\\", D = dir / L"D\\";
    MakeDirs(S);
    MakeDirs(D);
    LogRecordingHost host;
    InstallDriver(host, S, D);
    EXPECT_EQ(host.events, kDriverEvents);
    EXPECT_FALSE(testsupport::DirExists(D + L"FTDIDriverInstall"));
}
