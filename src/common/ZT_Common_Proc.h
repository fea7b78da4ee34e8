// Shared routines of the suite: string resources, the localized name loader's
// words, and small operations over the Windows system.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

// Loads string id of module into a 255-character buffer (at most 254 come back).
std::wstring ReadResourceString(HMODULE module, UINT id);

// True when the screen has fewer than 100 logical pixels per inch horizontally.
bool IsSmallFontsMode();

// Copies the source folder with all its content to destination through the
// shell (SHFileOperationW, FO_COPY, FOF_FILESONLY). True on success.
bool CopyFolderByShell(const std::wstring& source, const std::wstring& destination);

// The Windows folder with a trailing "\", or empty on failure.
std::wstring GetWindowsFolder();

// Enables the shutdown privilege and asks Windows to shut down with flags.
bool RebootWindows(UINT flags);

// Tests replace the ExitWindowsEx call with this seam; it sees the flags and
// answers in its place. An empty function restores the real call.
using ExitWindowsSeam = std::function<BOOL(UINT flags, DWORD reason)>;
void SetExitWindowsSeam(ExitWindowsSeam seam);

// Words of the shared routines, filled by LoadLocalizedNames.
extern std::wstring FailureWord;
extern std::wstring MarkWord;
extern std::wstring LetterN;
extern std::wstring LetterS;

// Fills the name tables and the words above from LanguageFile (Russian built-ins otherwise).
void LoadLocalizedNames();
