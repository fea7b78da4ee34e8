#include "install/InstallSequence.h"

#include <windows.h>

#include <cstring>

#include "common/ZT_Common_Proc.h"
#include "desktop/CreateNSI.h"
#include "desktop/FontInstall.h"
#include "desktop/Shortcut.h"
#include "install/Deployment.h"
#include "install/DriverStep.h"
#include "install/PendingLine.h"
#include "install/ReleaseInstall.h"
#include "platform/Handles.h"
#include "platform/IniDocument.h"

namespace {

std::function<bool()>& SmallFontsSeam() {
    static std::function<bool()> seam;
    return seam;
}

bool SmallFonts() { return SmallFontsSeam() ? SmallFontsSeam()() : IsSmallFontsMode(); }

bool FolderExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Blanks and control characters removed at both ends.
std::wstring Trim(const std::wstring& s) {
    size_t first = 0, last = s.size();
    while (first < last && s[first] <= L' ') ++first;
    while (last > first && s[last - 1] <= L' ') --last;
    return s.substr(first, last - first);
}

// The guarded block: the window refuses to close and shows the hourglass from
// construction until the block is left, however it is left.
class GuardedBlock {
public:
    explicit GuardedBlock(IInstallHost& host) : host_(host) {
        host_.SetCanClose(false);
        host_.SetHourglass(true);
    }
    ~GuardedBlock() {
        try {
            host_.SetCanClose(true);
            host_.SetHourglass(false);
        } catch (...) {
            // Nothing more can be done on the way out.
        }
    }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;

private:
    IInstallHost& host_;
};

// Sets keys in an initialization file, keeping everything else in it.
void UpdateHolterIni(const std::wstring& path) {
    platform::IniDocument ini = platform::IniDocument::Load(path);
    ini.WriteInteger(L"options", L"FilterType", 0);
    ini.WriteInteger(L"options", L"HardwareType", 1);
    ini.Save(path);
}

void UpdateBtoothIni(const std::wstring& path) {
    platform::IniDocument ini = platform::IniDocument::Load(path);
    ini.WriteString(L"Common", L"Disk", L"I");
    ini.Save(path);
}

// Writes lastnum.dta when the Settings folder exists and the file does not.
// Failures are ignored; a file cut short is removed, since a present file is
// never written again.
void WriteLastNum(const std::wstring& settings) {
    if (!FolderExists(settings)) return;
    const std::wstring path = settings + L"lastnum.dta";
    platform::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;  // present already, or not creatable
    SYSTEMTIME now;
    GetLocalTime(&now);
    unsigned char record[14];
    LastNumRecord(now, record);
    DWORD written = 0;
    const bool complete = WriteFile(file.get(), record, sizeof record, &written, nullptr) && written == sizeof record;
    file.reset();
    if (!complete) DeleteFileW(path.c_str());
}

}  // namespace

void SetSmallFontsSeam(std::function<bool()> seam) { SmallFontsSeam() = std::move(seam); }

void LastNumRecord(const SYSTEMTIME& now, unsigned char (&record)[14]) {
    // Days between 1 January 1601 (the FILETIME epoch) and 30 December 1899.
    constexpr double kEpochDays = 109205.0;
    constexpr double kTicksPerDay = 864000000000.0;
    FILETIME ft{};
    SystemTimeToFileTime(&now, &ft);
    const unsigned long long ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const double days = static_cast<double>(ticks) / kTicksPerDay - kEpochDays;

    std::memset(record, 0, sizeof record);  // 16-bit 0 at 0, 32-bit 0 at 2
    unsigned long long bits;
    std::memcpy(&bits, &days, sizeof bits);
    for (int i = 0; i < 8; ++i) record[6 + i] = static_cast<unsigned char>(bits >> (8 * i));
}

void RunInstallation(IInstallHost& host) {
    // 1. The progress page.
    host.ResetLog();
    host.ShowPage(InstallPage::ProgressInstall);
    host.Pump();

    // 2. The distribution folder S.
    std::wstring S = host.InstallerFolder();
    if (!S.empty() && S.back() != L'\\') S += L'\\';
    host.SetCopyFrom(S);

    // 3. The destination folder D.
    const std::wstring D = Trim(host.DestinationText());
    if (!FolderExists(D)) {
        if (!CreateDirectoryW(D.c_str(), nullptr)) {
            host.ErrorBox(L"Ошибка при создании каталога!");
            host.AddLogLine(L"Ошибка при создании каталога!");
            return;
        }
        host.AddLogLine(L"Каталог создан...");
        host.Pump();
    }

    // 4. The two keys of the suite's settings file; an error ends the sequence.
    UpdateHolterIni(D + L"Settings\\holter.ini");

    // 5.-8. The guarded block; 9. its exit actions, run by GuardedBlock however
    // the block is left.
    {
        GuardedBlock guarded(host);
        host.Pump();

        PendingLine settingsLine(host, L"Создание настроечных файлов....");
        host.Pump();
        CreateNsiFiles(D + L"Settings\\");
        settingsLine.Complete(true);

        if (!deployment::DeployDatabaseAndEngine(host, S, D, host.WindowsIndex())) return;

        WriteLastNum(D + L"Settings\\");

        if (host.SecondBrand()) UpdateBtoothIni(D + L"btooth.ini");
    }

    // 10. The fonts. Whatever goes wrong there ends the font step only.
    try {
        InstallFonts(host);
    } catch (...) {
    }

    // 11. The driver, when chosen and the interface block is connected.
    if (host.DriverChecked() && host.ConfirmBox(L"Подключите интерфейсный блок и нажмите \"Yes\"?"))
        InstallDriver(host, S, D);

    // 12. The releases and the updater, the newest release's Install.cmd and
    // its level; an error ends the sequence.
    InstallRelease(S, D);

    // 13. The suite's shortcut on the desktop, then "Выход".
    const HMODULE self = GetModuleHandleW(nullptr);
    const std::wstring suite = ReadResourceString(self, 1);        // "Арвела - Холтер"
    const std::wstring description = ReadResourceString(self, 2);  // the suite's description
    const std::wstring program = ReadResourceString(self, 4);      // "Shell.exe"
    std::wstring linkPath;
    CreateShortcut(D + program, skDesktop, L"", L"", L"", description + L" \"" + suite + L"\"", suite, linkPath);
    host.EnableExit();

    // 14. Closing.
    if (SmallFonts()) {
        host.ShowPage(InstallPage::ChangeFontSize);
        return;
    }
    if (host.ConfirmBox(L"Установка завершена. Выйти из программы установки?")) host.CloseWindow();
}
