// The installation sequence through a window stand-in, on fixture
// distributions and destinations in real temporary folders.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <memory>

#include "install/Deployment.h"
#include "install/InstallSequence.h"
#include "platform/Exceptions.h"
#include "support/ExpectedLog.h"
#include "support/FakeInstallHost.h"
#include "support/ReleaseSources.h"
#include "support/SmallDisk.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

std::wstring IniValue(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
    wchar_t buf[256];
    GetPrivateProfileStringW(section, key, L"<none>", buf, 256, path.c_str());
    return buf;
}

// A distribution folder S and a destination D under one temporary folder, D
// and D + "Settings\" made as the path page makes them.
class InstallSequence : public ::testing::Test {
protected:
    void SetUp() override {
        S = root / L"dist\\";
        D = root / L"Холтер\\";
        MakeDirs(S);
        MakeDeploymentSources(S);
        MakeReleaseSources(S);
        MakeDirs(D + L"Settings");
        host.installerFolder = S;
        host.destination = L"  " + D + L" ";
        SetSmallFontsSeam([this] { return smallFonts; });
    }
    void TearDown() override { SetSmallFontsSeam(nullptr); }

    // The lines from the settings line on.
    std::vector<std::wstring> FullLog(int windowsIndex, bool dtafbCreated) {
        std::vector<std::wstring> lines{kSettingsLine};
        if (dtafbCreated) lines.push_back(L"Каталог <DTAfb> создан...");
        lines.push_back(Done(L"T12.FDB"));
        for (auto& l : EngineAndLibraryLines(windowsIndex)) lines.push_back(l);
        return lines;
    }

    CurrentFolderKept keepCurrentFolder;
    TempDir root;
    std::wstring S, D;
    FakeInstallHost host;
    bool smallFonts = false;
};

}  // namespace

TEST_F(InstallSequence, NewInstallationLogsEveryFileAndBuildsTheTree) {
    RunInstallation(host);

    EXPECT_EQ(host.log, FullLog(0, true));
    EXPECT_EQ(host.logResets, 1);
    ASSERT_FALSE(host.pages.empty());
    EXPECT_EQ(host.pages.front(), InstallPage::ProgressInstall);
    EXPECT_EQ(host.copyFrom, S);
    EXPECT_TRUE(host.errorBoxes.empty());

    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\T12.FDB"), "fresh database");
    for (const wchar_t* f : {L"aliases.conf", L"fbclient.Dll", L"msvcr80.Dll", L"gbak.exe", L"gds32.dll"})
        EXPECT_EQ(ReadFileBytes(D + f), SourceContent(f)) << ToUtf8(f);
    EXPECT_FALSE(FileExists(D + L"msvcp71.Dll"));
    EXPECT_FALSE(DirExists(D + L"Firebird"));
    EXPECT_EQ(ReadFileBytes(D + L"intl\\fbintl.dll"), SourceContent(L"fbintl.dll"));
    EXPECT_EQ(ReadFileBytes(D + L"udf\\ib_udf2.sql"), SourceContent(L"ib_udf2.sql"));
    EXPECT_EQ(ReadFileBytes(D + L"udf\\SDecision.Dll"), SourceContent(L"SDecision.Dll"));
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\uca.nsi"), std::string(840, '\0'));
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\wra.nsi"), std::string(840, '\0'));
    EXPECT_EQ(IniValue(D + L"Settings\\holter.ini", L"options", L"FilterType"), L"0");
    EXPECT_EQ(IniValue(D + L"Settings\\holter.ini", L"options", L"HardwareType"), L"1");
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\lastnum.dta").size(), 14u);
    EXPECT_FALSE(FileExists(D + L"btooth.ini"));

    // Closing: the question, answered No, leaves the progress page with "Выход" enabled.
    EXPECT_EQ(host.confirmBoxes, std::vector<std::wstring>{kClosingQuestion});
    EXPECT_FALSE(host.closed);
    EXPECT_TRUE(host.exitEnabled);
    EXPECT_EQ(host.pages.size(), 1u);
}

TEST_F(InstallSequence, GuardIsFalseAndCursorBusyWhileFilesAreCopied) {
    RunInstallation(host);
    int copyLines = 0;
    for (const auto& e : host.lineEvents) {
        if (e.text.rfind(L"Копирование файла ", 0) != 0 && e.text.rfind(L"Создание", 0) != 0) continue;
        ++copyLines;
        EXPECT_FALSE(e.canClose) << ToUtf8(e.text);
        EXPECT_TRUE(e.hourglass) << ToUtf8(e.text);
    }
    EXPECT_EQ(copyLines, 2 * 25);  // each of 24 files and the settings line, added and completed
    EXPECT_EQ(host.canCloseSet, (std::vector<bool>{false, true}));
    EXPECT_TRUE(host.canClose);
    EXPECT_FALSE(host.hourglass);
    // The close question comes after the block.
    EXPECT_EQ(host.confirmBoxes.size(), 1u);
}

TEST_F(InstallSequence, EachLineIsShownBeforeItsWorkRuns) {
    // At each pump after a copy line is added, its target does not exist yet.
    std::vector<std::wstring> missingAtPump;
    host.onPump = [&] {
        if (host.log.empty()) return;
        const std::wstring& last = host.log.back();
        const std::wstring prefix = L"Копирование файла ";
        if (last.rfind(prefix, 0) == 0 && last.size() > 4 && last.substr(last.size() - 4) == L"....") {
            std::wstring name = last.substr(prefix.size(), last.size() - prefix.size() - 4);
            if (!FileExists(D + name) && !FileExists(D + L"DTAfb\\" + name) && !FileExists(D + L"intl\\" + name) &&
                !FileExists(D + L"udf\\" + name))
                missingAtPump.push_back(name);
        }
    };
    RunInstallation(host);
    EXPECT_EQ(missingAtPump.size(), 24u);
}

TEST_F(InstallSequence, SecondEngineSetGivesTenEngineLines) {
    host.windowsIndex = 1;
    RunInstallation(host);
    EXPECT_EQ(host.log, FullLog(1, true));
    EXPECT_EQ(ReadFileBytes(D + L"msvcp71.Dll"), SourceContent(L"msvcp71.Dll"));
    EXPECT_FALSE(FileExists(D + L"gbak.exe"));
    EXPECT_FALSE(FileExists(D + L"gds32.dll"));
    EXPECT_FALSE(FileExists(D + L"msvcp80.Dll"));
}

TEST_F(InstallSequence, MissingDestinationIsCreatedAndLogged) {
    RemoveTree(D.substr(0, D.size() - 1));
    MakeDirs(root / L"Holter2");
    host.destination = root / L"Holter2\\Новая\\";
    // The path page could not make Settings, so holter.ini cannot be written.
    EXPECT_THROW(RunInstallation(host), platform::Exception);
    EXPECT_EQ(host.log, std::vector<std::wstring>{L"Каталог создан..."});
    EXPECT_TRUE(DirExists(root / L"Holter2\\Новая"));
    EXPECT_TRUE(host.canCloseSet.empty());  // ended before the guarded block
}

TEST_F(InstallSequence, DestinationThatCannotBeCreatedEndsWithTheBoxAndTheLine) {
    host.destination = root / L"no\\such\\folder\\";
    RunInstallation(host);
    EXPECT_EQ(host.errorBoxes, std::vector<std::wstring>{L"Ошибка при создании каталога!"});
    EXPECT_EQ(host.log, std::vector<std::wstring>{L"Ошибка при создании каталога!"});
    EXPECT_TRUE(host.canCloseSet.empty());
    EXPECT_FALSE(host.hourglass);
    EXPECT_FALSE(host.exitEnabled);
    EXPECT_TRUE(host.confirmBoxes.empty());
}

TEST_F(InstallSequence, HolterIniKeepsItsOtherKeys) {
    WriteFileBytes(D + L"Settings\\holter.ini",
                   "; the suite's settings\r\n[options]\r\nLanguageSetting=ENG\r\nHardwareType=3\r\ndoformshow=1\r\n"
                   "[view]\r\nZoom=2\r\n");
    RunInstallation(host);
    const std::wstring ini = D + L"Settings\\holter.ini";
    EXPECT_EQ(IniValue(ini, L"options", L"LanguageSetting"), L"ENG");
    EXPECT_EQ(IniValue(ini, L"options", L"HardwareType"), L"1");
    EXPECT_EQ(IniValue(ini, L"options", L"FilterType"), L"0");
    EXPECT_EQ(IniValue(ini, L"options", L"doformshow"), L"1");
    EXPECT_EQ(IniValue(ini, L"view", L"Zoom"), L"2");
}

TEST_F(InstallSequence, LastNumHoldsTheLocalTimeOfWritingAndIsKeptWhenPresent) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    RunInstallation(host);
    GetLocalTime(&after);
    const std::string bytes = ReadFileBytes(D + L"Settings\\lastnum.dta");
    ASSERT_EQ(bytes.size(), 14u);
    EXPECT_EQ(bytes.substr(0, 6), std::string(6, '\0'));
    double stamp;
    std::memcpy(&stamp, bytes.data() + 6, 8);  // little-endian, as the machine
    double low, high;
    ASSERT_TRUE(SystemTimeToVariantTime(&before, &low));
    ASSERT_TRUE(SystemTimeToVariantTime(&after, &high));
    // SystemTimeToVariantTime drops the milliseconds: allow a second either way.
    EXPECT_GE(stamp, low - 1.0 / 86400);
    EXPECT_LE(stamp, high + 1.0 / 86400);

    // A second installation keeps the file whatever it holds.
    WriteFileBytes(D + L"Settings\\lastnum.dta", "anything");
    FakeInstallHost again;
    again.installerFolder = S;
    again.destination = D;
    RunInstallation(again);
    EXPECT_EQ(ReadFileBytes(D + L"Settings\\lastnum.dta"), "anything");
}

TEST(LastNumRecord, IsTheDayCountSinceTheEndOf1899) {
    struct Case {
        SYSTEMTIME time;
        double days;
    } cases[] = {
        {{1899, 12, 0, 30, 0, 0, 0, 0}, 0.0},
        {{1900, 1, 0, 1, 12, 0, 0, 0}, 2.5},
        {{2026, 12, 0, 11, 18, 0, 0, 0}, 46367.75},
    };
    for (const auto& c : cases) {
        unsigned char record[14];
        std::memset(record, 0xAA, sizeof record);
        LastNumRecord(c.time, record);
        unsigned char expected[14] = {};
        std::memcpy(expected + 6, &c.days, 8);
        EXPECT_EQ(std::memcmp(record, expected, 14), 0) << c.days;
    }
}

TEST_F(InstallSequence, BtoothIniOnlyForTheSecondBrand) {
    RunInstallation(host);
    EXPECT_FALSE(FileExists(D + L"btooth.ini"));

    const std::string existing = "[Common]\r\nPort=COM3\r\n[Device]\r\nName=K-1\r\n";
    WriteFileBytes(D + L"btooth.ini", existing);
    FakeInstallHost first;
    first.installerFolder = S;
    first.destination = D;
    RunInstallation(first);
    EXPECT_EQ(ReadFileBytes(D + L"btooth.ini"), existing);

    FakeInstallHost second;
    second.installerFolder = S;
    second.destination = D;
    second.secondBrand = true;
    RunInstallation(second);
    EXPECT_EQ(IniValue(D + L"btooth.ini", L"Common", L"Disk"), L"I");
    EXPECT_EQ(IniValue(D + L"btooth.ini", L"Common", L"Port"), L"COM3");
    EXPECT_EQ(IniValue(D + L"btooth.ini", L"Device", L"Name"), L"K-1");

    DeleteFileW((D + L"btooth.ini").c_str());
    FakeInstallHost third;
    third.installerFolder = S;
    third.destination = D;
    third.secondBrand = true;
    RunInstallation(third);
    EXPECT_EQ(IniValue(D + L"btooth.ini", L"Common", L"Disk"), L"I");
}

TEST_F(InstallSequence, DatabaseFolderThatCannotBeCreatedStops) {
    WriteFileBytes(D + L"DTAfb", "a file in the folder's place");
    RunInstallation(host);
    EXPECT_EQ(host.errorBoxes, std::vector<std::wstring>{L"Ошибка при создании каталога <DTAfb>!"});
    EXPECT_EQ(host.log, (std::vector<std::wstring>{kSettingsLine, L"Ошибка при создании каталога <DTAfb>!"}));
    EXPECT_TRUE(host.canClose);
    EXPECT_FALSE(host.hourglass);
    EXPECT_FALSE(FileExists(D + L"Settings\\lastnum.dta"));
    EXPECT_FALSE(host.exitEnabled);
    EXPECT_TRUE(host.confirmBoxes.empty());
}

TEST_F(InstallSequence, MissingSourceEndsWithThePendingLineAndRaises) {
    DeleteFileW((S + L"Firebird\\icuuc30.Dll").c_str());
    try {
        RunInstallation(host);
        FAIL() << "no error raised";
    } catch (const platform::EFOpenError& e) {
        EXPECT_NE(e.Message().find(S + L"Firebird\\icuuc30.Dll"), std::wstring::npos) << e.what();
    }
    ASSERT_FALSE(host.log.empty());
    EXPECT_EQ(host.log.back(), Pending(L"icuuc30.Dll"));
    EXPECT_EQ(host.log[host.log.size() - 2], Done(L"icuin30.Dll"));
    EXPECT_TRUE(host.canClose);
    EXPECT_FALSE(host.hourglass);
    EXPECT_FALSE(FileExists(D + L"Settings\\lastnum.dta"));
    EXPECT_FALSE(host.exitEnabled);
}

TEST_F(InstallSequence, MissingOwnLibraryRaisesToo) {
    DeleteFileW((S + L"UDF\\Compare.Dll").c_str());
    EXPECT_THROW(RunInstallation(host), platform::EFOpenError);
    EXPECT_EQ(host.log.back(), Pending(L"Compare.Dll"));
    EXPECT_TRUE(host.canClose);
}

TEST_F(InstallSequence, ReinstallationKeepsTheOldDatabaseAsADatedBackup) {
    MakeDirs(D + L"DTAfb");
    WriteFileBytes(D + L"DTAfb\\T12.FDB", "the clinic's patient records");
    SYSTEMTIME before;
    GetLocalTime(&before);
    RunInstallation(host);

    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\T12.FDB"), "fresh database");
    // One backup beside it, named after the database and the time it was kept.
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((D + L"DTAfb\\T12_backup_*.FDB").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::wstring backup = fd.cFileName;
    EXPECT_FALSE(FindNextFileW(h, &fd));
    FindClose(h);
    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\" + backup), "the clinic's patient records");
    wchar_t year[8];
    wsprintfW(year, L"%04u-", before.wYear);
    EXPECT_EQ(backup.find(std::wstring(L"T12_backup_") + year), 0u) << ToUtf8(backup);

    std::vector<std::wstring> expected{kSettingsLine,
                                       L"Сохранение прежней базы данных в файл DTAfb\\" + backup + L"....Завершено",
                                       Done(L"T12.FDB")};
    for (auto& l : EngineAndLibraryLines(0)) expected.push_back(l);
    EXPECT_EQ(host.log, expected);
    for (const auto& e : host.lineEvents) EXPECT_FALSE(e.canClose);

    // A second reinstallation keeps the first backup and adds its own.
    WriteFileBytes(D + L"DTAfb\\T12.FDB", "records of the second year");
    FakeInstallHost again;
    again.installerFolder = S;
    again.destination = D;
    RunInstallation(again);
    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\" + backup), "the clinic's patient records");
    int backups = 0;
    bool secondKept = false;
    h = FindFirstFileW((D + L"DTAfb\\T12_backup_*.FDB").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        ++backups;
        if (ReadFileBytes(D + L"DTAfb\\" + fd.cFileName) == "records of the second year") secondKept = true;
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    EXPECT_EQ(backups, 2);
    EXPECT_TRUE(secondKept);
}

TEST_F(InstallSequence, DatabaseThatCannotBeBackedUpStaysAndTheSequenceStops) {
    MakeDirs(D + L"DTAfb");
    WriteFileBytes(D + L"DTAfb\\T12.FDB", "the clinic's patient records");
    // Held open without sharing, as by a running database server.
    HANDLE held = CreateFileW((D + L"DTAfb\\T12.FDB").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunInstallation(host);
    CloseHandle(held);

    EXPECT_EQ(ReadFileBytes(D + L"DTAfb\\T12.FDB"), "the clinic's patient records");
    ASSERT_EQ(host.log.size(), 2u);
    EXPECT_EQ(host.log[0], kSettingsLine);
    EXPECT_EQ(host.log[1].rfind(L"Сохранение прежней базы данных в файл DTAfb\\T12_backup_", 0), 0u);
    EXPECT_EQ(host.log[1].substr(host.log[1].size() - 17), L".FDB....ОШИБКА!!!");
    ASSERT_EQ(host.errorBoxes.size(), 1u);
    EXPECT_NE(host.errorBoxes[0].find(L"Прежняя база данных оставлена без изменений"), std::wstring::npos);
    EXPECT_NE(host.errorBoxes[0].find(D + L"DTAfb\\T12.FDB"), std::wstring::npos);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((D + L"DTAfb\\*").c_str(), &fd);
    int entries = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (fd.cFileName[0] != L'.') ++entries;
        while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    EXPECT_EQ(entries, 1);  // no backup, no temporary file
    EXPECT_TRUE(host.canClose);
    EXPECT_FALSE(host.hourglass);
    EXPECT_FALSE(host.exitEnabled);
}

TEST(DatabaseBackupName, TellsWhatAndWhenAndNeverTakesAnExistingName) {
    TempDir dir;
    const SYSTEMTIME t{2026, 12, 5, 11, 14, 5, 33, 120};
    const std::wstring first = dir / L"T12_backup_2026-12-11_14-05-33.FDB";
    EXPECT_EQ(deployment::BackupPath(dir / L"T12.FDB", t), first);
    WriteFileBytes(first, "1");
    EXPECT_EQ(deployment::BackupPath(dir / L"T12.FDB", t), dir / L"T12_backup_2026-12-11_14-05-33_2.FDB");
    WriteFileBytes(dir / L"T12_backup_2026-12-11_14-05-33_2.FDB", "2");
    EXPECT_EQ(deployment::BackupPath(dir / L"T12.FDB", t), dir / L"T12_backup_2026-12-11_14-05-33_3.FDB");
    EXPECT_EQ(deployment::BackupPath(dir / L"base", t), dir / L"base_backup_2026-12-11_14-05-33");
}

// ------------------------------------------------------ failures on a full disk

namespace {

// An installation whose destination lies on the small disk; the named source
// is made larger than the free space there, so that its copy fails half-way.
class InstallOnFullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        disk = SmallDisk::Acquire(L"unit", &why);
        if (!disk) GTEST_SKIP() << why;
        S = dist.path();
        D = *disk / L"Holter\\";
        MakeDeploymentSources(S);
        MakeReleaseSources(S);
        MakeDirs(D + L"Settings");
        host.installerFolder = S;
        host.destination = D;
        SetSmallFontsSeam([] { return false; });
    }
    void TearDown() override { SetSmallFontsSeam(nullptr); }
    void MakeTooLarge(const std::wstring& relative) {
        WriteFileBytes(S + relative, std::string(static_cast<size_t>(disk->FreeBytes()) + 1024 * 1024, 'z'));
    }

    CurrentFolderKept keepCurrentFolder;
    std::unique_ptr<SmallDisk> disk;
    TempDir dist;
    std::wstring S, D;
    FakeInstallHost host;
};

}  // namespace

TEST_F(InstallOnFullDisk, FailedEngineCopyStopsAndKeepsTheOldFile) {
    MakeTooLarge(L"Firebird\\fbclient.Dll");
    WriteFileBytes(D + L"fbclient.Dll", "the engine of the old installation");
    RunInstallation(host);

    ASSERT_GE(host.log.size(), 3u);
    EXPECT_EQ(host.log.back(), Failed(L"fbclient.Dll"));
    EXPECT_EQ(host.log[host.log.size() - 2], Done(L"firebird.conf"));
    EXPECT_EQ(ReadFileBytes(D + L"fbclient.Dll"), "the engine of the old installation");
    EXPECT_FALSE(FileExists(D + L"ib_util.Dll"));
    EXPECT_FALSE(FileExists(D + L"Settings\\lastnum.dta"));
    EXPECT_TRUE(host.canClose);
    EXPECT_FALSE(host.hourglass);
    EXPECT_TRUE(host.confirmBoxes.empty());
    EXPECT_TRUE(host.errorBoxes.empty());
}

TEST_F(InstallOnFullDisk, FailedDatabaseCopyStopsBeforeTheEngine) {
    MakeTooLarge(L"DTAfb\\T12.FDB");
    RunInstallation(host);
    EXPECT_EQ(host.log, (std::vector<std::wstring>{kSettingsLine, L"Каталог <DTAfb> создан...", Failed(L"T12.FDB")}));
    EXPECT_FALSE(FileExists(D + L"DTAfb\\T12.FDB"));
    EXPECT_FALSE(FileExists(D + L"aliases.conf"));
    EXPECT_TRUE(host.canClose);
}

TEST_F(InstallOnFullDisk, FailedOwnLibraryCopyIsLoggedAndTheSequenceGoesOn) {
    MakeTooLarge(L"UDF\\PosStr.Dll");
    RunInstallation(host);
    ASSERT_GE(host.log.size(), 4u);
    EXPECT_EQ(std::vector<std::wstring>(host.log.end() - 4, host.log.end()),
              (std::vector<std::wstring>{Done(L"Compare.Dll"), Failed(L"PosStr.Dll"), Done(L"ProcessingECG.Dll"),
                                         Done(L"SDecision.Dll")}));
    EXPECT_FALSE(FileExists(D + L"udf\\PosStr.Dll"));
    EXPECT_EQ(ReadFileBytes(D + L"udf\\SDecision.Dll"), SourceContent(L"SDecision.Dll"));
    EXPECT_TRUE(FileExists(D + L"Settings\\lastnum.dta"));
    EXPECT_EQ(host.confirmBoxes, std::vector<std::wstring>{kClosingQuestion});
    EXPECT_TRUE(host.exitEnabled);
}

// ----------------------------------------------------------------- closing

TEST_F(InstallSequence, ClosingAsksOrShowsTheDisplaySizePage) {
    struct Case {
        bool smallFonts, yes;
        bool asked, closed, fontPage;
    } cases[] = {
        {true, true, false, false, true},
        {false, true, true, true, false},
        {false, false, true, false, false},
    };
    for (const auto& c : cases) {
        FakeInstallHost h;
        h.installerFolder = S;
        h.destination = D;
        h.answer = [&](const std::wstring& text) { return text == kClosingQuestion && c.yes; };
        smallFonts = c.smallFonts;
        RunInstallation(h);
        SCOPED_TRACE(c.smallFonts ? "small fonts" : c.yes ? "answered Yes" : "answered No");
        EXPECT_EQ(!h.confirmBoxes.empty(), c.asked);
        EXPECT_EQ(h.closed, c.closed);
        EXPECT_EQ(h.pages.back() == InstallPage::ChangeFontSize, c.fontPage);
        EXPECT_TRUE(h.exitEnabled);
        EXPECT_TRUE(h.canClose);
    }
}
