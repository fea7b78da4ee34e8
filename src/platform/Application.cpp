#include "platform/Application.h"

#include "platform/Exceptions.h"
#include "platform/Form.h"
#include "platform/Screen.h"

#include <commctrl.h>

#include <algorithm>

namespace platform {

namespace {
constexpr UINT kActivateForm = WM_APP + 1;
constexpr wchar_t kAppClass[] = L"TApplication";

bool Usable(Form* f) {
    return f && f->Handle() && IsWindowVisible(f->Handle()) && IsWindowEnabled(f->Handle());
}
}  // namespace

Application& Application::Instance() {
    static Application* app = new Application;  // lives until the process ends
    return *app;
}

Application& App() {
    Application& a = Application::Instance();
    if (!a.Handle()) a.Initialize();
    return a;
}

void ShowUnknownException() noexcept {
    try {
        App().ShowException(Exception(L"Неизвестная ошибка"));
    } catch (...) {
    }
}

void Application::Initialize(HINSTANCE instance) {
    if (wnd_) return;
    instance_ = instance ? instance : GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kAppClass;
    wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
    RegisterClassExW(&wc);
    // A zero-sized captioned window: invisible on the screen, it carries the
    // title and the button on the task bar; the forms are owned by it.
    wnd_ = CreateWindowExW(0, kAppClass, title_.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                           nullptr, instance_, nullptr);
}

void Application::SetTitle(const std::wstring& title) {
    title_ = title;
    if (wnd_) SetWindowTextW(wnd_, title_.c_str());
}

void Application::SetIcon(HICON big, HICON small) {
    if (!wnd_) return;
    if (big) SendMessageW(wnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small) SendMessageW(wnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void Application::AdoptForm(std::unique_ptr<Form> form) {
    if (!mainForm_) mainForm_ = form.get();
    owned_.push_back(std::move(form));
}

void Application::DestroyForms() {
    while (!owned_.empty()) {
        std::unique_ptr<Form> f = std::move(owned_.back());
        owned_.pop_back();
        if (mainForm_ == f.get()) mainForm_ = nullptr;
        f.reset();
    }
}

void Application::RegisterForm(Form* f) { forms_.push_back(f); }

void Application::UnregisterForm(Form* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    if (activeForm_ == f) activeForm_ = nullptr;
    if (mainForm_ == f) mainForm_ = nullptr;
}

int Application::Run() {
    terminated_ = false;
    if (mainForm_ && mainForm_->Handle()) {
        ShowWindow(wnd_, SW_SHOWNOACTIVATE);
        if (!mainForm_->Visible()) mainForm_->Show();
    }
    MSG msg{};
    BOOL r;
    while ((r = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (r == -1) break;
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    terminated_ = true;
    if (wnd_) ShowWindow(wnd_, SW_HIDE);
    return static_cast<int>(msg.wParam);
}

void Application::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void Application::Terminate(int exitCode) {
    terminated_ = true;
    PostQuitMessage(exitCode);
}

bool Application::PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    Form* f = Form::FromHandle(root);
    if (!f) return false;
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        if (f->DialogKey(static_cast<UINT>(msg.wParam))) return true;
    }
    return IsDialogMessageW(root, &msg) != FALSE;
}

void Application::ShowException(const std::exception& e) {
    ShowMessageBox(ExceptionMessage(e), title_, MB_OK | MB_ICONSTOP);
}

HWND Application::ActiveFormHandle() const {
    HWND active = GetActiveWindow();
    if (Form* f = Form::FromHandle(active)) {
        if (Usable(f)) return f->Handle();
    }
    if (Usable(activeForm_)) return activeForm_->Handle();
    if (Usable(mainForm_)) return mainForm_->Handle();
    return nullptr;
}

int Application::ShowMessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
    HWND owner = ActiveFormHandle();
    if (!owner) flags |= MB_TASKMODAL;
    const std::wstring& cap = caption.empty() ? title_ : caption;
    return MessageBoxW(owner, text.c_str(), cap.c_str(), flags);
}

void Application::Minimize() {
    if (!wnd_) return;
    ShowOwnedPopups(wnd_, FALSE);  // the forms hide with the application
    ShowWindow(wnd_, SW_MINIMIZE);
}

void Application::Restore() {
    if (wnd_ && IsIconic(wnd_)) ShowWindow(wnd_, SW_RESTORE);  // WM_SIZE shows the forms again
}

LRESULT CALLBACK Application::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    Application& app = Instance();
    switch (msg) {
        case WM_GETMINMAXINFO: {
            auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
            mmi->ptMinTrackSize.x = 0;
            mmi->ptMinTrackSize.y = 0;
            return 0;
        }
        case WM_ACTIVATE:
            // Clicked on the task bar, or the last form went away: hand the
            // activation on to a form.
            if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) PostMessageW(wnd, kActivateForm, 0, 0);
            return 0;
        case WM_SIZE:
            if (wp == SIZE_RESTORED) {
                ShowOwnedPopups(wnd, TRUE);
                PostMessageW(wnd, kActivateForm, 0, 0);
            } else if (wp == SIZE_MINIMIZED) {
                ShowOwnedPopups(wnd, FALSE);
            }
            break;
        case kActivateForm: {
            if (IsIconic(wnd)) return 0;
            Form* target = Usable(app.activeForm_) ? app.activeForm_ : (Usable(app.mainForm_) ? app.mainForm_ : nullptr);
            if (target && GetActiveWindow() == wnd) SetActiveWindow(target->Handle());
            return 0;
        }
        case WM_CLOSE:
            if (app.mainForm_ && app.mainForm_->Handle()) app.mainForm_->Close();
            return 0;
        case WM_SETCURSOR:
            if (TheScreen().ApplyCursor()) return TRUE;
            break;
        default:
            break;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace platform
