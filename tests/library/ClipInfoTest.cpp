// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ClipInfo.h"

#include "library/ClipRange.h"
#include "support/FakeListView.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace tarvo;

TEST(ClipInfo, SetRangeRules) {
    struct Case {
        int first, last;
        int wantFirst, wantLast;
    } cases[] = {
        {0, 512, 0, 512},
        {10, 5, 10, 10},
        {-7, 20, 0, 20},
        {3, -1, -1, -1},
    };
    for (const Case& c : cases) {
        CClipInfo info;
        info.SetRange(c.first, c.last);
        EXPECT_EQ(info.firstClip, c.wantFirst) << c.first << " " << c.last;
        EXPECT_EQ(info.lastClip, c.wantLast);
        EXPECT_EQ(info.clips.size(), static_cast<size_t>(c.wantLast + 1));
    }
}

// Raising the first clip marks the clips below it blank, and lowering it
// keeps the marks; shrinking drops titles; a title beyond the end extends the
// range, but never beyond the highest clip number.
TEST(ClipInfo, RangeEditsKeepMarksDropTitlesAndStayWithinTheLimit) {
    CClipInfo info;
    EXPECT_TRUE(info.IsBlank(0)); // no information: everything counts as blank
    info.SetRange(5, 100);
    for (int n = 0; n < 5; ++n)
        EXPECT_TRUE(info.IsBlank(n)) << n;
    EXPECT_FALSE(info.IsBlank(5));
    info.SetRange(0, 100);
    EXPECT_TRUE(info.IsBlank(4));
    EXPECT_TRUE(info.IsBlank(-1) && info.IsBlank(101));
    EXPECT_EQ(info.GetRecord(101), nullptr);

    info.SetTitle(300, "Boss");
    EXPECT_EQ(info.lastClip, 300);
    info.SetRange(0, 100);
    info.SetRange(0, 300);
    EXPECT_EQ(info.GetTitle(300), "");
    info.SetTitle(-1, "x");
    info.SetTitle(CClipInfo::kMaxClipNumber + 1, "x");
    info.SetBlank(2000000000, true);
    info.SetRange(0, 2000000000);
    EXPECT_EQ(info.lastClip, 300);
}

TEST(ClipInfo, WritesRangeBlanksAndTitlesButNotClipsBelowTheFirst) {
    CClipInfo info;
    info.SetRange(2, 5);
    info.SetTitle(3, " spaced ");
    info.SetBlank(4, true);
    info.SetTitle(4, "hidden");
    std::ostringstream out;
    info.WriteClipInfo(out, "abc");
    EXPECT_EQ(out.str(), "abc:range 2 5\nabc:title 3  spaced \nabc:blank 4\n");
}

TEST(ClipInfo, FillClipListWithAndWithoutBlanks) {
    CClipInfo info;
    test::FakeListView list;
    info.FillClipList(list, false); // no information yet: the default range
    ASSERT_EQ(list.RowCount(), 513);
    EXPECT_EQ(list.rows.front().column0, "000");
    EXPECT_EQ(list.rows[7].column0, "007");
    EXPECT_EQ(list.rows.back().column1, "Clip 512");
    EXPECT_EQ(list.rows.back().data, 512);

    info.SetRange(0, 3);
    info.SetBlank(1, true);
    info.SetTitle(2, "Theme");
    info.FillClipList(list, false);
    EXPECT_EQ(list.Column(0), (std::vector<std::string>{"000", "002", "003"}));
    EXPECT_EQ(list.Column(1), (std::vector<std::string>{"Clip 0", "Theme", "Clip 3"}));
    info.FillClipList(list, true);
    EXPECT_EQ(list.Column(1),
              (std::vector<std::string>{"Clip 0", "-- blank --", "Theme", "Clip 3"}));
    info.FillClipList(list, true, {7680, -1, 165000}); // the lengths the core told
    EXPECT_EQ(list.Column(2), (std::vector<std::string>{"0:08", "", "2:45", ""}));
}

TEST(ClipInfo, LengthsReadAsMinutesAndSecondsAndNothingWhenUnknown) {
    for (auto [ms, text] : {std::pair{0, ""},
                            {-1, ""},
                            {499, "0:00"},
                            {7680, "0:08"},
                            {65000, "1:05"},
                            {599499, "9:59"},
                            {599500, "10:00"},
                            {3600000, "1:00:00"},
                            {3723000, "1:02:03"}})
        EXPECT_EQ(FormatLength(ms), text) << ms;
    EXPECT_EQ(LengthTextOf({1000}, 1), "");
    EXPECT_EQ(LengthTextOf({1000}, -1), "");
    test::FakeListView list;
    SetupClipColumns(list);
    ASSERT_EQ(list.columnWidths.size(), 3u); // number, title, length
    EXPECT_EQ(list.columnWidths[2], LengthColumnWidth(list));
}

TEST(ClipRange, NormalizesAndSaysWhenItCappedANumber) {
    struct Case {
        int first, last, wantFirst, wantLast;
        bool capped;
    } cases[] = {{10, 5, 5, 5, false},       {2, -3, 0, 0, false},
                 {-7, 20, 0, 20, false},     {3, 900, 3, 900, false},
                 {0, 40000, 0, 31999, true}, {35000, 40000, 31999, 31999, true},
                 {0, 31999, 0, 31999, false}};
    for (const Case& c : cases) {
        ClipRange range{c.first, c.last};
        EXPECT_EQ(range.Normalize(), c.capped) << c.first << " " << c.last;
        EXPECT_EQ(range.firstClip, c.wantFirst) << c.first << " " << c.last;
        EXPECT_EQ(range.lastClip, c.wantLast) << c.first << " " << c.last;
    }
}

// A title comes from a tag or the Title field; a line break in it must never
// become a line of the clip information file.
TEST(ClipInfo, TitlesStayOnOneLineOfTheFile) {
    CClipInfo info;
    info.SetRange(0, 3);
    info.SetTitle(2, "Treasure\r\nalpha:blank 1\talpha:title 3 INJECTED");
    info.SeedFromTunes({{}, {}, {}, {true, "Boss\nalpha:blank 0"}});
    std::ostringstream out;
    info.WriteClipInfo(out, "alpha");
    EXPECT_EQ(out.str(), "alpha:range 0 3\n"
                         "alpha:title 2 Treasure  alpha:blank 1 alpha:title 3 INJECTED\n"
                         "alpha:title 3 Boss alpha:blank 0\n");
}
