// The screen object: the primary screen's size and work area, the logical
// pixels per inch, the monitors and the program-wide screen cursor.
//
// Usage:
//   platform::Screen& s = platform::TheScreen();
//   int w = s.Width(), h = s.Height();          // primary screen, live values
//   platform::Monitor m = s.Monitors(0);        // primary monitor first
//   s.SetCursor(platform::crHourGlass);         // every window of the program
//   ...                                         // shows the hourglass
//   s.SetCursor(platform::crDefault);           // windows show their own cursors
//
// The screen cursor is applied through WM_SETCURSOR by the program's windows
// (Form and the controls' parents call Screen::ApplyCursor) and at once when it
// is set, so it also shows while the thread is busy and pumps no messages.
#pragma once

#include <windows.h>
#include <vector>

namespace platform {

// Cursor identifiers, as the suite's programs number them.
using TCursor = short;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// One monitor as the system reports it at the moment of the call.
struct Monitor {
    HMONITOR Handle = nullptr;
    int MonitorNum = 0;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    RECT BoundsRect{};
    RECT WorkareaRect{};
    bool Primary = false;
};

class Screen {
public:
    // The cursor last set through SetCursor (crDefault at start).
    TCursor Cursor() const noexcept { return cursor_; }
    // Sets the screen cursor and shows it at once;
    // an identifier without a system cursor raises platform::Exception.
    void SetCursor(TCursor cursor);
    // The cursor handle for an identifier (nullptr for crDefault and crNone).
    static HCURSOR CursorHandle(TCursor cursor);
    // For WM_SETCURSOR of the program's windows: when the screen cursor is not
    // crDefault, sets it and returns true (the message is then answered TRUE).
    bool ApplyCursor() const;

    // Monitors in the system's enumeration order with the primary one moved first.
    int MonitorCount() const;
    // Monitor number index; raises EListError for an index outside the list.
    Monitor Monitors(int index) const;
    std::vector<Monitor> AllMonitors() const;

    int Width() const;           // primary screen, pixels
    int Height() const;
    int WorkAreaWidth() const;   // primary work area (without the task bar)
    int WorkAreaHeight() const;
    int PixelsPerInch() const;   // logical pixels per inch (vertical)

private:
    TCursor cursor_ = crDefault;
};

Screen& TheScreen();

}  // namespace platform
