// Identifiers of the executable's resources, shared by the .rc script and the code.
#pragma once

#define IDI_APPICON 1

// String table entries read through ReadResourceString.
#define IDS_APPNAME      0   // name of the default destination folder
#define IDS_SUITENAME    1   // name of the suite, also the shortcut's name
#define IDS_SUITEDESCR   2   // description of the suite
#define IDS_PROGRAMCOUNT 3
#define IDS_MAINPROGRAM  4   // the suite's main program inside the destination folder
