#include "install/ProgramRunners.h"

#include <vector>

#include "platform/Exceptions.h"
#include "platform/Handles.h"

namespace {

// Longest command line CreateProcessW takes, in characters, without the
// terminating zero.
constexpr size_t kMaxCommandLine = 32766;
// Longest command line the command interpreter takes.
constexpr size_t kMaxInterpreterLine = 8191;

// What CreateProcessW gets: the program that runs and its full command line.
struct StartRequest {
    std::wstring application;
    std::wstring commandLine;
    size_t limit = kMaxCommandLine;
    std::wstring script;  // the command script the interpreter is to run, if any
};

std::wstring SystemFolder() {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        UINT n = GetSystemDirectoryW(buf.data(), static_cast<UINT>(buf.size()));
        if (n == 0) return L"C:\\Windows\\System32";
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(n + 1);
    }
}

// The request that runs program with tail, the text that follows the quoted
// program path in its command line (empty or beginning with a blank).
// A command script goes to cmd.exe: "/d" keeps the interpreter's AutoRun
// commands out, and "/s /c" makes it strip exactly the outer pair of quotes,
// leaving the quoted script path and the tail as the command it runs:
//   "C:\Windows\system32\cmd.exe" /d /s /c ""C:\a&b\Install.cmd" "
StartRequest MakeRequest(const std::wstring& program, const std::wstring& tail) {
    StartRequest r;
    if (IsCommandScript(program)) {
        r.application = SystemFolder() + L"\\cmd.exe";
        r.commandLine = L"\"" + r.application + L"\" /d /s /c \"\"" + program + L"\"" + tail + L"\"";
        r.limit = kMaxInterpreterLine;
        r.script = program;
    } else {
        r.application = program;
        r.commandLine = L"\"" + program + L"\"" + tail;
    }
    return r;
}

// Starts the process; false (with the system's error code kept) on failure.
bool Start(const StartRequest& r, const wchar_t* workingFolder, UINT showMode, platform::Handle& process) {
    if (r.commandLine.size() > r.limit) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    // The interpreter itself would start and only then fail to find the
    // script; a missing script is a program that cannot be started.
    if (!r.script.empty()) {
        DWORD attributes = GetFileAttributesW(r.script.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
    }
    std::vector<wchar_t> line(r.commandLine.begin(), r.commandLine.end());
    line.push_back(L'\0');

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showMode);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(r.application.empty() ? nullptr : r.application.c_str(), line.data(), nullptr, nullptr,
                        FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr, workingFolder, &si, &pi))
        return false;
    platform::Handle thread(pi.hThread);
    process.reset(pi.hProcess);
    return true;
}

DWORD ExitCodeOf(HANDLE process) {
    DWORD code = kRunFailed;
    if (!GetExitCodeProcess(process, &code)) code = kRunFailed;
    return code;
}

}  // namespace

bool IsCommandScript(const std::wstring& path) {
    size_t dot = path.find_last_of(L".\\/:");
    if (dot == std::wstring::npos || path[dot] != L'.') return false;
    std::wstring ext = path.substr(dot);
    return CompareStringOrdinal(ext.c_str(), -1, L".cmd", -1, TRUE) == CSTR_EQUAL ||
           CompareStringOrdinal(ext.c_str(), -1, L".bat", -1, TRUE) == CSTR_EQUAL;
}

std::wstring ProgramFolderOf(const std::wstring& programPath) {
    size_t cut = programPath.find_last_of(L"\\/:");
    if (cut == std::wstring::npos) return {};
    std::wstring folder = programPath.substr(0, cut);
    // "C:\x.exe" runs in "C:\"; "C:x.exe" in the current folder of drive C.
    if (programPath[cut] == L':' || (folder.size() == 2 && folder[1] == L':')) return programPath.substr(0, cut + 1);
    if (folder.empty()) return programPath.substr(0, 1);  // "\x.exe": the root of the current drive
    return folder;
}

DWORD RunProgram(const std::wstring& commandLine, UINT showMode, bool wait) {
    StartRequest request;
    size_t skip = commandLine.find_first_not_of(L' ');
    size_t close = std::wstring::npos;
    if (skip != std::wstring::npos && commandLine[skip] == L'"') close = commandLine.find(L'"', skip + 1);
    if (close != std::wstring::npos) {
        request = MakeRequest(commandLine.substr(skip + 1, close - skip - 1), commandLine.substr(close + 1));
    } else {
        // No quoted program at the start: the command line goes to Windows as
        // it stands, which finds the program by its own rules.
        request.commandLine = commandLine;
    }

    platform::Handle process;
    if (!Start(request, nullptr, showMode, process)) return kRunFailed;
    if (!wait) return 0;
    WaitForSingleObject(process.get(), INFINITE);
    return ExitCodeOf(process.get());
}

DWORD RunAndWait(const std::wstring& programPath, const std::wstring& parameters, WORD showMode) {
    StartRequest request = MakeRequest(programPath, L" " + parameters);
    if (request.commandLine.size() > request.limit)
        throw platform::Exception(L"Командная строка для запуска программы " + programPath + L" длиннее " +
                                  std::to_wstring(request.limit) + L" знаков, Windows не может её передать");

    std::wstring folder = ProgramFolderOf(programPath);
    platform::Handle process;
    if (!Start(request, folder.empty() ? nullptr : folder.c_str(), showMode, process)) {
        DWORD code = GetLastError();
        throw platform::EOSError(L"ia niia nicaaou i?ioann: " + programPath, code);
    }
    DWORD waited;
    do {
        waited = WaitForSingleObject(process.get(), 100);
    } while (waited == WAIT_TIMEOUT);
    return ExitCodeOf(process.get());
}
