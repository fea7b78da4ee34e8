// Pending lines of the installation log and the live progress of long copies.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "install/PendingLine.h"
#include "support/FakeInstallHost.h"

using testsupport::FakeInstallHost;

TEST(PendingLine, IsCompletedWithItsOutcomeWord) {
    FakeInstallHost host;
    host.AddLogLine(L"before");
    {
        PendingLine ok(host, L"Копирование файла a.dll....");
        PendingLine bad(host, L"Копирование файла b.dll....");
        EXPECT_EQ(host.log[1], L"Копирование файла a.dll....");
        bad.Complete(false);
        ok.Complete(true);
    }
    EXPECT_EQ(host.log, (std::vector<std::wstring>{L"before", L"Копирование файла a.dll....Завершено",
                                                   L"Копирование файла b.dll....ОШИБКА!!!"}));
}

TEST(PendingLine, LiveProgressShowsTheShareAtMostEveryTenthOfASecondAndPumps) {
    FakeInstallHost host;
    PendingLine line(host, L"Копирование файла T12.FDB....");
    CopyProgress progress = line.LiveProgress();
    progress(10, 100);  // at once: too early
    EXPECT_EQ(host.pumps, 0);
    EXPECT_EQ(host.log[0], L"Копирование файла T12.FDB....");
    Sleep(120);
    progress(37, 100);
    EXPECT_EQ(host.pumps, 1);
    EXPECT_EQ(host.log[0], L"Копирование файла T12.FDB....37%");
    progress(38, 100);  // too early again
    EXPECT_EQ(host.pumps, 1);
    EXPECT_EQ(host.log[0], L"Копирование файла T12.FDB....37%");
    Sleep(120);
    progress(std::uint64_t(5) << 32, std::uint64_t(6) << 32);  // beyond 4 GiB
    EXPECT_EQ(host.log[0], L"Копирование файла T12.FDB....83%");
    line.Complete(true);
    EXPECT_EQ(host.log[0], L"Копирование файла T12.FDB....Завершено");
}

TEST(PendingLine, LineLeftByAnErrorLosesItsProgressFigure) {
    FakeInstallHost host;
    try {
        PendingLine line(host, L"Копирование файла T12.FDB....");
        CopyProgress progress = line.LiveProgress();
        Sleep(120);
        progress(50, 100);
        EXPECT_EQ(host.log[0], L"Копирование файла T12.FDB....50%");
        throw std::runtime_error("raised during the copy");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(host.log[0], L"Копирование файла T12.FDB....");
}
