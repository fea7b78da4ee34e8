#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace testsupport {

std::string ToUtf8(const std::wstring& s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
    return out;
}

TempDir::TempDir() {
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH, tmp);
    static unsigned counter = 0;
    for (;;) {
        std::wstring p = std::wstring(tmp) + L"holter-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                         std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
        if (CreateDirectoryW(p.c_str(), nullptr)) {
            path_ = p + L"\\";
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create a temporary folder";
            path_ = std::wstring(tmp);
            break;
        }
    }
}

TempDir::~TempDir() {
    if (!path_.empty()) RemoveTree(path_.substr(0, path_.size() - 1));
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = path + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}

void MakeDirs(const std::wstring& path) {
    std::wstring p = path;
    while (!p.empty() && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
    if (p.empty() || DirExists(p)) return;
    size_t cut = p.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 2) MakeDirs(p.substr(0, cut));
    CreateDirectoryW(p.c_str(), nullptr);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot write " << ToUtf8(path);
    DWORD done = 0;
    if (!bytes.empty()) WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(h);
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot read " << ToUtf8(path);
        return {};
    }
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    CloseHandle(h);
    return out;
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    std::wstring src = from, dst = to;
    while (!src.empty() && src.back() == L'\\') src.pop_back();
    while (!dst.empty() && dst.back() == L'\\') dst.pop_back();
    MakeDirs(dst);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((src + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(src + L"\\" + name, dst + L"\\" + name);
        else
            CopyFileW((src + L"\\" + name).c_str(), (dst + L"\\" + name).c_str(), FALSE);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

std::wstring Env(const wchar_t* name) {
    wchar_t buf[32768];
    DWORD n = GetEnvironmentVariableW(name, buf, 32768);
    if (n == 0 || n >= 32768) return {};
    return std::wstring(buf, n);
}

std::wstring FromUnixPath(const std::wstring& unixPath) {
    if (unixPath.size() >= 2 && unixPath[1] == L':') return unixPath;  // already a Windows path
    std::wstring p = L"Z:" + unixPath;
    for (auto& c : p)
        if (c == L'/') c = L'\\';
    return p;
}

static std::wstring WithSlash(std::wstring p) {
    if (!p.empty() && p.back() != L'\\') p += L'\\';
    return p;
}

std::wstring BuildDir() { return WithSlash(FromUnixPath(Env(L"HOLTER_BUILD_DIR"))); }
std::wstring SourceDir() { return WithSlash(FromUnixPath(Env(L"HOLTER_SOURCE_DIR"))); }

}  // namespace testsupport
