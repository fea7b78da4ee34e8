// The window-free parts of the wizard: the destination check and the brand test.
#include <windows.h>
#include <gtest/gtest.h>

#include "shell/Main.h"
#include "support/TestSupport.h"

using testsupport::TempDir;
using testsupport::ToUtf8;

namespace {

// Runs with the current directory in a temporary folder, restored afterwards.
class InFolder {
public:
    explicit InFolder(const std::wstring& folder) {
        wchar_t buf[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, buf);
        old_ = buf;
        SetCurrentDirectoryW(folder.c_str());
    }
    ~InFolder() { SetCurrentDirectoryW(old_.c_str()); }

private:
    std::wstring old_;
};

}  // namespace

TEST(DestinationCheck, OutcomesAndPathsInTheCheckOrder) {
    TempDir dir;
    InFolder cwd(dir.path());
    using O = DestinationCheck::Outcome;
    struct Case {
        std::wstring typed;
        O outcome;
        std::wstring path;
    };
    const std::wstring here = dir.path();
    const std::wstring drive = here.substr(0, 2);  // the current drive, "C:"
    for (const Case& c : {
             Case{L"", O::Empty, L""},
             Case{L" \t\r\n ", O::Empty, L" \t\r\n "},
             Case{L"C:\\", O::Root, L"C:\\"},
             Case{L"D:", O::Root, L"D:\\"},
             Case{L"\t D: \x01", O::Root, L"D:\\"},
             Case{L"ab", O::Root, L"ab\\"},
             Case{L"C:/", O::Root, L"C:\\"},         // a root once "/" is read as "\"
             Case{L"\\..\\..", O::Root, drive + L"\\"},
             Case{L"C:\\Holter", O::Accepted, L"C:\\Holter\\"},
             Case{L"  D:\\Data  ", O::Accepted, L"D:\\Data\\"},
             Case{L"C:\\Holter\\", O::Accepted, L"C:\\Holter\\"},
             Case{L"abc", O::Accepted, here + L"abc\\"},
             Case{L"abc/def", O::Accepted, here + L"abc\\def\\"},
             Case{L".\\x\\..\\y", O::Accepted, here + L"y\\"},
             Case{L"C:/Клиника/Холтер", O::Accepted, L"C:\\Клиника\\Холтер\\"},
             Case{L"\\\\server\\share\\holter", O::Accepted, L"\\\\server\\share\\holter\\"},
         }) {
        SCOPED_TRACE(ToUtf8(L"typed \"" + c.typed + L"\""));
        DestinationCheck r = CheckDestination(c.typed);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(ToUtf8(r.path), ToUtf8(c.path));
    }
}

TEST(DestinationCheck, CreatesOneLevelOfFolderAndItsSettingsSilently) {
    TempDir dir;
    PrepareDestination(dir / L"Holter\\");
    EXPECT_TRUE(testsupport::DirExists(dir / L"Holter\\Settings"));
    PrepareDestination(dir / L"Holter\\");  // existing: nothing happens, nothing fails
    PrepareDestination(dir / L"missing\\deeper\\");
    EXPECT_FALSE(testsupport::DirExists(dir / L"missing"));
    // A file in the way: no folder, no error.
    testsupport::WriteFileBytes(dir / L"file", "x");
    PrepareDestination(dir / L"file\\");
    EXPECT_TRUE(testsupport::FileExists(dir / L"file"));
}

TEST(SecondBrand, KestronInAnyLetterCaseAndNothingElse) {
    EXPECT_TRUE(IsSecondBrandName(L"Кестрон"));
    EXPECT_TRUE(IsSecondBrandName(L"КЕСТРОН"));
    EXPECT_TRUE(IsSecondBrandName(L"кЕсТрОн"));
    EXPECT_FALSE(IsSecondBrandName(L"Арвела - Холтер"));
    EXPECT_FALSE(IsSecondBrandName(L"Кестрон "));
    EXPECT_FALSE(IsSecondBrandName(L""));
    EXPECT_FALSE(IsSecondBrandName(L"Kestron"));
}

TEST(TrimBlanks, RemovesBlanksAndControlCharactersAtBothEnds) {
    EXPECT_EQ(TrimBlanks(L"\x01\t C:\\a b \r\n"), L"C:\\a b");
    EXPECT_EQ(TrimBlanks(L"   "), L"");
    EXPECT_EQ(TrimBlanks(L"x"), L"x");
}
