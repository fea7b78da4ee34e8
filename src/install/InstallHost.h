// What the installation sequence needs from the wizard window. TFMain
// implements it; tests implement it without a window
// (tests/support/FakeInstallHost.h).
//
// How the sequence uses it (for the window's side):
// - Pump is called after each log line, and, inside the guarded block (close
//   guard false, hourglass), also during the copy of a large file: about every
//   100 ms, right after SetLogLine has put the copy's share on the file's line
//   ("Копирование файла T12.FDB....37%"). Each call should repaint the log and
//   process the messages waiting in the queue once, then return.
// - ErrorBox may come inside the guarded block, while the close guard is false.
// - Every call comes on the user-interface thread, inside the click.
#pragma once

#include <string>

enum class InstallPage { ProgressInstall, ChangeFontSize };

class IInstallHost {
public:
    virtual ~IInstallHost() = default;

    // Wizard state read by the sequence.
    virtual std::wstring DestinationText() const = 0;  // the text of ePath
    virtual bool DriverChecked() const = 0;            // CbDriverInstal
    virtual int WindowsIndex() const = 0;              // item index of CBWindows
    virtual bool SecondBrand() const = 0;              // IsSecondBrand
    virtual std::wstring InstallerFolder() const = 0;  // folder of the running executable, with "\"
    virtual void SetCopyFrom(const std::wstring& folder) = 0;  // Fcopyfrom

    // The log (LogList).
    virtual void ResetLog() = 0;  // remove every line and make the list visible
    virtual int AddLogLine(const std::wstring& text) = 0;  // returns the line's index
    virtual void SetLogLine(int index, const std::wstring& text) = 0;
    virtual void RepaintLog() = 0;  // repaint the list at once
    virtual void Pump() = 0;        // let the window process its pending messages once

    // Standard message boxes, modal over the wizard.
    virtual void ErrorBox(const std::wstring& text) = 0;    // error icon, OK
    virtual bool ConfirmBox(const std::wstring& text) = 0;  // question icon, Yes/No; true on Yes

    // The window.
    virtual void SetCanClose(bool canClose) = 0;  // FCanClose
    virtual void SetHourglass(bool busy) = 0;     // screen cursor: hourglass / default arrow
    virtual void ShowPage(InstallPage page) = 0;
    virtual void EnableExit() = 0;   // BtnExit
    virtual void CloseWindow() = 0;  // close the wizard window
};
