// The display-size page at the end of an installation on a small-fonts display
// (the test prefix runs at 96 dots per inch). The restart is never confirmed
// here: a real restart request would end every process of the Wine prefix.
#include "e2e/WizardFixture.h"

using namespace wizard;

TEST(FontSizePage, ChangeAsksForARestartAndNoKeepsThePage) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    SetTextOf(w.Ctl(L"ePath"), w.dist.Scratch() + L"Holter");
    w.GoToComponents();
    Click(w.Ctl(L"CbDriverInstal"));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(w.Ctl(L"CbDriverInstal")); }));
    w.Press(L"BtnInsatall");
    bool reached = WaitUntil(
        [&] {
            if (HWND box = w.app.FindMessageBox()) {
                ADD_FAILURE() << "unexpected box: " << ToUtf8(MessageBoxText(box));
                PressDialogButton(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);
            }
            return w.ActivePage() == L"tsChangeFontSize";
        },
        120000);
    ASSERT_TRUE(reached) << "no display-size page; page: " << ToUtf8(w.ActivePage());
    w.Screenshot(L"wizard-7-change-font-size.png");

    for (int round = 0; round < 2; ++round) {  // the button may be pressed again
        w.Press(L"BtnChangeFont");
        HWND box = w.app.WaitForMessageBox(L"Изменения в настройки внесены, для того чтобы они\r\n"
                                           L"вступили в силу, требуется перзагрузить операционную систему.\r\n"
                                           L"Выполнить перезагрузку сейчас?");
        ASSERT_NE(box, nullptr);
        ASSERT_NE(GetDlgItem(box, IDYES), nullptr);
        if (round == 0) w.Screenshot(L"wizard-8-restart-question.png", true);
        PressDialogButton(box, IDNO);
        ASSERT_TRUE(WaitUntil([&] { return w.app.FindMessageBox() == nullptr; }));
        EXPECT_EQ(w.ActivePage(), L"tsChangeFontSize");
        EXPECT_TRUE(w.app.Running());
    }
    w.Press(L"BtnExitOnChangefont");
    EXPECT_TRUE(w.app.WaitForExit());
    EXPECT_EQ(w.app.ExitCode(), 0u);
}
