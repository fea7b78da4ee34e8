#include "desktop/Shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Handles.h"

namespace {

const CLSID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

const wchar_t kExplorerKey[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer";
const wchar_t kGrpConvKey[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\GrpConv";

// Path delimiters for names: "\" and "/" part folders, ":" follows a drive.
const wchar_t kDelimiters[] = L"\\/:";

// Reads a text value of key\subKey; empty when the sub-key or the value is
// missing. Expandable strings are taken as stored.
std::wstring ReadFolderValue(HKEY key, const wchar_t* subKey, const wchar_t* name) {
    platform::RegKey sub;
    if (RegOpenKeyExW(key, subKey, 0, KEY_READ, sub.put()) != ERROR_SUCCESS) return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(sub.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw platform::Exception(L"Параметр реестра \"" + std::wstring(name) + L"\" имеет нетекстовый тип данных");
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    if (RegQueryValueExW(sub.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) != ERROR_SUCCESS)
        return {};
    buf.back() = L'\0';
    return std::wstring(buf.data());
}

// The shell folder of a kind from 0 to 3; empty when it is not listed.
std::wstring ShellFolder(unsigned char kind) {
    const wchar_t* keyName = kind == skQuickLaunch ? kGrpConvKey : kExplorerKey;
    const wchar_t* subKey = kind == skQuickLaunch ? L"MapGroups" : L"Shell Folders";
    const wchar_t* value = kind == skDesktop       ? L"Desktop"
                           : kind == skQuickLaunch ? L"Quick Launch"
                           : kind == skSendTo      ? L"SendTo"
                                                   : L"Start Menu";
    platform::RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return {};
    return ReadFolderValue(key.get(), subKey, value);
}

}  // namespace

std::wstring ShortcutFileName(const std::wstring& target, const std::wstring& linkName) {
    std::wstring name = linkName.empty() ? target : linkName;
    size_t dot = name.find_last_of(std::wstring(L".") + kDelimiters);
    if (dot != std::wstring::npos && name[dot] == L'.') name.erase(dot);
    name += L".lnk";
    size_t cut = name.find_last_of(kDelimiters);
    if (cut != std::wstring::npos) name.erase(0, cut + 1);
    return name;
}

void CreateShortcut(const std::wstring& target, unsigned char kind, const std::wstring& subFolder,
                    const std::wstring& workingFolder, const std::wstring& arguments,
                    const std::wstring& description, const std::wstring& linkName, std::wstring& linkPath) {
    platform::ComInit com;  // balanced; the window's thread has COM already
    platform::ComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW, link.put_void());
    if (FAILED(hr)) throw platform::EOleError(L"Не удалось создать ярлык: " + platform::SysErrorMessage(hr), hr);
    platform::ComPtr<IPersistFile> file;
    hr = link.As(kIidPersistFile, file);
    if (FAILED(hr)) throw platform::EOleError(L"Не удалось создать ярлык: " + platform::SysErrorMessage(hr), hr);

    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    link->SetDescription(description.c_str());

    std::wstring fileName = ShortcutFileName(target, linkName);

    std::wstring folder;
    if (kind <= skStartMenu)
        folder = ShellFolder(kind);
    else if (kind == skFolder)
        folder = subFolder;
    if (folder.empty()) return;

    // One delimiter between the parts, whether or not the folder ends in one.
    if (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    std::wstring path = folder + L"\\";
    if (!subFolder.empty() && kind != skFolder) {
        path += subFolder;
        if (path.back() != L'\\') path += L'\\';
    }
    path += fileName;

    std::wstring startIn = workingFolder;
    if (startIn.empty()) {
        size_t cut = target.find_last_of(kDelimiters);
        startIn = cut == std::wstring::npos ? std::wstring() : target.substr(0, cut + 1);
    }
    link->SetWorkingDirectory(startIn.c_str());

    file->Save(path.c_str(), FALSE);
    linkPath = path;
}
