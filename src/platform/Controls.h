// Child controls: real windows of the standard classes (Static, Edit, Button,
// ComboBox, ListBox, msctls_progress32) whose caption is their window text,
// each with a name that stays retrievable (Form::Find, and the window property
// "Holter.Name" holding a global atom, readable from another process with
// platform::ControlName), the parent's font, and colours answered through
// WM_CTLCOLOR* by the parent (Form and Panel both do it).
//
// Usage (inside a form's constructor, after Create):
//   auto& page = Add<platform::Panel>(Handle(), L"pnlButtons", platform::Bounds{0, 0, 446, 24});
//   page.SetAlign(platform::Align::Bottom);
//   auto& memo = Add<platform::Memo>(page.Handle(), L"MemoStart", platform::Bounds{0, 0, 600, 300});
//   memo.SetLines({L"Добро пожаловать ", L"", L"Далее"});   // joined with CRLF
//   memo.SetFont(platform::FontByPixels(L"Times New Roman", 20, RUSSIAN_CHARSET));
//   memo.SetTextColor(platform::clNavy);      // background: the parent's colour
//   auto& pages = Add<platform::PageControl>(Handle(), L"InsatallPages", platform::Bounds{...});
//   platform::Panel& tsStart = pages.AddPage(L"tsStart");
//   tsStart.OnShow = Bind(&TFMain::tsStartShow);
//   pages.ShowPage(L"tsStart");
//
// Alignment: a control with SetAlign(Top/Bottom/Left/Right/Client) is laid out
// by its parent (form or panel) whenever the parent's size changes or
// Form::Realign(parent) is called: Top and Bottom controls keep their height
// and span the width, Left and Right keep their width, Client fills what is
// left. Among controls of one kind the current positions decide the order
// (for Bottom the lowest first), creation order breaking ties; hidden
// controls take no room. A panel's border width and padding are kept free.
#pragma once

#include "platform/Form.h"

#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// The name stored on a control's window, also for windows of another process.
std::wstring ControlName(HWND wnd);
// The first descendant of root with that name, or nullptr.
HWND FindControlWindow(HWND root, const std::wstring& name);

class Control {
public:
    Control(Form& owner, HWND parent, const std::wstring& name, const wchar_t* windowClass,
            const std::wstring& text, DWORD style, DWORD exStyle, const Bounds& bounds);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    static Control* FromHandle(HWND wnd);

    HWND Handle() const noexcept { return wnd_; }
    Form& Owner() const noexcept { return owner_; }
    const std::wstring& Name() const noexcept { return name_; }
    UINT Id() const noexcept { return id_; }
    HWND Parent() const { return GetParent(wnd_); }

    // Geometry relative to the parent's client area.
    Bounds GetBounds() const;
    void SetBounds(const Bounds& b);
    void SetBounds(int left, int top, int width, int height) { SetBounds(Bounds{left, top, width, height}); }
    int Left() const { return GetBounds().left; }
    int Top() const { return GetBounds().top; }
    int Width() const { return GetBounds().width; }
    int Height() const { return GetBounds().height; }
    int Bottom() const { return Top() + Height(); }
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    Align GetAlign() const noexcept { return align_; }
    void SetAlign(Align a);

    bool Visible() const;
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetTabStop(bool tabStop);
    void SetFocus();
    bool Focused() const;
    void Repaint();

    std::wstring Text() const;
    void SetText(const std::wstring& text);

    HFONT Font() const;
    void SetFont(HFONT font);

    // Background colour: CLR_INVALID means the parent's colour (or, for edit
    // and list boxes, the window colour).
    COLORREF Color() const noexcept { return color_; }
    void SetColor(COLORREF color);
    COLORREF EffectiveColor() const;
    COLORREF TextColor() const noexcept { return textColor_; }
    void SetTextColor(COLORREF color);
    // A one-pixel frame (needs WS_BORDER) in normal, and in hot while the
    // pointer is over the control or it has the focus.
    void SetFrame(COLORREF normal, COLORREF hot);

    // Events.
    std::function<void(Control& sender)> OnClick;   // BN_CLICKED, STN_CLICKED
    std::function<void(Control& sender)> OnChange;  // EN_CHANGE, CBN_SELCHANGE, LBN_SELCHANGE
    // Runs OnClick directly, also for a hidden or disabled control.
    virtual void Click();

    // From the parent: WM_COMMAND notification code for this control.
    virtual void Command(WORD code);
    // From the parent: WM_CTLCOLOR* for this control; returns the brush.
    virtual HBRUSH CtlColor(HDC dc, UINT msg);
    // From the parent: WM_DRAWITEM for an owner-drawn control.
    virtual bool DrawItem(const DRAWITEMSTRUCT& dis) { return false; }

protected:
    // The control's subclass procedure; call Default for the class's handling.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    bool Hot() const noexcept { return hot_; }
    virtual void HotChanged() {}
    bool HasFrame() const noexcept { return frame_; }
    void PaintFrame();

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    Form& owner_;
    HWND wnd_ = nullptr;
    std::wstring name_;
    UINT id_ = 0;
    ATOM nameAtom_ = 0;
    Align align_ = Align::None;
    COLORREF color_ = CLR_INVALID;
    COLORREF textColor_ = CLR_INVALID;
    bool frame_ = false;
    COLORREF frameColor_ = 0, frameHot_ = 0;
    bool hot_ = false;
    bool tracking_ = false;
};

// Static text. Words wrap at the control's width (unless SetWordWrap(false)).
class Label : public Control {
public:
    enum class HAlign { Left, Center, Right };
    Label(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption, const Bounds& b);
    void SetAlignment(HAlign a);
    void SetWordWrap(bool wrap);
    // Vertically centred single line (SS_CENTERIMAGE).
    void SetCenterVertically(bool on);
    void SetAutoSize(bool on) { autoSize_ = on; if (on) AdjustSize(); }
    // Sets the height (and, without word wrap, the width) to fit the text.
    void AdjustSize();
    void SetCaption(const std::wstring& text);
    std::wstring Caption() const { return Text(); }

private:
    void SetStyleBits(DWORD mask, DWORD bits);
    bool autoSize_ = false;
    bool wordWrap_ = true;
};

// Read-only multi-line text with word wrap, no border, the parent's colour.
class Memo : public Control {
public:
    Memo(Form& owner, HWND parent, const std::wstring& name, const Bounds& b);
    void SetLines(const std::vector<std::wstring>& lines);  // joined with CRLF
    std::vector<std::wstring> Lines() const;
    HBRUSH CtlColor(HDC dc, UINT msg) override;
};

// Single-line edit box with a frame.
class Edit : public Control {
public:
    Edit(Form& owner, HWND parent, const std::wstring& name, const std::wstring& text, const Bounds& b);
    void SelectAll();
};

// Push button of the system's look.
class Button : public Control {
public:
    Button(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption, const Bounds& b,
           DWORD extraStyle = 0);
    void Command(WORD code) override;
};

class CheckBox : public Control {
public:
    CheckBox(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption, const Bounds& b);
    bool Checked() const;
    void SetChecked(bool checked);
    void Command(WORD code) override;
};

// Drop-down list (no typing).
class ComboBox : public Control {
public:
    ComboBox(Form& owner, HWND parent, const std::wstring& name, const Bounds& b);
    int Add(const std::wstring& item);
    void Clear();
    int Count() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::wstring Item(int index) const;
    void Command(WORD code) override;
};

// List of text lines with a fixed item height and a vertical scroll bar.
class ListBox : public Control {
public:
    ListBox(Form& owner, HWND parent, const std::wstring& name, const Bounds& b);
    int Add(const std::wstring& item);  // returns the index
    void SetItem(int index, const std::wstring& item);
    std::wstring Item(int index) const;
    void Clear();
    int Count() const;
    void SetItemHeight(int height);
    int ItemHeight() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    void MakeVisible(int index);
    void Command(WORD code) override;
    HBRUSH CtlColor(HDC dc, UINT msg) override;
};

class ProgressBar : public Control {
public:
    ProgressBar(Form& owner, HWND parent, const std::wstring& name, const Bounds& b, bool smooth = true);
    void SetRange(int min, int max);
    int Min() const;
    int Max() const;
    int Position() const;
    void SetPosition(int pos);
    void SetStep(int step);
    int Step() const noexcept { return step_; }
    void StepIt();

private:
    int step_ = 10;
};

// A Static-class container: fills its colour, optionally paints a flat
// (rounded) border, hands its children's notifications to the form and lets
// Tab navigation enter it (WS_EX_CONTROLPARENT). Pages and button strips are
// panels.
class Panel : public Control {
public:
    Panel(Form& owner, HWND parent, const std::wstring& name, const Bounds& b);
    // A flat border of width pixels in color; rounded corners when rounded.
    void SetBorder(int width, COLORREF color, bool rounded = true);
    void SetBorderColor(COLORREF color);
    COLORREF BorderColor() const noexcept { return borderColor_; }
    int BorderWidth() const noexcept { return borderWidth_; }
    void SetPadding(int padding) { padding_ = padding; Owner().Realign(Handle()); }
    // The area kept for aligned children (client area minus border and padding).
    RECT InnerRect() const;

    // Fired by a PageControl when the panel becomes its active page.
    std::function<void(Control& sender)> OnShow;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void Paint(HDC dc);

private:
    int borderWidth_ = 0;
    int padding_ = 0;
    COLORREF borderColor_ = RGB(0, 0, 0);
    bool rounded_ = true;
};

// Pages without tabs, switched by name; only the active page is visible.
class PageControl : public Panel {
public:
    PageControl(Form& owner, HWND parent, const std::wstring& name, const Bounds& b);
    Panel& AddPage(const std::wstring& name);
    // Makes the page active: shows it, hides the others, moves the focus off a
    // hidden page (to the form's default button when it lies on the new page,
    // else to the page's first tab stop), then fires the page's OnShow.
    void ShowPage(const std::wstring& name);
    void SetActivePage(Panel& page);
    Panel* ActivePage() const noexcept { return active_; }
    std::wstring ActivePageName() const { return active_ ? active_->Name() : std::wstring(); }
    Panel* Page(const std::wstring& name) const;
    const std::vector<Panel*>& Pages() const noexcept { return pages_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Fired after every page change.
    std::function<void(Control& sender)> OnChange;

private:
    std::vector<Panel*> pages_;
    Panel* active_ = nullptr;
};

}  // namespace platform
