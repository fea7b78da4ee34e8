// The program's own window layer driven in-process: page switching by name,
// the close query, modal loops ended by buttons and by the title bar, the
// keyboard's default and cancel buttons, and the application-wide error handler.
#include <gtest/gtest.h>

#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/Exceptions.h"
#include "platform/Form.h"
#include "platform/GlyphButton.h"
#include "platform/Screen.h"
#include "ui/UiDriver.h"

#include <string>
#include <vector>

using namespace platform;

namespace {

// A small wizard-like window: two pages, a button strip, an edit box.
class TFProbe : public Form {
public:
    TFProbe() {
        FormDesign d;
        d.className = L"TFProbe";
        d.caption = L"Проба окна";
        d.clientWidth = 400;
        d.clientHeight = 240;
        d.position = FormPosition::ScreenCenter;
        Create(d);
        Pages = &Add<PageControl>(Handle(), L"Pages", Bounds{0, 0, 400, 200});
        tsOne = &Pages->AddPage(L"tsOne");
        tsTwo = &Pages->AddPage(L"tsTwo");
        eText = &Add<Edit>(tsOne->Handle(), L"eText", L"C:\\Holter", Bounds{10, 10, 200, 22});
        BtnNext = &Add<GlyphButton>(tsOne->Handle(), L"BtnNext", L"Далее", Bounds{300, 160, 90, 30});
        BtnBack = &Add<GlyphButton>(tsTwo->Handle(), L"BtnBack", L"Назад", Bounds{10, 160, 90, 30});
        BtnOK = &Add<GlyphButton>(Handle(), L"BtnOK", L"OK", Bounds{200, 205, 90, 30});
        BtnCancel = &Add<GlyphButton>(Handle(), L"BtnCancel", L"Отмена", Bounds{300, 205, 90, 30});
        BtnThrow = &Add<Button>(Handle(), L"BtnThrow", L"Сбой", Bounds{10, 205, 90, 30});
        BtnNext->OnClick = Bind(&TFProbe::BtnNextClick);
        BtnBack->OnClick = Bind(&TFProbe::BtnBackClick);
        BtnOK->OnClick = Bind(&TFProbe::BtnResultClick);
        BtnCancel->OnClick = Bind(&TFProbe::BtnResultClick);  // one handler, two buttons
        BtnThrow->OnClick = Bind(&TFProbe::BtnThrowClick);
        tsTwo->OnShow = Bind(&TFProbe::tsTwoShow);
        SetCancelButton(BtnCancel);
        Pages->ShowPage(L"tsOne");
        DoCreate();
    }
    PageControl* Pages;
    Panel *tsOne, *tsTwo;
    Edit* eText;
    GlyphButton *BtnNext, *BtnBack, *BtnOK, *BtnCancel;
    Button* BtnThrow;
    bool CanClose = true;
    int closeQueries = 0, closes = 0, shows = 0, twoShows = 0;
    std::vector<std::wstring> clicks;

    HWND DefaultButton() const override {
        return Pages->ActivePage() == tsOne ? BtnNext->Handle() : BtnOK->Handle();
    }
    void BtnNextClick(Control& Sender) { Pages->ShowPage(L"tsTwo"); }
    void BtnBackClick(Control& Sender) { Pages->ShowPage(L"tsOne"); }
    void BtnResultClick(Control& Sender) {
        clicks.push_back(Sender.Name());
        SetModalResult(&Sender == BtnOK ? mrOk : mrCancel);
    }
    void BtnThrowClick(Control& Sender) { throw Exception(L"Проверка обработчика ошибок"); }
    void tsTwoShow(Control& Sender) { ++twoShows; }

protected:
    void OnShow() override { ++shows; }
    bool OnCloseQuery() override {
        ++closeQueries;
        return CanClose;
    }
    void OnClose(CloseAction& action) override { ++closes; }
};

HWND Probe() { return uitest::FindTopWindow(L"TFProbe", nullptr); }

}  // namespace

TEST(PageControlByName, ShowsOnlyTheNamedPageAndFiresItsOnShow) {
    TFProbe f;
    EXPECT_EQ(f.Pages->ActivePageName(), L"tsOne");
    EXPECT_TRUE(f.tsOne->Visible());
    EXPECT_FALSE(f.tsTwo->Visible());
    f.Pages->ShowPage(L"tsTwo");
    EXPECT_EQ(f.Pages->ActivePage(), f.tsTwo);
    EXPECT_FALSE(f.tsOne->Visible());
    EXPECT_TRUE(f.tsTwo->Visible());
    EXPECT_EQ(f.twoShows, 1);
    f.Pages->ShowPage(L"tsTwo");  // already active: no second OnShow
    EXPECT_EQ(f.twoShows, 1);
    f.Pages->ShowPage(L"tsOne");
    f.Pages->ShowPage(L"tsTwo");
    EXPECT_EQ(f.twoShows, 2);
    EXPECT_THROW(f.Pages->ShowPage(L"tsMissing"), Exception);
    EXPECT_EQ(f.Pages->ActivePageName(), L"tsTwo");
    // Pages fill the page control.
    EXPECT_EQ(f.tsTwo->Width(), 400);
    EXPECT_EQ(f.tsTwo->Height(), 200);
}

TEST(PageControlByName, FocusMovesOffAHiddenPage) {
    TFProbe f;
    f.Show();
    SetForegroundWindow(f.Handle());
    f.eText->SetFocus();
    ASSERT_TRUE(f.eText->Focused());
    f.Pages->ShowPage(L"tsTwo");
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(IsWindowVisible(focus));
    EXPECT_TRUE(focus == f.tsTwo->Handle() || IsChild(f.tsTwo->Handle(), focus) || focus == f.Handle() ||
                IsChild(f.Handle(), focus));
    EXPECT_FALSE(IsChild(f.tsOne->Handle(), focus));
    f.Hide();
}

TEST(ControlNames, AreKeptOnTheWindowsAndFoundByTheForm) {
    TFProbe f;
    EXPECT_EQ(f.Find(L"BtnNext"), f.BtnNext);
    EXPECT_EQ(f.FindAs<Edit>(L"eText"), f.eText);
    EXPECT_EQ(f.Find(L"nothing"), nullptr);
    EXPECT_EQ(ControlName(f.BtnNext->Handle()), L"BtnNext");
    EXPECT_EQ(FindControlWindow(f.Handle(), L"eText"), f.eText->Handle());
    EXPECT_EQ(uitest::ClassOf(f.BtnNext->Handle()), L"Button");
    EXPECT_EQ(uitest::TextOf(f.BtnNext->Handle()), L"Далее");
    EXPECT_EQ(uitest::ClassOf(f.tsOne->Handle()), L"Static");
}

TEST(ModalForm, EndsWithTheResultOfTheButtonPressed) {
    TFProbe f;
    uitest::Watcher w(Probe, [](HWND wnd) { uitest::PostClick(uitest::FindChildByText(wnd, L"OK")); });
    EXPECT_EQ(f.ShowModal(), mrOk);
    EXPECT_TRUE(w.Acted());
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.shows, 1);
    EXPECT_EQ(f.closeQueries, 1);  // a result set by a button still asks the form
    EXPECT_EQ(f.clicks, std::vector<std::wstring>{L"BtnOK"});
}

TEST(ModalForm, TitleBarCloseGivesCancelAndOwnerIsDisabledMeanwhile) {
    TFProbe owner;
    owner.Show();
    TFProbe f;
    bool ownerEnabledDuring = true;
    uitest::Watcher w([&] { return IsWindowVisible(f.Handle()) ? f.Handle() : nullptr; },
                      [&](HWND wnd) {
                          ownerEnabledDuring = IsWindowEnabled(owner.Handle()) != FALSE;
                          uitest::PostTitleClose(wnd);
                      });
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(f.closes, 1);
    owner.Hide();
}

TEST(ModalForm, RefusedCloseQueryKeepsTheWindowOpen) {
    TFProbe f;
    f.CanClose = false;
    uitest::Watcher w(Probe, [&](HWND wnd) {
        uitest::PostTitleClose(wnd);
        Sleep(300);
        // Still there after the refused close; now allow it and close again.
        if (IsWindowVisible(wnd)) {
            f.CanClose = true;
            uitest::PostTitleClose(wnd);
        }
    });
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_EQ(f.closeQueries, 2);
    EXPECT_EQ(f.closes, 1);
}

TEST(ModalForm, EnterPressesThePagesDefaultButtonAndEscTheCancelButton) {
    TFProbe f;
    uitest::Watcher w(Probe, [&](HWND wnd) {
        Sleep(200);
        HWND edit = FindControlWindow(wnd, L"eText");
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);  // default of tsOne: "Далее"
        Sleep(300);
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);  // cancel: "Отмена"
    });
    f.eText->SetFocus();
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_EQ(f.Pages->ActivePageName(), L"tsTwo");
    EXPECT_EQ(f.clicks, std::vector<std::wstring>{L"BtnCancel"});
}

TEST(ApplicationErrorHandler, ShowsTheMessageWithTheApplicationTitle) {
    App().SetTitle(L"Проба приложения");
    TFProbe f;
    std::wstring boxText, boxCaption;
    uitest::Watcher box([] { return uitest::FindTopWindow(L"#32770", L"Проба приложения"); },
                        [&](HWND b) {
                            boxText = uitest::MessageBoxText(b);
                            boxCaption = uitest::TextOf(b);
                            PostMessageW(b, WM_COMMAND, IDOK, 0);
                        });
    uitest::Watcher clicker(Probe, [&](HWND wnd) {
        uitest::PostClick(uitest::FindChildByText(wnd, L"Сбой"));
        for (int i = 0; i < 200 && !box.Acted(); ++i) Sleep(20);
        Sleep(100);
        uitest::PostClick(uitest::FindChildByText(wnd, L"OK"));
    });
    EXPECT_EQ(f.ShowModal(), mrOk);  // the program went on after the error
    EXPECT_EQ(boxText, L"Проверка обработчика ошибок");
    EXPECT_EQ(boxCaption, L"Проба приложения");
}

TEST(ApplicationErrorHandler, GuardedReportsWhetherTheHandlerCompleted) {
    App().SetTitle(L"Проба приложения");
    uitest::Watcher box([] { return uitest::FindTopWindow(L"#32770", L"Проба приложения"); },
                        [&](HWND b) { PostMessageW(b, WM_COMMAND, IDOK, 0); });
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_FALSE(Guarded([] { throw std::runtime_error("plain"); }));
    EXPECT_TRUE(box.Acted());
}

TEST(Alignment, BottomStripsStackFromTheLowestAndClientFillsTheRest) {
    TFProbe f;
    auto& host = f.Add<Panel>(f.Handle(), L"host", Bounds{0, 0, 300, 200});
    auto& strip = f.Add<Panel>(host.Handle(), L"strip", Bounds{0, 150, 300, 40});
    auto& spacer = f.Add<Panel>(host.Handle(), L"spacer", Bounds{0, 140, 300, 4});
    auto& memo = f.Add<Memo>(host.Handle(), L"memo", Bounds{0, 0, 10, 10});
    strip.SetAlign(Align::Bottom);
    spacer.SetAlign(Align::Bottom);
    memo.SetAlign(Align::Client);
    EXPECT_EQ(strip.Top(), 160);
    EXPECT_EQ(spacer.Top(), 156);
    EXPECT_EQ(memo.Top(), 0);
    EXPECT_EQ(memo.Height(), 156);
    EXPECT_EQ(memo.Width(), 300);
    spacer.Hide();  // hidden controls take no room
    EXPECT_EQ(memo.Height(), 160);
    host.SetBorder(2, RGB(0, 0, 0));
    EXPECT_EQ(strip.Top(), 158);
    EXPECT_EQ(strip.Left(), 2);
    EXPECT_EQ(strip.Width(), 296);
}

TEST(MemoAndLabel, LinesJoinWithCrLfAndLabelsSizeToTheirText) {
    TFProbe f;
    auto& memo = f.Add<Memo>(f.Handle(), L"memo", Bounds{0, 0, 200, 100});
    memo.SetLines({L"первая ", L"", L"третья"});
    EXPECT_EQ(memo.Text(), L"первая \r\n\r\nтретья");
    EXPECT_EQ(memo.Lines(), (std::vector<std::wstring>{L"первая ", L"", L"третья"}));
    auto& lbl = f.Add<Label>(f.Handle(), L"lbl", L"", Bounds{0, 0, 120, 5});
    lbl.SetFont(FontByPixels(L"Tahoma", 13));
    lbl.SetAutoSize(true);
    int one = lbl.Height();
    EXPECT_GT(one, 10);
    lbl.SetCaption(L"Одна\rдве\rтри");
    EXPECT_EQ(lbl.Height(), 3 * one);
    lbl.SetCaption(std::wstring(40, L'ш') + L" " + std::wstring(40, L'ш'));
    EXPECT_GE(lbl.Height(), 2 * one);
    EXPECT_EQ(lbl.Width(), 120);
}

TEST(ApplicationWindow, CarriesTheTitleOwnsTheFormsAndClosingTheMainFormEndsTheLoop) {
    App().SetTitle(L"Установка комплекса \"Арвела-Холтер\"");
    TFProbe f;
    EXPECT_EQ(uitest::TextOf(App().Handle()), L"Установка комплекса \"Арвела-Холтер\"");
    EXPECT_EQ(GetWindow(f.Handle(), GW_OWNER), App().Handle());
    EXPECT_FALSE(GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW) << "the task bar shows the application";
    App().SetMainForm(&f);
    bool wasVisible = false;
    uitest::Watcher w([&] { return IsWindowVisible(f.Handle()) ? f.Handle() : nullptr; },
                      [&](HWND wnd) {
                          wasVisible = true;
                          Sleep(100);
                          uitest::PostTitleClose(wnd);
                      });
    App().Run();  // shows the main form, returns when it has closed
    App().SetMainForm(nullptr);
    App().ResetTerminated();
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.closeQueries, 1);
    RECT r;
    GetWindowRect(App().Handle(), &r);
    EXPECT_EQ(r.right - r.left, 0) << "the application window takes no room on the screen";
}

TEST(ApplicationWindow, MinimisingTheMainFormHidesItWithTheApplicationAndRestoringShowsIt) {
    TFProbe f;
    App().SetMainForm(&f);
    ShowWindow(App().Handle(), SW_SHOWNOACTIVATE);
    f.Show();
    SendMessageW(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    uitest::PumpFor(200);
    EXPECT_TRUE(IsIconic(App().Handle()));
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    App().Restore();
    uitest::PumpUntil([&] { return IsWindowVisible(f.Handle()) != FALSE; }, 2000);
    EXPECT_FALSE(IsIconic(App().Handle()));
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    f.Hide();
    ShowWindow(App().Handle(), SW_HIDE);
    App().SetMainForm(nullptr);
}

TEST(ScreenCursor, IsAnsweredForEveryWindowOfTheProgram) {
    TFProbe f;
    f.Show();
    TheScreen().SetCursor(crHourGlass);
    for (HWND w : {f.Handle(), f.eText->Handle(), f.BtnNext->Handle(), f.tsOne->Handle()}) {
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        EXPECT_EQ(SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT)) << uitest::ClassOf(w);
    }
    TheScreen().SetCursor(crDefault);
    ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SendMessageW(f.eText->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(f.eText->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_IBEAM)) << "the edit box's own cursor again";
    f.Hide();
}
