// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/TextUtils.h"

#include "library/ExportName.h"
#include "support/TempFolder.h"

#include <climits>
#include <gtest/gtest.h>

using namespace tarvo;

TEST(SplitToken, TakesOneTrimmedTokenAndLeavesTheRestAsItIs) {
    struct Case {
        std::string text;
        char delimiter;
        std::string token;
        std::string rest;
    } cases[] = {
        {"title 12 Green Hill", ' ', "title", "12 Green Hill"},
        {"key=", '=', "key", ""},                     // delimiter last: nothing follows
        {"key", '=', "key", ""},                      // no delimiter
        {"", ':', "", ""},                            // empty text
        {":x", ':', "", "x"},                         // leading delimiter: lose only that one
        {"::x", ':', "", ":x"},                       // second call gives the empty token
        {"a : b", ':', "a", " b"},                    // token trimmed, rest untouched
        {"\t name \r:v", ':', "name", "v"},           // all white space kinds trimmed
        {"h\xC3\xA9llo:w", ':', "h\xC3\xA9llo", "w"}, // UTF-8 passes through whole
    };
    for (Case c : cases) {
        SCOPED_TRACE(c.text);
        std::string text = c.text;
        EXPECT_EQ(SplitToken(text, c.delimiter), c.token);
        EXPECT_EQ(text, c.rest);
    }
}

TEST(ParseInt, FollowsTheNumberRuleAndSaturates) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {"  -17abc", -17},
        {"+5", 5},
        {"abc", 0},
        {"", 0},
        {"- 3", 0},
        {"99999999999999999999", INT_MAX},
        {"-99999999999999999999", INT_MIN},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseInt(c.text), c.value) << c.text;
}

TEST(ParseTimeText, Fields) {
    struct Case {
        const char* text;
        int seconds;
    } cases[] = {
        {"90", 90},        {"1:30", 90},
        {"1.30", 90},      {"2:-5", 120},
        {"-1:30", -30},    {"1:02:05", 3725},
        {"1:0:0:9", 3600}, {"", 0},
        {"2:30", 150},     {"999999999:59:59", INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseTimeText(c.text), c.seconds) << c.text;
}

TEST(Paths, FileExistsAndFolders) {
    test::TempFolder temp;
    temp.Write("a.zip", "x");
    const std::string sub = temp.MakeFolder("roms");

    EXPECT_TRUE(FileExists(temp.File("a.zip")));
    EXPECT_FALSE(FileExists(temp.File("b.zip")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(sub)); // a folder text ending in "/" is never a file

    std::string folder = sub.substr(0, sub.size() - 1);
    EXPECT_TRUE(PrepareFolderPath(folder));
    EXPECT_EQ(folder, sub);

    std::string missing = temp.File("nothing");
    EXPECT_FALSE(PrepareFolderPath(missing));
    EXPECT_EQ(missing, temp.File("nothing/"));

    std::string empty;
    EXPECT_TRUE(PrepareFolderPath(empty));
    EXPECT_EQ(empty, "");
}

TEST(Paths, FolderExtensionAndNamesWithoutAsciiCase) {
    EXPECT_TRUE(EqualsNoCase("PacMan", "pacman"));
    EXPECT_FALSE(EqualsNoCase("pacman", "pacma"));
    EXPECT_FALSE(EqualsNoCase("\xC3\xA9", "\xC3\x89")); // é and É are other bytes
    EXPECT_EQ(GetFolderOfPath("/home/u/list.tvp"), "/home/u/");
    EXPECT_EQ(GetFolderOfPath("list.tvp"), "");
    EXPECT_EQ(GetLowerExtension("/a/B.ZIP"), ".zip");
    EXPECT_EQ(GetLowerExtension("/a.b/name"), "");
    EXPECT_EQ(GetLowerExtension("noext"), "");
}

TEST(ExportFileName, NumbersWithTwoDigitsAndTitlesSafeOnAnyDisk) {
    const std::string longTitle = std::string(199, 'a') + "\xC3\xA9" + "tail"; // é across 200
    struct Case {
        int clip;
        std::string title;
        std::string name;
    } cases[] = {
        {7, "Overture", "07 Overture.flac"},
        {0, "", "00.flac"},
        {123, "Boss: Round 2/3?", "123 Boss_ Round 2_3_.flac"},
        {4, " ..hidden. ", "04 hidden.flac"},
        {5, "tab\there \"quoted\" <a|b>", "05 tab_here _quoted_ _a_b_.flac"},
        {6, "Ōkami Théme", "06 Ōkami Théme.flac"},
        {8, longTitle, "08 " + std::string(199, 'a') + ".flac"},
        // A right-to-left override would show "Boss.exe" as "Bossexe.flac"
        // reversed; direction marks, zero widths and soft hyphens go too.
        {9, "Boss\u202Egalf.exe", "09 Bossgalf.exe.flac"},
        {10, "\u200FA\u200BB\u2066C\u2069\uFEFFD\u00ADE\u061C", "10 ABCDE.flac"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportFileName(c.clip, c.title, ".flac"), c.name) << c.title;
}
