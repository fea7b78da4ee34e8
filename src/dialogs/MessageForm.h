// The program's own message window: a small stay-on-top window with a text,
// "OK" (and "Отмена" for a dialog) and a countdown strip that closes the
// window by itself unless "остановить" is pressed.
//
// Usage:
//   bool ok = ShowTimedMessage(L"Внимание!\r Текст", mtMessage, L"", 0);  // 20 s countdown
//   bool yes = ShowTimedMessage(L"Продолжить?", mtDialog, L"Вопрос", 5);
#pragma once

#include "platform/Controls.h"
#include "platform/Form.h"
#include "platform/GlyphButton.h"
#include "platform/Glyphs.h"

#include <cstdint>
#include <memory>
#include <string>

enum TMessageType : std::uint8_t {
    mtMessage = 0,  // "OK" only
    mtDialog = 1,   // "OK" and "Отмена"
};

class TFMessageform : public platform::Form {
public:
    // Controls, in the order of the window's design.
    platform::Label* lblMessage;
    platform::Panel* pnlButtons;
    platform::GlyphButton* btnCancel;
    platform::Panel* RzBorder1;
    platform::GlyphButton* btnOK;
    platform::Panel* pnlClose;
    platform::GlyphButton* btnStop;
    platform::Label* lblClose;
    platform::Label* lblSec;
    platform::Timer* StayUpTimer;
    platform::Timer* StopTimer;
    std::unique_ptr<platform::GlyphList> ImageList1;

    // Event handlers.
    void FormShow(platform::Form& Sender);
    void FormClose(platform::Form& Sender, platform::CloseAction& Action);
    void btnOKClick(platform::Control& Sender);
    void btnCancelClick(platform::Control& Sender);
    void btnStopClick(platform::Control& Sender);
    void StayUpTimerTimer(platform::Timer& Sender);
    void StopTimerTimer(platform::Timer& Sender);

private:
    double tt;                    // when the window was last shown (day count, time as fraction)
    TMessageType FMessageTtype;   // decides the buttons
    std::wstring FMessageText;
    std::wstring FCaptionText;
    bool FShowResult;             // true only after "OK"
    bool Fsmodal;                 // shown modally with a countdown

public:
    TFMessageform();
    ~TFMessageform() override;

    // Shows Text with the buttons of tip and the title CaptionText. Modal with a
    // countdown when smodal (returns true exactly when "OK" was pressed);
    // otherwise modeless without buttons or countdown (returns false at once).
    bool Showmes(const std::wstring& Text, TMessageType tip, const std::wstring& CaptionText, bool smodal);

    // For tests and callers that look at the state.
    double ShownAt() const noexcept { return tt; }
    TMessageType MessageType() const noexcept { return FMessageTtype; }
    const std::wstring& MessageText() const noexcept { return FMessageText; }
    const std::wstring& CaptionText() const noexcept { return FCaptionText; }
    bool ShowResult() const noexcept { return FShowResult; }
    bool Modal() const noexcept { return Fsmodal; }

    bool DialogKey(UINT vk) override;

protected:
    void OnShow() override { FormShow(*this); }
    void OnClose(platform::CloseAction& Action) override { FormClose(*this, Action); }
};

// The local date and time as a day count since 30 December 1899 with the time
// of day as fraction.
double NowAsDateTime();

// Remaining whole seconds of the countdown (halves rounded to even), as the
// seconds label shows them.
long long CountdownSeconds(unsigned intervalMs, double shownAt, double now);

// Shows text in a new message window, modally; seconds 0 keeps the window's
// 20-second countdown. Raises platform::ERangeError, before anything is shown,
// for negative seconds or more than 2147483. True exactly when "OK" was pressed.
bool ShowTimedMessage(const std::wstring& text, TMessageType type, const std::wstring& caption, int seconds);
