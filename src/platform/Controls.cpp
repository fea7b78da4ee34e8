#include "platform/Controls.h"

#include "platform/Exceptions.h"
#include "platform/Handles.h"
#include "platform/Screen.h"

#include <algorithm>

namespace platform {

namespace {
constexpr wchar_t kControlProp[] = L"Holter.Control";
constexpr wchar_t kNameProp[] = L"Holter.Name";

std::wstring WindowText(HWND w) {
    if (!w) return {};
    int n = GetWindowTextLengthW(w);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(w, &s[0], n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

struct FindByName {
    const std::wstring* name;
    HWND found;
};
BOOL CALLBACK MatchName(HWND w, LPARAM data) {
    auto* f = reinterpret_cast<FindByName*>(data);
    if (ControlName(w) == *f->name) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::wstring ControlName(HWND wnd) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(wnd, kNameProp)));
    if (!atom) return {};
    wchar_t buf[256] = {};
    UINT n = GlobalGetAtomNameW(atom, buf, 256);
    return std::wstring(buf, n);
}

HWND FindControlWindow(HWND root, const std::wstring& name) {
    FindByName f{&name, nullptr};
    EnumChildWindows(root, MatchName, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// ---------------------------------------------------------------- Control

Control::Control(Form& owner, HWND parent, const std::wstring& name, const wchar_t* windowClass,
                 const std::wstring& text, DWORD style, DWORD exStyle, const Bounds& b)
    : owner_(owner), name_(name) {
    id_ = owner.NextControlId();
    wnd_ = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, b.left,
                           b.top, b.width, b.height, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)),
                           App().Module(), nullptr);
    if (!wnd_) throw EOSError(L"Не удалось создать элемент окна " + name, GetLastError());
    SetPropW(wnd_, kControlProp, this);
    nameAtom_ = GlobalAddAtomW(name.c_str());
    SetPropW(wnd_, kNameProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(nameAtom_)));
    SetWindowSubclass(wnd_, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
    if (!font) font = owner.Font();
    SendMessageW(wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    owner.RegisterControl(this);
}

Control::~Control() {
    if (wnd_ && IsWindow(wnd_)) DestroyWindow(wnd_);
    if (nameAtom_) GlobalDeleteAtom(nameAtom_);
    owner_.UnregisterControl(this);
}

Control* Control::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    return static_cast<Control*>(GetPropW(wnd, kControlProp));
}

LRESULT CALLBACK Control::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<Control*>(ref);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, SubclassProc, 1);
        RemovePropW(wnd, kControlProp);
        RemovePropW(wnd, kNameProp);
        self->wnd_ = nullptr;
        return DefSubclassProc(wnd, msg, wp, lp);
    }
    try {
        return self->HandleMessage(msg, wp, lp);
    } catch (const std::exception& e) {
        App().ShowException(e);
    } catch (...) {
        ShowUnknownException();
    }
    return 0;
}

LRESULT Control::Default(UINT msg, WPARAM wp, LPARAM lp) { return DefSubclassProc(wnd_, msg, wp, lp); }

LRESULT Control::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!hot_) {
                hot_ = true;
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, wnd_, 0};
                TrackMouseEvent(&tme);
                HotChanged();
                if (frame_) PaintFrame();
            }
            break;
        case WM_MOUSELEAVE:
            hot_ = false;
            HotChanged();
            if (frame_) PaintFrame();
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE: {
            LRESULT r = Default(msg, wp, lp);
            if (frame_) PaintFrame();
            return r;
        }
        case WM_NCPAINT:
            if (frame_) {
                LRESULT r = Default(msg, wp, lp);
                PaintFrame();
                return r;
            }
            break;
        case WM_SETCURSOR:
            if (TheScreen().ApplyCursor()) return TRUE;
            break;
        default:
            break;
    }
    return Default(msg, wp, lp);
}

void Control::PaintFrame() {
    if (!wnd_ || !frame_) return;
    HDC dc = GetWindowDC(wnd_);
    if (!dc) return;
    RECT r;
    GetWindowRect(wnd_, &r);
    OffsetRect(&r, -r.left, -r.top);
    bool hot = hot_ || GetFocus() == wnd_;
    FrameRect(dc, &r, SolidBrush(hot ? frameHot_ : frameColor_));
    ReleaseDC(wnd_, dc);
}

Bounds Control::GetBounds() const {
    RECT r{};
    if (!wnd_) return Bounds{};
    GetWindowRect(wnd_, &r);
    MapWindowPoints(nullptr, GetParent(wnd_), reinterpret_cast<POINT*>(&r), 2);
    return Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Control::SetBounds(const Bounds& b) {
    if (!wnd_) return;
    SetWindowPos(wnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    owner_.Realign(GetParent(wnd_));
}

void Control::SetLeft(int v) {
    Bounds b = GetBounds();
    b.left = v;
    SetBounds(b);
}
void Control::SetTop(int v) {
    Bounds b = GetBounds();
    b.top = v;
    SetBounds(b);
}
void Control::SetWidth(int v) {
    Bounds b = GetBounds();
    b.width = v;
    SetBounds(b);
}
void Control::SetHeight(int v) {
    Bounds b = GetBounds();
    b.height = v;
    SetBounds(b);
}

void Control::SetAlign(Align a) {
    align_ = a;
    owner_.Realign(GetParent(wnd_));
}

bool Control::Visible() const { return wnd_ && (GetWindowLongW(wnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Control::SetVisible(bool visible) {
    if (!wnd_ || Visible() == visible) return;
    if (!visible && GetFocus() && (GetFocus() == wnd_ || IsChild(wnd_, GetFocus()))) {
        // Keep the focus on a window the user can see.
        HWND root = GetAncestor(wnd_, GA_ROOT);
        ShowWindow(wnd_, SW_HIDE);
        HWND next = FirstTabStopOf(root);
        ::SetFocus(next ? next : root);
    } else {
        ShowWindow(wnd_, visible ? SW_SHOWNA : SW_HIDE);
    }
    owner_.Realign(GetParent(wnd_));
}

bool Control::Enabled() const { return wnd_ && IsWindowEnabled(wnd_); }

void Control::SetEnabled(bool enabled) {
    if (wnd_) EnableWindow(wnd_, enabled ? TRUE : FALSE);
}

void Control::SetTabStop(bool tabStop) {
    if (!wnd_) return;
    LONG style = GetWindowLongW(wnd_, GWL_STYLE);
    SetWindowLongW(wnd_, GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

void Control::SetFocus() {
    if (wnd_) ::SetFocus(wnd_);
}

bool Control::Focused() const { return wnd_ && GetFocus() == wnd_; }

void Control::Repaint() {
    if (wnd_) RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::wstring Control::Text() const { return WindowText(wnd_); }

void Control::SetText(const std::wstring& text) {
    if (wnd_) SetWindowTextW(wnd_, text.c_str());
}

HFONT Control::Font() const { return wnd_ ? reinterpret_cast<HFONT>(SendMessageW(wnd_, WM_GETFONT, 0, 0)) : nullptr; }

void Control::SetFont(HFONT font) {
    if (wnd_) SendMessageW(wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::SetColor(COLORREF color) {
    color_ = color;
    // Children that take this colour repaint too.
    if (wnd_) RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

COLORREF Control::EffectiveColor() const {
    if (color_ != CLR_INVALID) return color_;
    HWND parent = wnd_ ? GetParent(wnd_) : nullptr;
    if (Control* p = Control::FromHandle(parent)) return p->EffectiveColor();
    if (Form* f = Form::FromHandle(parent)) return f->Color();
    return ButtonFace();
}

void Control::SetTextColor(COLORREF color) {
    textColor_ = color;
    if (wnd_) InvalidateRect(wnd_, nullptr, TRUE);
}

void Control::SetFrame(COLORREF normal, COLORREF hot) {
    frame_ = true;
    frameColor_ = normal;
    frameHot_ = hot;
    if (wnd_) {
        LONG style = GetWindowLongW(wnd_, GWL_STYLE);
        LONG ex = GetWindowLongW(wnd_, GWL_EXSTYLE);
        SetWindowLongW(wnd_, GWL_STYLE, style | WS_BORDER);
        SetWindowLongW(wnd_, GWL_EXSTYLE, ex & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
        SetWindowPos(wnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void Control::Click() {
    if (OnClick) {
        Control& self = *this;
        OnClick(self);
    }
}

void Control::Command(WORD code) {
    if (code == STN_CLICKED && OnClick) OnClick(*this);  // statics and panels
}

HBRUSH Control::CtlColor(HDC dc, UINT msg) {
    COLORREF bk;
    if ((msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) && color_ == CLR_INVALID)
        bk = WindowColor();
    else
        bk = EffectiveColor();
    ::SetTextColor(dc, textColor_ == CLR_INVALID ? WindowText() : textColor_);
    SetBkColor(dc, bk);
    return SolidBrush(bk);
}

// ---------------------------------------------------------------- Label

Label::Label(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption, const Bounds& b)
    : Control(owner, parent, name, L"Static", caption, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, 0, b) {}

void Label::SetStyleBits(DWORD mask, DWORD bits) {
    LONG style = GetWindowLongW(Handle(), GWL_STYLE);
    style = (style & ~static_cast<LONG>(mask)) | static_cast<LONG>(bits);
    SetWindowLongW(Handle(), GWL_STYLE, style);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void Label::SetAlignment(HAlign a) {
    DWORD bits = a == HAlign::Center ? SS_CENTER : a == HAlign::Right ? SS_RIGHT : (wordWrap_ ? SS_LEFT : SS_LEFTNOWORDWRAP);
    SetStyleBits(SS_TYPEMASK, bits);
}

void Label::SetWordWrap(bool wrap) {
    wordWrap_ = wrap;
    LONG type = GetWindowLongW(Handle(), GWL_STYLE) & SS_TYPEMASK;
    if (type == SS_LEFT || type == SS_LEFTNOWORDWRAP) SetStyleBits(SS_TYPEMASK, wrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
    if (autoSize_) AdjustSize();
}

void Label::SetCenterVertically(bool on) { SetStyleBits(SS_CENTERIMAGE, on ? SS_CENTERIMAGE : 0); }

void Label::AdjustSize() {
    Bounds b = GetBounds();
    std::wstring text = Text();
    if (wordWrap_) {
        b.height = WrappedTextHeight(Font(), text, b.width);
    } else {
        SIZE s = TextExtent(Font(), text.empty() ? std::wstring(L" ") : text);
        b.width = s.cx;
        b.height = s.cy;
    }
    SetBounds(b);
}

void Label::SetCaption(const std::wstring& text) {
    SetText(text);
    if (autoSize_) AdjustSize();
}

// ---------------------------------------------------------------- Memo

Memo::Memo(Form& owner, HWND parent, const std::wstring& name, const Bounds& b)
    : Control(owner, parent, name, L"Edit", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_LEFT, 0, b) {}

void Memo::SetLines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += L"\r\n";
        text += lines[i];
    }
    SetText(text);
}

std::vector<std::wstring> Memo::Lines() const {
    std::vector<std::wstring> lines;
    std::wstring text = Text();
    size_t start = 0;
    for (;;) {
        size_t p = text.find(L"\r\n", start);
        if (p == std::wstring::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, p - start));
        start = p + 2;
    }
    if (text.empty()) lines.clear();
    return lines;
}

HBRUSH Memo::CtlColor(HDC dc, UINT msg) {
    COLORREF bk = EffectiveColor();
    ::SetTextColor(dc, TextColor() == CLR_INVALID ? WindowText() : TextColor());
    SetBkColor(dc, bk);
    return SolidBrush(bk);
}

// ---------------------------------------------------------------- Edit

Edit::Edit(Form& owner, HWND parent, const std::wstring& name, const std::wstring& text, const Bounds& b)
    : Control(owner, parent, name, L"Edit", text, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_LEFT, 0, b) {}

void Edit::SelectAll() { SendMessageW(Handle(), EM_SETSEL, 0, -1); }

// ---------------------------------------------------------------- Button

Button::Button(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption, const Bounds& b,
               DWORD extraStyle)
    : Control(owner, parent, name, L"Button", caption, WS_TABSTOP | BS_PUSHBUTTON | extraStyle, 0, b) {}

void Button::Command(WORD code) {
    if (code == BN_CLICKED && OnClick) {
        Control& self = *this;
        Guarded([&] { OnClick(self); });
    }
}

// ---------------------------------------------------------------- CheckBox

CheckBox::CheckBox(Form& owner, HWND parent, const std::wstring& name, const std::wstring& caption, const Bounds& b)
    : Control(owner, parent, name, L"Button", caption, WS_TABSTOP | BS_AUTOCHECKBOX, 0, b) {}

bool CheckBox::Checked() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::Command(WORD code) {
    if (code == BN_CLICKED) {
        Control& self = *this;
        if (OnClick) Guarded([&] { OnClick(self); });
        if (OnChange) Guarded([&] { OnChange(self); });
    }
}

// ---------------------------------------------------------------- ComboBox

ComboBox::ComboBox(Form& owner, HWND parent, const std::wstring& name, const Bounds& b)
    : Control(owner, parent, name, L"ComboBox", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0,
              Bounds{b.left, b.top, b.width, std::max(b.height, 200)}) {}

int ComboBox::Add(const std::wstring& item) {
    return static_cast<int>(SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}
void ComboBox::Clear() { SendMessageW(Handle(), CB_RESETCONTENT, 0, 0); }
int ComboBox::Count() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }
int ComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }
void ComboBox::SetItemIndex(int index) { SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
std::wstring ComboBox::Item(int index) const {
    LRESULT n = SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR) throw EListError(L"Индекс списка вне допустимого диапазона (" + std::to_wstring(index) + L")");
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}
void ComboBox::Command(WORD code) {
    if (code == CBN_SELCHANGE && OnChange) {
        Control& self = *this;
        Guarded([&] { OnChange(self); });
    }
}

// ---------------------------------------------------------------- ListBox

ListBox::ListBox(Form& owner, HWND parent, const std::wstring& name, const Bounds& b)
    : Control(owner, parent, name, L"ListBox", L"",
              WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | LBS_NOTIFY, 0, b) {}

int ListBox::Add(const std::wstring& item) {
    return static_cast<int>(SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void ListBox::SetItem(int index, const std::wstring& item) {
    if (index < 0 || index >= Count())
        throw EListError(L"Индекс списка вне допустимого диапазона (" + std::to_wstring(index) + L")");
    int sel = ItemIndex();
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.c_str()));
    if (sel == index) SetItemIndex(index);
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

std::wstring ListBox::Item(int index) const {
    LRESULT n = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR) throw EListError(L"Индекс списка вне допустимого диапазона (" + std::to_wstring(index) + L")");
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

void ListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }
int ListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }
void ListBox::SetItemHeight(int height) { SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0)); }
int ListBox::ItemHeight() const { return static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0)); }
int ListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }
void ListBox::SetItemIndex(int index) { SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }
void ListBox::MakeVisible(int index) {
    RECT r;
    GetClientRect(Handle(), &r);
    int h = std::max(1, ItemHeight());
    int visible = std::max(1, static_cast<int>(r.bottom / h));
    int top = static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
    if (index < top)
        SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    else if (index >= top + visible)
        SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, index - visible + 1)), 0);
}
void ListBox::Command(WORD code) {
    if (code == LBN_SELCHANGE && OnChange) {
        Control& self = *this;
        Guarded([&] { OnChange(self); });
    }
}
HBRUSH ListBox::CtlColor(HDC dc, UINT msg) { return Control::CtlColor(dc, WM_CTLCOLORLISTBOX); }

// ---------------------------------------------------------------- ProgressBar

ProgressBar::ProgressBar(Form& owner, HWND parent, const std::wstring& name, const Bounds& b, bool smooth)
    : Control(owner, parent, name, PROGRESS_CLASSW, L"", smooth ? PBS_SMOOTH : 0, 0, b) {
    SetStep(10);
}
void ProgressBar::SetRange(int min, int max) { SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), max); }
int ProgressBar::Min() const { return static_cast<int>(SendMessageW(Handle(), PBM_GETRANGE, TRUE, 0)); }
int ProgressBar::Max() const { return static_cast<int>(SendMessageW(Handle(), PBM_GETRANGE, FALSE, 0)); }
int ProgressBar::Position() const { return static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0)); }
void ProgressBar::SetPosition(int pos) { SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(pos), 0); }
void ProgressBar::SetStep(int step) {
    step_ = step;
    SendMessageW(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}
void ProgressBar::StepIt() { SendMessageW(Handle(), PBM_STEPIT, 0, 0); }

// ---------------------------------------------------------------- Panel

Panel::Panel(Form& owner, HWND parent, const std::wstring& name, const Bounds& b)
    : Control(owner, parent, name, L"Static", L"", SS_NOTIFY | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, b) {}

void Panel::SetBorder(int width, COLORREF color, bool rounded) {
    borderWidth_ = width;
    borderColor_ = color;
    rounded_ = rounded;
    InvalidateRect(Handle(), nullptr, TRUE);
    Owner().Realign(Handle());
}

void Panel::SetBorderColor(COLORREF color) {
    borderColor_ = color;
    InvalidateRect(Handle(), nullptr, TRUE);
}

RECT Panel::InnerRect() const {
    RECT r{};
    GetClientRect(Handle(), &r);
    InflateRect(&r, -(borderWidth_ + padding_), -(borderWidth_ + padding_));
    return r;
}

void Panel::Paint(HDC dc) {
    RECT r;
    GetClientRect(Handle(), &r);
    COLORREF own = EffectiveColor();
    if (borderWidth_ <= 0) {
        FillRect(dc, &r, SolidBrush(own));
        return;
    }
    // Corners outside the rounded frame show the parent's colour.
    COLORREF parentColor = own;
    if (Control* p = Control::FromHandle(GetParent(Handle())))
        parentColor = p->EffectiveColor();
    else if (Form* f = Form::FromHandle(GetParent(Handle())))
        parentColor = f->Color();
    FillRect(dc, &r, SolidBrush(rounded_ ? parentColor : own));
    Pen pen(CreatePen(PS_INSIDEFRAME, borderWidth_, borderColor_));
    SelectObjectScope sp(dc, pen.get());
    SelectObjectScope sb(dc, SolidBrush(own));
    if (rounded_)
        RoundRect(dc, r.left, r.top, r.right, r.bottom, 8, 8);
    else
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT answered = 0;
    if (HandleParentMessage(Handle(), msg, wp, lp, answered)) return answered;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintDC dc(Handle());
            Paint(dc.get());
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wp));
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_HSCROLL:
        case WM_VSCROLL:
            if (Owner().Handle()) return SendMessageW(Owner().Handle(), msg, wp, lp);
            return 0;
        case WM_SIZE: {
            LRESULT r = Control::HandleMessage(msg, wp, lp);
            Owner().Realign(Handle());
            InvalidateRect(Handle(), nullptr, TRUE);
            return r;
        }
        case WM_SETTEXT: {
            LRESULT r = Control::HandleMessage(msg, wp, lp);
            InvalidateRect(Handle(), nullptr, TRUE);
            return r;
        }
        default:
            return Control::HandleMessage(msg, wp, lp);
    }
}

// ---------------------------------------------------------------- PageControl

PageControl::PageControl(Form& owner, HWND parent, const std::wstring& name, const Bounds& b)
    : Panel(owner, parent, name, b) {}

Panel& PageControl::AddPage(const std::wstring& name) {
    RECT r = InnerRect();
    Panel& page = Owner().Add<Panel>(Handle(), name, Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top});
    page.Hide();
    page.SetAlign(Align::Client);
    pages_.push_back(&page);
    return page;
}

Panel* PageControl::Page(const std::wstring& name) const {
    for (Panel* p : pages_)
        if (p->Name() == name) return p;
    return nullptr;
}

void PageControl::ShowPage(const std::wstring& name) {
    Panel* p = Page(name);
    if (!p) throw Exception(L"Нет страницы \"" + name + L"\"");
    SetActivePage(*p);
}

void PageControl::SetActivePage(Panel& page) {
    if (active_ == &page) return;
    Panel* old = active_;
    HWND focus = GetFocus();
    bool focusOnOld = old && focus && (focus == old->Handle() || IsChild(old->Handle(), focus));
    active_ = &page;
    SetWindowPos(page.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    page.Show();
    if (focusOnOld) {
        HWND def = Owner().DefaultButton();
        HWND target = nullptr;
        if (def && IsChild(page.Handle(), def) && IsWindowEnabled(def) &&
            (GetWindowLongW(def, GWL_STYLE) & WS_VISIBLE))
            target = def;
        if (!target) target = FirstTabStopOf(page.Handle());
        ::SetFocus(target ? target : Owner().Handle());
    }
    if (old) ShowWindow(old->Handle(), SW_HIDE);
    Control& self = *this;
    if (OnChange) Guarded([&] { OnChange(self); });
    if (page.OnShow) {
        Control& shown = page;
        Guarded([&] { page.OnShow(shown); });
    }
}

}  // namespace platform
