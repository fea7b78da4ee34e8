// The two NSI data files of the installed Settings folder.
#include <gtest/gtest.h>

#include "desktop/CreateNSI.h"
#include "support/TestSupport.h"

using namespace testsupport;

namespace {
const std::string kEmptyRecord(840, '\0');  // 60 entries of 14 bytes, each beginning with 0
}

TEST(CreateNsiFiles, MakesBothEmptyRecordsAndChangesNothingTheSecondTime) {
    TempDir dir;
    CreateNsiFiles(dir.path());
    EXPECT_EQ(ReadFileBytes(dir / L"uca.nsi"), kEmptyRecord);
    EXPECT_EQ(ReadFileBytes(dir / L"wra.nsi"), kEmptyRecord);
    FILETIME before{}, after{};
    HANDLE h = CreateFileW((dir / L"uca.nsi").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, nullptr, nullptr, &before);
    CloseHandle(h);
    Sleep(20);
    CreateNsiFiles(dir.path());
    h = CreateFileW((dir / L"uca.nsi").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(h, nullptr, nullptr, &after);
    CloseHandle(h);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
    EXPECT_EQ(ReadFileBytes(dir / L"uca.nsi"), kEmptyRecord);
}

TEST(CreateNsiFiles, AnExistingFileIsKeptByteForByte) {
    for (const wchar_t* kept : {L"uca.nsi", L"wra.nsi"}) {
        TempDir dir;
        WriteFileBytes(dir / kept, "short, not a record");
        CreateNsiFiles(dir.path());
        EXPECT_EQ(ReadFileBytes(dir / kept), "short, not a record");
        const std::wstring other = std::wstring(kept) == L"uca.nsi" ? L"wra.nsi" : L"uca.nsi";
        EXPECT_EQ(ReadFileBytes(dir / other), kEmptyRecord);
    }
}

TEST(CreateNsiFiles, CreatesOneMissingFolderLevelOnly) {
    TempDir dir;
    CreateNsiFiles(dir / L"Settings\\");
    EXPECT_EQ(ReadFileBytes(dir / L"Settings\\wra.nsi"), kEmptyRecord);

    CreateNsiFiles(dir / L"a\\Settings\\");
    EXPECT_FALSE(DirExists(dir / L"a"));
}
