// Complete installations with the real Install.exe: the whole log, the fonts,
// the driver installer, the newest release and its level, the desktop
// shortcut, the closing question and the display-size page.
#include <shlobj.h>

#include "e2e/WizardFixture.h"
#include "platform/Handles.h"
#include "support/ExpectedLog.h"

using namespace wizard;

namespace {

const std::wstring kDriverQuestion = L"Подключите интерфейсный блок и нажмите \"Yes\"?";
const std::wstring kRestartQuestion =
    L"Изменения в настройки внесены, для того чтобы они\r\n"
    L"вступили в силу, требуется перзагрузить операционную систему.\r\n"
    L"Выполнить перезагрузку сейчас?";
const std::wstring kDriverStarted = L"Началась установка драйверов устройства...";
const std::wstring kDriverDone = L"Установка драйверов устройства завершена";
const std::wstring kSuiteName = L"Арвела - Холтер";
const std::wstring kDescription = L"Комплекс суточного мониторирования электрокардиограмм \"Арвела - Холтер\"";

const wchar_t kFontsKey[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// The sample distribution's fonts and the face names they carry. Tahoma is
// one of Wine's own fonts, present in every prefix already.
struct SampleFont {
    const wchar_t* file;
    const wchar_t* face;
    bool presentBefore;
};
const SampleFont kFonts[] = {
    {L"ARIAL.TTF", L"Liberation Sans", false},        {L"ARIALN.TTF", L"Liberation Sans Narrow", false},
    {L"COUR.TTF", L"Liberation Mono", false},         {L"MICROSS.TTF", L"DejaVu Sans Condensed", false},
    {L"TAHOMA.TTF", L"Tahoma", true},                 {L"TIMES.TTF", L"Liberation Serif", false},
    {L"verdana.TTF", L"DejaVu Sans", false},
};

std::vector<std::wstring> DeploymentLines() {
    std::vector<std::wstring> lines = {kSettingsLine, L"Каталог <DTAfb> создан...", Done(L"T12.FDB")};
    for (const std::wstring& line : EngineAndLibraryLines(0)) lines.push_back(line);
    return lines;
}

std::wstring FontsFolder() {
    wchar_t buf[MAX_PATH];
    UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
    return std::wstring(buf, n) + L"\\Fonts\\";
}

std::wstring FontValue(const std::wstring& face) {
    wchar_t buf[1024];
    DWORD size = sizeof buf;
    std::wstring name = face + L" (TrueType)";
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kFontsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"(none)";
    return buf;
}

std::wstring DesktopFolder() {
    wchar_t buf[MAX_PATH] = {};
    DWORD size = sizeof buf;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Desktop",
                 RRF_RT_REG_SZ, nullptr, buf, &size);
    return buf;
}

struct Link {
    std::wstring path, workingFolder, description;
};
Link ReadLink(const std::wstring& file) {
    platform::ComInit com;
    Link l;
    platform::ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return l;
    platform::ComPtr<IPersistFile> persist;
    link.As(IID_IPersistFile, persist);
    if (!persist || FAILED(persist->Load(file.c_str(), STGM_READ))) return l;
    wchar_t buf[1024];
    if (SUCCEEDED(link->GetPath(buf, 1024, nullptr, SLGP_RAWPATH))) l.path = buf;
    if (SUCCEEDED(link->GetWorkingDirectory(buf, 1024))) l.workingFolder = buf;
    if (SUCCEEDED(link->GetDescription(buf, 1024))) l.description = buf;
    return l;
}

// The display's logical pixels per inch for the programs started from now on.
void SetDpi(DWORD dpi) {
    platform::RegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.get(), L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
}

std::string Field(const std::string& text, const std::string& name) {
    size_t at = text.find(name);
    if (at == std::string::npos) return {};
    at += name.size();
    return text.substr(at, text.find("\r\n", at) - at);
}

// A wizard taken to the components page with destination D, the driver
// option as asked, and "Начать установку" pressed.
void StartInstallation(Wizard& w, const std::wstring& D, bool driver) {
    SetTextOf(w.Ctl(L"ePath"), D);
    w.GoToComponents();
    if (IsChecked(w.Ctl(L"CbDriverInstal")) != driver) {
        Click(w.Ctl(L"CbDriverInstal"));
        ASSERT_TRUE(WaitUntil([&] { return IsChecked(w.Ctl(L"CbDriverInstal")) == driver; }));
    }
    w.Press(L"BtnInsatall");
}

// Waits for the message box with that text, as long as an installation may take.
void AnswerWhenAsked(const Wizard& w, const std::wstring& text, int button) {
    HWND box = w.app.WaitForMessageBox(text, 120000);
    ASSERT_NE(box, nullptr) << "no box \"" << ToUtf8(text) << "\"; log ends with: "
                            << ToUtf8(ListItems(w.Ctl(L"LogList")).empty() ? L"" : ListItems(w.Ctl(L"LogList")).back());
    PressDialogButton(box, button);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
}

}  // namespace

TEST(CompleteInstallation, InstallsEverythingIntoAFolderWithBlanksInItsName) {
    SetDpi(120);  // large fonts: the installation ends with the closing question
    Wizard w(L"", false);
    // The updater's files come read-only from the distribution.
    SetFileAttributesW((w.dist / L"Updater\\ReleaseInfo").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((w.dist / L"Updater\\Updater.exe.cfg").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring parent = w.dist.Scratch() + L"Program Files (x86) & Co";
    MakeDirs(parent);
    const std::wstring D = parent + L"\\Арвела Холтер\\";
    w.Start();
    ASSERT_TRUE(w.Up());

    StartInstallation(w, D.substr(0, D.size() - 1), true);
    AnswerWhenAsked(w, kDriverQuestion, IDYES);
    AnswerWhenAsked(w, kClosingQuestion, IDNO);

    // The log from its first line to its last.
    std::vector<std::wstring> expected = DeploymentLines();
    for (const SampleFont& f : kFonts)
        if (!f.presentBefore) expected.push_back(L"Шрифт <" + std::wstring(f.face) + L"> у\u0063тановлен");
    expected.push_back(kDriverStarted);
    expected.push_back(kDriverDone);
    EXPECT_EQ(ListItems(w.Ctl(L"LogList")), expected);

    // The fonts: copied and registered under their face names.
    for (const SampleFont& f : kFonts) {
        if (f.presentBefore) continue;
        EXPECT_EQ(ReadFileBytes(FontsFolder() + f.file), ReadFileBytes(w.dist / (L"fonts\\" + std::wstring(f.file))))
            << ToUtf8(f.file);
        EXPECT_EQ(FontValue(f.face), f.file);
    }

    // The driver installer ran from the destination.
    const std::wstring driverExe = D + L"FTDIDriverInstall\\FTDIDriverInstall.exe";
    ASSERT_TRUE(FileExists(D + L"FTDIDriverInstall\\driver.mark"));
    std::string mark = ReadFileBytes(D + L"FTDIDriverInstall\\driver.mark");
    EXPECT_EQ(Field(mark, "command line: "), "\"" + ToUtf8(driverExe) + "\"");

    // The newest release's Install.cmd ran in its folder; its level is recorded.
    EXPECT_TRUE(FileExists(D + L"backup\\R010115\\installed.mark"));
    EXPECT_FALSE(FileExists(D + L"backup\\R311214\\installed.mark"));
    EXPECT_TRUE(FileExists(D + L"Shell.exe"));
    EXPECT_FALSE(FileExists(D + L"backup\\WithOutAnswer\\installed.mark"));
    std::string info = ReadFileBytes(D + L"ReleaseInfo");
    EXPECT_NE(info.find("<Level>010115</Level>"), std::string::npos) << info;
    EXPECT_EQ(info.rfind("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n", 0), 0u) << info;
    EXPECT_EQ(GetFileAttributesW((D + L"ReleaseInfo").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(GetFileAttributesW((D + L"Updater.exe.cfg").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    // The desktop shortcut.
    const std::wstring lnk = DesktopFolder() + L"\\" + kSuiteName + L".lnk";
    ASSERT_TRUE(FileExists(lnk)) << ToUtf8(lnk);
    Link link = ReadLink(lnk);
    EXPECT_EQ(link.path, D + L"Shell.exe");
    EXPECT_EQ(link.workingFolder, D);
    EXPECT_EQ(link.description, kDescription);

    // No to the closing question: the progress page stays, with "Выход" enabled.
    EXPECT_EQ(w.ActivePage(), L"tsProgressInstall");
    EXPECT_TRUE(IsEnabledWindow(w.Ctl(L"BtnExit")));
    EXPECT_TRUE(w.app.Running());
    w.Screenshot(L"installation-complete.png");
    w.Press(L"BtnExit");
    EXPECT_TRUE(w.app.WaitForExit());
}

TEST(CompleteInstallation, SecondInstallationLeavesTheFontsAndYesEndsTheProgram) {
    SetDpi(120);
    Wizard first;
    ASSERT_TRUE(first.Up());
    const std::wstring D = first.dist.Scratch() + L"Holter\\";
    StartInstallation(first, D, false);
    AnswerWhenAsked(first, kClosingQuestion, IDYES);
    EXPECT_TRUE(first.app.WaitForExit()) << "Yes to the closing question ends the program";

    // What the second installation must not touch again.
    {
        platform::RegKey key;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_SET_VALUE, key.put()), ERROR_SUCCESS);
        RegDeleteValueW(key.get(), L"Liberation Sans (TrueType)");
    }
    Wizard second;
    ASSERT_TRUE(second.Up());
    StartInstallation(second, D, false);
    AnswerWhenAsked(second, kClosingQuestion, IDNO);
    for (const auto& line : ListItems(second.Ctl(L"LogList")))
        EXPECT_NE(line.rfind(L"Шрифт", 0), 0u) << ToUtf8(line);
    EXPECT_EQ(FontValue(L"Liberation Sans"), L"(none)");
    EXPECT_TRUE(IsEnabledWindow(second.Ctl(L"BtnExit")));
    second.Press(L"BtnExit");
    EXPECT_TRUE(second.app.WaitForExit());
}

TEST(CompleteInstallation, WithoutDriverFolderBothDriverLinesAreWritten) {
    SetDpi(120);
    Wizard w(L"", false);
    RemoveTree(w.dist / L"FTDIDriverInstall");
    w.Start();
    ASSERT_TRUE(w.Up());
    const std::wstring D = w.dist.Scratch() + L"Holter\\";
    StartInstallation(w, D, true);
    AnswerWhenAsked(w, kDriverQuestion, IDYES);
    AnswerWhenAsked(w, kClosingQuestion, IDNO);
    std::vector<std::wstring> log = ListItems(w.Ctl(L"LogList"));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(std::vector<std::wstring>(log.end() - 2, log.end()),
              (std::vector<std::wstring>{kDriverStarted, kDriverDone}));
    EXPECT_FALSE(DirExists(D + L"FTDIDriverInstall"));
    w.Press(L"BtnExit");
    EXPECT_TRUE(w.app.WaitForExit());
}

TEST(CompleteInstallation, UnknownReleaseVersionEndsTheInstallationBeforeTheShortcut) {
    SetDpi(120);
    Wizard w(L"", false);
    const std::string refused = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<ROOT>\r\n  <Version>2</Version>\r\n"
                                "  <Level>000000</Level>\r\n</ROOT>\r\n";
    WriteFileBytes(w.dist / L"Updater\\ReleaseInfo", refused);
    w.Start();
    ASSERT_TRUE(w.Up());
    const std::wstring D = w.dist.Scratch() + L"Holter\\";
    StartInstallation(w, D, false);
    AnswerWhenAsked(w, L"Cannot get release information, error: unknown release file version", IDOK);

    EXPECT_EQ(ReadFileBytes(D + L"ReleaseInfo"), refused);
    EXPECT_TRUE(FileExists(D + L"backup\\R010115\\installed.mark"));
    EXPECT_FALSE(FileExists(DesktopFolder() + L"\\" + kSuiteName + L".lnk"));
    EXPECT_FALSE(IsEnabledWindow(w.Ctl(L"BtnExit")));
    EXPECT_EQ(w.ActivePage(), L"tsProgressInstall");
    EXPECT_EQ(w.app.FindMessageBox(kClosingQuestion), nullptr);
    PostSysClose(w.main);
    EXPECT_TRUE(w.app.WaitForExit());
}

TEST(CompleteInstallation, SmallFontsEndOnTheDisplaySizePageWhichLoadsNoPlantedLibrary) {
    SetDpi(96);
    Wizard w(L"", false);
    // A "syssetup.dll" beside the installer that would leave a mark if loaded.
    ASSERT_TRUE(CopyFileW((BuildDir() + L"planted\\syssetup.dll").c_str(), (w.dist / L"syssetup.dll").c_str(), FALSE));
    w.Start();
    ASSERT_TRUE(w.Up());
    StartInstallation(w, w.dist.Scratch() + L"Holter", false);
    ASSERT_TRUE(w.WaitForPage(L"tsChangeFontSize", 120000)) << "the page is " << ToUtf8(w.ActivePage());
    EXPECT_EQ(w.app.FindMessageBox(kClosingQuestion), nullptr) << "no closing question on small fonts";
    EXPECT_TRUE(FileExists(DesktopFolder() + L"\\" + kSuiteName + L".lnk"));

    // "Изменить настройки": the size change (Wine has no setup library), then
    // the restart question; No keeps the page.
    w.Press(L"BtnChangeFont");
    AnswerWhenAsked(w, kRestartQuestion, IDNO);
    EXPECT_FALSE(FileExists(w.dist / L"syssetup-loaded.mark"));
    EXPECT_FALSE(FileExists(w.dist / L"syssetup-called.mark"));
    EXPECT_TRUE(w.app.Running());
    EXPECT_EQ(w.ActivePage(), L"tsChangeFontSize");

    // Asked again, and left with "Выход".
    w.Press(L"BtnChangeFont");
    AnswerWhenAsked(w, kRestartQuestion, IDNO);
    w.Press(L"BtnExitOnChangefont");
    EXPECT_TRUE(w.app.WaitForExit());
    EXPECT_FALSE(FileExists(w.dist / L"syssetup-loaded.mark"));
}
