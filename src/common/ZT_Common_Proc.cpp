#include "common/ZT_Common_Proc.h"

#include <shellapi.h>

#include <charconv>
#include <exception>

#include "common/ZT_Common_Const.h"
#include "common/ZT_Common_Var.h"
#include "platform/Handles.h"
#include "platform/IniDocument.h"

using platform::IniDocument;

// ---------------------------------------------------------------- resources

std::wstring ReadResourceString(HMODULE module, UINT id) {
    wchar_t buffer[255];
    buffer[0] = L'\0';
    LoadStringW(module, id, buffer, 255);
    buffer[254] = L'\0';
    return buffer;
}

// ---------------------------------------------------------------- system helpers

bool IsSmallFontsMode() {
    platform::WindowDC screen(nullptr);
    int dpi = GetDeviceCaps(screen.get(), LOGPIXELSX);
    return dpi < 100;
}

namespace {
std::wstring WithoutTrailingDelimiter(std::wstring path) {
    // A drive's root keeps its "\": "C:" alone would mean the drive's current folder.
    bool root = path.size() == 3 && path[1] == L':';
    if (!root && !path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}
}  // namespace

bool CopyFolderByShell(const std::wstring& source, const std::wstring& destination) {
    // Both are lists of names ending in an extra null character.
    std::wstring from = WithoutTrailingDelimiter(source);
    from.push_back(L'\0');
    std::wstring to = WithoutTrailingDelimiter(destination);
    to.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_FILESONLY;
    return SHFileOperationW(&op) == 0;
}

std::wstring GetWindowsFolder() {
    wchar_t buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::wstring folder(buffer, n);
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

namespace {
ExitWindowsSeam& ExitSeam() {
    static ExitWindowsSeam seam;
    return seam;
}
}  // namespace

ExitWindowsSeam SetExitWindowsSeam(ExitWindowsSeam seam) {
    ExitWindowsSeam previous = std::move(ExitSeam());
    ExitSeam() = std::move(seam);
    return previous;
}

bool RebootWindows(UINT flags) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        platform::Handle token;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
            TOKEN_PRIVILEGES privileges{};
            if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
                privileges.PrivilegeCount = 1;
                privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
                AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
            }
        }
    }
    const ExitWindowsSeam& seam = ExitSeam();
    BOOL accepted = seam ? seam(flags, 0) : ExitWindowsEx(flags, 0);
    return accepted != FALSE;
}

// ---------------------------------------------------------------- number format

TFormatSettings FormatSettings;

std::wstring FloatToStr(double value) {
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, r.ec == std::errc() ? r.ptr : buffer);
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == 'e') {
            // "1e+20" -> "1E20", "1e-05" -> "1E-5"
            out += L'E';
            size_t j = i + 1;
            if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
                if (text[j] == '-') out += L'-';
                ++j;
            }
            while (j + 1 < text.size() && text[j] == '0') ++j;
            for (; j < text.size(); ++j) out += static_cast<wchar_t>(text[j]);
            break;
        }
        out += c == '.' ? FormatSettings.DecimalSeparator : static_cast<wchar_t>(c);
    }
    return out;
}

double StrToFloatDef(const std::wstring& text, double def) {
    std::wstring plain = text;
    if (FormatSettings.DecimalSeparator != L'.') {
        for (wchar_t& c : plain) {
            if (c == L'.') return def;
            if (c == FormatSettings.DecimalSeparator) c = L'.';
        }
    }
    auto v = platform::ParseIniFloat(plain);
    return v ? *v : def;
}

// ---------------------------------------------------------------- settings file

void ReadSettingsFile() {
    FormatSettings.DecimalSeparator = L'.';
    FormatSettings.ThousandSeparator = L' ';

    IniDocument ini;
    try {
        ini = IniDocument::Load(ProgramFolder + L"Settings\\" + L"holter.ini");
    } catch (const std::exception&) {
        // An unreadable file counts as a missing one: every key takes its default.
    }

    const std::wstring s = L"options";
    TSettings& t = CommonSettings;
    // A one-byte field takes a value of 0..255 only; anything else keeps the default.
    auto readByte = [&](const wchar_t* key, std::uint8_t def) -> std::uint8_t {
        long long v = ini.ReadInt64(s, key, def);
        return v >= 0 && v <= 255 ? static_cast<std::uint8_t>(v) : def;
    };

    t.DebugPrint = ini.ReadBool(s, L"DebugPrint", false);
    t.DebugMy = ini.ReadBool(s, L"DebugMy", false);
    t.PoverkaView = ini.ReadBool(s, L"PoverkaView", false);
    t.HviewDebug = ini.ReadBool(s, L"HviewDebug", false);
    t.GroupProcess = ini.ReadBool(s, L"GroupProcess", false);
    t.doformshow = ini.ReadBool(s, L"doformshow", true);
    t.EnabledScrining = ini.ReadBool(s, L"EnabledScrining", false);
    t.ECGAtRestWork = ini.ReadBool(s, L"ECGAtRestWork", false);
    t.OnlyDecode = ini.ReadBool(s, L"onlydecode", false);
    t.SaveSwap = ini.ReadBool(s, L"saveswap", false);
    t.ChannelGain = ini.ReadFloat(s, L"Channel1Gain", 1.0);
    t.ChannelGain12 = ini.ReadFloat(s, L"Channel2Gain", 1.0);
    t.HardwareType = ini.ReadInteger(s, L"HardwareType", 1);
    t.FilterType = readByte(L"FilterType", 0);
    t.forGE = ini.ReadBool(s, L"forGE", false);
    t.LanguageSetting = ini.ReadString(s, L"LanguageSetting", L"");
    t.New_Reg = readByte(L"new_reg", 0);
    // Only the eight kinds of recorder are stored; any other number gives the first.
    long long regType = ini.ReadInt64(s, L"DefaultRegType", RegType_VAKECG);
    t.DefaultRegType = regType >= RegType_VAKECG && regType <= RegType_Didorav_ECGAD ? static_cast<Tregtype>(regType)
                                                                                        : RegType_VAKECG;
    t.NurseMode = ini.ReadBool(s, L"NurseMode", true);
    t.DoctorMode = ini.ReadBool(s, L"DoctorMode", true);
    t.EMIASTESTINGMODE = ini.ReadBool(s, L"EMIASTESTINGMODE", false);
    t.EMIASEMULATINGMODE = ini.ReadBool(s, L"EMIASEMULATINGMODE", false);
    t.RegEmulating = ini.ReadBool(s, L"RegEmulating", false);
    t.AriadnaSearchTesting = ini.ReadBool(s, L"AriadnaSearchTesting", false);
    t.UserIsMS = ini.ReadBool(s, L"UserIsMS", false);
    t.PraktikaSearchTesting = ini.ReadBool(s, L"PraktikaSearchTesting", false);
    t.PraktikaTesting = ini.ReadBool(s, L"PraktikaTesting", false);

    t.forMVD = false;
    t.Person = 0;
}

// ---------------------------------------------------------------- localized names

std::wstring FailureWord = L"СБОЙ";
std::wstring MarkWord = L"МЕТКА";
std::wstring LetterN = L"н";
std::wstring LetterS = L"с";

namespace {
struct LocalizedName {
    const wchar_t* section;  // nullptr: the entry has no key and keeps its text in every language
    const wchar_t* key;
    const wchar_t* builtIn;
    std::wstring* target;
};
}  // namespace

void LoadLocalizedNames() {
    const wchar_t* M = L"ZT_Messages";
    const wchar_t* P = L"ZT_Common_Proc";
    const LocalizedName names[] = {
        {M, L"Normo", L"Нормостеник", &BodyTypeNames[0]},
        {M, L"Giper", L"Гиперстеник", &BodyTypeNames[1]},
        {M, L"Asten", L"Астеник", &BodyTypeNames[2]},
        {M, L"Gip", L"Гипертония", &DiagnosisNames[0]},
        {M, L"NIP", L"Нефрит или пиелонефрит", &DiagnosisNames[1]},
        {M, L"NMK", L"Нарушение мозгового кровообращения", &DiagnosisNames[2]},
        {M, L"IBS", L"ИБС", &DiagnosisNames[3]},
        {M, L"Ste", L"Стенокардия", &DiagnosisNames[4]},
        {M, L"PKa", L"Постинфарктный кардиосклероз", &DiagnosisNames[5]},
        {M, L"IPF", L"Инфаркт, подострая фаза", &DiagnosisNames[6]},
        {M, L"Rev", L"Ревматизм", &DiagnosisNames[7]},
        {M, L"NCD", L"НЦД", &DiagnosisNames[8]},
        {M, L"HNZ", L"Хрон. неспецифич. заболевания легких", &DiagnosisNames[9]},
        {M, L"BAs", L"Бронхиальная астма", &DiagnosisNames[10]},
        {M, L"IOF", L"Инфаркт, острая фаза", &DiagnosisNames[11]},
        {M, L"MSt", L"Митральный стеноз", &DiagnosisNames[12]},
        {M, L"API", L"Аортальный порок или митр. недостат", &DiagnosisNames[13]},
        {M, L"DMP", L"Дефект межжелудочковой перегородки", &DiagnosisNames[14]},
        {M, L"DMPP", L"Дефект межпредсердной перегородки", &DiagnosisNames[15]},
        {M, L"OAP", L"Общий артериальный проток", &DiagnosisNames[16]},
        {M, L"SAo", L"Стеноз аорты", &DiagnosisNames[17]},
        {M, L"KAo", L"Коарктация аорты", &DiagnosisNames[18]},
        {M, L"SLA", L"Стеноз лег. арт, тетр. и триада Фало", &DiagnosisNames[19]},
        {M, L"IVR", L"Искусственный водитель ритма", &DiagnosisNames[20]},
        {nullptr, nullptr, L"Сахарный диабет", &DiagnosisNames[21]},
        {M, L"SGl", L"сердечные гликозиды", &DrugNames[0]},
        {M, L"Hin", L"хинидин", &DrugNames[1]},
        {M, L"Kor", L"кордарон", &DrugNames[2]},
        {M, L"PAn", L"пр. антиритмические", &DrugNames[3]},
        {M, L"NPr", L"нитропрепараты", &DrugNames[4]},
        {M, L"ACA", L"Антогонисты Ca", &DrugNames[5]},  // "Ca" in Latin letters
        {M, L"BBl", L"Б-блокаторы", &DrugNames[6]},
        {M, L"Ant", L"антигипертензионные", &DrugNames[7]},
        {M, L"Diu", L"диуретики", &DrugNames[8]},
        {M, L"Norm", L"Норма", &ConductionNames[0]},
        {M, L"BLN", L"БЛН", &ConductionNames[1]},
        {M, L"BPN", L"БПН", &ConductionNames[2]},
        {nullptr, nullptr, L"WPW", &ConductionNames[3]},
        {M, L"nOp", L"Не определен", &ConductionNames[4]},
        {P, L"Sbo", L"СБОЙ", &FailureWord},
        {P, L"Met", L"МЕТКА", &MarkWord},
        {P, L"nnn", L"н", &LetterN},
        {P, L"sss", L"с", &LetterS},
    };

    IniDocument language;
    try {
        language = IniDocument::Load(LanguageFile);
    } catch (const std::exception&) {
        // An unreadable language file counts as a missing one: the Russian texts stay.
    }
    for (const LocalizedName& n : names)
        *n.target = n.section ? language.ReadString(n.section, n.key, n.builtIn) : n.builtIn;
}
