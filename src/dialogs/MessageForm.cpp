#include "dialogs/MessageForm.h"

#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "shell/ScreenMonitorManager.h"

#include <cmath>

using namespace platform;

namespace {
constexpr int kClientWidth = 446;
constexpr int kMaxSeconds = 2147483;  // seconds * 1000 must fit a signed 32-bit integer
}  // namespace

double NowAsDateTime() {
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    ULARGE_INTEGER t;
    t.LowPart = local.dwLowDateTime;
    t.HighPart = local.dwHighDateTime;
    // 100 ns ticks since 1 January 1601; 109205 days from then to 30 December 1899.
    return static_cast<double>(t.QuadPart) / 864000000000.0 - 109205.0;
}

long long CountdownSeconds(unsigned intervalMs, double shownAt, double now) {
    double rest = static_cast<double>(intervalMs / 1000) - (now - shownAt) * 24 * 60 * 60;
    return static_cast<long long>(std::nearbyint(rest));  // halves to the even neighbour
}

TFMessageform::TFMessageform()
    : tt(0), FMessageTtype(mtMessage), FShowResult(false), Fsmodal(false) {
    FormDesign d;
    d.className = L"TFMessageform";
    d.caption = L"";
    d.clientWidth = kClientWidth;
    d.clientHeight = 100;
    d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    d.stayOnTop = true;
    d.font = FontByPixels(L"Tahoma", 10);
    d.position = FormPosition::ScreenCenter;
    Create(d);

    ImageList1.reset(new GlyphList({{GlyphShape::Cross, kGlyphRed},
                                    {GlyphShape::Cross, kGlyphGrey},
                                    {GlyphShape::Tick, kGlyphGreen},
                                    {GlyphShape::Tick, kGlyphGrey}}));

    lblMessage = &Add<Label>(Handle(), L"lblMessage", L"", Bounds{0, 0, kClientWidth, 13});
    lblMessage->SetFont(FontByPixels(L"Tahoma", 10));
    lblMessage->SetAlign(Align::Top);
    lblMessage->SetAutoSize(true);

    pnlButtons = &Add<Panel>(Handle(), L"pnlButtons", Bounds{0, 60, kClientWidth, 24});
    pnlButtons->SetAlign(Align::Bottom);
    btnCancel = &Add<GlyphButton>(pnlButtons->Handle(), L"btnCancel", L"Отмена", Bounds{0, 0, 73, 24});
    btnCancel->SetAlign(Align::Left);
    btnCancel->SetGlyph(ImageList1.get(), 0, 1);
    RzBorder1 = &Add<Panel>(pnlButtons->Handle(), L"RzBorder1", Bounds{kClientWidth - 80, 0, 10, 24});
    RzBorder1->SetAlign(Align::Right);
    btnOK = &Add<GlyphButton>(pnlButtons->Handle(), L"btnOK", L"OK", Bounds{kClientWidth - 70, 0, 70, 24});
    btnOK->SetAlign(Align::Right);
    btnOK->SetGlyph(ImageList1.get(), 2, 3);

    pnlClose = &Add<Panel>(Handle(), L"pnlClose", Bounds{0, 84, kClientWidth, 16});
    pnlClose->SetAlign(Align::Bottom);
    btnStop = &Add<GlyphButton>(pnlClose->Handle(), L"btnStop", L"остановить", Bounds{0, 0, 80, 16});
    btnStop->SetAlign(Align::Left);
    lblClose = &Add<Label>(pnlClose->Handle(), L"lblClose", L"Окно закроется через", Bounds{80, 0, 107, 16});
    lblClose->SetAlignment(Label::HAlign::Center);
    lblClose->SetCenterVertically(true);
    lblClose->SetAlign(Align::Left);
    lblSec = &Add<Label>(pnlClose->Handle(), L"lblSec", L"  сек", Bounds{187, 0, 60, 16});
    lblSec->SetCenterVertically(true);
    lblSec->SetAlign(Align::Left);

    StayUpTimer = &AddTimer(L"StayUpTimer", 1000, false);
    StopTimer = &AddTimer(L"StopTimer", 20000, false);

    btnOK->OnClick = Bind(&TFMessageform::btnOKClick);
    btnCancel->OnClick = Bind(&TFMessageform::btnCancelClick);
    btnStop->OnClick = Bind(&TFMessageform::btnStopClick);
    StayUpTimer->OnTimer = BindTimer(&TFMessageform::StayUpTimerTimer);
    StopTimer->OnTimer = BindTimer(&TFMessageform::StopTimerTimer);
    SetDefaultButton(btnOK);
    SetCancelButton(btnCancel);
    DoCreate();
}

TFMessageform::~TFMessageform() { DestroyHandle(); }

bool TFMessageform::Showmes(const std::wstring& Text, TMessageType tip, const std::wstring& CaptionText,
                            bool smodal) {
    FShowResult = false;
    FMessageTtype = tip;
    FMessageText = Text;
    FCaptionText = CaptionText;
    Fsmodal = smodal;
    if (tip == mtMessage) {
        btnCancel->Hide();
        btnOK->Show();
    } else {
        btnCancel->Show();
        btnOK->Show();
    }
    if (!smodal) {
        btnOK->Hide();
        btnStop->Hide();
        btnCancel->Hide();
    }
    if (smodal)
        ShowModal();
    else
        Show();
    bool result = FShowResult;
    Repaint();
    return result;
}

void TFMessageform::FormShow(Form& Sender) {
    if (Fsmodal) {
        StayUpTimer->SetEnabled(true);
        StopTimer->SetEnabled(true);
    } else {
        StayUpTimer->SetEnabled(false);
        StopTimer->SetEnabled(false);
        lblClose->Hide();
        lblSec->Hide();
    }
    pnlClose->Show();
    pnlClose->SetTop(pnlButtons->Top() + pnlButtons->Height() + 2);
    lblMessage->SetFont(FontByPoints(L"Tahoma", 10));
    lblMessage->SetCaption(FMessageText);
    SetCaption(FCaptionText);
    SetHeight(lblMessage->Height() + pnlButtons->Height() + pnlClose->Height() + 60);
    SetTop(myScreen->Height / 2 - Height());
    SetLeft(myScreen->Monitors(myScreen->Monitornumber).Left + (myScreen->Width - Width()) / 2);
    BringToFront();
    tt = NowAsDateTime();
}

void TFMessageform::FormClose(Form& Sender, CloseAction& Action) {
    StayUpTimer->SetEnabled(false);
    StopTimer->SetEnabled(false);
}

void TFMessageform::btnOKClick(Control& Sender) {
    FShowResult = true;
    Close();
}

void TFMessageform::btnCancelClick(Control& Sender) {
    FShowResult = false;
    Close();
}

void TFMessageform::btnStopClick(Control& Sender) {
    StopTimer->SetEnabled(false);
    pnlClose->Hide();
}

void TFMessageform::StayUpTimerTimer(Timer& Sender) {
    if (!Visible()) return;
    BringToFront();
    long long rest = CountdownSeconds(StopTimer->Interval(), tt, NowAsDateTime());
    lblSec->SetCaption(L"  " + std::to_wstring(rest) + L"с");
}

void TFMessageform::StopTimerTimer(Timer& Sender) { btnCancel->Click(); }

bool TFMessageform::DialogKey(UINT vk) {
    if (Form::DialogKey(vk)) return true;
    // Esc without a visible "Отмена" closes the window as its close button does.
    if (vk == VK_ESCAPE && IsModal()) {
        Close();
        return true;
    }
    return false;
}

bool ShowTimedMessage(const std::wstring& text, TMessageType type, const std::wstring& caption, int seconds) {
    std::unique_ptr<TFMessageform> form(new TFMessageform());
    if (seconds != 0) {
        if (seconds < 0 || seconds > kMaxSeconds)
            throw ERangeError(L"Время показа сообщения вне допустимого диапазона: " + std::to_wstring(seconds) +
                              L" с (допустимо от 0 до " + std::to_wstring(kMaxSeconds) + L" с)");
        form->StopTimer->SetInterval(static_cast<UINT>(seconds) * 1000u);
    }
    return form->Showmes(text, type, caption, true);
}
