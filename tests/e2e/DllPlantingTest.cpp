// A DLL lying in the distribution folder under the name of a library the
// installer uses must never be loaded. The installer is walked through the
// windows that load libraries (rich edit, pictures, the message window, the
// folder browser, message boxes) from a folder full of planted DLLs;
// dll-planting-trace.sh runs the same walk with Wine's DLL-load trace on.
#include "e2e/WizardFixture.h"

using namespace wizard;

namespace {

const wchar_t* const kPlantedNames[] = {
    L"msftedit.dll", L"riched20.dll", L"riched32.dll", L"windowscodecs.dll", L"msxml3.dll", L"msxml6.dll",
    L"uxtheme.dll",  L"syssetup.dll", L"version.dll",  L"dwmapi.dll",        L"usp10.dll",  L"imm32.dll",
    L"msimg32.dll",  L"propsys.dll",  L"cryptbase.dll", L"profapi.dll",      L"userenv.dll", L"winmm.dll",
    L"shfolder.dll", L"oleacc.dll",   L"ntmarta.dll",  L"sspicli.dll",       L"explorerframe.dll",
    L"comctl32.dll", L"shell32.dll",  L"ole32.dll",    L"gdiplus.dll",       L"mpr.dll",    L"netapi32.dll",
    L"wtsapi32.dll", L"setupapi.dll", L"apphelp.dll",  L"dbghelp.dll",       L"urlmon.dll", L"wininet.dll",
};

}  // namespace

TEST(DllPlanting, NoLibraryIsLoadedFromTheDistributionFolder) {
    Wizard w(L"", /*start*/ false);
    std::wstring planted = BuildDir() + L"tests\\planted_dll.dll";
    ASSERT_TRUE(FileExists(planted));
    for (const wchar_t* name : kPlantedNames)
        ASSERT_TRUE(CopyFileW(planted.c_str(), (w.dist / name).c_str(), FALSE)) << ToUtf8(name);
    // Also as the current directory of the process: a second planted folder.
    TempDir cwd;
    for (const wchar_t* name : kPlantedNames) CopyFileW(planted.c_str(), (cwd / name).c_str(), FALSE);

    w.Start(cwd.path());
    ASSERT_TRUE(w.Up());
    w.Press(L"BtnStartNext");
    ASSERT_TRUE(w.WaitForPage(L"tsInputPath"));
    w.Press(L"BtnSelectPath");
    HWND browser = w.app.WaitForFolderBrowser();
    ASSERT_NE(browser, nullptr);
    Pause(500);
    PressDialogButton(browser, IDCANCEL);
    ASSERT_TRUE(w.app.WaitForWindowGone(ByClass(L"#32770")));
    w.Press(L"BtnInputPathNext");
    w.AcknowledgeWarning();
    w.Press(L"BtnCancel4");
    w.Answer(kCancelQuestion, IDYES);
    ASSERT_TRUE(w.WaitForPage(L"tsCancel"));
    w.Press(L"BtnExitCancel");
    EXPECT_TRUE(w.app.WaitForExit());

    EXPECT_FALSE(FileExists(w.dist / L"planted-dll-loaded.txt")) << "a planted DLL was loaded from the distribution";
    EXPECT_FALSE(FileExists(cwd / L"planted-dll-loaded.txt")) << "a planted DLL was loaded from the current folder";
}
