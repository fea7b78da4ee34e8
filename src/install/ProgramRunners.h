// Starting other programs from the installation: the driver installer and the
// releases' Install.cmd. Both runners block the calling thread without
// processing window messages until the started program has ended.
//
// Every program gets a console of its own (CREATE_NEW_CONSOLE, normal
// priority), inherits no handles, runs with the installer's environment and
// shows its first window with the given show mode. The program's path is
// always quoted in the command line and handed to CreateProcessW by itself,
// so a path with blanks never starts some other program ("C:\Program.exe"
// for "C:\Program Files\..."). A command script (.cmd or .bat) is run by the
// system's own command interpreter, named by its full path, with the
// script's path quoted so that characters the interpreter treats specially
// (& ^ ( ) ; , and blanks) in folder names stay part of the path.
#pragma once

#include <windows.h>
#include <string>

// Exit code that RunProgram reports for a program that could not be started.
constexpr DWORD kRunFailed = static_cast<DWORD>(-1);

// Starts a program by its command line in the installer's current folder.
// The command line normally begins with the program's path in double quotes;
// that path is then the program that runs. Returns the program's exit code
// when wait is true, 0 when the program was started without waiting, and
// kRunFailed (all bits set) when it could not be started, also when the
// command line is longer than Windows can pass (GetLastError then tells
// ERROR_FILENAME_EXCED_RANGE). Never raises.
DWORD RunProgram(const std::wstring& commandLine, UINT showMode, bool wait);

// Runs programPath with parameters (appended after one blank, which is there
// also when the parameters are empty) in the program's own folder, waits for
// it in steps of 100 ms without processing messages, and returns its exit
// code. Raises platform::EOSError "ia niia nicaaou i?ioann: " + programPath
// when the program cannot be started, and platform::Exception when the command
// line would be longer than Windows can pass.
DWORD RunAndWait(const std::wstring& programPath, const std::wstring& parameters, WORD showMode);

// The working folder RunAndWait uses for a program: the folder part of the
// path without its trailing "\" (a drive's root keeps it: "C:\"); empty when
// the path names no folder.
std::wstring ProgramFolderOf(const std::wstring& programPath);

// True when the path names a command script (.cmd or .bat, any letter case).
bool IsCommandScript(const std::wstring& path);
