// The release step: keys, the choice among release folders, Install.cmd in
// its folder, and the release level written into ReleaseInfo.
#include <gtest/gtest.h>

#include <functional>

#include "install/ReleaseInstall.h"
#include "platform/Exceptions.h"
#include "support/TestSupport.h"

using testsupport::FileExists;
using testsupport::MakeDirs;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::ToUtf8;
using testsupport::WriteFileBytes;

namespace {

std::string Encode(const std::wstring& text, UINT cp) {
    int n = WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring ReleaseInfoText(const std::wstring& version, const std::wstring& level,
                             const std::wstring& encoding = L"windows-1251") {
    return L"<?xml version=\"1.0\" encoding=\"" + encoding +
           L"\"?>\r\n<!-- Сведения о выпуске -->\r\n<ROOT>\r\n  <Version>" + version + L"</Version>\r\n  <Level>" +
           level + L"</Level>\r\n  <Name>Арвела - Холтер</Name>\r\n</ROOT>\r\n";
}

std::wstring CurrentFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
    std::wstring s(buf, n);
    if (!s.empty() && s.back() != L'\\') s += L'\\';
    return s;
}

// Puts the test process's current folder back after a test that moves it.
struct KeepCurrentFolder {
    std::wstring saved = CurrentFolder();
    ~KeepCurrentFolder() { SetCurrentDirectoryW(saved.c_str()); }
};

// Whether this process can write a read-only file (as root, Wine lets it).
bool ReadOnlyIsEnforced(const TempDir& dir) {
    std::wstring probe = dir / L"probe.ro";
    WriteFileBytes(probe, "x");
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    bool enforced = h == INVALID_HANDLE_VALUE;
    if (!enforced) CloseHandle(h);
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(probe.c_str());
    return enforced;
}

std::wstring ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const platform::Exception& e) {
        return e.Message();
    }
    return L"(no error)";
}

}  // namespace

TEST(ReleaseKey, ReadsTheLastSixCharactersAsYearMonthDay) {
    EXPECT_EQ(ReleaseKey(L"C:\\H\\backup\\R010115"), 150101);
    EXPECT_EQ(ReleaseKey(L"C:\\H\\backup\\R311214"), 141231);
    EXPECT_EQ(ReleaseKey(L"C:\\H\\backup\\Выпуск 250699"), 990625);
    EXPECT_EQ(ReleaseKey(L"C:\\H\\backup\\000000"), 0);
}

TEST(ReleaseKey, NameNotEndingInSixDigitsIsAConversionError) {
    for (const wchar_t* folder : {L"C:\\H\\backup\\R1", L"C:\\H\\backup\\withoutanswer", L"C:\\H\\backup\\R01011a",
                                  L"C:\\H\\backup\\R0101-5", L"C:\\H\\backup\\R 10115"}) {
        try {
            ReleaseKey(folder);
            ADD_FAILURE() << "a key for " << ToUtf8(folder);
        } catch (const platform::EConvertError& e) {
            EXPECT_NE(e.Message().find(folder), std::wstring::npos) << ToUtf8(e.Message());
        }
    }
}

TEST(ChooseRelease, GreatestKeyWinsAndAmongEqualKeysTheFirst) {
    std::vector<std::wstring> list = {L"C:\\H\\backup\\R311214", L"C:\\H\\backup\\R010115"};
    SortReleaseFolders(list);
    EXPECT_EQ(list.front(), L"C:\\H\\backup\\R010115");
    EXPECT_EQ(ChooseRelease(list), L"C:\\H\\backup\\R010115");

    std::vector<std::wstring> equal = {L"C:\\H\\backup\\b010115", L"C:\\H\\backup\\A010115", L"C:\\H\\backup\\c311214"};
    SortReleaseFolders(equal);
    EXPECT_EQ(ChooseRelease(equal), L"C:\\H\\backup\\A010115");

    std::vector<std::wstring> none;
    EXPECT_THROW(ChooseRelease(none), platform::EListError);
}

TEST(SortReleaseFolders, IgnoresLetterCaseAndFollowsTheLocale) {
    std::vector<std::wstring> list = {L"b", L"A", L"C", L"я", L"Б", L"а"};
    SortReleaseFolders(list);
    EXPECT_EQ(list, (std::vector<std::wstring>{L"A", L"b", L"C", L"а", L"Б", L"я"}));
}

TEST(ReleaseLevel, IsTheNameWithoutItsFirstCharacter) {
    EXPECT_EQ(ReleaseLevel(L"C:\\H\\backup\\R010115"), L"010115");
    EXPECT_EQ(ReleaseLevel(L"C:\\H\\backup\\Выпуск010115"), L"ыпуск010115");
}

TEST(WriteReleaseLevel, ReplacesTheLevelKeepingEncodingLayoutAndTheRest) {
    TempDir dir;
    struct {
        std::wstring encoding;
        UINT cp;
        std::string bom;
    } cases[] = {{L"windows-1251", 1251, ""}, {L"utf-8", CP_UTF8, ""}, {L"UTF-8", CP_UTF8, "\xEF\xBB\xBF"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.encoding));
        WriteFileBytes(dir / L"ReleaseInfo", c.bom + Encode(ReleaseInfoText(L"1", L"000000", c.encoding), c.cp));
        WriteReleaseLevel(dir.path(), L"010115");
        EXPECT_EQ(ReadFileBytes(dir / L"ReleaseInfo"),
                  c.bom + Encode(ReleaseInfoText(L"1", L"010115", c.encoding), c.cp));
        // A level in Russian letters is written in the file's encoding too.
        WriteReleaseLevel(dir.path(), L"Весна2015");
        EXPECT_EQ(ReadFileBytes(dir / L"ReleaseInfo"),
                  c.bom + Encode(ReleaseInfoText(L"1", L"Весна2015", c.encoding), c.cp));
    }
}

TEST(WriteReleaseLevel, FailuresCarryTheirMessagesAndLeaveTheFile) {
    TempDir dir;
    EXPECT_EQ(ErrorOf([&] { WriteReleaseLevel(dir.path(), L"010115"); }), L"Release info file does not exist");

    struct {
        std::wstring text;
        std::wstring message;  // the whole message, or its beginning when it ends in ": "
    } cases[] = {
        {ReleaseInfoText(L"2", L"000000"), L"Cannot get release information, error: unknown release file version"},
        {ReleaseInfoText(L"0", L"000000"), L"Cannot get release information, error: unknown release file version"},
        {L"<?xml version=\"1.0\"?>\r\n<ROOT>\r\n  <Level>000000</Level>\r\n</ROOT>\r\n",
         L"Cannot get release information, error: unknown release file version"},
        {L"<?xml version=\"1.0\"?>\r\n<ROOT>\r\n  <Version>1</Version>\r\n</ROOT>\r\n",
         L"Cannot get release information, error: "},
        {L"<?xml version=\"1.0\"?>\r\n<INFO>\r\n  <Version>1</Version>\r\n  <Level>1</Level>\r\n</INFO>\r\n",
         L"Cannot get release information, error: "},
        {L"<?xml version=\"1.0\"?>\r\n<ROOT>\r\n  <Version>1</Version>\r\n  <Level>1</Level>\r\n", 
         L"Cannot get release information, error: "},
        {L"", L"Cannot get release information, error: "},
        {ReleaseInfoText(L"один", L"000000"), L"Cannot get release information, error: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        std::string bytes = Encode(c.text, 1251);
        WriteFileBytes(dir / L"ReleaseInfo", bytes);
        std::wstring message = ErrorOf([&] { WriteReleaseLevel(dir.path(), L"010115"); });
        if (c.message.size() >= 2 && c.message.compare(c.message.size() - 2, 2, L": ") == 0) {
            EXPECT_EQ(message.compare(0, c.message.size(), c.message), 0) << ToUtf8(message);
            EXPECT_GT(message.size(), c.message.size()) << "no cause given";
        } else {
            EXPECT_EQ(message, c.message);
        }
        EXPECT_EQ(ReadFileBytes(dir / L"ReleaseInfo"), bytes);
    }
}

TEST(WriteReleaseLevel, ReadOnlyFileIsReportedAsAFailure) {
    TempDir dir;
    if (!ReadOnlyIsEnforced(dir)) GTEST_SKIP() << "read-only files are writable for this user";
    WriteFileBytes(dir / L"ReleaseInfo", Encode(ReleaseInfoText(L"1", L"000000"), 1251));
    SetFileAttributesW((dir / L"ReleaseInfo").c_str(), FILE_ATTRIBUTE_READONLY);
    std::wstring message = ErrorOf([&] { WriteReleaseLevel(dir.path(), L"010115"); });
    const std::wstring prefix = L"Cannot get release information, error: ";
    EXPECT_EQ(message.compare(0, prefix.size(), prefix), 0) << ToUtf8(message);
    EXPECT_GT(message.size(), prefix.size());
    EXPECT_EQ(ReadFileBytes(dir / L"ReleaseInfo"), Encode(ReleaseInfoText(L"1", L"000000"), 1251));
    SetFileAttributesW((dir / L"ReleaseInfo").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A distribution with releases and the updater, installed into a
// destination whose name holds characters the command interpreter treats
// specially.
class ReleaseStep : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring S = dir / L"Дистрибутив\\";
    std::wstring D = dir / L"Program Files (x86) & Co; v1,2 ^ x\\Holter\\";
    KeepCurrentFolder keep;

    void SetUp() override {
        MakeDirs(S + L"Updater\\Plugins");
        MakeDirs(D);
        WriteFileBytes(S + L"Updater\\ReleaseInfo", Encode(ReleaseInfoText(L"1", L"000000"), 1251));
        WriteFileBytes(S + L"Updater\\Updater.exe.cfg", "<?xml version=\"1.0\"?>\r\n<configuration/>\r\n");
        WriteFileBytes(S + L"Updater\\Plugins\\a.dll", "a");
        SetFileAttributesW((S + L"Updater\\ReleaseInfo").c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesW((S + L"Updater\\Updater.exe.cfg").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void TearDown() override {
        for (const wchar_t* f : {L"Updater\\ReleaseInfo", L"Updater\\Updater.exe.cfg"})
            SetFileAttributesW((S + f).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    // A release whose Install.cmd records its current folder in ran.mark beside itself.
    void AddRelease(const std::wstring& name, const std::string& exitCode = "0") {
        std::wstring folder = S + L"backup\\" + name;
        MakeDirs(folder);
        WriteFileBytes(folder + L"\\Install.cmd", "@cd> ran.mark\r\n@exit /b " + exitCode + "\r\n");
    }
    bool Ran(const std::wstring& name) { return FileExists(D + L"backup\\" + name + L"\\ran.mark"); }
    std::string Level() {
        std::string text = ReadFileBytes(D + L"ReleaseInfo");
        size_t at = text.find("<Level>") + 7;
        return text.substr(at, text.find("</Level>") - at);
    }
};

TEST_F(ReleaseStep, InstallsTheNewestReleaseAndRecordsItsLevel) {
    AddRelease(L"R311214");
    AddRelease(L"R010115", "3");  // a failing script is not reported
    MakeDirs(S + L"backup\\WithOutAnswer");
    WriteFileBytes(S + L"backup\\WithOutAnswer\\Install.cmd", "@cd> ran.mark\r\n");

    InstallRelease(S, D);

    EXPECT_TRUE(Ran(L"R010115"));
    EXPECT_FALSE(Ran(L"R311214"));
    EXPECT_FALSE(Ran(L"WithOutAnswer"));
    EXPECT_TRUE(FileExists(D + L"backup\\WithOutAnswer\\Install.cmd"));  // copied, never listed
    // Install.cmd ran in its own folder; afterwards D is the current folder.
    std::string cwd = ReadFileBytes(D + L"backup\\R010115\\ran.mark");
    EXPECT_EQ(cwd.substr(0, cwd.find_first_of("\r\n")), ToUtf8(D + L"backup\\R010115"));
    EXPECT_EQ(CompareStringOrdinal(CurrentFolder().c_str(), -1, D.c_str(), -1, TRUE), CSTR_EQUAL)
        << ToUtf8(CurrentFolder());
    // The updater's files land in D itself, made writable, with the level written.
    EXPECT_TRUE(FileExists(D + L"Plugins\\a.dll"));
    EXPECT_EQ(GetFileAttributesW((D + L"ReleaseInfo").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(GetFileAttributesW((D + L"Updater.exe.cfg").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(Level(), "010115");
}

TEST_F(ReleaseStep, EqualKeysChooseTheNameThatSortsFirst) {
    AddRelease(L"b010115");
    AddRelease(L"A010115");
    InstallRelease(S, D);
    EXPECT_TRUE(Ran(L"A010115"));
    EXPECT_FALSE(Ran(L"b010115"));
    EXPECT_EQ(Level(), "010115");
}

TEST_F(ReleaseStep, ReleasesAlreadyInTheDestinationTakePart) {
    AddRelease(L"R311214");
    MakeDirs(D + L"backup\\R020115");
    WriteFileBytes(D + L"backup\\R020115\\Install.cmd", "@cd> ran.mark\r\n");
    InstallRelease(S, D);
    EXPECT_TRUE(Ran(L"R020115"));
    EXPECT_EQ(Level(), "020115");
}

TEST_F(ReleaseStep, CaseVariantOfWithOutAnswerIsListedAndFailsTheConversion) {
    AddRelease(L"R010115");
    MakeDirs(S + L"backup\\withoutanswer");
    EXPECT_THROW(InstallRelease(S, D), platform::EConvertError);
    EXPECT_FALSE(Ran(L"R010115"));
    EXPECT_EQ(Level(), "000000");
}

TEST_F(ReleaseStep, NoReleaseIsAListErrorAfterBothCopies) {
    for (bool withBackupFolder : {false, true}) {
        SCOPED_TRACE(withBackupFolder ? "empty backup folder" : "no backup folder");
        if (withBackupFolder) MakeDirs(S + L"backup");
        try {
            InstallRelease(S, D);
            ADD_FAILURE() << "no error";
        } catch (const platform::EListError& e) {
            EXPECT_EQ(e.Message(), L"В папке backup нет ни одного выпуска программы");
        }
        EXPECT_TRUE(testsupport::DirExists(D + L"backup"));
        EXPECT_TRUE(FileExists(D + L"Plugins\\a.dll"));
        EXPECT_EQ(GetFileAttributesW((D + L"ReleaseInfo").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
        EXPECT_EQ(Level(), "000000");
    }
}

TEST_F(ReleaseStep, VersionTwoIsRefusedAndTheFileLeftAsItWas) {
    AddRelease(L"R010115");
    SetFileAttributesW((S + L"Updater\\ReleaseInfo").c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string bytes = Encode(ReleaseInfoText(L"2", L"000000"), 1251);
    WriteFileBytes(S + L"Updater\\ReleaseInfo", bytes);
    EXPECT_EQ(ErrorOf([&] { InstallRelease(S, D); }),
              L"Cannot get release information, error: unknown release file version");
    EXPECT_TRUE(Ran(L"R010115"));  // the script has run by then
    EXPECT_EQ(ReadFileBytes(D + L"ReleaseInfo"), bytes);
}

TEST_F(ReleaseStep, ReleaseWithoutInstallCmdCannotBeStarted) {
    MakeDirs(S + L"backup\\R010115");
    EXPECT_EQ(ErrorOf([&] { InstallRelease(S, D); }), L"ia niia nicaaou i?ioann: " + D + L"backup\\R010115\\Install.cmd");
    EXPECT_EQ(CompareStringOrdinal(CurrentFolder().c_str(), -1, D.c_str(), -1, TRUE), CSTR_EQUAL);
}
