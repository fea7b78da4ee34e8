#include "platform/Screen.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <string>

namespace platform {

Screen& TheScreen() {
    static Screen screen;
    return screen;
}

HCURSOR Screen::CursorHandle(TCursor cursor) {
    LPCWSTR id = nullptr;
    switch (cursor) {
        case crArrow: id = IDC_ARROW; break;
        case crCross: id = IDC_CROSS; break;
        case crIBeam: id = IDC_IBEAM; break;
        case crSizeNESW: id = IDC_SIZENESW; break;
        case crSizeNS: id = IDC_SIZENS; break;
        case crSizeNWSE: id = IDC_SIZENWSE; break;
        case crSizeWE: id = IDC_SIZEWE; break;
        case crUpArrow: id = IDC_UPARROW; break;
        case crHourGlass: id = IDC_WAIT; break;
        case crNo: id = IDC_NO; break;
        case crAppStart: id = IDC_APPSTARTING; break;
        case crHelp: id = IDC_HELP; break;
        case crHandPoint: id = IDC_HAND; break;
        case crSizeAll: id = IDC_SIZEALL; break;
        default: return nullptr;
    }
    return LoadCursorW(nullptr, id);
}

void Screen::SetCursor(TCursor cursor) {
    if (cursor != crDefault && cursor != crNone && !CursorHandle(cursor))
        throw Exception(L"Неизвестный курсор " + std::to_wstring(cursor));
    cursor_ = cursor;
    if (cursor != crDefault) {
        ::SetCursor(CursorHandle(cursor));
    } else {
        // Let the window under the pointer choose its own cursor again.
        POINT p;
        if (GetCursorPos(&p)) {
            HWND w = WindowFromPoint(p);
            DWORD pid = 0;
            if (w && GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId()) {
                LRESULT hit = SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
                SendMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(hit, WM_MOUSEMOVE));
            } else {
                ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            }
        }
    }
}

bool Screen::ApplyCursor() const {
    if (cursor_ == crDefault) return false;
    ::SetCursor(CursorHandle(cursor_));
    return true;
}

namespace {
BOOL CALLBACK CollectMonitor(HMONITOR m, HDC, LPRECT, LPARAM data) {
    auto* list = reinterpret_cast<std::vector<Monitor>*>(data);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    Monitor mon;
    mon.Handle = m;
    if (GetMonitorInfoW(m, &mi)) {
        mon.BoundsRect = mi.rcMonitor;
        mon.WorkareaRect = mi.rcWork;
        mon.Primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
    }
    mon.Left = mon.BoundsRect.left;
    mon.Top = mon.BoundsRect.top;
    mon.Width = mon.BoundsRect.right - mon.BoundsRect.left;
    mon.Height = mon.BoundsRect.bottom - mon.BoundsRect.top;
    list->push_back(mon);
    return TRUE;
}
}  // namespace

std::vector<Monitor> Screen::AllMonitors() const {
    std::vector<Monitor> list;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&list));
    std::stable_partition(list.begin(), list.end(), [](const Monitor& m) { return m.Primary; });
    for (size_t i = 0; i < list.size(); ++i) list[i].MonitorNum = static_cast<int>(i);
    return list;
}

int Screen::MonitorCount() const { return static_cast<int>(AllMonitors().size()); }

Monitor Screen::Monitors(int index) const {
    std::vector<Monitor> list = AllMonitors();
    if (index < 0 || index >= static_cast<int>(list.size()))
        throw EListError(L"Индекс списка вне допустимого диапазона (" + std::to_wstring(index) + L")");
    return list[static_cast<size_t>(index)];
}

int Screen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int Screen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

int Screen::WorkAreaWidth() const {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r.right - r.left;
}
int Screen::WorkAreaHeight() const {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r.bottom - r.top;
}

int Screen::PixelsPerInch() const {
    HDC dc = GetDC(nullptr);
    int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return ppi;
}

}  // namespace platform
