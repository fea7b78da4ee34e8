// The suite's fonts in the Windows font folder, and the switch of the
// system's font size to large fonts with the offer to restart.
#pragma once

#include <string>

class IInstallHost;

// The suite's fonts, in the order of installation, as their file names in
// the distribution's "fonts\" folder; the names are also the registry data.
extern const wchar_t* const kSuiteFonts[7];

// The face name of a font file ("Arial", "Arial Narrow", "Times New Roman"):
// what GetFontResourceInfoW (looked up in gdi32 at run time) reports, or,
// where that gives nothing (Wine's is a stub), the full font name from the
// file's own name table. Empty when the file gives no name. Never raises.
void GetFontFaceName(const wchar_t* path, std::wstring& faceName);

// The full font name (name 4) from a TrueType or OpenType file's name table:
// the Windows-platform entry in US English, else any Windows-platform one,
// else the Macintosh Roman one. Empty when the file has none or is no font.
std::wstring ReadFontFullName(const std::wstring& path);

// Installs one font from sourceFolder into targetFolder (both ending in "\"):
// nothing at all when targetFolder + fileName exists; otherwise the file is
// copied, registered under HKLM "Software\Microsoft\Windows NT\CurrentVersion\Fonts"
// as face name + " (TrueType)" = fileName, announced to the running system,
// and logged as "Шрифт <face> уcтановлен". A file that gives no face name
// is copied but not registered (there is no name to register it under),
// and the log says so. Raises when the source cannot be read, the target not
// created, or the registry key not opened or written.
void InstallOneFont(IInstallHost& host, const std::wstring& sourceFolder, const std::wstring& targetFolder,
                    const std::wstring& fileName);

// Installs kSuiteFonts in order from sourceFolder into targetFolder. The first
// error ends it; the fonts before it stay installed.
void InstallFonts(IInstallHost& host, const std::wstring& sourceFolder, const std::wstring& targetFolder);

// The installation's font step: from the installer's "fonts\" folder into
// the Windows folder's "fonts\".
void InstallFonts(IInstallHost& host);

// Asks the Windows setup library (syssetup.dll, loaded from the system folder
// only) to switch the display to large fonts (120 dots per inch). Silent when
// the library or its function is missing.
void ChangeFontSize();

// The restart question of the display-size page.
extern const wchar_t kRestartQuestion[];

// What the display-size change needs from the window.
class IFontSizeChangeUi {
public:
    virtual ~IFontSizeChangeUi() = default;
    // Warning box with Yes and No; true on Yes.
    virtual bool AskYesNoWarning(const std::wstring& text) = 0;
    virtual void CloseWindow() = 0;
};

// "Изменить настройки" (BtnChangeFontClick): changes the font size, asks
// kRestartQuestion, and on Yes asks Windows to restart (EWX_REBOOT |
// EWX_FORCEIFHUNG: programs that answer may still save their work) and
// closes the window.
void ChangeFontSizeAndOfferRestart(IFontSizeChangeUi& ui);
