// Shortcuts written by CreateShortcut, read back through the shell's link object.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "desktop/Shortcut.h"
#include "platform/Exceptions.h"
#include "platform/Handles.h"
#include "support/TestSupport.h"

using testsupport::FileExists;
using testsupport::TempDir;
using testsupport::ToUtf8;

namespace {

struct LinkContent {
    std::wstring path, arguments, description, workingFolder;
};

LinkContent ReadLink(const std::wstring& lnk) {
    platform::ComInit com;
    LinkContent c;
    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()))) {
        ADD_FAILURE() << "no shell link object";
        return c;
    }
    platform::ComPtr<IPersistFile> file;
    link.As(IID_IPersistFile, file);
    if (FAILED(file->Load(lnk.c_str(), STGM_READ))) {
        ADD_FAILURE() << "cannot load " << ToUtf8(lnk);
        return c;
    }
    wchar_t buf[1024];
    if (SUCCEEDED(link->GetPath(buf, 1024, nullptr, SLGP_RAWPATH))) c.path = buf;
    if (SUCCEEDED(link->GetArguments(buf, 1024))) c.arguments = buf;
    if (SUCCEEDED(link->GetDescription(buf, 1024))) c.description = buf;
    if (SUCCEEDED(link->GetWorkingDirectory(buf, 1024))) c.workingFolder = buf;
    return c;
}

const wchar_t kGrpConv[] = L"Software\\MicroSoft\\Windows\\CurrentVersion\\GrpConv";

// The quick-launch value is the one shell folder no other program of the test
// prefix uses, so the test points it wherever it needs. One test, since the
// cases share the key.
void PointQuickLaunch(const void* data, DWORD size, DWORD type) {
    platform::RegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kGrpConv) + L"\\MapGroups").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), L"Quick Launch", 0, type, static_cast<const BYTE*>(data), size);
}
void PointQuickLaunch(const std::wstring& folder, DWORD type = REG_SZ) {
    PointQuickLaunch(folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)), type);
}

struct GrpConvKeyGone {
    GrpConvKeyGone() { RegDeleteTreeW(HKEY_CURRENT_USER, kGrpConv); }
    ~GrpConvKeyGone() { RegDeleteTreeW(HKEY_CURRENT_USER, kGrpConv); }
};

std::wstring ShellFolderValue(const wchar_t* name) {
    wchar_t buf[MAX_PATH] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buf, &size) != ERROR_SUCCESS)
        return {};
    return buf;
}

}  // namespace

TEST(ShortcutFileName, ReplacesTheExtensionAndDropsFolders) {
    struct {
        const wchar_t* target;
        const wchar_t* linkName;
        const wchar_t* file;
    } cases[] = {
        {L"C:\\H\\Shell.exe", L"Арвела - Холтер", L"Арвела - Холтер.lnk"},
        {L"C:\\H\\Shell.exe", L"", L"Shell.lnk"},
        {L"C:\\H\\Shell.exe", L"Холтер 8.74", L"Холтер 8.lnk"},
        {L"C:\\H\\Shell.exe", L"Холтер v2.1.5", L"Холтер v2.1.lnk"},
        {L"C:\\H.1\\Shell", L"", L"Shell.lnk"},
        {L"C:\\H\\Shell.exe", L"Группа\\Холтер", L"Холтер.lnk"},
        {L"C:\\H\\Shell.exe", L"C:Холтер.old", L"Холтер.lnk"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShortcutFileName(c.target, c.linkName), c.file) << ToUtf8(c.linkName);
}

TEST(CreateShortcut, DesktopShortcutReadsBackWithItsTargetFolderAndDescription) {
    std::wstring desktop = ShellFolderValue(L"Desktop");
    ASSERT_FALSE(desktop.empty()) << "the test prefix lists no desktop folder";
    std::wstring name = L"Проба ярлыка " + std::to_wstring(GetCurrentProcessId());
    std::wstring out = L"unchanged";
    CreateShortcut(L"C:\\Program Files\\Holter\\Shell.exe", skDesktop, L"", L"", L"", L"Комплекс \"Арвела - Холтер\"",
                   name, out);
    EXPECT_EQ(out, desktop + L"\\" + name + L".lnk");
    ASSERT_TRUE(FileExists(out));
    LinkContent c = ReadLink(out);
    DeleteFileW(out.c_str());
    EXPECT_EQ(c.path, L"C:\\Program Files\\Holter\\Shell.exe");
    EXPECT_EQ(c.workingFolder, L"C:\\Program Files\\Holter\\");
    EXPECT_EQ(c.description, L"Комплекс \"Арвела - Холтер\"");
    EXPECT_EQ(c.arguments, L"");
}

TEST(CreateShortcut, SendToAndStartMenuUseTheirShellFolders) {
    for (auto kind : {skSendTo, skStartMenu}) {
        std::wstring folder = ShellFolderValue(kind == skSendTo ? L"SendTo" : L"Start Menu");
        std::wstring name = L"holter-" + std::to_wstring(GetCurrentProcessId());
        std::wstring out = L"unchanged";
        CreateShortcut(L"C:\\Holter\\Shell.exe", kind, L"", L"", L"-a", L"d", name, out);
        if (folder.empty()) {  // not listed in this prefix: nothing is written
            EXPECT_EQ(out, L"unchanged");
            continue;
        }
        EXPECT_EQ(out, folder + L"\\" + name + L".lnk");
        EXPECT_TRUE(FileExists(out));
        EXPECT_EQ(ReadLink(out).arguments, L"-a");
        DeleteFileW(out.c_str());
    }
}

TEST(CreateShortcut, QuickLaunchFolderFromMapGroups) {
    GrpConvKeyGone gone;
    TempDir dir;
    {
        SCOPED_TRACE("no value: nothing written, an empty GrpConv key left behind");
        std::wstring out = L"unchanged";
        CreateShortcut(L"C:\\Holter\\Shell.exe", skQuickLaunch, L"", L"", L"", L"", L"Холтер", out);
        EXPECT_EQ(out, L"unchanged");
        platform::RegKey key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kGrpConv, 0, KEY_READ, key.put()), ERROR_SUCCESS);
        DWORD subKeys = 1, values = 1;
        RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
        EXPECT_EQ(subKeys, 0u);
        EXPECT_EQ(values, 0u);
    }
    {
        SCOPED_TRACE("an expandable value is taken as stored");
        std::wstring folder = dir / L"q%HOLTER_QL%";
        testsupport::MakeDirs(folder);
        SetEnvironmentVariableW(L"HOLTER_QL", L"expanded");
        PointQuickLaunch(folder, REG_EXPAND_SZ);
        std::wstring out;
        CreateShortcut(L"C:\\Holter\\Shell.exe", skQuickLaunch, L"", L"", L"", L"", L"Холтер", out);
        EXPECT_EQ(out, folder + L"\\Холтер.lnk");
        EXPECT_TRUE(FileExists(out));
    }
    {
        SCOPED_TRACE("the sub-folder goes between the shell folder and the name");
        testsupport::MakeDirs(dir / L"Арвела");
        PointQuickLaunch(dir.path().substr(0, dir.path().size() - 1));
        std::wstring out;
        CreateShortcut(L"C:\\Holter\\Shell.exe", skQuickLaunch, L"Арвела", L"D:\\Work", L"", L"", L"Холтер", out);
        EXPECT_EQ(out, dir / L"Арвела\\Холтер.lnk");
        ASSERT_TRUE(FileExists(out));
        EXPECT_EQ(ReadLink(out).workingFolder, L"D:\\Work");

        // A missing sub-folder is not created: no file, but the path is given back.
        CreateShortcut(L"C:\\Holter\\Shell.exe", skQuickLaunch, L"Нет такой", L"", L"", L"", L"Холтер", out);
        EXPECT_EQ(out, dir / L"Нет такой\\Холтер.lnk");
        EXPECT_FALSE(testsupport::DirExists(dir / L"Нет такой"));
    }
    {
        SCOPED_TRACE("a value that is not text raises");
        DWORD one = 1;
        PointQuickLaunch(&one, sizeof one, REG_DWORD);
        std::wstring out = L"unchanged";
        EXPECT_THROW(CreateShortcut(L"C:\\Holter\\Shell.exe", skQuickLaunch, L"", L"", L"", L"", L"Холтер", out),
                     platform::Exception);
        EXPECT_EQ(out, L"unchanged");
    }
}

TEST(CreateShortcut, GivenFolderIsTheWholeFolder) {
    TempDir dir;
    for (const std::wstring& given : {dir.path(), dir.path().substr(0, dir.path().size() - 1)}) {
        std::wstring out;
        CreateShortcut(L"C:\\Holter\\Shell.exe", skFolder, given, L"", L"", L"", L"", out);
        EXPECT_EQ(out, dir / L"Shell.lnk");
        EXPECT_TRUE(FileExists(out));
        DeleteFileW(out.c_str());
    }
}

TEST(CreateShortcut, KindsAboveFourWriteNothing) {
    TempDir dir;
    for (unsigned kind : {5u, 6u, 255u}) {
        std::wstring out = L"unchanged";
        CreateShortcut(L"C:\\Holter\\Shell.exe", static_cast<unsigned char>(kind), dir.path(), L"", L"", L"", L"x",
                       out);
        EXPECT_EQ(out, L"unchanged");
    }
    WIN32_FIND_DATAW fd;
    platform::FindHandle find(FindFirstFileW((dir / L"*.lnk").c_str(), &fd));
    EXPECT_FALSE(find.valid());
}

TEST(CreateShortcut, NamesFollowTheLinkName) {
    TempDir dir;
    std::wstring out;
    CreateShortcut(L"C:\\Holter\\Shell.exe", skFolder, dir.path(), L"", L"", L"", L"Холтер 8.74", out);
    EXPECT_EQ(out, dir / L"Холтер 8.lnk");
    CreateShortcut(L"C:\\Holter\\Shell.exe", skFolder, dir.path(), L"", L"", L"", L"", out);
    EXPECT_EQ(out, dir / L"Shell.lnk");
    EXPECT_TRUE(FileExists(dir / L"Холтер 8.lnk"));
    EXPECT_TRUE(FileExists(dir / L"Shell.lnk"));
}

TEST(CreateShortcut, OverwritesAShortcutOfTheSameName) {
    TempDir dir;
    std::wstring out;
    CreateShortcut(L"C:\\Old\\Shell.exe", skFolder, dir.path(), L"", L"", L"старый", L"Холтер", out);
    CreateShortcut(L"C:\\New\\Shell.exe", skFolder, dir.path(), L"", L"", L"новый", L"Холтер", out);
    LinkContent c = ReadLink(out);
    EXPECT_EQ(c.path, L"C:\\New\\Shell.exe");
    EXPECT_EQ(c.description, L"новый");
    EXPECT_EQ(c.workingFolder, L"C:\\New\\");
}
