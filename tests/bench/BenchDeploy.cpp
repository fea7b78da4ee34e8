// Benchmark program of scripts/bench-deploy.sh (not a test): deploys the
// database and engine files of a distribution with the installer's own code,
// or copies the same files with CopyFileW, and prints the time taken and the
// process's peak working set.
//   bench_deploy.exe deploy|copyfile S D      (S and D end in "\")
#include <windows.h>

#include <cstdio>
#include <string>

#include "install/Deployment.h"
#include "install/InstallHost.h"

namespace {

// The installation's window stand-in: keeps the log, pumps this thread's
// messages as the window would, and answers nothing.
class NoWindowHost : public IInstallHost {
public:
    int lines = 0, failed = 0, pumps = 0;
    std::wstring DestinationText() const override { return {}; }
    bool DriverChecked() const override { return false; }
    int WindowsIndex() const override { return 0; }
    bool SecondBrand() const override { return false; }
    std::wstring InstallerFolder() const override { return {}; }
    void SetCopyFrom(const std::wstring&) override {}
    void ResetLog() override {}
    int AddLogLine(const std::wstring&) override { return lines++; }
    void SetLogLine(int, const std::wstring& text) override {
        if (text.size() >= 9 && text.compare(text.size() - 9, 9, L"ОШИБКА!!!") == 0) ++failed;
    }
    void RepaintLog() override {}
    void Pump() override {
        ++pumps;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    void ErrorBox(const std::wstring&) override { ++failed; }
    bool ConfirmBox(const std::wstring&) override { return false; }
    void SetCanClose(bool) override {}
    void SetHourglass(bool) override {}
    void ShowPage(InstallPage) override {}
    void EnableExit() override {}
    void CloseWindow() override {}
};

struct MemoryCounters {  // PROCESS_MEMORY_COUNTERS
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage,
        QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage, PagefileUsage, PeakPagefileUsage;
};

// The peak working set in bytes, through psapi loaded from the system folder; 0 when unknown.
unsigned long long PeakWorkingSet() {
    wchar_t path[MAX_PATH];
    UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH - 12) return 0;
    HMODULE psapi = LoadLibraryW((std::wstring(path) + L"\\psapi.dll").c_str());
    if (!psapi) return 0;
    using Fn = BOOL(WINAPI*)(HANDLE, MemoryCounters*, DWORD);
    auto get = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(psapi, "GetProcessMemoryInfo")));
    MemoryCounters c{};
    c.cb = sizeof c;
    unsigned long long peak = get && get(GetCurrentProcess(), &c, sizeof c) ? c.PeakWorkingSetSize : 0;
    FreeLibrary(psapi);
    return peak;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_deploy deploy|copyfile S D\n");
        return 2;
    }
    const std::wstring mode = argv[1], S = argv[2], D = argv[3];
    CreateDirectoryW(D.c_str(), nullptr);
    LARGE_INTEGER start, end;
    int failures = 0;
    QueryPerformanceCounter(&start);
    if (mode == L"deploy") {
        NoWindowHost host;
        if (!deployment::DeployDatabaseAndEngine(host, S, D, 0)) ++failures;
        failures += host.failed;
    } else if (mode == L"copyfile") {
        for (const deployment::Group* g : deployment::GroupsFor(0)) {
            CreateDirectoryW((D + g->targetFolder).c_str(), nullptr);
            for (const wchar_t* name : g->files)
                if (!CopyFileW((S + g->sourceFolder + name).c_str(), (D + g->targetFolder + name).c_str(), FALSE))
                    ++failures;
        }
    } else {
        std::fprintf(stderr, "unknown mode\n");
        return 2;
    }
    QueryPerformanceCounter(&end);
    std::printf("mode=%ls seconds=%.3f peak_working_set=%llu failures=%d\n", mode.c_str(), Seconds(start, end),
                PeakWorkingSet(), failures);
    return failures ? 1 : 0;
}
