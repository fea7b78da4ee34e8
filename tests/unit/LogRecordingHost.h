// A wizard stand-in for the installation steps that only write the log: it
// records the log lines, and, in events, the lines and repaints in order.
#pragma once

#include <string>
#include <vector>

#include "install/InstallHost.h"

class LogRecordingHost : public IInstallHost {
public:
    std::vector<std::wstring> lines;
    std::vector<std::wstring> events;  // "line: ..." and "repaint", in order
    std::wstring installerFolder;
    bool confirmAnswer = false;

    std::wstring DestinationText() const override { return {}; }
    bool DriverChecked() const override { return false; }
    int WindowsIndex() const override { return 0; }
    bool SecondBrand() const override { return false; }
    std::wstring InstallerFolder() const override { return installerFolder; }
    void SetCopyFrom(const std::wstring&) override {}
    void ResetLog() override { lines.clear(); }
    int AddLogLine(const std::wstring& text) override {
        lines.push_back(text);
        events.push_back(L"line: " + text);
        return static_cast<int>(lines.size()) - 1;
    }
    void SetLogLine(int index, const std::wstring& text) override { lines.at(static_cast<size_t>(index)) = text; }
    void RepaintLog() override { events.push_back(L"repaint"); }
    void Pump() override {}
    void ErrorBox(const std::wstring&) override {}
    bool ConfirmBox(const std::wstring&) override { return confirmAnswer; }
    void SetCanClose(bool) override {}
    void SetHourglass(bool) override {}
    void ShowPage(InstallPage) override {}
    void EnableExit() override {}
    void CloseWindow() override {}
};
