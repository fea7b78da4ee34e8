// The program runners: command lines, working folders, exit codes, failures,
// and folder names that the command interpreter would otherwise split.
#include <gtest/gtest.h>

#include <vector>

#include "install/ProgramRunners.h"
#include "platform/Exceptions.h"
#include "support/TestSupport.h"

using testsupport::FileExists;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::ToUtf8;
using testsupport::WriteFileBytes;

namespace {

std::wstring CmdExe() {
    wchar_t sys[MAX_PATH];
    GetSystemDirectoryW(sys, MAX_PATH);
    return std::wstring(sys) + L"\\cmd.exe";
}

// The stand-in driver installer records its command line and current folder
// in driver.mark beside itself.
std::wstring PlaceRecorder(const std::wstring& folder) {
    testsupport::MakeDirs(folder);
    std::wstring exe = folder + L"\\FTDIDriverInstall.exe";
    EXPECT_TRUE(CopyFileW((testsupport::BuildDir() + L"FTDIDriverInstall.exe").c_str(), exe.c_str(), FALSE));
    return exe;
}

struct Recorded {
    std::string commandLine;
    std::string currentFolder;
};

Recorded ReadRecord(const std::wstring& folder) {
    std::string text = ReadFileBytes(folder + L"\\driver.mark");
    Recorded r;
    auto field = [&](const std::string& name) {
        size_t at = text.find(name);
        if (at == std::string::npos) return std::string();
        at += name.size();
        return text.substr(at, text.find("\r\n", at) - at);
    };
    r.commandLine = field("command line: ");
    r.currentFolder = field("current folder: ");
    return r;
}

std::wstring CurrentFolder() {
    wchar_t buf[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
    return std::wstring(buf, n);
}

// Handles this process holds. Wine answers GetProcessHandleCount with 0, so
// the system's handle list is counted when it does.
DWORD HandleCount() {
    DWORD n = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &n) && n) return n;
    using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    std::vector<BYTE> buf(1 << 20);
    ULONG got = 0;
    LONG status;
    while ((status = query(16 /* SystemHandleInformation */, buf.data(), static_cast<ULONG>(buf.size()), &got)) ==
           static_cast<LONG>(0xC0000004))  // STATUS_INFO_LENGTH_MISMATCH
        buf.resize(buf.size() * 2);
    if (status != 0) return 0;
    ULONG count = *reinterpret_cast<ULONG*>(buf.data());
    auto entries = reinterpret_cast<const Entry*>(buf.data() + sizeof(ULONG_PTR));
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == GetCurrentProcessId()) ++n;
    return n;
}

}  // namespace

TEST(RunAndWait, QuotesTheProgramAndAppendsParametersAfterOneBlank) {
    TempDir dir;
    std::wstring folder = dir / L"Release 1";
    std::wstring exe = PlaceRecorder(folder);

    RunAndWait(exe, L"", SW_HIDE);
    Recorded r = ReadRecord(folder);
    EXPECT_EQ(r.commandLine, "\"" + ToUtf8(exe) + "\" ");
    EXPECT_EQ(r.currentFolder, ToUtf8(folder));  // the program's folder, no trailing "\"

    RunAndWait(exe, L"/q -x", SW_HIDE);
    EXPECT_EQ(ReadRecord(folder).commandLine, "\"" + ToUtf8(exe) + "\" /q -x");
}

TEST(RunAndWait, ReturnsTheExitCode) {
    TempDir dir;
    WriteFileBytes(dir / L"Install.cmd", "@exit /b 7\r\n");
    EXPECT_EQ(RunAndWait(dir / L"Install.cmd", L"", SW_HIDE), 7u);
    EXPECT_EQ(RunAndWait(CmdExe(), L"/c exit 42", SW_HIDE), 42u);
}

TEST(RunAndWait, MissingProgramRaisesTheFixedTextAndLeavesNoHandle) {
    TempDir dir;
    // The first start of a process may open handles that the system keeps.
    EXPECT_THROW(RunAndWait(dir / L"warm-up.exe", L"", SW_HIDE), platform::EOSError);
    for (const std::wstring& missing : {dir / L"nothing.exe", dir / L"R1\\Install.cmd", dir / L"Install.cmd"}) {
        DWORD before = HandleCount();
        try {
            RunAndWait(missing, L"", SW_HIDE);
            ADD_FAILURE() << "no error for " << ToUtf8(missing);
        } catch (const platform::EOSError& e) {
            EXPECT_EQ(e.Message(), L"ia niia nicaaou i?ioann: " + missing);
        }
        EXPECT_EQ(HandleCount(), before);
    }
}

TEST(RunAndWait, ClosesTheHandlesOfAFinishedProgram) {
    TempDir dir;
    WriteFileBytes(dir / L"Install.cmd", "@exit /b 0\r\n");
    RunAndWait(dir / L"Install.cmd", L"", SW_HIDE);  // the first start may open handles of its own
    DWORD before = HandleCount();
    for (int i = 0; i < 3; ++i) RunAndWait(dir / L"Install.cmd", L"", SW_HIDE);
    EXPECT_EQ(HandleCount(), before);
}

TEST(RunAndWait, FolderNameWithInterpreterCharactersRunsTheRightScriptOnly) {
    TempDir dir;
    // Pieces the interpreter would take for commands if the path were split
    // at a blank, "&", "(" or a delimiter: each leaves a mark if it runs.
    const std::string wrong = ToUtf8(dir / L"wrong.mark");
    const std::string decoy = "@echo %0> \"" + wrong + "\"\r\n";
    for (const wchar_t* name : {L"x.cmd", L"x.bat", L"x.exe.cmd", L"y.cmd", L"z.cmd", L"b.cmd", L"c.cmd", L"d.cmd"})
        WriteFileBytes(dir / name, decoy);

    for (const wchar_t* folderName : {L"x & y", L"x ^& y ^^ (z) ; b,c=d", L"x&y(1)", L"x)&y"}) {
        std::wstring folder = dir / folderName;
        testsupport::MakeDirs(folder);
        for (const wchar_t* name : {L"y.cmd", L"z.cmd", L"b.cmd", L"c.cmd", L"d.cmd"}) WriteFileBytes(folder + L"\\" + name, decoy);
        std::wstring ran = dir / L"ran.mark";
        DeleteFileW(ran.c_str());
        // The script records where it runs, so the working folder is checked too.
        WriteFileBytes(folder + L"\\Install.cmd", "@cd> \"" + ToUtf8(ran) + "\"\r\n@exit /b 5\r\n");

        EXPECT_EQ(RunAndWait(folder + L"\\Install.cmd", L"", SW_HIDE), 5u) << ToUtf8(folderName);
        ASSERT_TRUE(FileExists(ran)) << ToUtf8(folderName);
        std::string cwd = ReadFileBytes(ran);
        while (!cwd.empty() && (cwd.back() == '\n' || cwd.back() == '\r' || cwd.back() == ' ')) cwd.pop_back();
        EXPECT_EQ(cwd, ToUtf8(folder));
        EXPECT_FALSE(FileExists(dir / L"wrong.mark")) << ToUtf8(folderName) << ": " << ReadFileBytes(dir / L"wrong.mark");
        DeleteFileW((dir / L"wrong.mark").c_str());
    }
}

TEST(RunAndWait, RefusesACommandLineWindowsCannotTake) {
    TempDir dir;
    std::wstring exe = PlaceRecorder(dir / L"R1");
    WriteFileBytes(dir / L"R1\\Install.cmd", "@exit /b 0\r\n");
    struct Case {
        std::wstring program;
        size_t parameters;
    } cases[] = {{exe, 33000}, {dir / L"R1\\Install.cmd", 8200}};
    for (const Case& c : cases) {
        try {
            RunAndWait(c.program, std::wstring(c.parameters, L'a'), SW_HIDE);
            ADD_FAILURE() << "an over-long command line was accepted for " << ToUtf8(c.program);
        } catch (const platform::EOSError&) {
            ADD_FAILURE() << "reported as a missing program";
        } catch (const platform::Exception& e) {
            EXPECT_NE(e.Message().find(c.program), std::wstring::npos);
        }
    }
    EXPECT_FALSE(FileExists(dir / L"R1\\driver.mark"));
    // Just within the limit the program runs and gets all of it.
    std::wstring quoted = L"\"" + exe + L"\" ";
    std::wstring parameters(32766 - quoted.size(), L'b');
    RunAndWait(exe, parameters, SW_HIDE);
    EXPECT_EQ(ReadRecord(dir / L"R1").commandLine.size(), 32766u);
}

TEST(RunProgram, RunsAQuotedProgramInTheCurrentFolderAndReturnsItsExitCode) {
    TempDir dir;
    std::wstring folder = dir / L"FTDI Driver (1)";
    std::wstring exe = PlaceRecorder(folder);

    EXPECT_EQ(RunProgram(L"\"" + exe + L"\"", SW_HIDE, true), 0u);
    Recorded r = ReadRecord(folder);
    EXPECT_EQ(r.commandLine, "\"" + ToUtf8(exe) + "\"");
    EXPECT_EQ(r.currentFolder, ToUtf8(CurrentFolder()));

    EXPECT_EQ(RunProgram(L"\"" + CmdExe() + L"\" /c exit 3", SW_HIDE, true), 3u);
    WriteFileBytes(folder + L"\\setup.bat", "@exit /b 9\r\n");
    EXPECT_EQ(RunProgram(L"\"" + folder + L"\\setup.bat\"", SW_HIDE, true), 9u);
}

TEST(RunProgram, UnquotedPathWithABlankDoesNotStartThePrefix) {
    // The quoted form is what the installation passes; the runner must run
    // exactly that program even though a program named after the path's
    // first word exists.
    TempDir dir;
    std::wstring decoyFolder = dir / L"Program";
    std::wstring decoy = PlaceRecorder(decoyFolder);
    CopyFileW(decoy.c_str(), (dir / L"Program.exe").c_str(), FALSE);
    std::wstring folder = dir / L"Program Files";
    std::wstring exe = PlaceRecorder(folder);

    RunProgram(L"\"" + exe + L"\"", SW_HIDE, true);
    EXPECT_TRUE(FileExists(folder + L"\\driver.mark"));
    EXPECT_FALSE(FileExists(dir / L"driver.mark"));
}

TEST(RunProgram, FailedStartGivesAllBitsSet) {
    TempDir dir;
    RunProgram(dir / L"warm-up.exe", SW_HIDE, true);
    DWORD before = HandleCount();
    EXPECT_EQ(RunProgram(L"\"" + dir / L"FTDIDriverInstall\\FTDIDriverInstall.exe" + L"\"", SW_HIDE, true), kRunFailed);
    EXPECT_EQ(RunProgram(L"\"" + dir / L"Install.cmd" + L"\"", SW_HIDE, true), kRunFailed);
    EXPECT_EQ(RunProgram(dir / L"nothing.exe", SW_HIDE, true), kRunFailed);
    EXPECT_EQ(HandleCount(), before);

    std::wstring exe = PlaceRecorder(dir / L"R1");
    EXPECT_EQ(RunProgram(L"\"" + exe + L"\" " + std::wstring(33000, L'a'), SW_HIDE, true), kRunFailed);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(FileExists(dir / L"R1\\driver.mark"));
}

TEST(ProgramFolderOf, TakesTheFolderWithoutItsDelimiter) {
    struct {
        const wchar_t* path;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\A\\R1\\Install.cmd", L"C:\\A\\R1"},
        {L"C:\\Install.cmd", L"C:\\"},
        {L"C:Install.cmd", L"C:"},
        {L"Install.cmd", L""},
        {L"\\\\server\\share\\R1\\Install.cmd", L"\\\\server\\share\\R1"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgramFolderOf(c.path), c.folder) << ToUtf8(c.path);
}
