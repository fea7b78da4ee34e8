// Shared routines of the suite: string resources, the settings reader, the
// localized name loader and its words, the process-wide number format, and
// small operations over the Windows system.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

// Loads string id of module into a 255-character buffer (at most 254 come
// back). An id without a string gives the empty text.
std::wstring ReadResourceString(HMODULE module, UINT id);

// True when the screen has fewer than 100 logical pixels per inch horizontally.
bool IsSmallFontsMode();

// Copies the source folder with all its content to destination through the
// shell (SHFileOperationW, FO_COPY, FOF_FILESONLY); one trailing "\" of either
// path is dropped first. The shell shows its own progress and confirmations.
// True when the shell reports success.
bool CopyFolderByShell(const std::wstring& source, const std::wstring& destination);

// The Windows folder with a trailing "\", or empty on failure.
std::wstring GetWindowsFolder();

// Enables the shutdown privilege of the process (on the NT family) and asks
// Windows to shut down with flags (reason 0). True when Windows accepts.
bool RebootWindows(UINT flags);

// Tests replace the ExitWindowsEx call with this seam; it sees the flags and
// the reason and answers in its place. An empty function restores the real
// call. Returns the seam that was in place before.
using ExitWindowsSeam = std::function<BOOL(UINT flags, DWORD reason)>;
ExitWindowsSeam SetExitWindowsSeam(ExitWindowsSeam seam);

// The process-wide number format. ReadSettingsFile sets "." and " "; every
// conversion between numbers and text in the program goes through it (or uses
// "." directly), never through the C locale or the user's regional settings.
struct TFormatSettings {
    wchar_t DecimalSeparator = L'.';
    wchar_t ThousandSeparator = L' ';
};
extern TFormatSettings FormatSettings;

// A number as text with FormatSettings.DecimalSeparator, at most 15 significant
// digits, no thousands separators (2.5 -> "2.5", 1e20 -> "1E20").
std::wstring FloatToStr(double value);
// A decimal number written with FormatSettings.DecimalSeparator; def for anything else.
double StrToFloatDef(const std::wstring& text, double def);

// Reads ProgramFolder + "Settings\holter.ini", section "options", into
// CommonSettings, each absent or unusable value taking its default. Also sets
// FormatSettings. A missing or unreadable file is no error.
void ReadSettingsFile();

// Words of the shared routines, filled by LoadLocalizedNames.
extern std::wstring FailureWord;
extern std::wstring MarkWord;
extern std::wstring LetterN;
extern std::wstring LetterS;

// Fills the name tables and the words above from LanguageFile (Russian built-ins otherwise).
void LoadLocalizedNames();
