#include "desktop/FontInstall.h"

#include <windows.h>
#include <cstdint>
#include <vector>

#include "common/ZT_Common_Proc.h"
#include "install/FileCopy.h"
#include "install/InstallHost.h"
#include "platform/Exceptions.h"
#include "platform/Handles.h"

const wchar_t* const kSuiteFonts[7] = {L"ARIAL.TTF",   L"ARIALN.TTF", L"COUR.TTF",   L"MICROSS.TTF",
                                       L"TAHOMA.TTF",  L"TIMES.TTF",  L"verdana.TTF"};

const wchar_t kRestartQuestion[] =
    L"Изменения в настройки внесены, для того чтобы они\r\n"
    L"вступили в силу, требуется перзагрузить операционную систему.\r\n"
    L"Выполнить перезагрузку сейчас?";

namespace {

const wchar_t kFontsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- the font file's name table ---------------------------------------------

// Reads byte ranges of a file; out-of-range reads give false.
class FontFile {
public:
    explicit FontFile(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
        LARGE_INTEGER size{};
        if (file_ && GetFileSizeEx(file_.get(), &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
    }
    bool Read(std::uint64_t offset, std::uint32_t length, std::vector<std::uint8_t>& out) const {
        if (!file_ || offset > size_ || length > size_ - offset) return false;
        out.resize(length);
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        return SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN) &&
               (length == 0 || (ReadFile(file_.get(), out.data(), length, &got, nullptr) && got == length));
    }

private:
    platform::FileHandle file_;
    std::uint64_t size_ = 0;
};

std::uint16_t U16(const std::vector<std::uint8_t>& b, size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) | (static_cast<std::uint32_t>(b[at + 1]) << 16) |
           (static_cast<std::uint32_t>(b[at + 2]) << 8) | b[at + 3];
}

// Finds the 'name' table of the font at fontOffset (the first font of a collection).
bool FindNameTable(const FontFile& file, std::uint32_t& offset, std::uint32_t& length) {
    std::vector<std::uint8_t> head;
    if (!file.Read(0, 12, head)) return false;
    std::uint32_t fontOffset = 0;
    if (U32(head, 0) == 0x74746366) {  // 'ttcf': take the first font of the collection
        if (!file.Read(12, 4, head)) return false;
        fontOffset = U32(head, 0);
        if (!file.Read(fontOffset, 12, head)) return false;
    }
    std::uint32_t version = U32(head, 0);
    if (version != 0x00010000 && version != 0x74727565 /* 'true' */ && version != 0x4F54544F /* 'OTTO' */)
        return false;
    std::uint16_t tables = U16(head, 4);
    std::vector<std::uint8_t> dir;
    if (!file.Read(static_cast<std::uint64_t>(fontOffset) + 12, tables * 16u, dir)) return false;
    for (std::uint16_t i = 0; i < tables; ++i) {
        if (U32(dir, i * 16u) == 0x6E616D65) {  // 'name'
            offset = U32(dir, i * 16u + 8);
            length = U32(dir, i * 16u + 12);
            return true;
        }
    }
    return false;
}

std::wstring DecodeUtf16BE(const std::vector<std::uint8_t>& b, size_t at, size_t length) {
    std::wstring s;
    for (size_t i = 0; i + 1 < length; i += 2) s += static_cast<wchar_t>(U16(b, at + i));
    return s;
}

std::wstring DecodeMacRoman(const std::vector<std::uint8_t>& b, size_t at, size_t length) {
    if (length == 0) return {};
    const char* bytes = reinterpret_cast<const char*>(b.data() + at);
    int n = MultiByteToWideChar(10000, 0, bytes, static_cast<int>(length), nullptr, 0);
    if (n > 0) {
        std::wstring s(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(10000, 0, bytes, static_cast<int>(length), &s[0], n);
        return s;
    }
    std::wstring s;  // no Macintosh code page: its lower half is ASCII
    for (size_t i = 0; i < length; ++i) s += b[at + i] < 0x80 ? static_cast<wchar_t>(b[at + i]) : L'?';
    return s;
}

std::wstring Trimmed(std::wstring s) {
    while (!s.empty() && (s.back() == L'\0' || s.back() == L' ')) s.pop_back();
    size_t first = s.find_first_not_of(L' ');
    return first == std::wstring::npos ? std::wstring() : s.substr(first);
}

// ---- registration -------------------------------------------------------------

void Broadcast() {
    // A window that does not answer must not hold the installation up.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

void Register(const std::wstring& face, const std::wstring& fileName) {
    platform::RegKey key;
    LONG rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, key.put());
    if (rc != ERROR_SUCCESS)
        throw platform::EOSError(L"Не удалось открыть раздел реестра HKEY_LOCAL_MACHINE\\" + std::wstring(kFontsKey) +
                                     L": " + platform::SysErrorMessage(static_cast<DWORD>(rc)),
                                 static_cast<DWORD>(rc));
    std::wstring value = face + L" (TrueType)";
    rc = RegSetValueExW(key.get(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(fileName.c_str()),
                        static_cast<DWORD>((fileName.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS)
        throw platform::EOSError(L"Не удалось записать параметр реестра \"" + value + L"\": " +
                                     platform::SysErrorMessage(static_cast<DWORD>(rc)),
                                 static_cast<DWORD>(rc));
    RegFlushKey(key.get());
}

HMODULE LoadFromSystemFolder(const wchar_t* name) {
    // Where the system can restrict a load to its own folder, let it; else
    // name the file by its full path in the system folder.
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel && GetProcAddress(kernel, "AddDllDirectory"))
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    wchar_t sys[MAX_PATH];
    UINT n = GetSystemDirectoryW(sys, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::wstring path = std::wstring(sys, n) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

std::wstring ReadFontFullName(const std::wstring& path) {
    FontFile file(path);
    std::uint32_t offset = 0, length = 0;
    if (!FindNameTable(file, offset, length) || length < 6 || length > (16u << 20)) return {};
    std::vector<std::uint8_t> t;
    if (!file.Read(offset, length, t)) return {};
    std::uint16_t count = U16(t, 2);
    std::uint16_t strings = U16(t, 4);
    if (6u + count * 12u > length) count = static_cast<std::uint16_t>((length - 6) / 12);

    // Preference, best first: Windows US English, any Windows, Unicode, Macintosh Roman.
    int bestRank = 0;
    std::wstring best;
    for (std::uint16_t i = 0; i < count; ++i) {
        size_t r = 6u + i * 12u;
        std::uint16_t platform = U16(t, r), encoding = U16(t, r + 2), language = U16(t, r + 4), nameId = U16(t, r + 6);
        std::uint16_t size = U16(t, r + 8), at = U16(t, r + 10);
        if (nameId != 4 || static_cast<size_t>(strings) + at + size > length) continue;
        size_t start = static_cast<size_t>(strings) + at;
        int rank = 0;
        std::wstring text;
        if (platform == 3 && (encoding == 0 || encoding == 1 || encoding == 10)) {
            rank = language == 0x409 ? 4 : 3;
            text = DecodeUtf16BE(t, start, size);
        } else if (platform == 0) {
            rank = 2;
            text = DecodeUtf16BE(t, start, size);
        } else if (platform == 1 && encoding == 0) {
            rank = 1;
            text = DecodeMacRoman(t, start, size);
        }
        text = Trimmed(text);
        if (rank > bestRank && !text.empty()) {
            bestRank = rank;
            best = text;
        }
    }
    return best;
}

void GetFontFaceName(const wchar_t* path, std::wstring& faceName) {
    faceName.clear();
    using GetFontResourceInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD*, LPVOID, DWORD);
    HMODULE gdi = GetModuleHandleW(L"gdi32.dll");
    auto info = gdi ? reinterpret_cast<GetFontResourceInfoFn>(
                          reinterpret_cast<void*>(GetProcAddress(gdi, "GetFontResourceInfoW")))
                    : nullptr;
    if (info && AddFontResourceW(path) != 0) {
        std::wstring file(path);
        std::vector<wchar_t> name(file.begin(), file.end());
        name.push_back(L'\0');
        DWORD size = 0;
        info(name.data(), &size, nullptr, 1);  // 1: the font's description, its face name
        if (size != 0) {
            std::vector<wchar_t> out(size / sizeof(wchar_t) + 1, L'\0');
            if (info(name.data(), &size, out.data(), 1)) faceName.assign(out.data());
        }
        RemoveFontResourceW(path);
    }
    if (faceName.empty()) faceName = ReadFontFullName(path);
}

void InstallOneFont(IInstallHost& host, const std::wstring& sourceFolder, const std::wstring& targetFolder,
                    const std::wstring& fileName) {
    const std::wstring source = sourceFolder + fileName;
    const std::wstring target = targetFolder + fileName;
    if (FileExists(target)) return;  // installed before (whatever its version): left alone

    std::wstring face;
    GetFontFaceName(source.c_str(), face);
    CopyOneFile(source, target);
    if (face.empty()) {
        host.AddLogLine(L"Шрифт " + fileName + L" скопирован, но не зарегистрирован: имя шрифта не прочитано");
        return;
    }
    Register(face, fileName);

    AddFontResourceW(target.c_str());
    Broadcast();
    RemoveFontResourceW(target.c_str());
    Broadcast();
    // The "c" of "уcтановлен" is the Latin letter (U+0063), as the suite has always written it.
    host.AddLogLine(L"Шрифт <" + face + L"> у" L"c" L"тановлен");
}

void InstallFonts(IInstallHost& host, const std::wstring& sourceFolder, const std::wstring& targetFolder) {
    for (const wchar_t* name : kSuiteFonts) InstallOneFont(host, sourceFolder, targetFolder, name);
}

void InstallFonts(IInstallHost& host) {
    const std::wstring windows = GetWindowsFolder();
    if (windows.empty()) throw platform::Exception(L"Не удалось определить папку Windows");
    InstallFonts(host, host.InstallerFolder() + L"fonts\\", windows + L"fonts\\");
}

void ChangeFontSize() {
    platform::Library setup(LoadFromSystemFolder(L"syssetup.dll"));
    if (!setup) return;
    using SetupChangeFontSizeFn = DWORD(WINAPI*)(HWND, LPCWSTR);
    auto change = reinterpret_cast<SetupChangeFontSizeFn>(
        reinterpret_cast<void*>(GetProcAddress(setup.get(), "SetupChangeFontSize")));
    if (!change) return;
    change(nullptr, L"120");
    // The library is unloaded whatever the call answered.
}

void ChangeFontSizeAndOfferRestart(IFontSizeChangeUi& ui) {
    ChangeFontSize();
    if (!ui.AskYesNoWarning(kRestartQuestion)) return;
    RebootWindows(EWX_REBOOT | EWX_FORCEIFHUNG);
    ui.CloseWindow();
}
