// The installation sequence started by "Начать установку" (BtnInsatallClick).
#pragma once

#include <windows.h>

#include <functional>

#include "install/InstallHost.h"

// Runs the whole installation inside the click. Errors that end the sequence
// leave it as exceptions, for the window's error handler to show.
void RunInstallation(IInstallHost& host);

// Tests answer the closing step's small-fonts question in place of the display
// (IsSmallFontsMode); an empty function restores the real question.
void SetSmallFontsSeam(std::function<bool()> seam);

// The one record of D + "Settings\lastnum.dta" for the local time now: 14
// bytes, little-endian, a 16-bit 0, a 32-bit 0, and the date and time as an
// IEEE double counting days since 30 December 1899 with the time of day as
// the fraction.
void LastNumRecord(const SYSTEMTIME& now, unsigned char (&record)[14]);
