// The wait window: its design, the titles by typemessage and the progress step.
#include <gtest/gtest.h>

#include "dialogs/WaitRun.h"
#include "platform/Graphics.h"
#include "ui/UiDriver.h"

using namespace platform;

TEST(WaitWindow, IsMadeHiddenWithTheLaunchingTitleAndItsDesign) {
    TFWaitRun f;
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.Caption(), L"Launching ");
    EXPECT_EQ(f.ClientWidth(), 314);
    EXPECT_EQ(f.ClientHeight(), 39);
    LONG style = GetWindowLongW(f.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & WS_SYSMENU) << "no title-bar buttons";
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    FontSpec font = DescribeFont(f.Font());
    EXPECT_EQ(font.face, L"Tahoma");
    EXPECT_EQ(font.pixelHeight, 13);
    EXPECT_EQ(font.charset, RUSSIAN_CHARSET);
    EXPECT_EQ(uitest::ClassOf(f.ProgressBar->Handle()), L"msctls_progress32");
    EXPECT_TRUE(GetWindowLongW(f.ProgressBar->Handle(), GWL_STYLE) & PBS_SMOOTH);
    EXPECT_EQ(f.ProgressBar->Min(), 0);
    EXPECT_EQ(f.ProgressBar->Max(), 25);
    EXPECT_EQ(f.ProgressBar->Position(), 0);
    EXPECT_EQ(f.ProgressBar->Height(), 20);
    EXPECT_EQ(f.ProgressBar->Top() + 20, 39 - 2) << "the bar sits at the bottom inside the 2-pixel border";
    EXPECT_EQ(f.LblProgress->Text(), L"");
    // Centred on the screen.
    EXPECT_EQ(f.Left(), (GetSystemMetrics(SM_CXSCREEN) - f.Width()) / 2);
    EXPECT_EQ(f.Top(), (GetSystemMetrics(SM_CYSCREEN) - f.Height()) / 2);
}

TEST(WaitWindow, ShowingSetsTheTitleFromTypemessage) {
    struct Case {
        std::uint8_t type;
        const wchar_t* title;
    };
    for (Case c : {Case{3, L"Преобразование данных ЭКГ в формат Арвела-Холтер"}, Case{2, L"Запись данных ЭКГ"},
                   Case{4, L""}, Case{0, L"Launching "}, Case{1, L"Launching "}, Case{255, L"Launching "}}) {
        TFWaitRun f;
        f.typemessage = c.type;
        EXPECT_EQ(f.Caption(), L"Launching ") << "not before it is shown";
        f.Show();
        EXPECT_EQ(f.Caption(), c.title) << int(c.type);
        f.Hide();
    }
}

TEST(WaitWindow, NextAdvancesOneStepAndShowsTheText) {
    TFWaitRun f;
    f.Show();
    f.Next(L"Первый этап");
    EXPECT_EQ(f.ProgressBar->Position(), 1);
    EXPECT_EQ(f.LblProgress->Text(), L"Первый этап");
    f.Next(L"Второй этап");
    EXPECT_EQ(f.ProgressBar->Position(), 2);
    EXPECT_EQ(f.LblProgress->Text(), L"Второй этап");
    f.Hide();
}
