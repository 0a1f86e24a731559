// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramFolder.h"

#include "core/UserDataFolder.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tarvo;

// A portable copy on a read-only medium: the per-user folder starts from its
// files the first time, and never again once it has settings of its own.
TEST(ProgramFolder, AReadOnlyPortableCopySeedsTheUsersFolderOnce) {
    test::TempFolder temp;
    const std::string stick = temp.MakeFolder("stick");
    temp.Write("stick/libtarvocore.so", "");
    temp.Write("stick/Tarvo.ini", "ROMFolder=" + stick + "./roms/\nShuffle=1\n");
    temp.Write("stick/tarvoclips.dat", "alpha:title 1 Intro\n");

    const std::string user = temp.MakeFolder("user");
    AdoptPortableFiles(stick, user);
    EXPECT_EQ(temp.Read("user/Tarvo.ini"), temp.Read("stick/Tarvo.ini"));
    EXPECT_EQ(temp.Read("user/tarvoclips.dat"), "alpha:title 1 Intro\n");

    temp.Write("user/Tarvo.ini", "Shuffle=0\n");
    temp.Write("stick/tarvoclips.dat", "changed\n");
    AdoptPortableFiles(stick, user);
    EXPECT_EQ(temp.Read("user/Tarvo.ini"), "Shuffle=0\n");
    EXPECT_EQ(temp.Read("user/tarvoclips.dat"), "alpha:title 1 Intro\n");

    // Without settings beside the program, its games are still found.
    std::filesystem::remove(stick + "Tarvo.ini");
    temp.MakeFolder("stick/roms");
    const std::string fresh = temp.MakeFolder("fresh");
    AdoptPortableFiles(stick, fresh);
    EXPECT_EQ(temp.Read("fresh/Tarvo.ini"),
              "ROMFolder=" + fresh + "./roms/\nROMFolder=" + stick + "./roms/\n");

    // An installed program (no core beside it) brings nothing.
    std::filesystem::remove(stick + "libtarvocore.so");
    const std::string installed = temp.MakeFolder("installed");
    AdoptPortableFiles(stick, installed);
    EXPECT_TRUE(std::filesystem::is_empty(installed));
}

// The program, the core and tarvo-add find the user's folder by one rule,
// also when $HOME is unset or $XDG_DATA_HOME is not an absolute path.
TEST(UserDataFolder, OneRuleForEveryProgramWhateverTheEnvironmentLacks) {
    const std::string savedData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    struct Case {
        const char* data;
        const char* home;
        std::string folder;
    } cases[] = {{"/data", "/home/a", "/data/Tarvo/"},
                 {"relative", "/home/a", "/home/a/.local/share/Tarvo/"},
                 {nullptr, "/home/a", "/home/a/.local/share/Tarvo/"},
                 {nullptr, nullptr, std::string(user->pw_dir) + "/.local/share/Tarvo/"}};
    for (const Case& c : cases) {
        c.data ? ::setenv("XDG_DATA_HOME", c.data, 1) : ::unsetenv("XDG_DATA_HOME");
        c.home ? ::setenv("HOME", c.home, 1) : ::unsetenv("HOME");
        EXPECT_EQ(UserDataFolder(), c.folder) << (c.data ? c.data : "-") << (c.home ? c.home : "-");
    }
    savedData.empty() ? ::unsetenv("XDG_DATA_HOME")
                      : ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    ::setenv("HOME", savedHome.c_str(), 1);
}
