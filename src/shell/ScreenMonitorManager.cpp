#include "shell/ScreenMonitorManager.h"

#include <exception>

TmyScreen* myScreen = nullptr;

TmyScreen::TmyScreen()
    : FScreen(&platform::TheScreen()),
      FCursor(FScreen->Cursor()),
      MonitorCount(FScreen->MonitorCount()),
      WorkAreaWidth(FScreen->WorkAreaWidth()),
      WorkAreaHeight(FScreen->WorkAreaHeight()),
      Monitornumber(0),
      Width(FScreen->Width()),
      PixelsPerInch(0),
      Height(FScreen->Height()) {
    PixelsPerInch = FScreen->PixelsPerInch();
}

platform::Monitor TmyScreen::GetMonitor(int Index) { return FScreen->Monitors(Index); }

void TmyScreen::SetCursor(short Value) {
    FCursor = Value;
    try {
        FScreen->SetCursor(Value);
    } catch (...) {
        Sleep(0);
    }
}
