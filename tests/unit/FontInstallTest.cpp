// Face names of font files, the font step with its registry values and log
// lines, and the display-size change with its restart question.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "common/ZT_Common_Proc.h"
#include "desktop/FontInstall.h"
#include "platform/Exceptions.h"
#include "platform/Handles.h"
#include "support/TestSupport.h"
#include "unit/LogRecordingHost.h"

using testsupport::FileExists;
using testsupport::MakeDirs;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::ToUtf8;
using testsupport::WriteFileBytes;

namespace {

const wchar_t kFontsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// ---- font files made for the tests: an sfnt header and a name table ---------

struct NameRecord {
    std::uint16_t platform, encoding, language, nameId;
    std::string bytes;  // as stored: UTF-16BE for Windows and Unicode, single bytes for Macintosh
};

void Put16(std::string& s, unsigned v) {
    s += static_cast<char>((v >> 8) & 0xFF);
    s += static_cast<char>(v & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
    Put16(s, v >> 16);
    Put16(s, v & 0xFFFF);
}

std::string Utf16BE(const std::wstring& text) {
    std::string s;
    for (wchar_t c : text) Put16(s, static_cast<unsigned>(c));
    return s;
}

std::string MakeFont(const std::vector<NameRecord>& records, bool collection = false) {
    std::string table, strings;
    Put16(table, 0);
    Put16(table, static_cast<unsigned>(records.size()));
    Put16(table, static_cast<unsigned>(6 + 12 * records.size()));
    for (const NameRecord& r : records) {
        Put16(table, r.platform);
        Put16(table, r.encoding);
        Put16(table, r.language);
        Put16(table, r.nameId);
        Put16(table, static_cast<unsigned>(r.bytes.size()));
        Put16(table, static_cast<unsigned>(strings.size()));
        strings += r.bytes;
    }
    table += strings;
    std::string font;
    std::uint32_t base = collection ? 16 : 0;
    if (collection) {
        font += "ttcf";
        Put32(font, 0x00010000);
        Put32(font, 1);
        Put32(font, 16);
    }
    Put32(font, 0x00010000);
    Put16(font, 1);  // one table
    Put16(font, 16);
    Put16(font, 0);
    Put16(font, 0);
    font += "name";
    Put32(font, 0);
    Put32(font, base + 28);
    Put32(font, static_cast<std::uint32_t>(table.size()));
    return font + table;
}

NameRecord Windows(std::uint16_t language, const std::wstring& name, std::uint16_t nameId = 4) {
    return {3, 1, language, nameId, Utf16BE(name)};
}

// Keeps the named values of the HKLM font key as they were.
class FontValuesKept {
public:
    explicit FontValuesKept(std::vector<std::wstring> names) : names_(std::move(names)) {
        for (const std::wstring& n : names_) {
            wchar_t buf[1024];
            DWORD size = sizeof buf;
            if (RegGetValueW(HKEY_LOCAL_MACHINE, kFontsKey, n.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) ==
                ERROR_SUCCESS)
                saved_[n] = buf;
        }
    }
    ~FontValuesKept() {
        platform::RegKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return;
        for (const std::wstring& n : names_) {
            auto it = saved_.find(n);
            if (it == saved_.end())
                RegDeleteValueW(key.get(), n.c_str());
            else
                RegSetValueExW(key.get(), n.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(it->second.c_str()),
                               static_cast<DWORD>((it->second.size() + 1) * sizeof(wchar_t)));
        }
    }

private:
    std::vector<std::wstring> names_;
    std::map<std::wstring, std::wstring> saved_;
};

std::wstring FontValue(const std::wstring& name) {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kFontsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"(none)";
    return buf;
}

// A distribution "fonts\" folder of made-up fonts under the suite's file names,
// with face names no other font of the test prefix has.
struct MadeUpFonts {
    TempDir dir;
    std::wstring source = dir / L"fonts\\";
    std::wstring target = dir / L"Windows\\Fonts\\";
    std::vector<std::wstring> faces;
    std::vector<std::wstring> values;
    MadeUpFonts() {
        MakeDirs(source);
        MakeDirs(target);
        std::wstring tag = std::to_wstring(GetCurrentProcessId());
        for (const wchar_t* file : kSuiteFonts) {
            std::wstring face = L"Holter Test " + tag + L" " + std::wstring(file).substr(0, std::wstring(file).find(L'.'));
            faces.push_back(face);
            values.push_back(face + L" (TrueType)");
            WriteFileBytes(source + file, MakeFont({Windows(0x409, face)}));
        }
    }
};

}  // namespace

TEST(GetFontFaceName, ReadsTheFullNamesOfTheDistributionFonts) {
    std::wstring fonts = testsupport::BuildDir() + L"distribution\\fonts\\";
    struct {
        const wchar_t* file;
        const wchar_t* face;
    } cases[] = {
        {L"ARIAL.TTF", L"Liberation Sans"},      {L"ARIALN.TTF", L"Liberation Sans Narrow"},
        {L"COUR.TTF", L"Liberation Mono"},       {L"MICROSS.TTF", L"DejaVu Sans Condensed"},
        {L"TAHOMA.TTF", L"Tahoma"},              {L"TIMES.TTF", L"Liberation Serif"},
        {L"verdana.TTF", L"DejaVu Sans"},
    };
    for (const auto& c : cases) {
        std::wstring face = L"stale";
        GetFontFaceName((fonts + c.file).c_str(), face);
        EXPECT_EQ(face, c.face) << ToUtf8(c.file);
    }
}

TEST(GetFontFaceName, GivesNothingForFilesThatAreNoFonts) {
    TempDir dir;
    std::string real = ReadFileBytes(testsupport::BuildDir() + L"distribution\\fonts\\TAHOMA.TTF");
    struct {
        const wchar_t* file;
        std::string bytes;
    } cases[] = {
        {L"empty.ttf", ""},
        {L"text.ttf", "Placeholder for a font.\r\n"},
        {L"cut.ttf", real.substr(0, 300)},
        {L"noname.ttf", MakeFont({Windows(0x409, L"Family only", 1)})},
    };
    for (const auto& c : cases) {
        WriteFileBytes(dir / c.file, c.bytes);
        std::wstring face = L"stale";
        GetFontFaceName((dir / c.file).c_str(), face);
        EXPECT_EQ(face, L"") << ToUtf8(c.file);
    }
    std::wstring face = L"stale";
    GetFontFaceName((dir / L"missing.ttf").c_str(), face);
    EXPECT_EQ(face, L"");
}

TEST(ReadFontFullName, PrefersWindowsUsEnglishThenAnyWindowsThenMacintosh) {
    TempDir dir;
    struct {
        const char* what;
        std::string font;
        const wchar_t* expected;
    } cases[] = {
        {"US English among others",
         MakeFont({{1, 0, 0, 4, "Mac Name"}, Windows(0x419, L"Русское имя"), Windows(0x409, L"English Name"),
                   Windows(0x407, L"Deutscher Name")}),
         L"English Name"},
        {"another Windows language", MakeFont({{1, 0, 0, 4, "Mac Name"}, Windows(0x419, L"Русское имя")}),
         L"Русское имя"},
        {"Macintosh Roman only", MakeFont({{1, 0, 0, 4, "B\x8Ar Sans"}, Windows(0x409, L"Family", 1)}),
         L"B\u00E4r Sans"},
        {"a collection's first font", MakeFont({Windows(0x409, L"In Collection")}, true), L"In Collection"},
        {"trailing zero", MakeFont({Windows(0x409, std::wstring(L"Zero", 4) + L'\0')}), L"Zero"},
    };
    for (const auto& c : cases) {
        WriteFileBytes(dir / L"f.ttf", c.font);
        EXPECT_EQ(ReadFontFullName(dir / L"f.ttf"), c.expected) << c.what;
    }
}

TEST(InstallFonts, CopiesRegistersAndLogsEachFontOnceOnly) {
    MadeUpFonts fonts;
    FontValuesKept kept(fonts.values);
    LogRecordingHost host;

    InstallFonts(host, fonts.source, fonts.target);

    std::vector<std::wstring> expected;
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_TRUE(FileExists(fonts.target + kSuiteFonts[i])) << ToUtf8(kSuiteFonts[i]);
        EXPECT_EQ(FontValue(fonts.values[i]), kSuiteFonts[i]);
        expected.push_back(L"Шрифт <" + fonts.faces[i] + L"> у\u0063тановлен");  // Latin "c"
    }
    EXPECT_EQ(host.lines, expected);
    EXPECT_NE(host.lines[0].find(L"> уcтановлен"), std::wstring::npos);
    EXPECT_EQ(host.lines[0].find(L"> у\u0441тановлен"), std::wstring::npos);  // not the Cyrillic "с"

    // The second installation finds the files and changes nothing.
    for (const std::wstring& v : fonts.values) {
        platform::RegKey key;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, key.put());
        RegDeleteValueW(key.get(), v.c_str());
    }
    host.lines.clear();
    InstallFonts(host, fonts.source, fonts.target);
    EXPECT_TRUE(host.lines.empty());
    for (const std::wstring& v : fonts.values) EXPECT_EQ(FontValue(v), L"(none)") << ToUtf8(v);
}

TEST(InstallFonts, PresentFileIsLeftAloneWhateverItHolds) {
    MadeUpFonts fonts;
    FontValuesKept kept(fonts.values);
    WriteFileBytes(fonts.target + L"TAHOMA.TTF", "an older version");
    LogRecordingHost host;
    InstallFonts(host, fonts.source, fonts.target);
    EXPECT_EQ(ReadFileBytes(fonts.target + L"TAHOMA.TTF"), "an older version");
    EXPECT_EQ(FontValue(fonts.values[4]), L"(none)");
    EXPECT_EQ(host.lines.size(), 6u);
}

TEST(InstallFonts, MissingSourceEndsTheStepAtThatFont) {
    MadeUpFonts fonts;
    FontValuesKept kept(fonts.values);
    DeleteFileW((fonts.source + L"COUR.TTF").c_str());
    LogRecordingHost host;
    EXPECT_THROW(InstallFonts(host, fonts.source, fonts.target), platform::Exception);
    EXPECT_EQ(host.lines.size(), 2u);  // ARIAL and ARIALN
    EXPECT_EQ(FontValue(fonts.values[1]), L"ARIALN.TTF");
    EXPECT_FALSE(FileExists(fonts.target + L"COUR.TTF"));
    EXPECT_FALSE(FileExists(fonts.target + L"MICROSS.TTF"));
    EXPECT_EQ(FontValue(fonts.values[3]), L"(none)");
}

TEST(InstallFonts, FileWithoutANameIsCopiedButNotRegistered) {
    MadeUpFonts fonts;
    FontValuesKept kept(fonts.values);
    WriteFileBytes(fonts.source + L"MICROSS.TTF", "no font at all");
    LogRecordingHost host;
    InstallFonts(host, fonts.source, fonts.target);
    EXPECT_TRUE(FileExists(fonts.target + L"MICROSS.TTF"));
    EXPECT_EQ(FontValue(L" (TrueType)"), L"(none)");
    ASSERT_EQ(host.lines.size(), 7u);
    EXPECT_EQ(host.lines[3], L"Шрифт MICROSS.TTF скопирован, но не зарегистрирован: имя шрифта не прочитано");
    EXPECT_EQ(FontValue(fonts.values[4]), L"TAHOMA.TTF");  // the fonts after it go on
}

// ---- the display-size change ---------------------------------------------------

namespace {

struct FakeUi : IFontSizeChangeUi {
    bool answer = false;
    std::vector<std::wstring> questions;
    int closed = 0;
    bool AskYesNoWarning(const std::wstring& text) override {
        questions.push_back(text);
        return answer;
    }
    void CloseWindow() override { ++closed; }
};

// Catches the restart request; the real one would end every process of the prefix.
struct RestartSeen {
    std::vector<UINT> flags;
    ExitWindowsSeam previous;
    RestartSeen() {
        previous = SetExitWindowsSeam([this](UINT f, DWORD) {
            flags.push_back(f);
            return TRUE;
        });
    }
    ~RestartSeen() { SetExitWindowsSeam(previous); }
};

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

}  // namespace

TEST(ChangeFontSize, PlantedLibraryBesideTheProgramIsNotLoaded) {
    std::wstring folder = ExeFolder();
    std::wstring planted = folder + L"syssetup.dll";
    std::wstring loaded = folder + L"syssetup-loaded.mark", called = folder + L"syssetup-called.mark";
    ASSERT_TRUE(CopyFileW((testsupport::BuildDir() + L"planted\\syssetup.dll").c_str(), planted.c_str(), FALSE));
    DeleteFileW(loaded.c_str());
    DeleteFileW(called.c_str());

    ChangeFontSize();  // Wine has no syssetup.dll of its own: nothing happens
    EXPECT_FALSE(FileExists(loaded));
    EXPECT_FALSE(FileExists(called));

    // The planted library does leave its mark when a load finds it.
    HMODULE probe = LoadLibraryW(L"syssetup.dll");
    EXPECT_NE(probe, nullptr);
    if (probe) FreeLibrary(probe);
    EXPECT_TRUE(FileExists(loaded));

    DeleteFileW(planted.c_str());
    DeleteFileW(loaded.c_str());
    DeleteFileW(called.c_str());
}

TEST(ChangeFontSizeAndOfferRestart, YesRestartsWithoutForcingProgramsAndCloses) {
    RestartSeen restart;
    FakeUi ui;
    ui.answer = true;
    ChangeFontSizeAndOfferRestart(ui);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0],
              L"Изменения в настройки внесены, для того чтобы они\r\n"
              L"вступили в силу, требуется перзагрузить операционную систему.\r\n"
              L"Выполнить перезагрузку сейчас?");
    EXPECT_EQ(restart.flags, std::vector<UINT>{EWX_REBOOT | EWX_FORCEIFHUNG});
    EXPECT_EQ(ui.closed, 1);
}

TEST(ChangeFontSizeAndOfferRestart, NoLeavesEverythingAsItIs) {
    RestartSeen restart;
    FakeUi ui;
    ChangeFontSizeAndOfferRestart(ui);
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_TRUE(restart.flags.empty());
    EXPECT_EQ(ui.closed, 0);
}
