// The message window driven in-process: its results for every way it closes,
// the countdown label, the height and placement from the screen snapshot, the
// modeless form and the range check of ShowTimedMessage.
#include <gtest/gtest.h>

#include "dialogs/MessageForm.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "shell/ScreenMonitorManager.h"
#include "ui/UiDriver.h"

#include <memory>
#include <string>

using namespace platform;

namespace {

HWND VisibleMessageWindow() { return uitest::FindTopWindow(L"TFMessageform", nullptr); }

HWND Named(HWND root, const wchar_t* name) { return FindControlWindow(root, name); }

RECT RectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

class MessageWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!myScreen) myScreen = new TmyScreen();
        saved_ = *myScreen;
    }
    void TearDown() override {
        *myScreen = saved_;
        EXPECT_EQ(uitest::FindOwnWindow(L"TFMessageform"), nullptr) << "a message window was left behind";
    }
    TmyScreen saved_;
};

}  // namespace

TEST_F(MessageWindow, CountdownEndClosesAMessageWithFalse) {
    DWORD start = GetTickCount();
    EXPECT_FALSE(ShowTimedMessage(L"Внимание!\r Текст", mtMessage, L"Проба", 1));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 900u);
    EXPECT_LT(elapsed, 5000u);
}

struct CloseCase {
    const char* name;
    TMessageType type;
    const wchar_t* press;  // button caption, or nullptr for the title-bar close
    bool expected;
};

class MessageWindowCloses : public MessageWindow, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(MessageWindowCloses, WithTheResultOfTheWayItClosed) {
    const CloseCase& c = GetParam();
    uitest::Watcher w(VisibleMessageWindow, [&](HWND wnd) {
        Sleep(100);
        if (c.press)
            uitest::PostClick(uitest::FindChildByText(wnd, c.press, L"Button"));
        else
            uitest::PostTitleClose(wnd);
    });
    DWORD start = GetTickCount();
    EXPECT_EQ(ShowTimedMessage(L"Продолжить?", c.type, L"Вопрос", 5), c.expected);
    EXPECT_TRUE(w.Acted());
    EXPECT_LT(GetTickCount() - start, 4000u) << "closed by the countdown, not by the user";
}

INSTANTIATE_TEST_SUITE_P(Ways, MessageWindowCloses,
                         ::testing::Values(CloseCase{"OkOnMessage", mtMessage, L"OK", true},
                                           CloseCase{"OkOnDialog", mtDialog, L"OK", true},
                                           CloseCase{"CancelOnDialog", mtDialog, L"Отмена", false},
                                           CloseCase{"TitleBarOnMessage", mtMessage, nullptr, false},
                                           CloseCase{"TitleBarOnDialog", mtDialog, nullptr, false}),
                         [](const ::testing::TestParamInfo<CloseCase>& i) { return std::string(i.param.name); });

TEST_F(MessageWindow, StopKeepsTheWindowUntilOk) {
    bool stripHidden = false, stillThere = false;
    uitest::Watcher w(VisibleMessageWindow, [&](HWND wnd) {
        Sleep(100);
        uitest::PostClick(uitest::FindChildByText(wnd, L"остановить", L"Button"));
        Sleep(1800);  // past the one-second countdown
        stillThere = IsWindowVisible(wnd) != FALSE;
        stripHidden = !IsWindowVisible(Named(wnd, L"pnlClose"));
        uitest::PostClick(uitest::FindChildByText(wnd, L"OK", L"Button"));
    });
    EXPECT_TRUE(ShowTimedMessage(L"Остановленный отсчёт", mtMessage, L"", 1));
    EXPECT_TRUE(stillThere);
    EXPECT_TRUE(stripHidden);
}

TEST_F(MessageWindow, StopThenTitleBarCloseGivesFalse) {
    uitest::Watcher w(VisibleMessageWindow, [&](HWND wnd) {
        Sleep(100);
        uitest::PostClick(uitest::FindChildByText(wnd, L"остановить", L"Button"));
        Sleep(1300);
        uitest::PostTitleClose(wnd);
    });
    EXPECT_FALSE(ShowTimedMessage(L"Текст", mtDialog, L"", 1));
}

TEST_F(MessageWindow, SecondsLabelCountsDownFromTheFirstTick) {
    std::wstring first, afterTick, later;
    uitest::Watcher w(VisibleMessageWindow, [&](HWND wnd) {
        HWND sec = Named(wnd, L"lblSec");
        first = uitest::TextOf(sec);
        DWORD start = GetTickCount();
        while (uitest::TextOf(sec) == first && GetTickCount() - start < 3000) Sleep(20);
        afterTick = uitest::TextOf(sec);
        while (uitest::TextOf(sec) == afterTick && GetTickCount() - start < 4000) Sleep(20);
        later = uitest::TextOf(sec);
        uitest::PostClick(uitest::FindChildByText(wnd, L"OK", L"Button"));
    });
    EXPECT_TRUE(ShowTimedMessage(L"Отсчёт", mtMessage, L"", 4));
    EXPECT_EQ(first, L"  сек");
    EXPECT_EQ(afterTick, L"  3с");
    EXPECT_EQ(later, L"  2с");
}

TEST_F(MessageWindow, HeightFollowsTheTextAndTheLowerEdgeSitsOnTheSnapshotsMiddleLine) {
    // A snapshot that differs from the live screen shows that the window uses it.
    myScreen->Height = 700;
    myScreen->Width = 900;
    std::wstring longText;
    for (int i = 0; i < 60; ++i) longText += L"слово ";
    for (const std::wstring& text : {std::wstring(L"Короткий текст"), longText}) {
        RECT win{}, lbl{};
        uitest::Watcher w(VisibleMessageWindow, [&](HWND wnd) {
            Sleep(100);
            win = RectOf(wnd);
            lbl = RectOf(Named(wnd, L"lblMessage"));
            uitest::PostClick(uitest::FindChildByText(wnd, L"OK", L"Button"));
        });
        TFMessageform f;
        EXPECT_TRUE(f.Showmes(text, mtMessage, L"Высота", true));
        int height = win.bottom - win.top, width = win.right - win.left;
        EXPECT_EQ(height, (lbl.bottom - lbl.top) + 24 + 16 + 60);
        EXPECT_EQ(win.top, 700 / 2 - height);
        EXPECT_EQ(win.bottom, 350);
        EXPECT_EQ(win.left, myScreen->Monitors(0).Left + (900 - width) / 2);
        EXPECT_EQ(lbl.right - lbl.left, 446);
        if (text.size() > 100) EXPECT_GT(lbl.bottom - lbl.top, 30) << "a long text wraps";
        EXPECT_EQ(f.Caption(), L"Высота");
        EXPECT_EQ(f.lblMessage->Text(), text);
        EXPECT_EQ(DescribeFont(f.lblMessage->Font()).pixelHeight, MulDiv(10, TheScreen().PixelsPerInch(), 72));
    }
}

TEST_F(MessageWindow, ButtonsAndStripFollowTheMessageType) {
    bool cancelShown = true, okShown = false, stopShown = false;
    RECT buttons{}, strip{};
    uitest::Watcher w(VisibleMessageWindow, [&](HWND wnd) {
        Sleep(100);
        cancelShown = IsWindowVisible(Named(wnd, L"btnCancel")) != FALSE;
        okShown = IsWindowVisible(Named(wnd, L"btnOK")) != FALSE;
        stopShown = IsWindowVisible(Named(wnd, L"btnStop")) != FALSE;
        buttons = RectOf(Named(wnd, L"pnlButtons"));
        strip = RectOf(Named(wnd, L"pnlClose"));
        uitest::PostClick(uitest::FindChildByText(wnd, L"OK", L"Button"));
    });
    TFMessageform f;
    EXPECT_TRUE(f.Showmes(L"Сообщение", mtMessage, L"", true));
    EXPECT_FALSE(cancelShown);
    EXPECT_TRUE(okShown);
    EXPECT_TRUE(stopShown);
    EXPECT_EQ(strip.top, buttons.bottom) << "the countdown strip lies under the button row";
    EXPECT_EQ(strip.bottom - strip.top, 16);
    EXPECT_FALSE(f.StayUpTimer->Enabled());  // FormClose stopped both
    EXPECT_FALSE(f.StopTimer->Enabled());
    EXPECT_TRUE(f.ShowResult());
}

TEST_F(MessageWindow, ModelessWindowHasNoButtonsNoCountdownAndReturnsAtOnce) {
    TFMessageform f;
    EXPECT_FALSE(f.Showmes(L"Идёт работа", mtDialog, L"Ждите", false));
    EXPECT_TRUE(f.Visible());
    EXPECT_FALSE(f.btnOK->Visible());
    EXPECT_FALSE(f.btnCancel->Visible());
    EXPECT_FALSE(f.btnStop->Visible());
    EXPECT_FALSE(f.lblClose->Visible());
    EXPECT_FALSE(f.lblSec->Visible());
    EXPECT_TRUE(f.pnlClose->Visible());
    EXPECT_FALSE(f.StayUpTimer->Enabled());
    EXPECT_FALSE(f.StopTimer->Enabled());
    f.Hide();
}

TEST_F(MessageWindow, OutOfRangeSecondsRaiseBeforeAnythingIsShown) {
    for (int seconds : {-1, 2147484, 2147483647}) {
        uitest::Watcher w(VisibleMessageWindow, [](HWND wnd) { uitest::PostTitleClose(wnd); }, 300);
        EXPECT_THROW(ShowTimedMessage(L"Текст", mtMessage, L"", seconds), ERangeError) << seconds;
        w.Stop();
        EXPECT_FALSE(w.Acted()) << "no window was shown for " << seconds;
        EXPECT_EQ(uitest::FindOwnWindow(L"TFMessageform"), nullptr) << "the window was freed";
    }
    // The largest allowed value is taken.
    uitest::Watcher ok(VisibleMessageWindow, [](HWND wnd) {
        Sleep(100);
        uitest::PostClick(uitest::FindChildByText(wnd, L"OK", L"Button"));
    });
    EXPECT_TRUE(ShowTimedMessage(L"Текст", mtMessage, L"", 2147483));
}

TEST_F(MessageWindow, GlyphsAreRedCrossGreyCrossGreenTickGreyTick) {
    TFMessageform f;
    const GlyphList& g = *f.ImageList1;
    ASSERT_EQ(g.Count(), 4);
    EXPECT_EQ(g.Size(), 16);
    auto isRed = [](COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90; };
    auto isGreen = [](COLORREF c) { return GetGValue(c) > 100 && GetRValue(c) < 80 && GetBValue(c) < 100; };
    auto isGrey = [](COLORREF c) {
        return std::abs(GetRValue(c) - GetGValue(c)) < 10 && std::abs(GetGValue(c) - GetBValue(c)) < 10 &&
               GetRValue(c) > 100;
    };
    EXPECT_GT(g.AlphaAt(0, 8, 8), 200);  // the crossing point
    EXPECT_TRUE(isRed(g.ColorAt(0, 8, 8)));
    EXPECT_TRUE(isGrey(g.ColorAt(1, 8, 8)));
    EXPECT_EQ(g.AlphaAt(0, 8, 1), 0);    // between the arms at the top
    EXPECT_GT(g.AlphaAt(2, 6, 12), 150);  // the tick's lowest point
    EXPECT_TRUE(isGreen(g.ColorAt(2, 6, 12)));
    EXPECT_TRUE(isGrey(g.ColorAt(3, 6, 12)));
    EXPECT_EQ(g.AlphaAt(2, 2, 2), 0);
}
