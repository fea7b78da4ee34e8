// The installation's file and folder operations on real temporary folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "install/FileCopy.h"
#include "platform/Exceptions.h"
#include "support/SmallDisk.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

// Names in a folder (files and folders), sorted.
std::vector<std::wstring> Names(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

FILETIME LastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) << ToUtf8(path);
    return d.ftLastWriteTime;
}

ULONGLONG Ticks(const FILETIME& ft) { return (ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

void SetLastWrite(const std::wstring& path, const SYSTEMTIME& localTime) {
    FILETIME local, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&localTime, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
}

std::string Pattern(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    return s;
}

}  // namespace

// ---------------------------------------------------------------- CopyOneFile

TEST(CopyOneFile, MissingSourceRaisesOpenErrorAndCreatesNothing) {
    TempDir dir;
    try {
        CopyOneFile(dir / L"нет.dll", dir / L"target.dll");
        FAIL() << "no error raised";
    } catch (const platform::EFOpenError& e) {
        EXPECT_NE(e.Message().find(dir / L"нет.dll"), std::wstring::npos) << e.what();
    }
    EXPECT_TRUE(Names(dir.path()).empty());
}

TEST(CopyOneFile, MissingTargetFolderRaisesCreateErrorAndLeavesSource) {
    TempDir dir;
    WriteFileBytes(dir / L"src.dll", "content");
    try {
        CopyOneFile(dir / L"src.dll", dir / L"missing\\src.dll");
        FAIL() << "no error raised";
    } catch (const platform::EFCreateError& e) {
        EXPECT_NE(e.Message().find(dir / L"missing\\src.dll"), std::wstring::npos) << e.what();
    }
    EXPECT_EQ(ReadFileBytes(dir / L"src.dll"), "content");
    EXPECT_EQ(Names(dir.path()), std::vector<std::wstring>{L"src.dll"});
}

TEST(CopyOneFile, ReplacesLargerTargetExactlyAndKeepsItsAttributes) {
    TempDir dir;
    WriteFileBytes(dir / L"new.conf", "short");
    WriteFileBytes(dir / L"old.conf", std::string(100000, 'x'));
    ASSERT_TRUE(SetFileAttributesW((dir / L"old.conf").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    EXPECT_TRUE(CopyOneFile(dir / L"new.conf", dir / L"old.conf"));

    EXPECT_EQ(ReadFileBytes(dir / L"old.conf"), "short");
    DWORD a = Attributes(dir / L"old.conf");
    EXPECT_TRUE(a & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(a & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"new.conf", L"old.conf"}));  // no temporary file left
}

TEST(CopyOneFile, NewTargetGetsTheGivenNameAndDefaultAttributes) {
    TempDir dir;
    MakeDirs(dir / L"to");
    WriteFileBytes(dir / L"Fbclient.dll", "engine");
    ASSERT_TRUE(SetFileAttributesW((dir / L"Fbclient.dll").c_str(), FILE_ATTRIBUTE_HIDDEN));

    EXPECT_TRUE(CopyOneFile(dir / L"Fbclient.dll", dir / L"to\\fbclient.Dll"));

    EXPECT_EQ(Names(dir / L"to\\"), std::vector<std::wstring>{L"fbclient.Dll"});
    EXPECT_EQ(ReadFileBytes(dir / L"to\\fbclient.Dll"), "engine");
    EXPECT_FALSE(Attributes(dir / L"to\\fbclient.Dll") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
}

TEST(CopyOneFile, EmptySourceGivesEmptyTarget) {
    TempDir dir;
    WriteFileBytes(dir / L"empty", "");
    WriteFileBytes(dir / L"target", "old");
    EXPECT_TRUE(CopyOneFile(dir / L"empty", dir / L"target"));
    EXPECT_EQ(ReadFileBytes(dir / L"target"), "");
}

TEST(CopyOneFile, TargetTakesSourceLastWriteTimeInEvenSeconds) {
    TempDir dir;
    WriteFileBytes(dir / L"src", "x");
    WriteFileBytes(dir / L"dst", "y");
    struct Case {
        WORD second, ms, expectedSecond;
    } cases[] = {{31, 789, 30}, {30, 0, 30}, {59, 999, 58}, {0, 1, 0}};
    for (const auto& c : cases) {
        SYSTEMTIME t{2019, 5, 0, 17, 10, 20, c.second, c.ms};
        SetLastWrite(dir / L"src", t);
        ASSERT_TRUE(CopyOneFile(dir / L"src", dir / L"dst"));
        FILETIME local;
        SYSTEMTIME got;
        FILETIME written = LastWrite(dir / L"dst");
        FileTimeToLocalFileTime(&written, &local);
        FileTimeToSystemTime(&local, &got);
        EXPECT_EQ(got.wSecond, c.expectedSecond) << "source second " << c.second << "." << c.ms;
        EXPECT_EQ(got.wMinute, 20);
        EXPECT_EQ(got.wMilliseconds, 0);
        EXPECT_EQ(Ticks(written) % 10000000ull, 0ull);
    }
}

TEST(CopyOneFile, ReadOnlyTargetRaisesBeforeCopyingAndStaysAsItWas) {
    TempDir dir;
    WriteFileBytes(dir / L"src", "new content");
    WriteFileBytes(dir / L"dst", "old content");
    ASSERT_TRUE(SetFileAttributesW((dir / L"dst").c_str(), FILE_ATTRIBUTE_READONLY));
    int calls = 0;
    EXPECT_THROW(CopyOneFile(dir / L"src", dir / L"dst", [&](std::uint64_t, std::uint64_t) { ++calls; }),
                 platform::EFCreateError);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(ReadFileBytes(dir / L"dst"), "old content");
    EXPECT_TRUE(Attributes(dir / L"dst") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"dst", L"src"}));
}

TEST(CopyOneFile, TargetHeldOpenByAnotherProgramRaisesAndStays) {
    TempDir dir;
    WriteFileBytes(dir / L"src", "new content");
    WriteFileBytes(dir / L"dst", "old content");
    // Held the way a running program holds its files: others may read, not write.
    HANDLE held = CreateFileW((dir / L"dst").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(CopyOneFile(dir / L"src", dir / L"dst"), platform::EFCreateError);
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(dir / L"dst"), "old content");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"dst", L"src"}));
}

TEST(CopyOneFile, ReportsProgressUpToTheFullLength) {
    TempDir dir;
    const std::string data = Pattern(3 * 1024 * 1024 + 12345);
    WriteFileBytes(dir / L"big", data);
    std::vector<std::uint64_t> seen;
    ASSERT_TRUE(CopyOneFile(dir / L"big", dir / L"copy", [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, data.size());
        seen.push_back(done);
    }));
    ASSERT_GE(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), data.size());
    EXPECT_TRUE(ReadFileBytes(dir / L"copy") == data);
}

// A copy that ends half-way leaves the old target as it was and no temporary file.
TEST(CopyOneFile, CopyAbortedHalfWayLeavesOldTarget) {
    TempDir dir;
    WriteFileBytes(dir / L"big", Pattern(3 * 1024 * 1024));
    WriteFileBytes(dir / L"dst", "the clinic's data");
    ASSERT_TRUE(SetFileAttributesW((dir / L"dst").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_THROW(CopyOneFile(dir / L"big", dir / L"dst",
                             [](std::uint64_t done, std::uint64_t) {
                                 if (done > 1024 * 1024) throw std::runtime_error("stopped");
                             }),
                 std::runtime_error);
    EXPECT_EQ(ReadFileBytes(dir / L"dst"), "the clinic's data");
    EXPECT_TRUE(Attributes(dir / L"dst") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"big", L"dst"}));
}

TEST(CopyOneFile, FullDiskGivesFalseAndLeavesOldTarget) {
    std::string why;
    auto disk = SmallDisk::Acquire(L"unit", &why);
    if (!disk) GTEST_SKIP() << why;
    TempDir dir;
    const std::uint64_t free = disk->FreeBytes();
    ASSERT_GT(free, 0u);
    WriteFileBytes(dir / L"T12.FDB", Pattern(static_cast<size_t>(free) + 2 * 1024 * 1024));
    WriteFileBytes(*disk / L"T12.FDB", "old database");
    WriteFileBytes(*disk / L"new.dll", "");

    EXPECT_FALSE(CopyOneFile(dir / L"T12.FDB", *disk / L"T12.FDB"));
    EXPECT_EQ(ReadFileBytes(*disk / L"T12.FDB"), "old database");
    EXPECT_FALSE(CopyOneFile(dir / L"T12.FDB", *disk / L"new.dll"));
    EXPECT_EQ(ReadFileBytes(*disk / L"new.dll"), "");
    // A missing target stays missing.
    EXPECT_FALSE(CopyOneFile(dir / L"T12.FDB", *disk / L"absent.dll"));
    EXPECT_EQ(Names(disk->path()), (std::vector<std::wstring>{L"T12.FDB", L"new.dll"}));
    EXPECT_GE(disk->FreeBytes() + 64 * 1024, free);  // the space of the partial copy is given back
}

// ----------------------------------------------------------------- CopyFolder

TEST(CopyFolder, MergesOntoAnExistingTree) {
    TempDir dir;
    const std::wstring src = dir / L"backup", dst = dir / L"D\\backup";
    MakeDirs(src + L"\\R010115\\bin");
    WriteFileBytes(src + L"\\Shell.exe", "new shell");
    WriteFileBytes(src + L"\\R010115\\Install.cmd", "new cmd");
    WriteFileBytes(src + L"\\R010115\\bin\\a.dll", "a");
    MakeDirs(dst + L"\\R010115");
    WriteFileBytes(dst + L"\\Shell.exe", "old shell, longer than the new one");
    WriteFileBytes(dst + L"\\Only.txt", "kept");
    WriteFileBytes(dst + L"\\R010115\\Install.cmd", "old cmd");
    ASSERT_TRUE(SetFileAttributesW((dst + L"\\R010115\\Install.cmd").c_str(), FILE_ATTRIBUTE_READONLY));

    CopyFolder(src, dst);

    EXPECT_EQ(ReadFileBytes(dst + L"\\Shell.exe"), "new shell");
    EXPECT_EQ(ReadFileBytes(dst + L"\\Only.txt"), "kept");
    EXPECT_EQ(ReadFileBytes(dst + L"\\R010115\\Install.cmd"), "old cmd");  // read-only: skipped
    EXPECT_EQ(ReadFileBytes(dst + L"\\R010115\\bin\\a.dll"), "a");
}

TEST(CopyFolder, CopiesHiddenAndSystemFilesButNotHiddenOrSystemFolders) {
    TempDir dir;
    const std::wstring src = dir / L"src";
    MakeDirs(src + L"\\Plain");
    MakeDirs(src + L"\\Hidden");
    MakeDirs(src + L"\\System");
    WriteFileBytes(src + L"\\hidden.ini", "h");
    WriteFileBytes(src + L"\\system.dat", "s");
    WriteFileBytes(src + L"\\Plain\\p.txt", "p");
    WriteFileBytes(src + L"\\Hidden\\h.txt", "h");
    WriteFileBytes(src + L"\\System\\s.txt", "s");
    SetFileAttributesW((src + L"\\hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((src + L"\\system.dat").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW((src + L"\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((src + L"\\System").c_str(), FILE_ATTRIBUTE_SYSTEM);

    CopyFolder(src, dir / L"dst");

    EXPECT_EQ(Names(dir / L"dst\\"), (std::vector<std::wstring>{L"Plain", L"hidden.ini", L"system.dat"}));
    EXPECT_TRUE(Attributes(dir / L"dst\\hidden.ini") & FILE_ATTRIBUTE_HIDDEN);  // the system copy keeps attributes
    EXPECT_EQ(ReadFileBytes(dir / L"dst\\Plain\\p.txt"), "p");
}

TEST(CopyFolder, MissingSourceGivesEmptyTargetWithItsParents) {
    TempDir dir;
    CopyFolder(dir / L"none", dir / L"a\\b\\c");
    EXPECT_TRUE(DirExists(dir / L"a\\b\\c"));
    EXPECT_TRUE(Names(dir / L"a\\b\\c\\").empty());
}

TEST(CopyFolder, TargetWithTrailingDelimiterCopiesIntoIt) {
    TempDir dir;
    MakeDirs(dir / L"Updater\\sub");
    WriteFileBytes(dir / L"Updater\\ReleaseInfo", "r");
    WriteFileBytes(dir / L"Updater\\sub\\x", "x");
    MakeDirs(dir / L"D");
    CopyFolder(dir / L"Updater", dir / L"D\\");
    EXPECT_EQ(ReadFileBytes(dir / L"D\\ReleaseInfo"), "r");
    EXPECT_EQ(ReadFileBytes(dir / L"D\\sub\\x"), "x");
}

// ------------------------------------------------------------- ListSubfolders

TEST(ListSubfolders, SkipsFilesDotsWithOutAnswerAndHiddenOrSystemFolders) {
    TempDir dir;
    MakeDirs(dir / L"WithOutAnswer");
    MakeDirs(dir / L"R1");
    MakeDirs(dir / L"R2");
    MakeDirs(dir / L"Hidden");
    MakeDirs(dir / L"System");
    SetFileAttributesW((dir / L"Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((dir / L"System").c_str(), FILE_ATTRIBUTE_SYSTEM);
    WriteFileBytes(dir / L"Install.cmd", "");
    std::vector<std::wstring> list{L"already"};
    ListSubfolders(dir.path(), list);
    std::sort(list.begin() + 1, list.end());
    EXPECT_EQ(list, (std::vector<std::wstring>{L"already", dir / L"R1", dir / L"R2"}));
}

TEST(ListSubfolders, WithOutAnswerIsComparedWithItsLetterCase) {
    TempDir dir;
    MakeDirs(dir / L"withoutanswer");
    std::vector<std::wstring> list;
    ListSubfolders(dir.path(), list);
    EXPECT_EQ(list, std::vector<std::wstring>{dir / L"withoutanswer"});
    ListSubfolders(dir / L"missing\\", list);
    EXPECT_EQ(list.size(), 1u);
}

// ------------------------------------------------------- SetReadOnlyAttribute

TEST(SetReadOnlyAttribute, SetsAndClearsOnlyReadOnly) {
    TempDir dir;
    WriteFileBytes(dir / L"ReleaseInfo", "r");
    WriteFileBytes(dir / L"plain", "p");
    ASSERT_TRUE(SetFileAttributesW((dir / L"ReleaseInfo").c_str(), FILE_ATTRIBUTE_HIDDEN));
    SetReadOnlyAttribute(dir / L"ReleaseInfo", true);
    EXPECT_EQ(Attributes(dir / L"ReleaseInfo") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    SetReadOnlyAttribute(dir / L"ReleaseInfo", false);
    EXPECT_EQ(Attributes(dir / L"ReleaseInfo") & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              DWORD(FILE_ATTRIBUTE_HIDDEN));

    // A file whose only attribute is read-only becomes a plain file.
    ASSERT_TRUE(SetFileAttributesW((dir / L"plain").c_str(), FILE_ATTRIBUTE_READONLY));
    SetReadOnlyAttribute(dir / L"plain", false);
    EXPECT_FALSE(Attributes(dir / L"plain") & FILE_ATTRIBUTE_READONLY);
    WriteFileBytes(dir / L"plain", "writable again");
    EXPECT_EQ(ReadFileBytes(dir / L"plain"), "writable again");
}

TEST(SetReadOnlyAttribute, MissingFileIsIgnored) {
    TempDir dir;
    SetReadOnlyAttribute(dir / L"absent", true);
    SetReadOnlyAttribute(dir / L"absent", false);
    EXPECT_TRUE(Names(dir.path()).empty());
}
