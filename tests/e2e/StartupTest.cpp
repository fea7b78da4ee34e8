// Start-up and the main window as the real Install.exe shows them.
#include "e2e/WizardFixture.h"

using namespace wizard;

namespace {

std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring s;
    for (size_t i = 0; i < lines.size(); ++i) s += (i ? L"\r\n" : L"") + lines[i];
    return s;
}

}  // namespace

TEST(Startup, WorksInItsOwnFolderWhenStartedFromAnotherOne) {
    TempDir elsewhere;
    Wizard w(elsewhere.path());
    ASSERT_TRUE(w.Up());
    // A relative destination is taken below the current directory: the
    // distribution folder, not the folder the program was started from.
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    SetTextOf(w.Ctl(L"ePath"), L"relative");
    w.Press(L"BtnInputPathNext");
    w.AcknowledgeWarning();
    EXPECT_EQ(w.Text(L"ePath"), w.dist.Folder() + L"relative\\");
    EXPECT_TRUE(DirExists(w.dist / L"relative\\Settings"));
    EXPECT_FALSE(DirExists(elsewhere / L"relative"));
}

TEST(Startup, TaskBarShowsTheApplicationTitleAndTheWindowItsShorterCaption) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    EXPECT_EQ(TextOf(w.main), kMainCaption);
    bool titleWindow = false;
    for (HWND top : w.app.Windows(false))
        if (top != w.main && TextOf(top) == kAppTitle) titleWindow = true;
    EXPECT_TRUE(titleWindow) << "no top-level window carries the application title";
    // The main window is owned by that window, so the task bar shows one button.
    HWND owner = GetWindow(w.main, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(TextOf(owner), kAppTitle);
}

TEST(Startup, MainWindowHasItsFixedSizeAndIsCentred) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    RECT c{};
    GetClientRect(w.main, &c);
    EXPECT_EQ(c.right, 954);
    EXPECT_EQ(c.bottom, 579);
    LONG style = GetWindowLongW(w.main, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the border must not be sizeable";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_CAPTION);
    RECT r = WindowRect(w.main);
    // Centred on the primary screen's work area or the screen, within a few pixels.
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((r.left + r.right) / 2, sw / 2, 4);
    EXPECT_NEAR((r.top + r.bottom) / 2, sh / 2, 40);
}

TEST(Startup, FormCreatePreparesTheFirstPage) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    EXPECT_EQ(w.Text(L"ePath"), L"C:\\Holter");  // "C:\" + string 0
    EXPECT_EQ(w.ActivePage(), L"tsStart");
    EXPECT_EQ(FindChild(w.main, L"SysTabControl32"), nullptr) << "the pages show no tabs";
    EXPECT_FALSE(IsEnabledWindow(w.Ctl(L"BtnExit")));
    EXPECT_TRUE(IsEnabledWindow(w.Ctl(L"BtnStartNext")));
    EXPECT_TRUE(IsChecked(w.Ctl(L"CbDriverInstal")));
    HWND combo = w.Ctl(L"CBWindows");
    EXPECT_FALSE(w.VisibleFlag(L"CBWindows"));
    EXPECT_EQ(ComboItems(combo), (std::vector<std::wstring>{L"Windows 7, Windows 8", L"Windows XP"}));
    EXPECT_EQ(ComboSelection(combo), 0);
    HWND log = w.Ctl(L"LogList");
    EXPECT_FALSE(w.VisibleFlag(L"LogList"));
    EXPECT_EQ(ListItemHeight(log), 18);
    EXPECT_FALSE(GetWindowLongW(log, GWL_STYLE) & WS_TABSTOP);

    // The two panels' controls sit where the background frames them.
    auto at = [&](const wchar_t* name) {
        RECT r = WindowRect(w.Ctl(name));
        POINT p{r.left, r.top};
        ScreenToClient(w.main, &p);
        return std::vector<LONG>{p.x, p.y, r.right - r.left, r.bottom - r.top};
    };
    EXPECT_EQ(at(L"RichEdit1"), (std::vector<LONG>{16, 110, 282, 441}));
    EXPECT_EQ(at(L"InsatallPages"), (std::vector<LONG>{320, 110, 619, 441}));
    std::wstring richClass = ClassOf(w.Ctl(L"RichEdit1"));
    EXPECT_TRUE(!_wcsicmp(richClass.c_str(), L"RICHEDIT50W") || !_wcsicmp(richClass.c_str(), L"RichEdit20W"))
        << ToUtf8(richClass);
    EXPECT_TRUE(GetWindowLongW(w.Ctl(L"RichEdit1"), GWL_STYLE) & ES_READONLY);
    EXPECT_NE(w.Text(L"RichEdit1").find(L"Права администратора"), std::wstring::npos) << "the INFO page";
}

TEST(Startup, PanelsTakeTheColourOfTheTitlePicturesCorner) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    Pause(500);
    // Empty places of the information panel and of the page control.
    HWND rich = w.Ctl(L"RichEdit1");
    RECT rc{};
    GetClientRect(rich, &rc);
    POINT p{rc.right - 6, rc.bottom - 3};
    MapWindowPoints(rich, w.main, &p, 1);
    EXPECT_EQ(ScreenPixel(w.main, p.x, p.y), RGB(236, 236, 235));
    HWND spacer = w.Ctl(L"pnlStartSpacer");
    RECT sr{};
    GetClientRect(spacer, &sr);
    POINT q{sr.right / 2, 1};
    MapWindowPoints(spacer, w.main, &q, 1);
    EXPECT_EQ(ScreenPixel(w.main, q.x, q.y), RGB(236, 236, 235));
    // The background shows the composed pictures: the title plate's corner at (227, 20).
    EXPECT_EQ(ScreenPixel(w.main, 227, 20), RGB(236, 236, 235));
}

TEST(Startup, WaitWindowExistsHiddenWithItsDefaultTitle) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    HWND wait = nullptr;
    for (HWND top : w.app.Windows(false))
        if (TextOf(top) == L"Launching ") wait = top;
    ASSERT_NE(wait, nullptr) << "no window titled \"Launching \"";
    EXPECT_FALSE(IsWindowVisible(wait));
    // Closing the main window ends the program although the wait window exists.
    PostSysClose(w.main);
    EXPECT_TRUE(w.app.WaitForExit());
    EXPECT_EQ(w.app.ExitCode(), 0u);
}

TEST(Pages, MemosCarryTheirTextsLineByLine) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    EXPECT_EQ(w.Text(L"MemoStart"),
              Joined({L"Добро пожаловать в программу установки комплекса ", L"\"АРВЕЛА-ХОЛТЕР\"!", L"",
                      L"Для продолжения установки, нажмите кнопку \"Далее\".", L"",
                      L"Для выхода из программы установки нажмите кнопку \"Отмена\"."}));
    EXPECT_EQ(w.Text(L"MemoInputPath"),
              Joined({L"Пожалуйста, задайте путь куда устанавливать программную часть ",
                      L"комплекса \"Арвела-Холтер\""}));
    EXPECT_EQ(w.Text(L"MemoInputComponents"),
              Joined({L" - Если у Вас есть 2-х канальный кабель для регистрации детских ЭКГ, поставьте ",
                      L"галочку в поле \"Регистрация 2-х канальной ЭКГ\".",
                      L" - Если у Вас есть универсальный регистратор, поставьте галочку в поле ",
                      L"\"Универсальный регистратор\".",
                      L" - Если у Вас установлен монитор АД \"BPLab\", поставьте галочку в поле \"установлен ",
                      L"монитор АД \"BPLab\"\".", L"",
                      L" - Задайте, пожалуйста, тип ЭКГ, который Вы чаще всего будете регистрировать.", L"",
                      L" - Нажмите кнопку \"Начать установку\", для того чтобы установить программное ",
                      L"обеспечение на Ваш компъютер.", L"",
                      L"Все настройки можно изменить позже, во время работы с программой ",
                      L"\"Арвела-Холтер\" в меню \"Настройки\"."}));
    EXPECT_EQ(w.Text(L"MemoCancel"), Joined({L"Установка комплекса \"Арвела-Холтер\" отменена!", L"",
                                              L"Нажмите кнопку \"Выход\", для выхода из программы установки."}));
    EXPECT_EQ(w.Text(L"MemoChangeFontSize"),
              Joined({L"В настройках операционной системы Вашего компьютера выбрано использование ",
                      L"\"мелкого\" размера шрифта.", L"",
                      L"Для корректной работы программы \"Арвела-Холтер\" требуется использование ",
                      L"\"крупного\" размера шрифта.", L"",
                      L"Рекомендуется произвести изменения. Для этого надо нажать кнопку \"Изменить ",
                      L"настройки\". В появившемся окне надо ответить \"Да\".", L"",
                      L"Если Вы считаете, что установка \"крупного\" размера шрифта Вам не нужна, ",
                      L"нажмите кнопку \"Выход\"."}));
    for (const wchar_t* memo : {L"MemoStart", L"MemoInputPath", L"MemoInputComponents", L"MemoCancel",
                                L"MemoChangeFontSize"}) {
        LONG style = GetWindowLongW(w.Ctl(memo), GWL_STYLE);
        EXPECT_TRUE(style & ES_READONLY) << ToUtf8(memo);
        EXPECT_TRUE(style & ES_MULTILINE) << ToUtf8(memo);
        EXPECT_FALSE(style & WS_BORDER) << ToUtf8(memo);
    }
}

TEST(Pages, ButtonsCarryTheirCaptionsAndSizes) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    struct Case {
        const wchar_t* name;
        const wchar_t* caption;
        int width, height;
    };
    for (const Case& c : {Case{L"BtnCancel", L"Отмена", 99, 38}, Case{L"BtnStartNext", L"Далее", 98, 38},
                          Case{L"BtnSelectPath", L"Выбрать", 91, 24}, Case{L"BtnCancel2", L"Отмена", 99, 33},
                          Case{L"BtnInputPathNext", L"Далее", 98, 33}, Case{L"BtnCancel4", L"Отмена", 99, 33},
                          Case{L"BtnInputComponentsBack", L"Назад", 98, 33},
                          Case{L"BtnInsatall", L"Начать установку", 168, 33}, Case{L"BtnExit", L"Выход", 99, 33},
                          Case{L"BtnExitCancel", L"Выход", 99, 33},
                          Case{L"BtnChangeFont", L"Изменить настройки", 196, 33},
                          Case{L"BtnExitOnChangefont", L"Выход", 99, 33},
                          Case{L"CbDriverInstal", L"Устанавливать драйвер", 184, 20}}) {
        HWND b = w.Ctl(c.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(ClassOf(b), L"Button") << ToUtf8(c.name);
        EXPECT_EQ(TextOf(b), c.caption) << ToUtf8(c.name);
        RECT r = WindowRect(b);
        EXPECT_EQ(r.right - r.left, c.width) << ToUtf8(c.name);
        EXPECT_EQ(r.bottom - r.top, c.height) << ToUtf8(c.name);
    }
}
