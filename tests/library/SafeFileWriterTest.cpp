// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/SafeFileWriter.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tarvo;

TEST(SafeFileWriter, WritesAndReplacesLeavingNoTemporaryFile) {
    test::TempFolder temp;
    ASSERT_TRUE(CSafeFileWriter::Save(temp.File("f.txt"), [](std::ostream& o) { o << "one\n"; }));
    ASSERT_TRUE(CSafeFileWriter::Save(temp.File("f.txt"), [](std::ostream& o) { o << "two\n"; }));
    EXPECT_EQ(temp.Read("f.txt"), "two\n");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(temp.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(SafeFileWriter, AFailedWriteKeepsTheOldFile) {
    test::TempFolder temp;
    temp.Write("f.txt", "old\n");
    const bool saved = CSafeFileWriter::Save(temp.File("f.txt"), [](std::ostream& o) {
        o << "partial";
        o.setstate(std::ios::badbit); // as a full disk would
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(temp.Read("f.txt"), "old\n");
}

TEST(SafeFileWriter, AMissingFolderFails) {
    test::TempFolder temp;
    EXPECT_FALSE(CSafeFileWriter::Save(temp.File("no/such/f.txt"), [](std::ostream&) {}));
    EXPECT_FALSE(CSafeFileWriter::Save(temp.Path(), [](std::ostream&) {}));
}

TEST(SafeFileWriter, SavingThroughALinkUpdatesItsTargetAndKeepsItsPermissions) {
    test::TempFolder temp;
    temp.MakeFolder("real");
    temp.Write("real/settings.ini", "old\n");
    std::filesystem::permissions(temp.File("real/settings.ini"),
                                 std::filesystem::perms::owner_read |
                                     std::filesystem::perms::owner_write);
    std::filesystem::create_symlink(temp.File("real/settings.ini"), temp.File("link.ini"));

    ASSERT_TRUE(
        CSafeFileWriter::Save(temp.File("link.ini"), [](std::ostream& o) { o << "new\n"; }));
    EXPECT_TRUE(std::filesystem::is_symlink(temp.File("link.ini")));
    EXPECT_EQ(temp.Read("real/settings.ini"), "new\n");
    EXPECT_EQ(std::filesystem::status(temp.File("real/settings.ini")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}
