// A pending line of the installation log: added before a piece of work and
// completed afterwards with its outcome word, "Завершено" or "ОШИБКА!!!",
// written directly after the line's own text. A line whose work ended in a
// raised error keeps its own text without either word.
#pragma once

#include <cstdint>
#include <string>

#include "install/FileCopy.h"
#include "install/InstallHost.h"

extern const wchar_t* const kDoneWord;    // "Завершено"
extern const wchar_t* const kFailedWord;  // "ОШИБКА!!!"

class PendingLine {
public:
    // Adds text as a new line at the end of the log.
    PendingLine(IInstallHost& host, std::wstring text);
    // A line left without an outcome gets its own text back (no progress figure).
    ~PendingLine();
    PendingLine(const PendingLine&) = delete;
    PendingLine& operator=(const PendingLine&) = delete;

    // Completes the line: text + "Завершено" (true) or text + "ОШИБКА!!!" (false).
    void Complete(bool success);

    // A copy progress for CopyOneFile that keeps the window alive during a long
    // copy: at most every 100 ms it shows the share copied so far after the
    // line's text ("Копирование файла T12.FDB....37%") and lets the window
    // process its pending messages once. Only for copies inside the guarded
    // block, where the window refuses to close and offers no enabled button.
    CopyProgress LiveProgress();

private:
    void OnProgress(std::uint64_t done, std::uint64_t total);

    IInstallHost& host_;
    std::wstring text_;
    int index_;
    bool completed_ = false;
    bool showsFigure_ = false;
    int shownPercent_ = -1;
    unsigned long long lastPump_;
};
