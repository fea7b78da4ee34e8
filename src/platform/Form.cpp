#include "platform/Form.h"

#include "platform/Controls.h"
#include "platform/Exceptions.h"
#include "platform/Screen.h"

#include <algorithm>
#include <set>

namespace platform {

namespace {
constexpr wchar_t kFormProp[] = L"Holter.Form";

// The first visible, enabled tab stop among the descendants of parent, in tab
// order (entering containers marked WS_EX_CONTROLPARENT).
HWND FirstTabStop(HWND parent) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        LONG style = GetWindowLongW(c, GWL_STYLE);
        if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
        if (style & WS_TABSTOP) return c;
        if (GetWindowLongW(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
            if (HWND inner = FirstTabStop(c)) return inner;
        }
    }
    return nullptr;
}

bool Usable(HWND w) { return w && IsWindow(w) && IsWindowVisible(w) && IsWindowEnabled(w); }

struct DisabledWindows {
    HWND except;
    std::vector<HWND> list;
};
BOOL CALLBACK DisableOne(HWND w, LPARAM data) {
    auto* d = reinterpret_cast<DisabledWindows*>(data);
    if (w != d->except && IsWindowVisible(w) && IsWindowEnabled(w)) {
        EnableWindow(w, FALSE);
        d->list.push_back(w);
    }
    return TRUE;
}
}  // namespace

HWND FirstTabStopOf(HWND parent) { return FirstTabStop(parent); }

// ---------------------------------------------------------------- Timer

Timer::Timer(Form& owner, std::wstring name, UINT interval, UINT_PTR id)
    : owner_(owner), name_(std::move(name)), interval_(interval), id_(id) {}

Timer::~Timer() {
    if (running_ && owner_.Handle()) KillTimer(owner_.Handle(), id_);
}

void Timer::Restart() {
    HWND w = owner_.Handle();
    if (running_ && w) KillTimer(w, id_);
    running_ = false;
    if (enabled_ && interval_ > 0 && w) running_ = SetTimer(w, id_, interval_, nullptr) != 0;
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Restart();
}

void Timer::SetInterval(UINT interval) {
    if (interval == interval_) return;
    interval_ = interval;
    Restart();
}

void Timer::Fire() {
    if (!enabled_ || !OnTimer) return;
    Guarded([this] { OnTimer(*this); });
}

// ---------------------------------------------------------------- Form

Form::Form() { App().RegisterForm(this); }

Form::~Form() {
    DestroyHandle();
    timers_.clear();
    ownedControls_.clear();
    App().UnregisterForm(this);
}

Form* Form::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    return static_cast<Form*>(GetPropW(wnd, kFormProp));
}

Form* Form::OfWindow(HWND wnd) {
    if (!wnd) return nullptr;
    return FromHandle(GetAncestor(wnd, GA_ROOT));
}

void Form::RegisterClassFor(const std::wstring& className, HICON icon, HICON smallIcon) {
    static std::set<std::wstring> registered;
    if (registered.count(className)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = App().Module();
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw EOSError(L"Не удалось зарегистрировать класс окна " + className, GetLastError());
    registered.insert(className);
}

void Form::Create(const FormDesign& d) {
    className_ = d.className;
    color_ = d.color == CLR_INVALID ? ButtonFace() : d.color;
    font_ = d.font ? d.font : FontByPixels(L"Tahoma", 13);
    borderWidth_ = d.borderWidth;
    position_ = d.position;
    RegisterClassFor(d.className, d.icon, d.smallIcon);

    DWORD ex = d.exStyle | (d.stayOnTop ? WS_EX_TOPMOST : 0);
    DWORD style = d.style & ~WS_VISIBLE;
    RECT r{0, 0, d.clientWidth, d.clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, ex);
    wnd_ = CreateWindowExW(ex, d.className.c_str(), d.caption.c_str(), style, d.left, d.top, r.right - r.left,
                           r.bottom - r.top, App().Handle(), nullptr, App().Module(), this);
    if (!wnd_) throw EOSError(L"Не удалось создать окно " + d.className, GetLastError());
    if (d.icon) SendMessageW(wnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(d.icon));
    if (d.smallIcon) SendMessageW(wnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(d.smallIcon));
    if (position_ == FormPosition::ScreenCenter) CenterOnScreen();
    for (auto& t : timers_) t->Restart();
}

void Form::DoCreate() {
    Guarded([this] { OnCreate(); });
}

void Form::DestroyHandle() {
    if (wnd_ && IsWindow(wnd_)) DestroyWindow(wnd_);
    wnd_ = nullptr;
}

LRESULT CALLBACK Form::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* self = FromHandle(wnd);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetPropW(wnd, kFormProp, self);
        self->wnd_ = wnd;
    }
    if (!self) return DefWindowProcW(wnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        RemovePropW(wnd, kFormProp);
        self->wnd_ = nullptr;
        for (auto& t : self->timers_) t->running_ = false;
        return DefWindowProcW(wnd, msg, wp, lp);
    }
    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, wp, lp);
    } catch (const std::exception& e) {
        App().ShowException(e);
    } catch (...) {
        ShowUnknownException();
    }
    return result;
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT answered = 0;
    if (HandleParentMessage(wnd_, msg, wp, lp, answered)) return answered;
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(wnd_, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, SolidBrush(color_));
            return 1;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_COMMAND: {
            HWND from = reinterpret_cast<HWND>(lp);
            if (Control* c = Control::FromHandle(from)) {
                if (&c->Owner() == this) {
                    WORD code = HIWORD(wp);
                    Guarded([&] { OnCommand(*c, code); });
                }
            }
            return 0;
        }
        case WM_TIMER:
            for (auto& t : timers_) {
                if (t->Id() == wp) {
                    t->Fire();
                    return 0;
                }
            }
            break;
        case WM_SHOWWINDOW:
            if (lp == 0) {
                if (wp)
                    Guarded([this] { OnShow(); });
                else
                    Guarded([this] { OnHide(); });
            }
            break;
        case WM_CLOSE:
            DoClose();
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(wnd_, focus)) lastFocus_ = focus;
            } else {
                App().SetActiveForm(this);
                if (!HIWORD(wp)) {
                    RestoreFocus();
                    return 0;
                }
            }
            break;
        case WM_SIZE:
            if (wp != SIZE_MINIMIZED) {
                Realign(wnd_);
                Guarded([this] { OnResize(); });
            }
            break;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_MINIMIZE && App().MainForm() == this && GetWindow(wnd_, GW_OWNER) == App().Handle()) {
                App().Minimize();
                return 0;
            }
            break;
        case WM_DESTROY:
            Guarded([this] { OnDestroy(); });
            break;
        default:
            break;
    }
    return DefWindowProcW(wnd_, msg, wp, lp);
}

void Form::RestoreFocus() {
    if (Usable(lastFocus_) && IsChild(wnd_, lastFocus_)) {
        ::SetFocus(lastFocus_);
        return;
    }
    HWND def = DefaultButton();
    if (Usable(def) && IsChild(wnd_, def)) {
        ::SetFocus(def);
        return;
    }
    if (HWND first = FirstTabStop(wnd_)) {
        ::SetFocus(first);
        return;
    }
    ::SetFocus(wnd_);
}

void Form::OnCommand(Control& sender, WORD code) { sender.Command(code); }

HWND Form::DefaultButton() const { return default_ ? default_->Handle() : nullptr; }
HWND Form::CancelButton() const { return cancel_ ? cancel_->Handle() : nullptr; }

bool Form::DialogKey(UINT vk) {
    HWND focus = GetFocus();
    HWND target = nullptr;
    if (focus && IsChild(wnd_, focus)) {
        wchar_t cls[32] = {};
        GetClassNameW(focus, cls, 32);
        if (lstrcmpiW(cls, L"ComboBox") == 0 && SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0)) return false;
        if (vk == VK_RETURN) {
            LONG style = GetWindowLongW(focus, GWL_STYLE);
            if (lstrcmpiW(cls, L"Button") == 0) {
                LONG type = style & BS_TYPEMASK;
                if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW) target = focus;
            } else if (lstrcmpiW(cls, L"Edit") == 0 && (style & ES_WANTRETURN) && !(style & ES_READONLY)) {
                return false;
            }
        }
    }
    if (!target) target = vk == VK_RETURN ? DefaultButton() : (vk == VK_ESCAPE ? CancelButton() : nullptr);
    if (!Usable(target) || !IsChild(wnd_, target)) return false;
    Control* c = Control::FromHandle(target);
    if (!c) return false;
    SendMessageW(wnd_, WM_COMMAND, MAKEWPARAM(c->Id(), BN_CLICKED), reinterpret_cast<LPARAM>(target));
    return true;
}

void Form::DoClose() {
    bool can = true;
    if (!Guarded([&] { can = OnCloseQuery(); })) can = false;
    if (!can) return;
    CloseAction action = CloseAction::Hide;
    Guarded([&] { OnClose(action); });
    if (action == CloseAction::None) return;
    if (modal_) {
        closing_ = true;
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        return;
    }
    if (App().MainForm() == this) {
        Hide();
        App().Terminate();
        return;
    }
    if (action == CloseAction::Minimize)
        ShowWindow(wnd_, SW_MINIMIZE);
    else
        Hide();
}

void Form::Close() {
    if (wnd_) SendMessageW(wnd_, WM_CLOSE, 0, 0);
}

void Form::Show() {
    if (!wnd_) return;
    ShowWindow(wnd_, SW_SHOWNORMAL);
}

void Form::Hide() {
    if (wnd_) ShowWindow(wnd_, SW_HIDE);
}

bool Form::Visible() const { return wnd_ && IsWindowVisible(wnd_); }

void Form::SetVisible(bool visible) {
    if (visible)
        Show();
    else
        Hide();
}

int Form::ShowModal() {
    if (!wnd_) throw Exception(L"Окно не создано");
    if (modal_ || Visible()) throw Exception(L"Невозможно сделать видимое окно модальным");
    HWND previous = GetActiveWindow();
    if (GetCapture()) ReleaseCapture();
    DisabledWindows disabled{wnd_, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    modal_ = true;
    closing_ = false;
    modalResult_ = mrNone;
    Show();
    SetForegroundWindow(wnd_);
    SetActiveWindow(wnd_);
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    for (;;) {
        if (modalResult_ != mrNone) {
            if (closing_) break;
            // A button set the result: the form may still refuse to close.
            bool can = true;
            if (!Guarded([&] { can = OnCloseQuery(); })) can = false;
            CloseAction action = CloseAction::Hide;
            if (can) Guarded([&] { OnClose(action); });
            if (can && action != CloseAction::None) break;
            modalResult_ = mrNone;
        }
        if (!wnd_ || !IsWindowVisible(wnd_)) break;
        BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if (r == -1) break;
        if (!App().PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (modalResult_ == mrNone) modalResult_ = mrCancel;
    int result = modalResult_;
    for (HWND w : disabled.list)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    if (previous && IsWindow(previous) && IsWindowVisible(previous) && previous != wnd_) SetActiveWindow(previous);
    if (wnd_) ShowWindow(wnd_, SW_HIDE);
    modal_ = false;
    closing_ = false;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

std::wstring Form::Caption() const {
    if (!wnd_) return {};
    int n = GetWindowTextLengthW(wnd_);
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(wnd_, &s[0], n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

void Form::SetCaption(const std::wstring& caption) {
    if (wnd_) SetWindowTextW(wnd_, caption.c_str());
}

namespace {
RECT WindowBounds(HWND w) {
    RECT r{};
    if (w) GetWindowRect(w, &r);
    return r;
}
}  // namespace

int Form::Left() const { return WindowBounds(wnd_).left; }
int Form::Top() const { return WindowBounds(wnd_).top; }
int Form::Width() const {
    RECT r = WindowBounds(wnd_);
    return r.right - r.left;
}
int Form::Height() const {
    RECT r = WindowBounds(wnd_);
    return r.bottom - r.top;
}
void Form::SetBounds(int left, int top, int width, int height) {
    if (wnd_) SetWindowPos(wnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
void Form::SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
void Form::SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
void Form::SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
void Form::SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }

int Form::ClientWidth() const {
    RECT r{};
    if (wnd_) GetClientRect(wnd_, &r);
    return r.right;
}
int Form::ClientHeight() const {
    RECT r{};
    if (wnd_) GetClientRect(wnd_, &r);
    return r.bottom;
}
void Form::SetClientSize(int width, int height) {
    if (!wnd_) return;
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(wnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(wnd_, GWL_EXSTYLE)));
    SetWindowPos(wnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CenterOnScreen() {
    Screen& s = TheScreen();
    SetBounds((s.Width() - Width()) / 2, (s.Height() - Height()) / 2, Width(), Height());
}

void Form::SetStayOnTop(bool on) {
    if (wnd_)
        SetWindowPos(wnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::BringToFront() {
    if (wnd_) SetWindowPos(wnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form::Repaint() {
    if (!wnd_) return;
    RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Form::SetColor(COLORREF color) {
    color_ = color;
    if (wnd_) RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

Timer& Form::AddTimer(const std::wstring& name, UINT interval, bool enabled) {
    timers_.push_back(std::unique_ptr<Timer>(new Timer(*this, name, interval, nextTimerId_++)));
    Timer& t = *timers_.back();
    t.SetEnabled(enabled);
    return t;
}

Control* Form::Find(const std::wstring& name) const {
    auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

Timer* Form::FindTimer(const std::wstring& name) const {
    for (auto& t : timers_)
        if (t->Name() == name) return t.get();
    return nullptr;
}

void Form::RegisterControl(Control* c) {
    controls_.push_back(c);
    byName_[c->Name()] = c;
}

void Form::UnregisterControl(Control* c) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    auto it = byName_.find(c->Name());
    if (it != byName_.end() && it->second == c) byName_.erase(it);
    if (default_ == c) default_ = nullptr;
    if (cancel_ == c) cancel_ = nullptr;
}

void Form::Realign(HWND parent) {
    if (!parent || !IsWindow(parent)) return;
    static std::set<HWND> busy;
    if (busy.count(parent)) return;
    RECT area{};
    if (parent == wnd_) {
        GetClientRect(wnd_, &area);
        InflateRect(&area, -borderWidth_, -borderWidth_);
    } else if (auto* p = dynamic_cast<Panel*>(Control::FromHandle(parent))) {
        area = p->InnerRect();
    } else {
        GetClientRect(parent, &area);
    }
    struct Item {
        Control* c;
        Bounds b;
        size_t order;
    };
    std::vector<Item> items;
    for (size_t i = 0; i < controls_.size(); ++i) {
        Control* c = controls_[i];
        if (c->GetAlign() == Align::None || !c->Handle() || GetParent(c->Handle()) != parent) continue;
        if (!(GetWindowLongW(c->Handle(), GWL_STYLE) & WS_VISIBLE)) continue;
        items.push_back(Item{c, c->GetBounds(), i});
    }
    if (items.empty()) return;
    busy.insert(parent);
    auto place = [](Control* c, int l, int t, int w, int h) {
        Bounds b = c->GetBounds();
        if (w < 0) w = 0;
        if (h < 0) h = 0;
        if (b.left != l || b.top != t || b.width != w || b.height != h)
            SetWindowPos(c->Handle(), nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto pick = [&](Align a, auto less) {
        std::vector<Item> v;
        for (auto& it : items)
            if (it.c->GetAlign() == a) v.push_back(it);
        std::stable_sort(v.begin(), v.end(), less);
        return v;
    };
    for (auto& it : pick(Align::Top, [](const Item& x, const Item& y) { return x.b.top < y.b.top; })) {
        place(it.c, area.left, area.top, area.right - area.left, it.b.height);
        area.top += it.b.height;
    }
    for (auto& it : pick(Align::Bottom, [](const Item& x, const Item& y) {
             return x.b.top + x.b.height > y.b.top + y.b.height;
         })) {
        place(it.c, area.left, area.bottom - it.b.height, area.right - area.left, it.b.height);
        area.bottom -= it.b.height;
    }
    for (auto& it : pick(Align::Left, [](const Item& x, const Item& y) { return x.b.left < y.b.left; })) {
        place(it.c, area.left, area.top, it.b.width, area.bottom - area.top);
        area.left += it.b.width;
    }
    for (auto& it : pick(Align::Right, [](const Item& x, const Item& y) {
             return x.b.left + x.b.width > y.b.left + y.b.width;
         })) {
        place(it.c, area.right - it.b.width, area.top, it.b.width, area.bottom - area.top);
        area.right -= it.b.width;
    }
    for (auto& it : pick(Align::Client, [](const Item&, const Item&) { return false; }))
        place(it.c, area.left, area.top, area.right - area.left, area.bottom - area.top);
    busy.erase(parent);
}

void Form::RealignAll() {
    Realign(wnd_);
    for (Control* c : std::vector<Control*>(controls_))
        if (dynamic_cast<Panel*>(c)) Realign(c->Handle());
}

// ---------------------------------------------------------------- parents

bool HandleParentMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            if (Control* c = Control::FromHandle(reinterpret_cast<HWND>(lp))) {
                result = reinterpret_cast<LRESULT>(c->CtlColor(reinterpret_cast<HDC>(wp), msg));
                return true;
            }
            return false;
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (dis && dis->CtlType != ODT_MENU) {
                if (Control* c = Control::FromHandle(dis->hwndItem)) {
                    bool done = false;
                    Guarded([&] { done = c->DrawItem(*dis); });
                    if (done) {
                        result = TRUE;
                        return true;
                    }
                }
            }
            return false;
        }
        case WM_SETCURSOR:
            if (TheScreen().ApplyCursor()) {
                result = TRUE;
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace platform
