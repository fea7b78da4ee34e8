#include <gtest/gtest.h>
#include "support/TestSupport.h"

TEST(TestSupport, TempDirHoldsFilesAndVanishes) {
    std::wstring kept;
    {
        testsupport::TempDir dir;
        kept = dir.path();
        testsupport::WriteFileBytes(dir / L"Проба.txt", "abc");
        EXPECT_EQ(testsupport::ReadFileBytes(dir / L"Проба.txt"), "abc");
    }
    EXPECT_FALSE(testsupport::DirExists(kept));
}
