// The wizard window: creation, pictures, the information page, the painted
// background and what the installation sequence asks of the window.
#include "shell/Main.h"

#include <richedit.h>

#include <cstring>

#include "../resources/resource_ids.h"
#include "common/ZT_Common_Proc.h"
#include "common/ZT_Common_Var.h"
#include "install/InstallSequence.h"
#include "platform/Application.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/Screen.h"
#include "shell/MainBackground.h"
#include "shell/ScreenMonitorManager.h"

using namespace platform;

TFMain* FMain = nullptr;
bool IsSecondBrand = false;

namespace {

// The rich-edit library, loaded from the system folder by its full path (never
// through the search path: the distribution folder may hold a planted copy).
const wchar_t* RichEditClass() {
    static const wchar_t* cls = [] {
        wchar_t sys[MAX_PATH] = {};
        UINT n = GetSystemDirectoryW(sys, MAX_PATH);
        std::wstring dir(sys, n < MAX_PATH ? n : 0);
        dir += L"\\";
        if (LoadLibraryW((dir + L"msftedit.dll").c_str())) return L"RICHEDIT50W";
        LoadLibraryW((dir + L"riched20.dll").c_str());
        return L"RichEdit20W";
    }();
    return cls;
}

std::wstring UpperCase(const std::wstring& s) {
    if (s.empty()) return s;
    std::wstring out(s);
    CharUpperBuffW(&out[0], static_cast<DWORD>(out.size()));
    return out;
}

struct RtfSource {
    const char* data;
    size_t size;
    size_t pos;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
    auto* src = reinterpret_cast<RtfSource*>(cookie);
    size_t n = src->size - src->pos;
    if (n > static_cast<size_t>(want)) n = static_cast<size_t>(want);
    std::memcpy(buffer, src->data + src->pos, n);
    src->pos += n;
    *got = static_cast<LONG>(n);
    return 0;
}

}  // namespace

bool IsSecondBrandName(const std::wstring& suiteName) { return UpperCase(suiteName) == UpperCase(L"Кестрон"); }

// --- TPaintBox32 ----------------------------------------------------------------

TPaintBox32::TPaintBox32(Form& owner, HWND parent, const std::wstring& name, const Bounds& b)
    : Control(owner, parent, name, L"Static", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_OWNERDRAW, 0, b) {
    buffer_.SetSize(b.width, b.height);
}

void TPaintBox32::Flush() {
    InvalidateRect(Handle(), nullptr, FALSE);
    UpdateWindow(Handle());
}

LRESULT TPaintBox32::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintDC dc(Handle());
        if (buffer_.DC() && !buffer_.Updating())
            BitBlt(dc.get(), 0, 0, buffer_.Width(), buffer_.Height(), buffer_.DC(), 0, 0, SRCCOPY);
        return 0;
    }
    case WM_SIZE: {
        LRESULT r = Default(msg, wp, lp);
        int w = LOWORD(lp), h = HIWORD(lp);
        if (w != buffer_.Width() || h != buffer_.Height()) {
            buffer_.SetSize(w, h);
            if (OnResize) Guarded([&] { OnResize(*this); });
        }
        return r;
    }
    default:
        return Control::HandleMessage(msg, wp, lp);
    }
}

// --- TRichEdit ----------------------------------------------------------------------

TRichEdit::TRichEdit(Form& owner, HWND parent, const std::wstring& name, const Bounds& b)
    : Control(owner, parent, name, RichEditClass(), L"",
              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                  ES_NOHIDESEL,
              0, b) {}

void TRichEdit::LoadRtf(const void* data, size_t size) {
    RtfSource src{static_cast<const char*>(data), size, 0};
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&src);
    es.pfnCallback = ReadRtf;
    SendMessageW(Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (es.dwError != 0 || GetWindowTextLengthW(Handle()) == 0)
        throw Exception(L"Не удалось загрузить информационную страницу");
}

std::wstring TRichEdit::PlainText() const { return Text(); }

void TRichEdit::SetBackground(COLORREF color) {
    SendMessageW(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color));
    SetColor(color);
}

void TRichEdit::SetInnerBorder(int width) {
    innerBorder_ = width;
    RECT r{};
    GetClientRect(Handle(), &r);
    InflateRect(&r, -width, -width);
    SendMessageW(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

LRESULT TRichEdit::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = Control::HandleMessage(msg, wp, lp);
    if (msg == WM_SIZE && innerBorder_ > 0) SetInnerBorder(innerBorder_);
    return r;
}

// --- TRzFrameController ------------------------------------------------------------

void TRzFrameController::Attach(Control& edit) {
    edit.SetFrame(FrameColor == CLR_INVALID ? ButtonFace() : FrameColor, FrameHotColor);
}

// --- TFMain -------------------------------------------------------------------------

TFMain::TFMain() {
    FormDesign d;
    d.className = L"TFMain";
    d.caption = L"Установка комплекса";
    d.clientWidth = 954;
    d.clientHeight = 579;
    // Single fixed border: caption, system menu and minimise box, no sizing.
    d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    d.font = FontByPixels(L"MS Sans Serif", 13);
    d.position = FormPosition::ScreenCenter;
    HINSTANCE inst = GetModuleHandleW(nullptr);
    d.icon = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_APPICON), IMAGE_ICON, 32, 32, 0));
    d.smallIcon = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_APPICON), IMAGE_ICON, 16, 16, 0));
    Create(d);

    // The paint box starts without a size: it gets the client area after
    // FormCreate, and that first resize composes the background.
    BG = &Add<TPaintBox32>(Handle(), L"BG", Bounds{0, 0, 0, 0});
    BG->OnResize = Bind(&TFMain::BGResize);

    RichEdit1 = &Add<TRichEdit>(Handle(), L"RichEdit1", Bounds{6, 97, 200, 474});
    RichEdit1->SetFont(FontByPixels(L"MS Sans Serif", 13, RUSSIAN_CHARSET));
    SendMessageW(RichEdit1->Handle(), EM_SETZOOM, 0, 0);  // 100 %
    RichEdit1->SetInnerBorder(4);
    RichEdit1->SetTabStop(false);

    InsatallPages = &Add<PageControl>(Handle(), L"InsatallPages", Bounds{212, 97, 620, 480});
    InsatallPages->SetFont(FontByPixels(L"Tahoma", 15, RUSSIAN_CHARSET));
    InsatallPages->SetColor(ButtonFace());
    SetWindowLongPtrW(InsatallPages->Handle(), GWL_STYLE,
                      GetWindowLongPtrW(InsatallPages->Handle(), GWL_STYLE) | WS_CLIPSIBLINGS);

    CreatePages();

    // The background lies under the two panels' controls.
    SetWindowPos(BG->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    DoCreate();  // FormCreate
    BG->SetBounds(0, 0, ClientWidth(), ClientHeight());
}

TFMain::~TFMain() { DestroyHandle(); }

void TFMain::FormCreate() {
    // 1. The pictures, before anything else.
    struct {
        std::unique_ptr<Bitmap32>* field;
        const wchar_t* name;
    } pictures[] = {{&BG_bmp, L"BACKGROUND"},        {&Panels_bmp, L"MAIN"},
                    {&Logo_bmp, L"LOGO"},            {&Title_pnl_l_bmp, L"TITLE_PNL_L"},
                    {&Title_pnl_r_bmp, L"TITLE_PNL_R"}, {&Title_pnl_m_bmp, L"TITLE_PNL_M"},
                    {&Title_bmp, L"TITLE2"}};
    for (auto& p : pictures) {
        *p.field = std::make_unique<Bitmap32>();
        LoadPngResource(**p.field, p.name);
    }

    // 2. The second brand.
    HMODULE self = GetModuleHandleW(nullptr);
    IsSecondBrand = IsSecondBrandName(ReadResourceString(self, IDS_SUITENAME));

    // 3. The information page.
    HRSRC res = FindResourceW(self, L"INFO", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL mem = res ? LoadResource(self, res) : nullptr;
    const void* rtf = mem ? LockResource(mem) : nullptr;
    if (!rtf) throw Exception(L"Ресурс INFO не найден");
    RichEdit1->LoadRtf(rtf, SizeofResource(self, res));

    // 4. The default destination.
    AppNameStr = ReadResourceString(self, IDS_APPNAME);
    ePath->SetText(L"C:\\" + AppNameStr);

    // 5.
    FCanClose = true;

    // 6. No tabs (the page control has none); the first page is active.
    InsatallPages->SetActivePage(*InsatallPages->Pages().at(0));

    // 7.
    BtnExit->SetEnabled(false);

    // 8. The panels take the colour of the title picture's top-left pixel.
    COLORREF surface = WinColor(Title_bmp->Pixel(0, 0));
    RichEdit1->SetBackground(surface);
    InsatallPages->SetColor(surface);

    // 9.
    PnlPath->SetBorderColor(InsatallPages->Color());

    // The log keeps the colour of its page (a list box would be white otherwise).
    LogList->SetColor(InsatallPages->Color());
}

void TFMain::BGResize(Control& Sender) {
    Bitmap32& buffer = BG->Buffer();
    ComposeBackground(buffer, {BG_bmp.get(), Panels_bmp.get(), Logo_bmp.get(), Title_pnl_l_bmp.get(),
                               Title_pnl_r_bmp.get(), Title_pnl_m_bmp.get(), Title_bmp.get()});
    RichEdit1->SetLeft(kRichEditBounds.left);
    RichEdit1->SetTop(kRichEditBounds.top);
    RichEdit1->SetWidth(kRichEditBounds.width);
    RichEdit1->SetHeight(kRichEditBounds.height);
    InsatallPages->SetTop(kPagesBounds.top);
    InsatallPages->SetLeft(kPagesBounds.left);
    InsatallPages->SetHeight(kPagesBounds.height);
    InsatallPages->SetWidth(kPagesBounds.width);
    BG->Flush();
}

bool TFMain::FormCloseQuery() { return FCanClose; }

// --- what the installation sequence asks of the window ----------------------------------

std::wstring TFMain::DestinationText() const { return ePath->Text(); }
bool TFMain::DriverChecked() const { return CbDriverInstal->Checked(); }
int TFMain::WindowsIndex() const { return CBWindows->ItemIndex(); }
bool TFMain::SecondBrand() const { return IsSecondBrand; }

std::wstring TFMain::InstallerFolder() const { return ExecutableFolder(); }

void TFMain::SetCopyFrom(const std::wstring& folder) { Fcopyfrom = folder; }

void TFMain::ResetLog() {
    LogList->Clear();
    LogList->Show();
}

int TFMain::AddLogLine(const std::wstring& text) {
    int index = LogList->Add(text);
    LogList->MakeVisible(index);
    return index;
}

void TFMain::SetLogLine(int index, const std::wstring& text) { LogList->SetItem(index, text); }

void TFMain::RepaintLog() { LogList->Repaint(); }

void TFMain::Pump() { App().ProcessMessages(); }

void TFMain::ErrorBox(const std::wstring& text) { App().ShowMessageBox(text, L"", MB_OK | MB_ICONERROR); }

bool TFMain::ConfirmBox(const std::wstring& text) {
    return App().ShowMessageBox(text, L"", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TFMain::SetCanClose(bool canClose) { FCanClose = canClose; }

void TFMain::SetHourglass(bool busy) { myScreen->SetCursor(busy ? crHourGlass : crDefault); }

void TFMain::ShowPage(InstallPage page) {
    ShowWizardPage(page == InstallPage::ChangeFontSize ? L"tsChangeFontSize" : L"tsProgressInstall");
}

void TFMain::EnableExit() {
    BtnExit->SetEnabled(true);
    if (InsatallPages->ActivePage() == tsProgressInstall) BtnExit->SetFocus();
}

void TFMain::CloseWindow() { Close(); }

void TFMain::BtnInsatallClick(Control& Sender) { RunInstallation(*this); }
