// The wait window: a small stay-on-top window with a title chosen by
// typemessage, one line of text and a progress bar advanced one step per stage.
// The installer makes one hidden instance at start-up (FWaitRun) and never
// shows it.
//
// Usage:
//   FWaitRun = platform::App().CreateForm<TFWaitRun>();   // hidden, title "Launching "
//   FWaitRun->typemessage = 3; FWaitRun->Show();          // title set again on showing
//   FWaitRun->Next(L"Чтение данных");                     // one step, text, repaint
#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"

#include <cstdint>
#include <string>

class TFWaitRun : public platform::Form {
public:
    platform::Label* LblProgress;
    platform::ProgressBar* ProgressBar;

    void FormCreate(platform::Form& Sender);
    void FormShow(platform::Form& Sender);
    void FormDestroy(platform::Form& Sender);

    std::uint8_t typemessage = 0;  // selects the title

    TFWaitRun();
    ~TFWaitRun() override;

    // Advances the bar by its step, shows msg and processes pending messages;
    // an error in these steps is swallowed.
    void Next(const std::wstring& msg);

    // The title for a typemessage value.
    static std::wstring TitleFor(std::uint8_t typemessage);

protected:
    void OnCreate() override { FormCreate(*this); }
    void OnShow() override { FormShow(*this); }
    void OnDestroy() override { FormDestroy(*this); }
};

extern TFWaitRun* FWaitRun;
