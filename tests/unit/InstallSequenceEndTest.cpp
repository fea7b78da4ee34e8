// The second half of the installation sequence: the driver question and step,
// the release step and what its failure leaves undone.
#include <gtest/gtest.h>

#include <windows.h>

#include "install/InstallSequence.h"
#include "platform/Exceptions.h"
#include "support/FakeInstallHost.h"
#include "support/ReleaseSources.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

const wchar_t kDriverQuestion[] = L"Подключите интерфейсный блок и нажмите \"Yes\"?";
const wchar_t kClosingQuestion[] = L"Установка завершена. Выйти из программы установки?";
const wchar_t kDriverStarted[] = L"Началась установка драйверов устройства...";
const wchar_t kDriverDone[] = L"Установка драйверов устройства завершена";

class InstallSequenceEnd : public ::testing::Test {
protected:
    void SetUp() override {
        S = root / L"dist\\";
        D = root / L"Program Files\\Холтер\\";
        MakeDirs(S);
        MakeDeploymentSources(S);
        MakeReleaseSources(S);
        MakeDirs(S + L"FTDIDriverInstall");
        CopyFileW((BuildDir() + L"FTDIDriverInstall.exe").c_str(), (S + L"FTDIDriverInstall\\FTDIDriverInstall.exe").c_str(),
                  FALSE);
        MakeDirs(D + L"Settings");
        host.installerFolder = S;
        host.destination = D;
        SetSmallFontsSeam([] { return false; });
    }
    void TearDown() override { SetSmallFontsSeam(nullptr); }

    bool Logged(const std::wstring& line) const {
        for (const auto& l : host.log)
            if (l == line) return true;
        return false;
    }

    CurrentFolderKept keepCurrentFolder;
    TempDir root;
    std::wstring S, D;
    FakeInstallHost host;
};

}  // namespace

TEST_F(InstallSequenceEnd, DriverIsOfferedOnlyWhenChosenAndRunOnlyOnYes) {
    struct Case {
        bool checked, yes;
        bool asked, ran;
    } cases[] = {{false, true, false, false}, {true, false, true, false}, {true, true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.checked ? "chosen" : "not chosen") + (c.yes ? ", Yes" : ", No"));
        FakeInstallHost h;
        h.installerFolder = S;
        h.destination = D;
        h.driverChecked = c.checked;
        h.answer = [&](const std::wstring& text) { return text == kDriverQuestion && c.yes; };
        DeleteFileW((D + L"FTDIDriverInstall\\driver.mark").c_str());
        RunInstallation(h);

        std::vector<std::wstring> expected;
        if (c.asked) expected.push_back(kDriverQuestion);
        expected.push_back(kClosingQuestion);
        EXPECT_EQ(h.confirmBoxes, expected);
        EXPECT_EQ(FileExists(D + L"FTDIDriverInstall\\driver.mark"), c.ran);
        ASSERT_GE(h.log.size(), 2u);
        if (c.ran) {
            // The driver's lines follow the deployment's last line.
            EXPECT_EQ(std::vector<std::wstring>(h.log.end() - 3, h.log.end()),
                      (std::vector<std::wstring>{L"Копирование файла SDecision.Dll....Завершено", kDriverStarted,
                                                 kDriverDone}));
        } else {
            EXPECT_EQ(h.log.back(), L"Копирование файла SDecision.Dll....Завершено");
        }
        EXPECT_TRUE(h.exitEnabled);
    }
}

TEST_F(InstallSequenceEnd, NewestReleaseRunsAndItsLevelIsWritten) {
    MakeReleaseSources(S, L"R311214");
    RunInstallation(host);
    EXPECT_TRUE(FileExists(D + L"backup\\R010115\\installed.mark"));
    EXPECT_FALSE(FileExists(D + L"backup\\R311214\\installed.mark"));
    EXPECT_EQ(ReadFileBytes(D + L"ReleaseInfo"), ReleaseInfoXml(1, L"010115"));
    EXPECT_TRUE(host.exitEnabled);
}

TEST_F(InstallSequenceEnd, ReleaseErrorEndsTheSequenceBeforeTheShortcutAndTheQuestion) {
    WriteFileBytes(S + L"Updater\\ReleaseInfo", ReleaseInfoXml(2, L"000000"));
    try {
        RunInstallation(host);
        ADD_FAILURE() << "no error";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.Message(), L"Cannot get release information, error: unknown release file version");
    }
    EXPECT_FALSE(host.exitEnabled);
    EXPECT_TRUE(host.confirmBoxes.empty());
    EXPECT_TRUE(host.canClose);
}

TEST_F(InstallSequenceEnd, NoReleaseAtAllEndsTheSequenceWithAListError) {
    RemoveTree(S + L"backup");
    EXPECT_THROW(RunInstallation(host), platform::EListError);
    EXPECT_FALSE(host.exitEnabled);
    EXPECT_TRUE(FileExists(D + L"ReleaseInfo"));  // the updater was copied first
}
