// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramLock.h"

#include "support/TempFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using tarvo::CProgramLock;

TEST(ProgramLock, OneTarvoAFolderAndTheLockEndsWithItsHolderHoweverItEnds) {
    tarvo::test::TempFolder temp;
    {
        const CProgramLock first(temp.Path());
        EXPECT_TRUE(first.Held());
        EXPECT_FALSE(CProgramLock(temp.Path()).Held());
    }
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const CProgramLock lock(temp.Path());
        [[maybe_unused]] auto written = ::write(ready[1], lock.Held() ? "y" : "n", 1);
        ::pause();
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_FALSE(CProgramLock(temp.Path()).Held());
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(CProgramLock(temp.Path()).Held());
    EXPECT_FALSE(CProgramLock(temp.File("no/such/folder/")).Held());
}
