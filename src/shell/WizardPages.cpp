// The wizard's pages: their texts, controls and button strips, the page flow
// and the destination check.
#include <shlobj.h>

#include <vector>

#include "desktop/FontInstall.h"
#include "dialogs/MessageForm.h"
#include "platform/Application.h"
#include "platform/Graphics.h"
#include "shell/Main.h"

using namespace platform;

namespace {

// Glyphs of the page buttons, normal and disabled.
enum PageGlyph { gNext, gNextOff, gBack, gBackOff, gCancel, gCancelOff, gExit, gExitOff, gInstall, gInstallOff,
                 gFont, gFontOff };

const std::vector<std::wstring> kStartLines = {
    L"Добро пожаловать в программу установки комплекса ",
    L"\"АРВЕЛА-ХОЛТЕР\"!",
    L"",
    L"Для продолжения установки, нажмите кнопку \"Далее\".",
    L"",
    L"Для выхода из программы установки нажмите кнопку \"Отмена\".",
};

const std::vector<std::wstring> kInputPathLines = {
    L"Пожалуйста, задайте путь куда устанавливать программную часть ",
    L"комплекса \"Арвела-Холтер\"",
};

const std::vector<std::wstring> kInputComponentsLines = {
    L" - Если у Вас есть 2-х канальный кабель для регистрации детских ЭКГ, поставьте ",
    L"галочку в поле \"Регистрация 2-х канальной ЭКГ\".",
    L" - Если у Вас есть универсальный регистратор, поставьте галочку в поле ",
    L"\"Универсальный регистратор\".",
    L" - Если у Вас установлен монитор АД \"BPLab\", поставьте галочку в поле \"установлен ",
    L"монитор АД \"BPLab\"\".",
    L"",
    L" - Задайте, пожалуйста, тип ЭКГ, который Вы чаще всего будете регистрировать.",
    L"",
    L" - Нажмите кнопку \"Начать установку\", для того чтобы установить программное ",
    L"обеспечение на Ваш компъютер.",
    L"",
    L"Все настройки можно изменить позже, во время работы с программой ",
    L"\"Арвела-Холтер\" в меню \"Настройки\".",
};

const std::vector<std::wstring> kCancelLines = {
    L"Установка комплекса \"Арвела-Холтер\" отменена!",
    L"",
    L"Нажмите кнопку \"Выход\", для выхода из программы установки.",
};

const std::vector<std::wstring> kChangeFontSizeLines = {
    L"В настройках операционной системы Вашего компьютера выбрано использование ",
    L"\"мелкого\" размера шрифта.",
    L"",
    L"Для корректной работы программы \"Арвела-Холтер\" требуется использование ",
    L"\"крупного\" размера шрифта.",
    L"",
    L"Рекомендуется произвести изменения. Для этого надо нажать кнопку \"Изменить ",
    L"настройки\". В появившемся окне надо ответить \"Да\".",
    L"",
    L"Если Вы считаете, что установка \"крупного\" размера шрифта Вам не нужна, ",
    L"нажмите кнопку \"Выход\".",
};

const wchar_t kDriverWarning[] =
    L"Внимание!\r Если на вашем компьютере уже установлен комплекс \"Арвела-Холтер\",\r"
    L" снимите галочку установки драйвера!";

constexpr int kStripMargin = 2;  // between a strip's border and its buttons

}  // namespace

// --- building the pages ----------------------------------------------------------------

GlyphButton& TFMain::AddPageButton(Panel& strip, const wchar_t* name, const wchar_t* caption, int width,
                                   int height, int normalGlyph, int disabledGlyph) {
    auto& b = Add<GlyphButton>(strip.Handle(), name, caption, Bounds{0, 0, width, height});
    b.SetColors(RGB(0, 60, 116), RGB(244, 244, 240));
    b.SetHotTrack(true);
    b.SetGlyph(pageGlyphs_.get(), normalGlyph, disabledGlyph);
    return b;
}

void TFMain::CreatePages() {
    pageGlyphs_ = std::make_unique<GlyphList>(std::initializer_list<GlyphSpec>{
        {GlyphShape::ArrowRight, kGlyphBlue}, {GlyphShape::ArrowRight, kGlyphGrey},
        {GlyphShape::ArrowLeft, kGlyphBlue},  {GlyphShape::ArrowLeft, kGlyphGrey},
        {GlyphShape::Cross, kGlyphRed},       {GlyphShape::Cross, kGlyphGrey},
        {GlyphShape::Exit, kGlyphBlue},       {GlyphShape::Exit, kGlyphGrey},
        {GlyphShape::Install, kGlyphGreen},   {GlyphShape::Install, kGlyphGrey},
        {GlyphShape::Gear, kGlyphBlue},       {GlyphShape::Gear, kGlyphGrey}});

    const HFONT times20 = FontByPixels(L"Times New Roman", 20, RUSSIAN_CHARSET);
    const HFONT tahoma15 = FontByPixels(L"Tahoma", 15, RUSSIAN_CHARSET);
    const int W = 619, H = 441;  // the page control's size once the window is laid out

    // A button strip along the bottom of a page: rounded flat border, the page's
    // colour; left buttons from the left edge, the right group in a box at the right.
    auto strip = [&](Panel& page, const wchar_t* name, int height) -> Panel& {
        auto& s = Add<Panel>(page.Handle(), name, Bounds{0, H - height, W, height});
        s.SetBorder(1, RGB(160, 170, 186), true);
        s.SetAlign(Align::Bottom);
        return s;
    };
    auto spacer = [&](Panel& page, const wchar_t* name, int height, int above) {
        auto& s = Add<Panel>(page.Handle(), name, Bounds{0, H - above - height, W, height});
        s.SetAlign(Align::Bottom);
    };
    auto rightBox = [&](Panel& s, const wchar_t* name, int width) -> Panel& {
        int h = s.Height();
        auto& box = Add<Panel>(s.Handle(), name, Bounds{W - width, 0, width, h});
        box.SetAlign(Align::Right);
        return box;
    };
    auto memo = [&](Panel& page, const wchar_t* name, const std::vector<std::wstring>& lines, HFONT font,
                    COLORREF color, Align align, int height) -> Memo& {
        auto& m = Add<Memo>(page.Handle(), name, Bounds{0, 0, W, height});
        m.SetFont(font);
        if (color != CLR_INVALID) m.SetTextColor(color);
        m.SetLines(lines);
        m.SetTabStop(false);
        m.SetAlign(align);
        return m;
    };
    auto place = [](GlyphButton& b, int left, int stripHeight) {
        b.SetBounds(left, (stripHeight - b.Height()) / 2, b.Width(), b.Height());
    };

    // tsStart
    tsStart = &InsatallPages->AddPage(L"tsStart");
    pnlStartButtons = &strip(*tsStart, L"pnlStartButtons", 42);
    spacer(*tsStart, L"pnlStartSpacer", 4, 42);
    MemoStart = &memo(*tsStart, L"MemoStart", kStartLines, times20, clNavy, Align::Client, H - 46);
    BtnCancel = &AddPageButton(*pnlStartButtons, L"BtnCancel", L"Отмена", 99, 38, gCancel, gCancelOff);
    place(*BtnCancel, kStripMargin, 42);
    {
        auto& box = rightBox(*pnlStartButtons, L"pnlStartRight", 98 + kStripMargin);
        BtnStartNext = &AddPageButton(box, L"BtnStartNext", L"Далее", 98, 38, gNext, gNextOff);
        place(*BtnStartNext, 0, 42);
    }
    BtnCancel->OnClick = Bind(&TFMain::BtnCancelClick);
    BtnStartNext->OnClick = Bind(&TFMain::BtnStartNextClick);

    // tsInputPath
    tsInputPath = &InsatallPages->AddPage(L"tsInputPath");
    MemoInputPath = &memo(*tsInputPath, L"MemoInputPath", kInputPathLines, times20, clBlack, Align::Top, 60);
    PnlPath = &Add<Panel>(tsInputPath->Handle(), L"PnlPath", Bounds{0, 60, W, 32});
    PnlPath->SetBorder(2, ButtonFace(), true);
    PnlPath->SetPadding(2);
    PnlPath->SetAlign(Align::Top);
    ePath = &Add<Edit>(PnlPath->Handle(), L"ePath", L"", Bounds{4, 4, W - 8 - 91 - 4, 24});
    BtnSelectPath = &Add<GlyphButton>(PnlPath->Handle(), L"BtnSelectPath", L"Выбрать", Bounds{W - 4 - 91, 4, 91, 24});
    BtnSelectPath->SetAlign(Align::Right);
    ePath->SetAlign(Align::Client);
    BtnSelectPath->SetColors(RGB(0, 60, 116), RGB(244, 244, 240));
    BtnSelectPath->SetHighlightColor(RGB(106, 141, 244));
    BtnSelectPath->SetHotTrack(true, RGB(255, 199, 60));
    RzFrameController1.FrameColor = ButtonFace();
    RzFrameController1.FrameHotColor = RGB(0, 128, 255);
    RzFrameController1.Attach(*ePath);
    pnlPathButtons = &strip(*tsInputPath, L"pnlPathButtons", 37);
    BtnCancel2 = &AddPageButton(*pnlPathButtons, L"BtnCancel2", L"Отмена", 99, 33, gCancel, gCancelOff);
    place(*BtnCancel2, kStripMargin, 37);
    {
        auto& box = rightBox(*pnlPathButtons, L"pnlPathRight", 98 + kStripMargin);
        BtnInputPathNext = &AddPageButton(box, L"BtnInputPathNext", L"Далее", 98, 33, gNext, gNextOff);
        place(*BtnInputPathNext, 0, 37);
    }
    BtnSelectPath->OnClick = Bind(&TFMain::BtnSelectPathClick);
    BtnCancel2->OnClick = Bind(&TFMain::BtnCancelClick);
    BtnInputPathNext->OnClick = Bind(&TFMain::BtnInputPathNextClick);

    // tsInputComponents
    tsInputComponents = &InsatallPages->AddPage(L"tsInputComponents");
    tsInputComponents->OnShow = Bind(&TFMain::tsInputComponentsShow);
    pnlComponentsButtons = &strip(*tsInputComponents, L"pnlComponentsButtons", 37);
    spacer(*tsInputComponents, L"pnlComponentsSpacer", 4, 37);
    pnlOptions = &Add<Panel>(tsInputComponents->Handle(), L"pnlOptions", Bounds{0, H - 41 - 123, W, 123});
    pnlOptions->SetBorder(1, RGB(160, 170, 186), true);
    pnlOptions->SetAlign(Align::Bottom);
    MemoInputComponents = &memo(*tsInputComponents, L"MemoInputComponents", kInputComponentsLines, tahoma15,
                                CLR_INVALID, Align::Client, H - 41 - 123);
    CbDriverInstal = &Add<CheckBox>(pnlOptions->Handle(), L"CbDriverInstal", L"Устанавливать драйвер",
                                    Bounds{16, 14, 184, 20});
    CbDriverInstal->SetChecked(true);
    CBWindows = &Add<ComboBox>(pnlOptions->Handle(), L"CBWindows", Bounds{16, 48, 200, 120});
    CBWindows->Add(L"Windows 7, Windows 8");
    CBWindows->Add(L"Windows XP");
    CBWindows->SetItemIndex(0);
    CBWindows->Hide();
    BtnCancel4 = &AddPageButton(*pnlComponentsButtons, L"BtnCancel4", L"Отмена", 99, 33, gCancel, gCancelOff);
    place(*BtnCancel4, kStripMargin, 37);
    {
        auto& box = rightBox(*pnlComponentsButtons, L"pnlComponentsRight", 98 + 4 + 168 + kStripMargin);
        BtnInputComponentsBack =
            &AddPageButton(box, L"BtnInputComponentsBack", L"Назад", 98, 33, gBack, gBackOff);
        place(*BtnInputComponentsBack, 0, 37);
        BtnInsatall = &AddPageButton(box, L"BtnInsatall", L"Начать установку", 168, 33, gInstall, gInstallOff);
        place(*BtnInsatall, 98 + 4, 37);
    }
    // Tab order: the option first, then the buttons.
    SetWindowPos(pnlOptions->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    BtnCancel4->OnClick = Bind(&TFMain::BtnCancelClick);
    BtnInputComponentsBack->OnClick = Bind(&TFMain::BtnInputComponentsBackClick);
    BtnInsatall->OnClick = Bind(&TFMain::BtnInsatallClick);

    // tsProgressInstall
    tsProgressInstall = &InsatallPages->AddPage(L"tsProgressInstall");
    pnlProgressButtons = &strip(*tsProgressInstall, L"pnlProgressButtons", 37);
    spacer(*tsProgressInstall, L"pnlProgressSpacer", 4, 37);
    LogList = &Add<ListBox>(tsProgressInstall->Handle(), L"LogList", Bounds{0, 0, W, H - 41});
    LogList->SetAlign(Align::Client);
    LogList->SetItemHeight(18);
    LogList->SetTabStop(false);
    LogList->SetFrame(GetSysColor(COLOR_BTNSHADOW), RGB(0, 128, 255));
    LogList->Hide();
    {
        auto& box = rightBox(*pnlProgressButtons, L"pnlProgressRight", 99 + kStripMargin);
        BtnExit = &AddPageButton(box, L"BtnExit", L"Выход", 99, 33, gExit, gExitOff);
        place(*BtnExit, 0, 37);
    }
    BtnExit->OnClick = Bind(&TFMain::BtnExitClick);

    // tsCancel
    tsCancel = &InsatallPages->AddPage(L"tsCancel");
    MemoCancel = &memo(*tsCancel, L"MemoCancel", kCancelLines, times20, clMaroon, Align::Top, 177);
    pnlCancelButtons = &strip(*tsCancel, L"pnlCancelButtons", 37);
    {
        auto& box = rightBox(*pnlCancelButtons, L"pnlCancelRight", 99 + kStripMargin);
        BtnExitCancel = &AddPageButton(box, L"BtnExitCancel", L"Выход", 99, 33, gExit, gExitOff);
        place(*BtnExitCancel, 0, 37);
    }
    BtnExitCancel->OnClick = Bind(&TFMain::BtnExitClick);

    // tsChangeFontSize
    tsChangeFontSize = &InsatallPages->AddPage(L"tsChangeFontSize");
    pnlFontButtons = &strip(*tsChangeFontSize, L"pnlFontButtons", 37);
    spacer(*tsChangeFontSize, L"pnlFontSpacer", 3, 37);
    MemoChangeFontSize = &memo(*tsChangeFontSize, L"MemoChangeFontSize", kChangeFontSizeLines, tahoma15,
                               CLR_INVALID, Align::Client, H - 40);
    {
        auto& box = rightBox(*pnlFontButtons, L"pnlFontRight", 196 + 4 + 99 + kStripMargin);
        BtnChangeFont = &AddPageButton(box, L"BtnChangeFont", L"Изменить настройки", 196, 33, gFont, gFontOff);
        place(*BtnChangeFont, 0, 37);
        BtnExitOnChangefont = &AddPageButton(box, L"BtnExitOnChangefont", L"Выход", 99, 33, gExit, gExitOff);
        place(*BtnExitOnChangefont, 196 + 4, 37);
    }
    BtnChangeFont->OnClick = Bind(&TFMain::BtnChangeFontClick);
    BtnExitOnChangefont->OnClick = Bind(&TFMain::BtnExitClick);
}

// --- pages and keyboard ---

void TFMain::ShowWizardPage(const wchar_t* name) {
    InsatallPages->ShowPage(name);
    // A page without an enabled control (the progress page while the
    // installation runs) keeps the focus on the window, never on a hidden page.
    HWND focus = GetFocus();
    if (!focus || !IsWindowVisible(focus) || !IsWindowEnabled(focus)) ::SetFocus(Handle());
}

// --- keyboard -------------------------------------------------------------------------------

HWND TFMain::DefaultButton() const {
    Panel* page = InsatallPages ? InsatallPages->ActivePage() : nullptr;
    GlyphButton* b = nullptr;
    if (page == tsStart) b = BtnStartNext;
    else if (page == tsInputPath) b = BtnInputPathNext;
    else if (page == tsInputComponents) b = BtnInsatall;
    else if (page == tsProgressInstall) b = BtnExit;
    else if (page == tsCancel) b = BtnExitCancel;
    else if (page == tsChangeFontSize) b = BtnChangeFont;
    return b ? b->Handle() : nullptr;
}

HWND TFMain::CancelButton() const {
    Panel* page = InsatallPages ? InsatallPages->ActivePage() : nullptr;
    GlyphButton* b = nullptr;
    if (page == tsStart) b = BtnCancel;
    else if (page == tsInputPath) b = BtnCancel2;
    else if (page == tsInputComponents) b = BtnCancel4;
    return b ? b->Handle() : nullptr;
}

// --- handlers -------------------------------------------------------------------------------

void TFMain::BtnStartNextClick(Control& Sender) {
    ShowWizardPage(L"tsInputPath");
    ePath->SetFocus();
}

void TFMain::BtnSelectPathClick(Control& Sender) {
    BROWSEINFOW bi{};
    bi.hwndOwner = App().ActiveFormHandle();
    bi.pidlRoot = nullptr;  // the desktop
    bi.lpszTitle = L"Выберете путь для установки программ";
    bi.ulFlags = BIF_NEWDIALOGSTYLE | BIF_RETURNONLYFSDIRS | BIF_NONEWFOLDERBUTTON;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&bi);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = {};
    bool ok = SHGetPathFromIDListW(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    if (ok && path[0]) ePath->SetText(path);
}

void TFMain::BtnInputPathNextClick(Control& Sender) {
    DestinationCheck check = CheckDestination(ePath->Text());
    LogList->Clear();
    LogList->Show();
    switch (check.outcome) {
    case DestinationCheck::Outcome::Empty:
        App().ShowMessageBox(L"Не выбран путь для установки программы!", L"", MB_OK | MB_ICONERROR);
        ePath->SetFocus();
        return;
    case DestinationCheck::Outcome::Root:
        ePath->SetText(check.path);
        App().ShowMessageBox(L"Программу нелзя устанавливать в корневой каталог!", L"", MB_OK | MB_ICONWARNING);
        ePath->SetFocus();
        return;
    case DestinationCheck::Outcome::Accepted:
        ePath->SetText(check.path);
        PrepareDestination(check.path);
        ShowWizardPage(L"tsInputComponents");
        return;
    }
}

void TFMain::tsInputComponentsShow(Control& Sender) {
    ShowTimedMessage(kDriverWarning, mtMessage, L"", 0);
}

void TFMain::BtnInputComponentsBackClick(Control& Sender) { ShowWizardPage(L"tsInputPath"); }

void TFMain::BtnCancelClick(Control& Sender) {
    int answer = App().ShowMessageBox(L"Вы уверены, что хотите отменить процесс установки?", L"",
                                  MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    FCanClose = true;
    ShowWizardPage(L"tsCancel");
}

void TFMain::BtnExitClick(Control& Sender) { Close(); }

// --- the destination check ---------------------------------------------------------------------

std::wstring TrimBlanks(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] <= L' ') ++b;
    while (e > b && s[e - 1] <= L' ') --e;
    return s.substr(b, e - b);
}

DestinationCheck CheckDestination(const std::wstring& text) {
    std::wstring path = TrimBlanks(text);
    if (path.empty()) return {DestinationCheck::Outcome::Empty, text};
    if (path.back() != L'\\') path += L'\\';
    if (path.size() <= 3) return {DestinationCheck::Outcome::Root, path};

    // A relative name would later give a shortcut with a relative target and
    // start-in folder: the accepted path is made full, against the current
    // directory (the distribution folder), with "/" read as "\".
    std::wstring slashed = path;
    for (auto& c : slashed)
        if (c == L'/') c = L'\\';
    DWORD n = GetFullPathNameW(slashed.c_str(), 0, nullptr, nullptr);
    std::wstring full = slashed;
    if (n > 0) {
        std::vector<wchar_t> buf(n + 1);
        DWORD got = GetFullPathNameW(slashed.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
        if (got > 0 && got < buf.size()) full.assign(buf.data(), got);
    }
    if (full.empty() || full.back() != L'\\') full += L'\\';
    // "C:/" or "\.." pass the length check but name a root once resolved.
    if (full.size() <= 3) return {DestinationCheck::Outcome::Root, full};
    return {DestinationCheck::Outcome::Accepted, full};
}

void PrepareDestination(const std::wstring& path) {
    std::wstring folder = path;
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring settings = folder + L"Settings\\";
    if (GetFileAttributesW(settings.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(settings.c_str(), nullptr);
}

// --- the display-size page ----------------------------------------------------------------------

void TFMain::BtnChangeFontClick(Control& Sender) { ChangeFontSizeAndOfferRestart(*this); }

bool TFMain::AskYesNoWarning(const std::wstring& text) {
    return App().ShowMessageBox(text, L"", MB_YESNO | MB_ICONWARNING) == IDYES;
}
