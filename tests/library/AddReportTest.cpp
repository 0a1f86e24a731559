// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/AddReport.h"

#include <gtest/gtest.h>

using namespace tarvo;

// Only whole records of known kinds, with a clip that is a number and
// nothing else, come out; an archive belongs to the game just named; the
// games' clip data comes out as one text of whole lines; refusals are kept
// only for the inputs handed over.
TEST(AddReport, ReadsWholeRecordsAndKeepsOnlyTheRefusalsOfItsInputs) {
    using namespace std::string_literals;
    const std::string output = AddReport::GameRecord("alpha", "/r/alpha.zip", 3) +
                               "game\0beta\0005x\0"s + "game\0gamma\0-1\0"s + "note\0a\0b\0"s +
                               AddReport::RefusalRecord("/m/a\ngame\tx\t1", "damaged") +
                               AddReport::RefusalRecord("/etc/passwd", "no") +
                               AddReport::ClipDataRecord("alpha", "alpha:title 3 Stage 3") +
                               AddReport::ClipDataRecord("delta", "delta:blank 2\n") +
                               "game\0delta\0001\0archive\0alpha\0/r/x.zip\0"s + "game\0cut\0"s;
    AddReport report = AddReport::Read(output);
    ASSERT_EQ(report.games.size(), 2u);
    EXPECT_EQ(report.games[0].romName, "alpha");
    EXPECT_EQ(report.games[0].clip, 3);
    EXPECT_EQ(report.games[0].archivePath, "/r/alpha.zip");
    EXPECT_EQ(report.games[1].romName, "delta");
    EXPECT_EQ(report.games[1].archivePath, "");
    EXPECT_EQ(report.clipData, "alpha:title 3 Stage 3\ndelta:blank 2\n"); // each line whole
    report.KeepRefusalsOf({"/m/a\ngame\tx\t1"});
    ASSERT_EQ(report.refused.size(), 1u);
    EXPECT_EQ(report.RefusalText(), "Tarvo cannot play this file:\n\n/m/a\ngame\tx\t1: damaged");
}
