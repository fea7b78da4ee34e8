#include "dialogs/WaitRun.h"

#include "platform/Application.h"
#include "platform/Graphics.h"

using namespace platform;

TFWaitRun* FWaitRun = nullptr;

TFWaitRun::TFWaitRun() {
    FormDesign d;
    d.className = L"TFWaitRun";
    d.caption = L"Запуск Арвела-Холтер...";
    d.clientWidth = 314;
    d.clientHeight = 39;
    d.style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;  // no title-bar buttons
    d.stayOnTop = true;
    d.position = FormPosition::ScreenCenter;
    d.font = FontByPixels(L"Tahoma", 13, RUSSIAN_CHARSET);
    d.borderWidth = 2;
    Create(d);
    ProgressBar = &Add<platform::ProgressBar>(Handle(), L"ProgressBar", Bounds{2, 17, 310, 20}, true);
    ProgressBar->SetAlign(Align::Bottom);
    ProgressBar->SetRange(0, 25);
    ProgressBar->SetStep(1);
    LblProgress = &Add<Label>(Handle(), L"LblProgress", L"", Bounds{2, 2, 310, 15});
    LblProgress->SetAlign(Align::Client);
    DoCreate();
}

TFWaitRun::~TFWaitRun() { DestroyHandle(); }

std::wstring TFWaitRun::TitleFor(std::uint8_t typemessage) {
    switch (typemessage) {
        case 2: return L"Запись данных ЭКГ";
        case 3: return L"Преобразование данных ЭКГ в формат Арвела-Холтер";
        case 4: return L"";
        default: return L"Launching ";
    }
}

void TFWaitRun::FormCreate(Form& Sender) {
    ProgressBar->SetPosition(0);
    SetCaption(TitleFor(typemessage));
}

void TFWaitRun::FormShow(Form& Sender) { SetCaption(TitleFor(typemessage)); }

void TFWaitRun::FormDestroy(Form& Sender) {}

void TFWaitRun::Next(const std::wstring& msg) {
    try {
        ProgressBar->StepIt();
        LblProgress->SetCaption(msg);
        App().ProcessMessages();
    } catch (...) {
    }
}
