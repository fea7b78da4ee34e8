// The window refuses to close while the installation copies the database and
// the engine files, and closes again once that part is over.
#include "e2e/WizardFixture.h"

using namespace wizard;

namespace {

// Makes the distribution's database large enough that its copy takes a while.
void GrowDatabase(const std::wstring& path, unsigned megabytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::string chunk(1 << 20, 'D');
    DWORD done = 0;
    for (unsigned i = 0; i < megabytes; ++i) WriteFile(h, chunk.data(), static_cast<DWORD>(chunk.size()), &done, nullptr);
    CloseHandle(h);
}

bool HasLineStarting(HWND list, const std::wstring& prefix) {
    for (const auto& line : ListItems(list))
        if (line.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace

TEST(CloseGuard, TitleBarCloseIsRefusedWhileTheDatabaseIsCopied) {
    Wizard w(L"", false);
    GrowDatabase(w.dist / L"DTAfb\\T12.FDB", 400);
    w.Start();
    ASSERT_TRUE(w.Up());
    SetTextOf(w.Ctl(L"ePath"), w.dist.Scratch() + L"Holter");
    w.GoToComponents();
    Click(w.Ctl(L"CbDriverInstal"));  // no driver question
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(w.Ctl(L"CbDriverInstal")); }));

    w.Press(L"BtnInsatall");
    HWND log = w.Ctl(L"LogList");
    // The database copy runs inside the guarded block.
    ASSERT_TRUE(WaitUntil([&] { return HasLineStarting(log, L"Копирование файла T12.FDB"); }, 60000))
        << "the copy of the database did not start";
    PostSysClose(w.main);
    PostClose(w.main);
    w.Screenshot(L"wizard-6-progress.png");
    EXPECT_TRUE(w.app.Running());

    // The run goes on to its end: the display-size page (small fonts) or the closing question.
    bool ended = WaitUntil(
        [&] {
            if (HWND box = w.app.FindMessageBox()) {
                std::wstring text = MessageBoxText(box);
                if (text == L"Установка завершена. Выйти из программы установки?") return true;
                PressDialogButton(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);  // anything else: go on
            }
            return w.ActivePage() == L"tsChangeFontSize";
        },
        180000);
    ASSERT_TRUE(ended) << "the installation did not reach its end";
    EXPECT_TRUE(w.app.Running()) << "the window closed while it should have refused";
    EXPECT_TRUE(IsWindow(w.main));
    for (const auto& line : ListItems(log))
        if (line.rfind(L"Копирование файла T12.FDB", 0) == 0) EXPECT_EQ(line, L"Копирование файла T12.FDB....Завершено");

    // Past the guarded block the title-bar close works again.
    if (HWND box = w.app.FindMessageBox()) {
        PressDialogButton(box, IDNO);
        ASSERT_TRUE(WaitUntil([&] { return w.app.FindMessageBox() == nullptr; }));
    }
    EXPECT_TRUE(IsEnabledWindow(w.Ctl(L"BtnExit")));
    PostSysClose(w.main);
    EXPECT_TRUE(w.app.WaitForExit());
}
