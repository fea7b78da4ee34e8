#include "common/ZT_Common_Var.h"

#include <windows.h>

#include "common/ZT_Common_Proc.h"

std::wstring ProgramFolder;
TSettings CommonSettings;
std::wstring LanguageFile;

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

void CommonVarStartup(const std::wstring& programFolder) {
    ProgramFolder = programFolder;
    if (!ProgramFolder.empty() && ProgramFolder.back() != L'\\' && ProgramFolder.back() != L'/') ProgramFolder += L'\\';
    ReadSettingsFile();
    LanguageFile.clear();
    if (CommonSettings.LanguageSetting == L"ENG") LanguageFile = ProgramFolder + L"Settings\\" + L"EngView.lng";
}

void CommonUnitsStartup(const std::wstring& programFolder) {
    CommonVarStartup(programFolder);
    LoadLocalizedNames();
}

void CommonUnitsStartup() { CommonUnitsStartup(ExecutableFolder()); }
