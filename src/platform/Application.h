// The application object: the hidden-looking top-level application window that
// carries the application title (the task bar shows it; the forms are owned by
// it and keep their own captions), the forms it owns, the main form (closing it
// ends the message loop), the message loop with keyboard navigation, the
// application-wide error handler and the modal message box.
//
// Usage (wWinMain):
//   platform::Application& app = platform::App();
//   app.Initialize(instance);
//   app.SetTitle(L"Установка комплекса \"Арвела-Холтер\"");
//   FMain = app.CreateForm<TFMain>();      // the first form made is the main form
//   FWaitRun = app.CreateForm<TFWaitRun>();
//   int code = app.Run();                  // shows the main form, loops until it closes
//   app.DestroyForms();
//
// Every window procedure of the program runs its event handlers through
// platform::Guarded(...): what an event handler throws is shown by
// Application::ShowException (a message box with the message text and the
// application title as caption) and the program goes on.
//
// Keyboard: every loop (Run, Form::ShowModal, ProcessMessages) passes messages
// through PreTranslate: Enter presses the focused push button or else the
// active form's DefaultButton(), Esc presses its CancelButton(); Tab, Shift+Tab
// and the arrow keys move the focus as in a dialog (IsDialogMessage), into
// panels and pages too (they carry WS_EX_CONTROLPARENT).
#pragma once

#include <windows.h>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class Form;

// Results of modal forms and message boxes.
constexpr int mrNone = 0;
constexpr int mrOk = IDOK;
constexpr int mrCancel = IDCANCEL;
constexpr int mrYes = IDYES;
constexpr int mrNo = IDNO;

class Application {
public:
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application& Instance();

    // Creates the application window. Safe to call again; App() calls it with
    // the executable's module when nobody did.
    void Initialize(HINSTANCE instance = nullptr);
    HINSTANCE Module() const noexcept { return instance_; }
    HWND Handle() const noexcept { return wnd_; }

    const std::wstring& Title() const noexcept { return title_; }
    void SetTitle(const std::wstring& title);
    void SetIcon(HICON big, HICON small);

    // Makes a form owned by the application (destroyed by DestroyForms). The
    // first form made this way becomes the main form.
    template <class T, class... Args>
    T* CreateForm(Args&&... args) {
        std::unique_ptr<T> f(new T(std::forward<Args>(args)...));
        T* raw = f.get();
        AdoptForm(std::unique_ptr<Form>(f.release()));
        return raw;
    }
    void AdoptForm(std::unique_ptr<Form> form);
    // Destroys the owned forms, the last made first.
    void DestroyForms();

    Form* MainForm() const noexcept { return mainForm_; }
    void SetMainForm(Form* form) noexcept { mainForm_ = form; }

    // Shows the main form (when there is one and it is hidden) and runs the
    // message loop until Terminate (closing the main form calls it). Returns the
    // exit code.
    int Run();
    // Processes every message waiting in the queue, then returns.
    void ProcessMessages();
    // Ends the message loop (posts WM_QUIT).
    void Terminate(int exitCode = 0);
    bool Terminated() const noexcept { return terminated_; }
    // Clears Terminated so that a new loop may run (for tests).
    void ResetTerminated() noexcept { terminated_ = false; }

    // Keyboard navigation for msg; true when msg was used up.
    bool PreTranslate(MSG& msg);

    // The application-wide error handler.
    void ShowException(const std::exception& e);
    // A modal message box owned by the active form (or the main form); an
    // empty caption gives the application title. Returns the pressed button.
    int ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);
    // The window a modal box or dialog should be owned by.
    HWND ActiveFormHandle() const;

    // Minimising the main form minimises the application window (all forms
    // hide with it); restoring it from the task bar shows them again.
    void Minimize();
    void Restore();

    // Forms register themselves here while they exist.
    void RegisterForm(Form* f);
    void UnregisterForm(Form* f);
    const std::vector<Form*>& Forms() const noexcept { return forms_; }
    void SetActiveForm(Form* f) noexcept { activeForm_ = f; }
    Form* ActiveForm() const noexcept { return activeForm_; }

private:
    Application() = default;
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);

    HINSTANCE instance_ = nullptr;
    HWND wnd_ = nullptr;
    std::wstring title_;
    std::vector<std::unique_ptr<Form>> owned_;
    std::vector<Form*> forms_;
    Form* mainForm_ = nullptr;
    Form* activeForm_ = nullptr;
    bool terminated_ = false;
};

// The application object, initialised on first use.
Application& App();

// Runs f; an exception leaving it is shown by the application-wide error
// handler. Returns false when f did not complete.
void ShowUnknownException() noexcept;
template <class F>
bool Guarded(F&& f) noexcept {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        try {
            App().ShowException(e);
        } catch (...) {
        }
    } catch (...) {
        ShowUnknownException();
    }
    return false;
}

}  // namespace platform
