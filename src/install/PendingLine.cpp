#include "install/PendingLine.h"

#include <windows.h>

const wchar_t* const kDoneWord = L"Завершено";
const wchar_t* const kFailedWord = L"ОШИБКА!!!";

namespace {
constexpr unsigned long long kPumpInterval = 100;  // milliseconds
}

PendingLine::PendingLine(IInstallHost& host, std::wstring text)
    : host_(host), text_(std::move(text)), index_(host.AddLogLine(text_)), lastPump_(GetTickCount64()) {}

PendingLine::~PendingLine() {
    if (completed_ || !showsFigure_) return;
    try {
        host_.SetLogLine(index_, text_);
    } catch (...) {
        // The line is only cosmetic here; the error on its way out matters more.
    }
}

void PendingLine::Complete(bool success) {
    host_.SetLogLine(index_, text_ + (success ? kDoneWord : kFailedWord));
    completed_ = true;
}

CopyProgress PendingLine::LiveProgress() {
    lastPump_ = GetTickCount64();
    return [this](std::uint64_t done, std::uint64_t total) { OnProgress(done, total); };
}

void PendingLine::OnProgress(std::uint64_t done, std::uint64_t total) {
    unsigned long long now = GetTickCount64();
    if (now - lastPump_ < kPumpInterval || total == 0) return;
    int percent = static_cast<int>(done * 100 / total);
    if (percent != shownPercent_) {
        host_.SetLogLine(index_, text_ + std::to_wstring(percent) + L"%");
        shownPercent_ = percent;
        showsFigure_ = true;
    }
    host_.Pump();
    lastPump_ = GetTickCount64();
}
