// The initialization-file document: value forms, updates that keep every
// untouched line, encodings, and writes that fail without harming the old file.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/IniDocument.h"
#include "support/SmallDisk.h"
#include "support/TestSupport.h"

using platform::IniDocument;
using platform::IniEncoding;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::WriteFileBytes;

namespace {

std::string Cp1251(const std::wstring& s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(1251, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1251, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string Utf16(const std::wstring& s, bool bigEndian) {
    std::string out;
    for (wchar_t c : s) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>((c >> 8) & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// The names of the files in a folder (to see that no temporary file is left behind).
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = fd.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

}  // namespace

TEST(IniValueForms, IntegersInDecimalAndHexadecimal) {
    struct Case {
        const wchar_t* text;
        std::optional<long long> expected;
    } cases[] = {
        {L"0", 0},
        {L"-3", -3},
        {L"+7", 7},
        {L"0x10", 16},
        {L"0X1f", 31},
        {L"$10", 16},
        {L"$fF", 255},
        {L"-$10", -16},
        {L"007", 7},
        {L"9223372036854775807", 9223372036854775807LL},
        {L"-9223372036854775808", -9223372036854775807LL - 1},
        {L"9223372036854775808", std::nullopt},
        {L"0x8000000000000000", std::nullopt},
        {L"", std::nullopt},
        {L"-", std::nullopt},
        {L"$", std::nullopt},
        {L"0x", std::nullopt},
        {L"yes", std::nullopt},
        {L"true", std::nullopt},
        {L"1 0", std::nullopt},
        {L"1.0", std::nullopt},
        {L"12abc", std::nullopt},
        {L"0x1G", std::nullopt},
        {L"\x0661", std::nullopt},  // an Arabic-Indic digit is no decimal digit here
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ParseIniInteger(c.text), c.expected) << testsupport::ToUtf8(c.text);
}

TEST(IniValueForms, FloatsWithDotWhateverTheLocale) {
    // The user's regional settings in the Russian prefix use a decimal comma;
    // take them into the C runtime too, so that a locale-bound parser would fail.
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "");
    struct Case {
        const wchar_t* text;
        std::optional<double> expected;
    } cases[] = {
        {L"2.5", 2.5},   {L"-0.75", -0.75}, {L"+1", 1.0},   {L"3", 3.0},       {L"1e3", 1000.0},
        {L"1.5E-2", 0.015}, {L".5", 0.5},   {L"5.", 5.0},   {L"2,5", std::nullopt}, {L"", std::nullopt},
        {L".", std::nullopt}, {L"e3", std::nullopt}, {L"1e", std::nullopt}, {L"1 000", std::nullopt},
        {L"inf", std::nullopt}, {L"nan", std::nullopt}, {L"0x10", std::nullopt}, {L"1e999", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::ParseIniFloat(c.text), c.expected) << testsupport::ToUtf8(c.text);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(IniDocumentRead, KeysByTypeWithBlanksAroundTheSign) {
    IniDocument ini = IniDocument::FromBytes(
        "top=before any section\r\n"
        "[Options]\r\n"
        "  Gain =  2.5  \r\n"
        "Flag=2\r\n"
        "Word=yes\r\n"
        "Empty=\r\n"
        "Big=4294967296\r\n"
        "Flag=0\r\n"
        "no sign here\r\n"
        "[Other]\r\n"
        "Only=1\r\n");
    EXPECT_EQ(ini.Value(L"options", L"gain"), L"2.5");
    EXPECT_DOUBLE_EQ(ini.ReadFloat(L"OPTIONS", L"Gain", 1.0), 2.5);
    EXPECT_TRUE(ini.ReadBool(L"options", L"Flag", false)) << "the first of two equal keys counts";
    EXPECT_TRUE(ini.ReadBool(L"options", L"Word", true));
    EXPECT_FALSE(ini.ReadBool(L"options", L"Word", false));
    EXPECT_EQ(ini.Value(L"options", L"Empty"), L"");
    EXPECT_EQ(ini.ReadString(L"options", L"Empty", L"def"), L"");
    EXPECT_EQ(ini.ReadString(L"options", L"Missing", L"def"), L"def");
    EXPECT_EQ(ini.ReadInteger(L"options", L"Empty", 9), 9);
    EXPECT_EQ(ini.ReadInteger(L"options", L"Big", 9), 9) << "beyond 32 bits";
    EXPECT_EQ(ini.ReadInt64(L"options", L"Big", 9), 4294967296LL);
    EXPECT_EQ(ini.Value(L"options", L"Only"), std::nullopt) << "keys of another section";
    EXPECT_EQ(ini.Value(L"", L"top"), std::nullopt) << "lines before the first section belong to none";
    EXPECT_TRUE(ini.SectionExists(L"other"));
    EXPECT_FALSE(ini.SectionExists(L"Missing"));
}

TEST(IniDocumentRead, MissingFileIsAnEmptyDocument) {
    TempDir dir;
    IniDocument ini = IniDocument::Load(dir / L"нет.ini");
    EXPECT_TRUE(ini.Lines().empty());
    EXPECT_EQ(ini.Encoding(), IniEncoding::Ansi);
    EXPECT_EQ(ini.ReadInteger(L"options", L"HardwareType", 1), 1);
    EXPECT_TRUE(IniDocument::Load(dir / L"нет\\holter.ini").Lines().empty()) << "missing folder";
    EXPECT_TRUE(IniDocument::Load(L"").Lines().empty());
}

TEST(IniDocumentRead, FileThatCannotBeReadRaisesInsteadOfLookingEmpty) {
    // An update that took an unreadable file for an empty one would replace it
    // with a file holding only the keys it sets.
    TempDir dir;
    std::wstring path = dir / L"holter.ini";
    WriteFileBytes(path, "[options]\r\nHardwareType=3\r\n");
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_THROW(IniDocument::Load(path), platform::EFOpenError);
    CloseHandle(lock);
    EXPECT_THROW(IniDocument::Load(dir.path()), platform::EFOpenError) << "a folder";
}

// Updates keep every line they do not change byte for byte.
TEST(IniDocumentUpdate, KeepsCommentsBlankLinesAndLinesBeforeTheFirstSection) {
    struct Case {
        const char* name;
        std::string before;
        std::function<void(IniDocument&)> update;
        std::string after;
    } cases[] = {
        {"holter.ini of an operator",
         Cp1251(L"; Настройки комплекса, правил Петров\r\n"
                L"строка до разделов\r\n"
                L"\r\n"
                L"[options]\r\n"
                L"; фильтр сети\r\n"
                L"FilterType = 5   \r\n"
                L"  DebugPrint=1\r\n"
                L"\r\n"
                L"; связь\r\n"
                L"[Common]\r\n"
                L"Disk=C\r\n"),
         [](IniDocument& ini) {
             ini.WriteInteger(L"OPTIONS", L"filtertype", 0);
             ini.WriteInteger(L"options", L"HardwareType", 1);
             ini.WriteString(L"Новый", L"Ключ", L"Значение");
         },
         Cp1251(L"; Настройки комплекса, правил Петров\r\n"
                L"строка до разделов\r\n"
                L"\r\n"
                L"[options]\r\n"
                L"; фильтр сети\r\n"
                L"FilterType = 0   \r\n"
                L"  DebugPrint=1\r\n"
                L"HardwareType=1\r\n"
                L"\r\n"
                L"; связь\r\n"
                L"[Common]\r\n"
                L"Disk=C\r\n"
                L"\r\n"
                L"[Новый]\r\n"
                L"Ключ=Значение\r\n")},
        {"line feeds only, no final line break",
         "[options]\nFilterType=3\n\n[x]\na=1",
         [](IniDocument& ini) {
             ini.WriteInteger(L"options", L"HardwareType", 1);
             ini.WriteString(L"X", L"b", L"2");
         },
         "[options]\nFilterType=3\nHardwareType=1\n\n[x]\na=1\nb=2\n"},
        {"only comments", "; nothing yet\r\n",
         [](IniDocument& ini) { ini.WriteString(L"Common", L"Disk", L"I"); },
         "; nothing yet\r\n\r\n[Common]\r\nDisk=I\r\n"},
        {"empty section, empty value",
         "[Common]\r\n[options]\r\nFilterType=\r\n",
         [](IniDocument& ini) {
             ini.WriteString(L"common", L"Disk", L"I");
             ini.WriteInteger(L"options", L"FilterType", 0);
         },
         "[Common]\r\nDisk=I\r\n[options]\r\nFilterType=0\r\n"},
        {"values set to what they are: bytes untouched, odd ones included",
         "[options]\r\nFilterType=0\r\nRaw=\x98\xFF\xC3\r\n",
         [](IniDocument& ini) { ini.WriteInteger(L"options", L"FilterType", 0); },
         "[options]\r\nFilterType=0\r\nRaw=\x98\xFF\xC3\r\n"},
        {"missing file", "",
         [](IniDocument& ini) {
             ini.WriteInteger(L"options", L"FilterType", 0);
             ini.WriteInteger(L"options", L"HardwareType", 1);
         },
         "[options]\r\nFilterType=0\r\nHardwareType=1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::wstring path = dir / L"holter.ini";
        if (!c.before.empty()) WriteFileBytes(path, c.before);
        IniDocument ini = IniDocument::Load(path);
        c.update(ini);
        ini.Save(path);
        EXPECT_EQ(ReadFileBytes(path), c.after);
        EXPECT_EQ(FilesIn(dir.path()).size(), 1u) << "no temporary file left";
    }
}

TEST(IniDocumentUpdate, RefusesNamesAndValuesThatWouldBreakTheFile) {
    IniDocument ini;
    EXPECT_THROW(ini.WriteString(L"options", L"a=b", L"1"), platform::Exception);
    EXPECT_THROW(ini.WriteString(L"options", L"", L"1"), platform::Exception);
    EXPECT_THROW(ini.WriteString(L"opt]ions", L"a", L"1"), platform::Exception);
    EXPECT_THROW(ini.WriteString(L"options", L"a", L"1\r\n[evil]"), platform::Exception);
    EXPECT_TRUE(ini.Lines().empty());
}

// Cyrillic sections, keys and values in each encoding the suite's files come in.
TEST(IniDocumentEncoding, ReadsAndWritesBackInTheFilesOwnEncoding) {
    ASSERT_EQ(GetACP(), 1251u) << "the tests run with the Russian ANSI code page (LC_ALL=ru_RU.UTF-8)";
    const std::wstring before = L"[Пациент]\r\nФамилия = Иванов\r\n; заметка врача\r\n";
    const std::wstring after = L"[Пациент]\r\nФамилия = Петров\r\nИмя=Пётр\r\n; заметка врача\r\n";
    struct Case {
        const char* name;
        IniEncoding encoding;
        std::function<std::string(const std::wstring&)> encode;
    } cases[] = {
        {"ANSI 1251", IniEncoding::Ansi, Cp1251},
        {"UTF-8 without BOM", IniEncoding::Utf8, [](const std::wstring& s) { return testsupport::ToUtf8(s); }},
        {"UTF-8 with BOM", IniEncoding::Utf8Bom,
         [](const std::wstring& s) { return "\xEF\xBB\xBF" + testsupport::ToUtf8(s); }},
        {"UTF-16 LE", IniEncoding::Utf16LE, [](const std::wstring& s) { return "\xFF\xFE" + Utf16(s, false); }},
        {"UTF-16 BE", IniEncoding::Utf16BE, [](const std::wstring& s) { return "\xFE\xFF" + Utf16(s, true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::wstring path = dir / L"Пациент.ini";
        WriteFileBytes(path, c.encode(before));
        IniDocument ini = IniDocument::Load(path);
        EXPECT_EQ(ini.Encoding(), c.encoding);
        EXPECT_EQ(ini.Value(L"ПАЦИЕНТ", L"фамилия"), L"Иванов");
        EXPECT_EQ(ini.Value(L"Пациент", L"Имя"), std::nullopt);
        EXPECT_EQ(ini.ReadString(L"Врач", L"Фамилия", L"нет"), L"нет");
        ini.WriteString(L"пациент", L"ФАМИЛИЯ", L"Петров");
        ini.WriteString(L"Пациент", L"Имя", L"Пётр");
        ini.Save(path);
        EXPECT_EQ(ReadFileBytes(path), c.encode(after));
        EXPECT_EQ(IniDocument::Load(path).Value(L"пациент", L"имя"), L"Пётр");
    }
}

TEST(IniDocumentEncoding, AnsiFileRefusesATextItsCodePageCannotHold) {
    TempDir dir;
    std::wstring path = dir / L"holter.ini";
    WriteFileBytes(path, "[options]\r\nFilterType=1\r\n");
    IniDocument ini = IniDocument::Load(path);
    ini.WriteString(L"options", L"Name", L"\x4E2D\x6587");  // Chinese, not in code page 1251
    EXPECT_THROW(ini.Save(path), platform::EInOutError);
    EXPECT_EQ(ReadFileBytes(path), "[options]\r\nFilterType=1\r\n");
}

// A write that fails leaves the old file whole and no temporary file behind.
class IniDocumentSave : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir / L"holter.ini";
        WriteFileBytes(path, old);
        ini = IniDocument::Load(path);
        ini.WriteInteger(L"options", L"FilterType", 0);
        ini.WriteInteger(L"options", L"HardwareType", 1);
    }
    // Saves, expecting the error kind E, whose message names the file.
    template <class E>
    void ExpectSaveFails() {
        try {
            ini.Save(path);
            ADD_FAILURE() << "Save succeeded";
        } catch (const E& e) {
            EXPECT_NE(e.Message().find(path), std::wstring::npos) << testsupport::ToUtf8(e.Message());
        } catch (const std::exception& e) {
            ADD_FAILURE() << "another error: " << e.what();
        }
    }

    TempDir dir;
    std::wstring path;
    const std::string old = "; operator's notes\r\n[options]\r\nFilterType=5\r\nDebugPrint=1\r\n";
    IniDocument ini;
};

TEST_F(IniDocumentSave, ReadOnlyTargetIsRefusedAndKeptWhole) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectSaveFails<platform::EFCreateError>();
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::wstring>{L"holter.ini"});
}

TEST_F(IniDocumentSave, TargetHeldOpenWithoutSharingIsKeptWhole) {
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ExpectSaveFails<platform::EFCreateError>();
    CloseHandle(lock);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::wstring>{L"holter.ini"});
}

TEST_F(IniDocumentSave, MissingFolderRaises) {
    path = dir / L"Settings\\holter.ini";
    ExpectSaveFails<platform::EFCreateError>();
    EXPECT_FALSE(testsupport::DirExists(dir / L"Settings"));
}

TEST_F(IniDocumentSave, ReplacedFileKeepsItsHiddenAttribute) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ini.Save(path);
    EXPECT_EQ(ReadFileBytes(path), "; operator's notes\r\n[options]\r\nFilterType=0\r\nDebugPrint=1\r\nHardwareType=1\r\n");
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(IniDocumentSave, FullDiskKeepsTheOldFileWhole) {
    std::string why;
    auto disk = testsupport::SmallDisk::Acquire(L"unit", &why);
    if (!disk) GTEST_SKIP() << why;
    path = *disk / L"holter.ini";
    WriteFileBytes(path, old);
    ini = IniDocument::Load(path);
    ini.WriteString(L"options", L"Notes", std::wstring(256 * 1024, L'x'));
    const std::uint64_t free = disk->FreeBytes();
    ASSERT_GT(free, 8192u);
    WriteFileBytes(*disk / L"filler.bin", std::string(static_cast<size_t>(free - 8192), '\0'));
    ASSERT_LT(disk->FreeBytes(), 64u * 1024);

    EXPECT_THROW(ini.Save(path), platform::EInOutError);
    EXPECT_EQ(ReadFileBytes(path), old);
    auto names = FilesIn(disk->path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"filler.bin", L"holter.ini"}));
}
