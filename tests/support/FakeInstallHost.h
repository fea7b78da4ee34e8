// The installation sequence's window, without a window: it holds the wizard
// state a test gives it, answers the message boxes as told and records what
// the sequence did to the log, the close guard, the cursor and the pages.
// Also builds fixture distributions in a folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "install/InstallHost.h"

namespace testsupport {

class FakeInstallHost : public IInstallHost {
public:
    // Wizard state read by the sequence.
    std::wstring destination;      // the text of ePath
    std::wstring installerFolder;  // with "\"
    bool driverChecked = false;
    int windowsIndex = 0;
    bool secondBrand = false;

    // The answer to a confirmation box, by its text; without one every answer is No.
    std::function<bool(const std::wstring& text)> answer;
    // Run at every pump, after it is counted: lets a test act while the sequence runs.
    std::function<void()> onPump;

    // What the sequence did.
    struct LineEvent {
        std::wstring text;  // the line's text as added or replaced
        bool canClose;      // the close guard at that moment
        bool hourglass;     // the cursor at that moment
    };
    std::wstring copyFrom;
    bool copyFromSet = false;
    std::vector<std::wstring> log;        // the lines as they stand
    std::vector<LineEvent> lineEvents;    // every add and replacement, in order
    std::vector<std::wstring> errorBoxes, confirmBoxes;
    std::vector<InstallPage> pages;       // every page shown, in order
    std::vector<bool> canCloseSet;        // every value given to the close guard
    bool canClose = true;
    bool hourglass = false;
    bool exitEnabled = false;
    bool closed = false;
    int logResets = 0;
    int pumps = 0;

    std::wstring DestinationText() const override { return destination; }
    bool DriverChecked() const override { return driverChecked; }
    int WindowsIndex() const override { return windowsIndex; }
    bool SecondBrand() const override { return secondBrand; }
    std::wstring InstallerFolder() const override { return installerFolder; }
    void SetCopyFrom(const std::wstring& folder) override;
    void ResetLog() override;
    int AddLogLine(const std::wstring& text) override;
    void SetLogLine(int index, const std::wstring& text) override;
    void RepaintLog() override {}
    void Pump() override;
    void ErrorBox(const std::wstring& text) override { errorBoxes.push_back(text); }
    bool ConfirmBox(const std::wstring& text) override;
    void SetCanClose(bool value) override;
    void SetHourglass(bool busy) override { hourglass = busy; }
    void ShowPage(InstallPage page) override { pages.push_back(page); }
    void EnableExit() override { exitEnabled = true; }
    void CloseWindow() override { closed = true; }
};

// Lays out the files of the database and engine deployment under folder
// (ending in "\"): every file of both engine sets, each holding a line that
// names it. The database holds databaseContent.
void MakeDeploymentSources(const std::wstring& folder, const std::string& databaseContent = "fresh database");

// The content MakeDeploymentSources gives a file of that name.
std::string SourceContent(const std::wstring& name);

}  // namespace testsupport
