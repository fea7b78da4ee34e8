// The base class of the program's windows. A form registers a window class
// under its own class name (so tests and screen readers find it by class),
// creates its window from a FormDesign, owns its controls and timers, and turns
// window messages into virtual event handlers, each run through Guarded so that
// an exception is shown by the application-wide error handler.
//
// Usage:
//   class TFDemo : public platform::Form {
//   public:
//       TFDemo() {
//           platform::FormDesign d;
//           d.className = L"TFDemo"; d.caption = L"Демо";
//           d.clientWidth = 300; d.clientHeight = 120;
//           d.font = platform::FontByPixels(L"Tahoma", 13, RUSSIAN_CHARSET);
//           d.position = platform::FormPosition::ScreenCenter;
//           Create(d);                               // 1. the window (hidden)
//           btnOK = &Add<platform::GlyphButton>(Handle(), L"btnOK", L"OK",
//                                               platform::Bounds{200, 80, 90, 30});
//           btnOK->OnClick = Bind(&TFDemo::btnOKClick);   // several may share one
//           SetDefaultButton(btnOK);                 // Enter presses it
//           StopTimer = &AddTimer(L"StopTimer", 20000);
//           StopTimer->OnTimer = BindTimer(&TFDemo::StopTimerTimer);
//           DoCreate();                              // 2. OnCreate (FormCreate)
//       }
//       platform::GlyphButton* btnOK;
//       platform::Timer* StopTimer;
//       void btnOKClick(platform::Control& Sender) { SetModalResult(platform::mrOk); }
//       void StopTimerTimer(platform::Timer& Sender) { Close(); }
//   protected:
//       void OnShow() override { /* FormShow */ }
//   };
//   TFDemo f; int r = f.ShowModal();
//
// Events: OnCreate (from DoCreate), OnShow (each time the window is about to
// become visible: WM_SHOWWINDOW from ShowWindow, before it is drawn), OnHide,
// OnCloseQuery (false refuses Close and the title-bar close), OnClose (may
// change the action; the default hides the window, and for the main form ends
// the application's loop), OnDestroy (from WM_DESTROY: a derived class that
// needs it calls DestroyHandle() in its own destructor), OnResize, OnCommand
// (WM_COMMAND from any control of the form, nested in panels and pages too;
// the default passes it to the control, which fires its OnClick / OnChange).
//
// Modal: ShowModal disables the program's other windows, runs its own loop and
// ends when ModalResult becomes non-zero or the window hides or closes
// (closing gives mrCancel when nothing else was set).
#pragma once

#include "platform/Application.h"
#include "platform/Graphics.h"

#include <windows.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class Control;
class Form;

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class Align { None, Top, Bottom, Left, Right, Client };
enum class CloseAction { None, Hide, Free, Minimize };
enum class FormPosition { Designed, ScreenCenter, MainFormCenter };

struct FormDesign {
    std::wstring className = L"TForm";  // window class name
    std::wstring caption;
    int left = 0, top = 0;              // with FormPosition::Designed
    int clientWidth = 300, clientHeight = 200;
    // Single fixed border with caption, system menu and minimise box.
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    HFONT font = nullptr;               // nullptr: Tahoma 13 px
    COLORREF color = CLR_INVALID;       // CLR_INVALID: the button-face colour
    FormPosition position = FormPosition::Designed;
    bool stayOnTop = false;
    int borderWidth = 0;                // inner margin kept free of aligned controls
    HICON icon = nullptr, smallIcon = nullptr;
};

// A message-queue timer of a form (SetTimer on the form's window).
class Timer {
public:
    Timer(Form& owner, std::wstring name, UINT interval, UINT_PTR id);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::wstring& Name() const noexcept { return name_; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const noexcept { return interval_; }
    // A new interval restarts a running timer; 0 stops it from ticking.
    void SetInterval(UINT interval);
    UINT_PTR Id() const noexcept { return id_; }

    std::function<void(Timer& sender)> OnTimer;
    void Fire();  // runs OnTimer (guarded); used by the form on WM_TIMER
    void Restart();

private:
    Form& owner_;
    std::wstring name_;
    UINT interval_;
    UINT_PTR id_;
    bool enabled_ = false;
    bool running_ = false;
    friend class Form;
};

class Form {
public:
    Form();
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Handle() const noexcept { return wnd_; }
    static Form* FromHandle(HWND wnd);
    // The form a child window belongs to (its top-level ancestor's form).
    static Form* OfWindow(HWND wnd);

    // Showing and closing.
    void Show();
    void Hide();
    bool Visible() const;
    void SetVisible(bool visible);
    void Close();
    int ShowModal();
    bool IsModal() const noexcept { return modal_; }
    int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int result) noexcept { modalResult_ = result; }

    // Caption, geometry (outer bounds, screen coordinates), look.
    std::wstring Caption() const;
    void SetCaption(const std::wstring& caption);
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void SetBounds(int left, int top, int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientSize(int width, int height);
    void CenterOnScreen();
    void SetStayOnTop(bool on);
    void BringToFront();
    void Repaint();
    COLORREF Color() const noexcept { return color_; }
    void SetColor(COLORREF color);
    HFONT Font() const noexcept { return font_; }
    void SetFont(HFONT font) noexcept { font_ = font; }
    int BorderWidth() const noexcept { return borderWidth_; }

    // Keyboard default and cancel buttons; override for per-page choices.
    virtual HWND DefaultButton() const;
    virtual HWND CancelButton() const;
    void SetDefaultButton(Control* c) noexcept { default_ = c; }
    void SetCancelButton(Control* c) noexcept { cancel_ = c; }
    // Enter / Esc as PreTranslate sees them; true when a button was pressed.
    virtual bool DialogKey(UINT vk);

    // Controls and timers.
    template <class T, class... Args>
    T& Add(Args&&... args) {
        std::unique_ptr<T> c(new T(*this, std::forward<Args>(args)...));
        T& ref = *c;
        ownedControls_.push_back(std::unique_ptr<Control>(c.release()));
        return ref;
    }
    Timer& AddTimer(const std::wstring& name, UINT interval, bool enabled = false);
    Control* Find(const std::wstring& name) const;
    template <class T>
    T* FindAs(const std::wstring& name) const {
        return dynamic_cast<T*>(Find(name));
    }
    Timer* FindTimer(const std::wstring& name) const;
    const std::vector<Control*>& Controls() const noexcept { return controls_; }
    // Lays out the aligned controls of parent (the form itself or a panel).
    void Realign(HWND parent);
    void RealignAll();

    // Handler binding: Bind(&TFMy::btnOKClick) for void (TFMy::*)(Control&).
    template <class T>
    std::function<void(Control&)> Bind(void (T::*handler)(Control&)) {
        T* self = static_cast<T*>(this);
        return [self, handler](Control& sender) { (self->*handler)(sender); };
    }
    template <class T>
    std::function<void(Timer&)> BindTimer(void (T::*handler)(Timer&)) {
        T* self = static_cast<T*>(this);
        return [self, handler](Timer& sender) { (self->*handler)(sender); };
    }

    // Used by controls.
    void RegisterControl(Control* c);
    void UnregisterControl(Control* c);
    UINT NextControlId() noexcept { return nextId_++; }

protected:
    void Create(const FormDesign& design);
    void DoCreate();      // runs OnCreate, guarded
    void DestroyHandle();  // destroys the window now (runs OnDestroy)

    virtual void OnCreate() {}
    virtual void OnShow() {}
    virtual void OnHide() {}
    virtual bool OnCloseQuery() { return true; }
    virtual void OnClose(CloseAction& action) {}
    virtual void OnDestroy() {}
    virtual void OnResize() {}
    virtual void OnCommand(Control& sender, WORD code);
    // Raw messages; call Form::HandleMessage for the default handling.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    void RegisterClassFor(const std::wstring& className, HICON icon, HICON smallIcon);
    void DoClose();
    void RestoreFocus();

    HWND wnd_ = nullptr;
    std::wstring className_;
    COLORREF color_ = CLR_INVALID;
    HFONT font_ = nullptr;
    int borderWidth_ = 0;
    FormPosition position_ = FormPosition::Designed;
    bool positioned_ = false;
    bool modal_ = false;
    bool closing_ = false;  // Close() ended the modal loop
    int modalResult_ = mrNone;
    Control* default_ = nullptr;
    Control* cancel_ = nullptr;
    HWND lastFocus_ = nullptr;
    UINT nextId_ = 1000;
    UINT_PTR nextTimerId_ = 1;
    std::vector<Control*> controls_;  // creation order
    std::map<std::wstring, Control*> byName_;
    std::vector<std::unique_ptr<Control>> ownedControls_;
    std::vector<std::unique_ptr<Timer>> timers_;
    friend class Timer;
};

// The answers every parent window of the program gives for its controls
// (WM_CTLCOLOR*, WM_DRAWITEM, WM_SETCURSOR): true when msg was answered.
bool HandleParentMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
// The first visible, enabled tab stop among the descendants of parent.
HWND FirstTabStopOf(HWND parent);

}  // namespace platform
