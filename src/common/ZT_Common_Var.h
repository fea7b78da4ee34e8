// Process-wide values of the shared units, set once at start-up.
#pragma once

#include <string>

#include "common/ZT_Common_Types.h"

// Folder of the running executable, ending in "\".
extern std::wstring ProgramFolder;
// The suite's settings, read from ProgramFolder + "Settings\holter.ini".
extern TSettings CommonSettings;
// Full path of the language file, or empty when the shared texts stay Russian.
extern std::wstring LanguageFile;

// Start-up of the shared units, run by the entry point before anything else:
// sets ProgramFolder to the executable's folder, reads the settings file,
// chooses the language file (exactly "ENG" selects Settings\EngView.lng), then
// loads the localized name tables (LoadLocalizedNames). Never raises for a
// missing or unreadable file: the built-in defaults stand in.
void CommonUnitsStartup();
// The same with the folder given (ending in "\" or not), for tests.
void CommonUnitsStartup(const std::wstring& programFolder);

// The settings part of the start-up alone: ProgramFolder, CommonSettings, LanguageFile.
void CommonVarStartup(const std::wstring& programFolder);

// The folder of the running executable, ending in "\".
std::wstring ExecutableFolder();
