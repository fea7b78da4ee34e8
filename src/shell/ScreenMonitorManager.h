// The screen snapshot taken once at start-up: the program's message windows
// place themselves from it. All values except Monitors are captured by the
// constructor and never refreshed.
//
// Usage (start-up, before the application object is initialised):
//   myScreen = new TmyScreen();            // never freed: lives until the process ends
//   int h = myScreen->Height;              // primary screen height at start-up
//   platform::Monitor m = myScreen->Monitors(myScreen->Monitornumber);  // live
//   myScreen->SetCursor(platform::crHourGlass);   // remembered, then applied
#pragma once

#include "platform/Screen.h"

class TmyScreen {
private:
    platform::Screen* FScreen;  // the screen object the snapshot was taken from

public:
    short FCursor;        // the cursor last set through SetCursor; at creation the screen's cursor
    int MonitorCount;     // monitors at creation
    int WorkAreaWidth;    // primary work area at creation
    int WorkAreaHeight;
    int Monitornumber;    // the monitor the message windows are placed on; 0
    int Width;            // primary screen at creation
    int PixelsPerInch;
    int Height;

    TmyScreen();

    // Monitor number Index, read live from the screen object; an index outside
    // the list fails as the screen's monitor list fails (EListError).
    platform::Monitor GetMonitor(int Index);
    platform::Monitor Monitors(int Index) { return GetMonitor(Index); }

    // The remembered cursor, not the screen's live one.
    short Cursor() const { return FCursor; }
    // Remembers the cursor, then sets the screen's cursor; an error from the
    // screen is swallowed (the thread yields its time slice once).
    void SetCursor(short Value);
};

extern TmyScreen* myScreen;
