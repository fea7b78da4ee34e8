// The shared system helpers under Wine: string resources, the small-fonts test,
// the folder copy through the shell, the Windows folder, the restart, and the
// process-wide number format.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "../resources/resource_ids.h"
#include "common/ZT_Common_Proc.h"
#include "support/TestSupport.h"

using testsupport::TempDir;

namespace {

// No test of this program may restart Windows for real (under Wine that ends
// every process of the prefix): until a test puts its own seam in place, a call
// that would reach ExitWindowsEx fails the test and is refused.
const bool realRestartBlocked = [] {
    SetExitWindowsSeam([](UINT flags, DWORD) -> BOOL {
        ADD_FAILURE() << "RebootWindows reached ExitWindowsEx with flags " << flags;
        return FALSE;
    });
    return true;
}();

// The small-fonts test starts this program again with HOLTER_SMALLFONTS_REPORT
// naming a file: the child writes "<pixels per inch> <answer>" to it and ends
// before any test runs, so that it sees the screen as a new process does.
const bool smallFontsChild = [] {
    std::wstring report = testsupport::Env(L"HOLTER_SMALLFONTS_REPORT");
    if (report.empty()) return false;
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    std::string text = std::to_string(dpi) + (IsSmallFontsMode() ? " small" : " large");
    HANDLE h = CreateFileW(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    CloseHandle(h);
    ExitProcess(0);
}();

class ExitWindowsSeamScope {
public:
    explicit ExitWindowsSeamScope(ExitWindowsSeam seam) : previous_(SetExitWindowsSeam(std::move(seam))) {}
    ~ExitWindowsSeamScope() { SetExitWindowsSeam(std::move(previous_)); }

private:
    ExitWindowsSeam previous_;
};

// Sets HKCU\Control Panel\Desktop LogPixels and puts the old value back on scope exit.
class LogPixelsScope {
public:
    LogPixelsScope() {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, &type_, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
    }
    ~LogPixelsScope() {
        if (had_)
            RegSetValueExW(key_, L"LogPixels", 0, type_, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        else
            RegDeleteValueW(key_, L"LogPixels");
        RegCloseKey(key_);
    }
    bool Set(DWORD dpi) {
        return RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) ==
               ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
    bool had_ = false;
    DWORD type_ = REG_DWORD;
    DWORD old_ = 0;
};

// Runs this program as the small-fonts child and returns its report.
std::string SmallFontsReport(const TempDir& dir) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring report = dir / L"report.txt";
    DeleteFileW(report.c_str());
    SetEnvironmentVariableW(L"HOLTER_SMALLFONTS_REPORT", report.c_str());
    std::wstring command = L"\"" + std::wstring(self) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessW(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(L"HOLTER_SMALLFONTS_REPORT", nullptr);
    if (!started) return "cannot start the child";
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return testsupport::FileExists(report) ? testsupport::ReadFileBytes(report) : "no report";
}

bool ShutdownPrivilegeEnabled() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    PRIVILEGE_SET set{};
    set.PrivilegeCount = 1;
    set.Control = PRIVILEGE_SET_ALL_NECESSARY;
    LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &set.Privilege[0].Luid);
    BOOL enabled = FALSE;
    PrivilegeCheck(token, &set, &enabled);
    CloseHandle(token);
    return enabled != FALSE;
}

void DisableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &tp.Privileges[0].Luid);
    tp.Privileges[0].Attributes = 0;
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    CloseHandle(token);
}

}  // namespace

TEST(ReadResourceString, EntriesOfTheStringTable) {
    HMODULE self = GetModuleHandleW(nullptr);
    EXPECT_EQ(ReadResourceString(self, IDS_APPNAME), L"Holter");
    EXPECT_EQ(ReadResourceString(self, IDS_SUITENAME), L"Арвела - Холтер");
    EXPECT_EQ(ReadResourceString(self, IDS_SUITEDESCR), L"Комплекс суточного мониторирования электрокардиограмм");
    EXPECT_EQ(ReadResourceString(self, IDS_MAINPROGRAM), L"Shell.exe");
    EXPECT_EQ(ReadResourceString(self, 4000), L"") << "an id without a string";
}

// Display*: see tests/CMakeLists.txt (the test changes the pixels per inch new processes get).
TEST(DisplayPixelsPerInch, IsSmallFontsModeBelow100) {
    TempDir dir;
    LogPixelsScope logPixels;
    struct Case {
        DWORD dpi;
        const char* report;
    } cases[] = {{96, "96 small"}, {99, "99 small"}, {100, "100 large"}, {120, "120 large"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        ASSERT_TRUE(logPixels.Set(c.dpi));
        EXPECT_EQ(SmallFontsReport(dir), c.report);
    }
}

TEST(GetWindowsFolder, EndsInADelimiterAndIsTheSystemsFolder) {
    std::wstring folder = GetWindowsFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_NE(folder[folder.size() - 2], L'\\');
    EXPECT_TRUE(testsupport::DirExists(folder + L"system32"));
    wchar_t expected[MAX_PATH];
    UINT n = GetSystemWindowsDirectoryW(expected, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(folder.c_str(), -1, (std::wstring(expected, n) + L"\\").c_str(), -1, TRUE),
              CSTR_EQUAL);
}

TEST(CopyFolderByShell, SameCopyWithOrWithoutTrailingDelimiters) {
    TempDir dir;
    const std::wstring source = dir / L"FTDIDriverInstall";
    testsupport::MakeDirs(source);
    testsupport::WriteFileBytes(source + L"\\FTDIDriverInstall.exe", "installer");
    testsupport::WriteFileBytes(source + L"\\Драйвер.inf", "driver");
    struct Case {
        const wchar_t* sourceEnd;
        const wchar_t* destinationEnd;
    } cases[] = {{L"", L""}, {L"\\", L"\\"}, {L"\\", L""}, {L"", L"\\"}};
    int n = 0;
    for (const Case& c : cases) {
        // Always onto a new destination: onto existing files the shell asks before replacing them.
        const std::wstring destination = dir / (L"Копия" + std::to_wstring(++n));
        SCOPED_TRACE(testsupport::ToUtf8(destination + L" from ..." + c.sourceEnd + L" to ..." + c.destinationEnd));
        EXPECT_TRUE(CopyFolderByShell(source + c.sourceEnd, destination + c.destinationEnd));
        EXPECT_EQ(testsupport::ReadFileBytes(destination + L"\\FTDIDriverInstall.exe"), "installer");
        EXPECT_EQ(testsupport::ReadFileBytes(destination + L"\\Драйвер.inf"), "driver");
    }
    EXPECT_FALSE(CopyFolderByShell(dir / L"нет", dir / L"Копия0")) << "a missing source";
}

TEST(RebootWindows, EnablesTheShutdownPrivilegeAndPassesFlagsAndAnswer) {
    struct Case {
        UINT flags;
        BOOL answer;
    } cases[] = {{EWX_REBOOT | EWX_FORCE, TRUE}, {EWX_REBOOT | EWX_FORCEIFHUNG, FALSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        DisableShutdownPrivilege();
        ASSERT_FALSE(ShutdownPrivilegeEnabled());
        std::vector<UINT> flagsSeen;
        DWORD reasonSeen = 99;
        bool privilegeAtCall = false;
        ExitWindowsSeamScope seam([&](UINT flags, DWORD reason) -> BOOL {
            flagsSeen.push_back(flags);
            reasonSeen = reason;
            privilegeAtCall = ShutdownPrivilegeEnabled();
            return c.answer;
        });
        EXPECT_EQ(RebootWindows(c.flags), c.answer != FALSE);
        EXPECT_EQ(flagsSeen, std::vector<UINT>{c.flags});
        EXPECT_EQ(reasonSeen, 0u);
        EXPECT_TRUE(privilegeAtCall);
    }
}

TEST(FormatSettings, NumbersAsTextWithTheProcessSeparatorNotTheLocale) {
    // The Russian regional settings use a decimal comma; take them into the C runtime too.
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "");
    EXPECT_EQ(FormatSettings.DecimalSeparator, L'.');
    EXPECT_EQ(FormatSettings.ThousandSeparator, L' ');
    struct Case {
        double value;
        const wchar_t* text;
    } cases[] = {{2.5, L"2.5"}, {-3, L"-3"}, {0.1 + 0.2, L"0.3"}, {1234567.25, L"1234567.25"},
                 {1e20, L"1E20"}, {1.5e-7, L"1.5E-7"}, {0, L"0"}};
    for (const Case& c : cases) {
        EXPECT_EQ(FloatToStr(c.value), c.text);
        EXPECT_DOUBLE_EQ(StrToFloatDef(c.text, -1), c.value);
    }
    EXPECT_EQ(StrToFloatDef(L"2,5", -1), -1);
    std::setlocale(LC_ALL, saved.c_str());
}
