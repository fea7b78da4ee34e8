// "Начать установку" in the real Install.exe: the log line by line, the
// installed tree and settings files, the second engine set, the reinstallation
// that keeps the clinic's database, and the ways the deployment stops.
#include <memory>

#include "e2e/WizardFixture.h"
#include "support/ExpectedLog.h"
#include "support/SmallDisk.h"

using namespace wizard;

namespace {

void Append(std::vector<std::wstring>& to, const std::vector<std::wstring>& lines) {
    to.insert(to.end(), lines.begin(), lines.end());
}

std::vector<std::wstring> Head(const std::vector<std::wstring>& lines, size_t n) {
    return std::vector<std::wstring>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(n, lines.size())));
}

std::wstring IniValue(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
    wchar_t buf[256];
    GetPrivateProfileStringW(section, key, L"<none>", buf, 256, path.c_str());
    return buf;
}

void WriteLarge(const std::wstring& path, unsigned long long bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::string chunk(1 << 20, 'z');
    DWORD done = 0;
    for (unsigned long long left = bytes; left > 0;) {
        DWORD n = static_cast<DWORD>(std::min<unsigned long long>(left, chunk.size()));
        WriteFile(h, chunk.data(), n, &done, nullptr);
        left -= n;
    }
    CloseHandle(h);
}

// A wizard walked to the components page with a destination D of the test's
// choosing and the driver option cleared, ready for "Начать установку".
class Installation : public ::testing::Test {
protected:
    // The default destination, beside the distribution.
    std::wstring DefaultDestination() const { return w.dist.Scratch() + L"Holter\\"; }

    void Open(const std::wstring& destination) {
        D = destination;
        w.Start();
        ASSERT_TRUE(w.Up());
        w.Press(L"BtnStartNext");
        ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
        SetTextOf(w.Ctl(L"ePath"), D.substr(0, D.size() - 1));
        w.Press(L"BtnInputPathNext");
        w.AcknowledgeWarning();
        ASSERT_TRUE(w.WaitForPage(L"tsInputComponents"));
        ASSERT_EQ(w.Text(L"ePath"), D);
        Click(w.Ctl(L"CbDriverInstal"));
        ASSERT_TRUE(WaitUntil([&] { return !IsChecked(w.Ctl(L"CbDriverInstal")); }));
    }

    void Install() { w.Press(L"BtnInsatall"); }

    std::vector<std::wstring> Log() const { return ListItems(w.Ctl(L"LogList")); }

    // Waits for the end of a complete run: the display-size page or the closing
    // question, which is answered No. Any other box of a later step is answered
    // as a declining operator would.
    bool WaitForEnd() {
        return WaitUntil(
            [&] {
                if (HWND box = w.app.FindMessageBox()) {
                    if (MessageBoxText(box) == kClosingQuestion) {
                        PressDialogButton(box, IDNO);
                        return true;
                    }
                    PressDialogButton(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);
                }
                return w.ActivePage() == L"tsChangeFontSize";
            },
            180000);
    }

    // Waits until the log has stopped growing for a while and its last line is last.
    bool WaitForLastLine(const std::wstring& last) {
        return WaitUntil([&] {
            auto log = Log();
            if (log.empty() || log.back() != last) return false;
            Pause(500);
            return Log().size() == log.size();
        }, 120000);
    }

    // The window closes from the title bar: the guarded block has been left.
    void ExpectClosesFromTheTitleBar() {
        PostSysClose(w.main);
        EXPECT_TRUE(w.app.WaitForExit()) << "the window refused to close after the installation stopped";
    }

    // The installer ends before the folders it may still use are removed.
    void TearDown() override {
        if (w.app.Running()) w.app.Kill();
    }

    Wizard w{L"", false};
    std::wstring D;
};

}  // namespace

TEST_F(Installation, NewInstallationLogsEveryFileAndKeepsTheOtherSettings) {
    D = DefaultDestination();
    MakeDirs(D + L"Settings");
    WriteFileBytes(D + L"Settings\\holter.ini",
                   "[options]\r\nLanguageSetting=ENG\r\nHardwareType=4\r\n[view]\r\nZoom=2\r\n");
    Open(D);
    Install();
    ASSERT_TRUE(WaitForEnd());

    // D existed: no "Каталог создан..."; DTAfb did not.
    std::vector<std::wstring> expected{kSettingsLine, L"Каталог <DTAfb> создан...", Done(L"T12.FDB")};
    Append(expected, EngineAndLibraryLines(0));
    // The lines of the later steps (fonts, driver, release) follow these.
    EXPECT_EQ(Head(Log(), expected.size()), expected);

    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\T12.FDB"), ReadFileBytes(w.dist / L"DTAfb\\T12.FDB"));
    for (const wchar_t* f : {L"aliases.conf", L"fbclient.Dll", L"gbak.exe", L"gds32.dll"})
        EXPECT_EQ(ReadFileBytes(D + f), ReadFileBytes(w.dist / L"Firebird\\" + f)) << ToUtf8(f);
    EXPECT_EQ(ReadFileBytes(D + L"intl\\fbintl.conf"), ReadFileBytes(w.dist / L"Firebird\\intl\\fbintl.conf"));
    EXPECT_EQ(ReadFileBytes(D + L"udf\\fbudf.sql"), ReadFileBytes(w.dist / L"Firebird\\udf\\fbudf.sql"));
    EXPECT_EQ(ReadFileBytes(D + L"udf\\Compare.Dll"), ReadFileBytes(w.dist / L"UDF\\Compare.Dll"));
    EXPECT_FALSE(FileExists(D + L"msvcp71.Dll"));
    EXPECT_FALSE(DirExists(D + L"Firebird"));
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\uca.nsi"), std::string(840, '\0'));
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\wra.nsi"), std::string(840, '\0'));
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\lastnum.dta").size(), 14u);
    EXPECT_FALSE(FileExists(D + L"btooth.ini"));

    const std::wstring ini = D + L"Settings\\holter.ini";
    EXPECT_EQ(IniValue(ini, L"options", L"FilterType"), L"0");
    EXPECT_EQ(IniValue(ini, L"options", L"HardwareType"), L"1");
    EXPECT_EQ(IniValue(ini, L"options", L"LanguageSetting"), L"ENG");
    EXPECT_EQ(IniValue(ini, L"view", L"Zoom"), L"2");
}

TEST_F(Installation, SecondEngineSetAndAReinstallationThatKeepsTheDatabase) {
    D = DefaultDestination();
    MakeDirs(D + L"Settings");
    MakeDirs(D + L"DTAfb");
    WriteFileBytes(D + L"DTAfb\\T12.FDB", "the clinic's patient records");
    WriteFileBytes(D + L"Settings\\lastnum.dta", "kept as it is");
    Open(D);
    // The hidden combo box set to "Windows XP".
    HWND combo = w.Ctl(L"CBWindows");
    DWORD_PTR r = 0;
    SendMessageTimeoutW(combo, CB_SETCURSEL, 1, 0, SMTO_ABORTIFHUNG, 5000, &r);
    ASSERT_EQ(ComboSelection(combo), 1);
    Install();
    ASSERT_TRUE(WaitForEnd());

    auto log = Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], kSettingsLine);
    // "Сохранение прежней базы данных в файл DTAfb\T12_backup_<date>_<time>.FDB....Завершено"
    const std::wstring lead = L"Сохранение прежней базы данных в файл DTAfb\\", tail = L"....Завершено";
    ASSERT_EQ(log[1].rfind(lead, 0), 0u) << ToUtf8(log[1]);
    ASSERT_GT(log[1].size(), lead.size() + tail.size());
    ASSERT_EQ(log[1].substr(log[1].size() - tail.size()), tail);
    const std::wstring backupName = log[1].substr(lead.size(), log[1].size() - lead.size() - tail.size());
    EXPECT_EQ(backupName.rfind(L"T12_backup_", 0), 0u) << ToUtf8(backupName);
    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\" + backupName), "the clinic's patient records") << ToUtf8(backupName);
    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\T12.FDB"), ReadFileBytes(w.dist / L"DTAfb\\T12.FDB"));

    std::vector<std::wstring> expected{kSettingsLine, log[1], Done(L"T12.FDB")};
    Append(expected, EngineAndLibraryLines(1));
    EXPECT_EQ(Head(log, expected.size()), expected);
    EXPECT_EQ(ReadFileBytes(D + L"msvcr71.Dll"), ReadFileBytes(w.dist / L"Firebird\\msvcr71.Dll"));
    EXPECT_FALSE(FileExists(D + L"gbak.exe"));
    EXPECT_FALSE(FileExists(D + L"gds32.dll"));
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\lastnum.dta"), "kept as it is");
}

TEST_F(Installation, DatabaseFolderThatCannotBeCreatedStopsAfterItsBox) {
    D = DefaultDestination();
    MakeDirs(D + L"Settings");
    WriteFileBytes(D + L"DTAfb", "a file where the folder should be");
    Open(D);
    Install();
    w.Answer(L"Ошибка при создании каталога <DTAfb>!", IDOK);
    ASSERT_TRUE(WaitForLastLine(L"Ошибка при создании каталога <DTAfb>!"));
    EXPECT_EQ(Log(), (std::vector<std::wstring>{kSettingsLine, L"Ошибка при создании каталога <DTAfb>!"}));
    EXPECT_FALSE(FileExists(D + L"Settings\\lastnum.dta"));
    EXPECT_FALSE(IsEnabledWindow(w.Ctl(L"BtnExit")));
    EXPECT_EQ(w.ActivePage(), L"tsProgressInstall");
    ExpectClosesFromTheTitleBar();
}

TEST_F(Installation, MissingSourceIsReportedAndLeavesItsLineWithoutOutcome) {
    ASSERT_TRUE(DeleteFileW((w.dist / L"Firebird\\icuuc30.Dll").c_str()));
    Open(DefaultDestination());
    Install();
    HWND box = w.app.WaitForMessageBox(L"", 60000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(MessageBoxText(box).find(w.dist / L"Firebird\\icuuc30.Dll"), std::wstring::npos)
        << ToUtf8(MessageBoxText(box));
    PressDialogButton(box, IDOK);
    ASSERT_TRUE(WaitForLastLine(L"Копирование файла icuuc30.Dll...."));
    auto log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], Done(L"icuin30.Dll"));
    EXPECT_FALSE(FileExists(D + L"icuuc30.Dll"));
    EXPECT_FALSE(IsEnabledWindow(w.Ctl(L"BtnExit")));
    ExpectClosesFromTheTitleBar();
}

// The destination on a small disk of its own, so that one copy fails half-way
// for want of space.
class InstallationOnFullDisk : public Installation {
protected:
    void SetUp() override {
        std::string why;
        disk = testsupport::SmallDisk::Acquire(L"e2e", &why);
        if (!disk) GTEST_SKIP() << why;
    }
    void MakeTooLarge(const std::wstring& relative) {
        WriteLarge(w.dist / relative, disk->FreeBytes() + 1024 * 1024);
    }
    std::unique_ptr<testsupport::SmallDisk> disk;
};

TEST_F(InstallationOnFullDisk, FailedEngineCopyStopsAndLeavesTheOldFile) {
    D = *disk / L"Holter\\";
    MakeDirs(D + L"Settings");
    WriteFileBytes(D + L"fbclient.Dll", "the engine of the old installation");
    MakeTooLarge(L"Firebird\\fbclient.Dll");
    Open(D);
    Install();
    ASSERT_TRUE(WaitForLastLine(Failed(L"fbclient.Dll")));
    std::vector<std::wstring> expected{kSettingsLine, L"Каталог <DTAfb> создан...", Done(L"T12.FDB"),
                                       Done(L"aliases.conf"), Done(L"firebird.conf"), Failed(L"fbclient.Dll")};
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(ReadFileBytes(D + L"fbclient.Dll"), "the engine of the old installation");
    EXPECT_EQ(w.app.FindMessageBox(), nullptr);
    ExpectClosesFromTheTitleBar();
}

TEST_F(InstallationOnFullDisk, FailedOwnLibraryCopyIsLoggedAndTheInstallationGoesOn) {
    D = *disk / L"Holter\\";
    MakeDirs(D + L"Settings");
    MakeTooLarge(L"UDF\\PosStr.Dll");
    Open(D);
    Install();
    ASSERT_TRUE(WaitUntil([&] { return FileExists(D + L"Settings\\lastnum.dta"); }, 120000))
        << "the installation did not go on past the libraries";
    std::vector<std::wstring> expected{kSettingsLine, L"Каталог <DTAfb> создан...", Done(L"T12.FDB")};
    Append(expected, EngineAndLibraryLines(0));
    expected[expected.size() - 3] = Failed(L"PosStr.Dll");
    EXPECT_EQ(Head(Log(), expected.size()), expected);
    EXPECT_FALSE(FileExists(D + L"udf\\PosStr.Dll"));
    EXPECT_TRUE(FileExists(D + L"udf\\SDecision.Dll"));
}
