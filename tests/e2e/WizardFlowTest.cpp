// The page flow of the real Install.exe: forward and back, the cancel question,
// the destination check, the driver warning, closing, keyboard, screenshots.
#include "e2e/WizardFixture.h"

using namespace wizard;

TEST(PageFlow, ForwardAndBackShowTheDriverWarningOnEveryArrival) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(w.main) == w.Ctl(L"ePath"); }, 3000)) << "the focus is not in ePath";

    w.Press(L"BtnInputPathNext");
    HWND warning = w.WaitForWarning();
    ASSERT_NE(warning, nullptr);
    // The warning is modal: the page underneath is already the components page.
    EXPECT_EQ(w.ActivePage(), L"tsInputComponents");
    EXPECT_FALSE(IsWindowEnabled(w.main));
    EXPECT_EQ(TextOf(warning), L"");
    HWND label = FindChildByName(warning, L"lblMessage");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(TextOf(label), L"Внимание!\r Если на вашем компьютере уже установлен комплекс \"Арвела-Холтер\",\r"
                             L" снимите галочку установки драйвера!");
    w.AcknowledgeWarning();
    EXPECT_TRUE(IsWindowEnabled(w.main));
    EXPECT_EQ(w.Text(L"ePath"), L"C:\\Holter\\");
    EXPECT_TRUE(DirExists(L"C:\\Holter\\Settings"));
    // The log was cleared and made visible for the installation.
    EXPECT_TRUE(w.VisibleFlag(L"LogList"));
    EXPECT_EQ(ListCount(w.Ctl(L"LogList")), 0);

    w.Press(L"BtnInputComponentsBack");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    EXPECT_EQ(w.Warning(), nullptr) << "no warning on the way back";
    w.Press(L"BtnInputPathNext");
    w.AcknowledgeWarning();
    EXPECT_EQ(w.ActivePage(), L"tsInputComponents");
    EXPECT_EQ(w.Text(L"ePath"), L"C:\\Holter\\") << "no second \"\\\"";
}

TEST(PageFlow, CancelAnsweredNoKeepsThePageAndYesLeadsToTheCancelPage) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    // No, on each of the three pages that offer "Отмена".
    w.Press(L"BtnCancel");
    w.Answer(kCancelQuestion, IDNO);
    EXPECT_EQ(w.ActivePage(), L"tsStart");
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    SetTextOf(w.Ctl(L"ePath"), L"C:\\Клиника\\Холтер");
    w.Press(L"BtnCancel2");
    w.Answer(kCancelQuestion, IDNO);
    EXPECT_EQ(w.ActivePage(), L"tsInputPath");
    EXPECT_EQ(w.Text(L"ePath"), L"C:\\Клиника\\Холтер");
    SetTextOf(w.Ctl(L"ePath"), L"C:\\Holter");
    w.Press(L"BtnInputPathNext");
    w.AcknowledgeWarning();
    Click(w.Ctl(L"CbDriverInstal"));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(w.Ctl(L"CbDriverInstal")); }));
    w.Press(L"BtnCancel4");
    w.Answer(kCancelQuestion, IDNO);
    EXPECT_EQ(w.ActivePage(), L"tsInputComponents");
    EXPECT_FALSE(IsChecked(w.Ctl(L"CbDriverInstal")));

    // Yes: the cancel page, whose "Выход" ends the program.
    w.Press(L"BtnCancel4");
    w.Answer(kCancelQuestion, IDYES);
    ASSERT_TRUE(w.WaitForPage(L"tsCancel"));
    w.Press(L"BtnExitCancel");
    EXPECT_TRUE(w.app.WaitForExit());
    EXPECT_EQ(w.app.ExitCode(), 0u);
}

TEST(DestinationPage, RejectsEmptyAndRootPathsAndAcceptsFolders) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    struct Case {
        std::wstring typed;
        std::wstring message;  // empty: accepted
        std::wstring shown;    // ePath afterwards
    };
    const std::wstring dist = w.dist.Folder();
    const std::vector<Case> cases = {
        {L"", kNoPath, L""},
        {L"   \t ", kNoPath, L"   \t "},
        {L"C:\\", kRootPath, L"C:\\"},
        {L"D:", kRootPath, L"D:\\"},
        {L"  C:  ", kRootPath, L"C:\\"},
        {L"C:/", kRootPath, L"C:\\"},            // "/" is a "\" once the path is made full
        {L"  C:\\Data  ", L"", L"C:\\Data\\"},
        {L"abc", L"", dist + L"abc\\"},           // relative: below the distribution folder
        {L"sub/dir", L"", dist + L"sub\\dir\\"},  // its parent is missing: nothing is created
        {L"C:\\no\\such\\deeper", L"", L"C:\\no\\such\\deeper\\"},
        {L"C:\\Holter\\", L"", L"C:\\Holter\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(L"typed \"" + c.typed + L"\""));
        ASSERT_EQ(w.ActivePage(), L"tsInputPath");
        SetTextOf(w.Ctl(L"ePath"), c.typed);
        w.Press(L"BtnInputPathNext");
        if (!c.message.empty()) {
            w.Answer(c.message, IDOK);
            EXPECT_EQ(w.ActivePage(), L"tsInputPath");
            EXPECT_EQ(w.Text(L"ePath"), c.shown);
            EXPECT_TRUE(WaitUntil([&] { return FocusOf(w.main) == w.Ctl(L"ePath"); }, 3000)) << "focus";
            EXPECT_EQ(w.Warning(), nullptr);
        } else {
            w.AcknowledgeWarning();
            EXPECT_EQ(w.ActivePage(), L"tsInputComponents");
            EXPECT_EQ(w.Text(L"ePath"), c.shown);
            EXPECT_EQ(w.app.FindMessageBox(), nullptr) << "no message for an accepted path";
            w.Press(L"BtnInputComponentsBack");
            ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
        }
    }
    EXPECT_TRUE(DirExists(L"C:\\Data\\Settings"));
    EXPECT_TRUE(DirExists(dist + L"abc\\Settings"));
    EXPECT_FALSE(DirExists(dist + L"sub"));
    EXPECT_FALSE(DirExists(L"C:\\no"));
    EXPECT_TRUE(DirExists(L"C:\\Holter\\Settings"));
}

TEST(FolderDialog, CancelKeepsThePathAndAChoiceReplacesIt) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    w.Press(L"BtnSelectPath");
    HWND browser = w.app.WaitForFolderBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_NE(FindChild(browser, L"", L"Выберете путь для установки программ"), nullptr);
    // No button for a new folder.
    for (HWND b : FindChildren(browser, L"Button"))
        if (IsWindowVisible(b)) EXPECT_EQ(TextOf(b).find(L"нов"), std::wstring::npos) << ToUtf8(TextOf(b));
    w.Screenshot(L"folder-dialog.png", true);
    PressDialogButton(browser, IDCANCEL);
    ASSERT_TRUE(w.app.WaitForWindowGone(ByClass(L"#32770")));
    EXPECT_EQ(w.Text(L"ePath"), L"C:\\Holter");

    std::wstring target = L"C:\\Клиника";
    MakeDirs(target);
    w.Press(L"BtnSelectPath");
    browser = w.app.WaitForFolderBrowser();
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(PickFolder(w.app, browser, target));
    EXPECT_TRUE(WaitUntil([&] { return w.Text(L"ePath") == target; })) << ToUtf8(w.Text(L"ePath"));
}

TEST(DriverWarning, ClosesByItselfAfterTwentySeconds) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    w.Press(L"BtnInputPathNext");
    ASSERT_NE(w.WaitForWarning(), nullptr);
    DWORD shown = GetTickCount();
    ASSERT_TRUE(w.WaitWarningGone(30000));
    DWORD took = GetTickCount() - shown;
    EXPECT_GE(took, 19000u);
    EXPECT_LE(took, 23000u);
    EXPECT_EQ(w.ActivePage(), L"tsInputComponents");
    EXPECT_TRUE(IsWindowEnabled(w.main));
}

TEST(DriverWarning, StopKeepsItOpenAndTheTitleBarCloseShutsIt) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    w.Press(L"BtnInputPathNext");
    HWND warning = w.WaitForWarning();
    ASSERT_NE(warning, nullptr);
    HWND stop = FindChildByName(warning, L"btnStop");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(TextOf(stop), L"остановить");
    Click(stop);
    HWND strip = FindChildByName(warning, L"pnlClose");
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(strip); }, 3000));
    Pause(22000);
    EXPECT_TRUE(IsWindow(warning) && IsWindowVisible(warning)) << "the stopped countdown closed the window";
    PostSysClose(warning);
    EXPECT_TRUE(w.WaitWarningGone());
    EXPECT_EQ(w.ActivePage(), L"tsInputComponents");
    EXPECT_TRUE(IsWindowEnabled(w.main));
    // The page is usable afterwards.
    w.Press(L"BtnInputComponentsBack");
    EXPECT_TRUE(w.WaitForPage(L"tsInputPath"));
}

TEST(Closing, TitleBarCloseEndsTheProgramOnTheFirstThreePagesWithoutAQuestion) {
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        Wizard w;
        ASSERT_TRUE(w.Up());
        if (page >= 1) {
            w.Press(L"BtnStartNext");
            ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
        }
        if (page == 2) {
            w.Press(L"BtnInputPathNext");
            w.AcknowledgeWarning();
            ASSERT_TRUE(w.WaitForPage(L"tsInputComponents"));
        }
        PostSysClose(w.main);
        EXPECT_TRUE(w.app.WaitForExit()) << "still running";
        EXPECT_EQ(w.app.FindMessageBox(), nullptr);
        EXPECT_EQ(w.app.ExitCode(), 0u);
    }
}

TEST(Keyboard, EnterGoesForwardEscCancelsAndTabStaysOnThePage) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    auto focusedPage = [&]() -> std::wstring {
        HWND f = FocusOf(w.main);
        for (const auto& p : kPages)
            if (HWND page = FindChildByName(w.main, p); page && f && IsChild(page, f)) return p;
        return L"";
    };
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(w.main) != nullptr; }, 3000));
    EXPECT_EQ(focusedPage(), L"tsStart");
    PostKey(FocusOf(w.main), VK_RETURN);
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(w.main) == w.Ctl(L"ePath"); }, 3000));
    // Tab walks the page's controls and never leaves the page.
    for (int i = 0; i < 6; ++i) {
        PostKey(FocusOf(w.main), VK_TAB);
        Pause(150);
        EXPECT_EQ(focusedPage(), L"tsInputPath") << "after " << i + 1 << " Tab";
    }
    // Esc asks the cancel question.
    PostKey(FocusOf(w.main), VK_ESCAPE);
    w.Answer(kCancelQuestion, IDNO);
    EXPECT_EQ(w.ActivePage(), L"tsInputPath");
    // Enter in the path box presses "Далее".
    SetForegroundWindow(w.main);
    HWND edit = w.Ctl(L"ePath");
    PostMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(w.main) == edit; }, 3000));
    PostKey(edit, VK_RETURN);
    w.AcknowledgeWarning();
    ASSERT_TRUE(w.WaitForPage(L"tsInputComponents"));
    EXPECT_EQ(focusedPage(), L"tsInputComponents") << "the focus followed the page";
    // Tab order on the components page: the option, then the buttons from left to right.
    std::vector<std::wstring> order;
    for (int i = 0; i < 4; ++i) {
        PostKey(FocusOf(w.main), VK_TAB);
        Pause(150);
        order.push_back(NameOf(FocusOf(w.main)));
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{L"CbDriverInstal", L"BtnCancel4", L"BtnInputComponentsBack",
                                                 L"BtnInsatall"}))
        << ToUtf8(order[0] + L" " + order[1] + L" " + order[2] + L" " + order[3]);
    PostKey(FocusOf(w.main), VK_ESCAPE);
    w.Answer(kCancelQuestion, IDYES);
    ASSERT_TRUE(w.WaitForPage(L"tsCancel"));
    EXPECT_EQ(focusedPage(), L"tsCancel");
    PostKey(FocusOf(w.main), VK_ESCAPE);  // no "Отмена" here: nothing happens
    Pause(300);
    EXPECT_EQ(w.app.FindMessageBox(), nullptr);
    PostKey(FocusOf(w.main), VK_RETURN);  // "Выход"
    EXPECT_TRUE(w.app.WaitForExit());
}

TEST(Screenshots, EveryPageOfTheWizard) {
    Wizard w;
    ASSERT_TRUE(w.Up());
    w.Screenshot(L"wizard-1-start.png");
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    w.Screenshot(L"wizard-2-path.png");
    w.Press(L"BtnInputPathNext");
    ASSERT_NE(w.WaitForWarning(), nullptr);
    w.Screenshot(L"wizard-3-driver-warning.png", true);
    w.AcknowledgeWarning();
    w.Screenshot(L"wizard-3-components.png");
    w.Press(L"BtnCancel4");
    ASSERT_NE(w.app.WaitForMessageBox(kCancelQuestion), nullptr);
    w.Screenshot(L"wizard-4-cancel-question.png", true);
    w.Answer(kCancelQuestion, IDYES);
    ASSERT_TRUE(w.WaitForPage(L"tsCancel"));
    w.Screenshot(L"wizard-5-cancel.png");
    EXPECT_TRUE(IsEnabledWindow(w.Ctl(L"BtnExitCancel")));
}
