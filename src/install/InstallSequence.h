// The installation sequence started by "Начать установку" (BtnInsatallClick).
#pragma once

#include "install/InstallHost.h"

// Runs the whole installation inside the click. Errors that end the sequence
// leave it as exceptions, for the window's error handler to show.
void RunInstallation(IInstallHost& host);
