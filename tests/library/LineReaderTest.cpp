// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/LineReader.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace tarvo;

static std::vector<std::string> ReadAll(const std::string& text) {
    std::istringstream in(text);
    CLineReader reader(in);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line))
        lines.push_back(line);
    return lines;
}

TEST(LineReader, BothLineEndsAndALastLineWithoutOne) {
    EXPECT_EQ(ReadAll("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ReadAll("x \r\r\ny"), (std::vector<std::string>{"x ", "y"})); // converted twice
    EXPECT_EQ(ReadAll("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(ReadAll(""), std::vector<std::string>{});
}

TEST(LineReader, SkipsAHugeLineAndGoesOn) {
    const std::string huge(CLineReader::kMaxLineLength + 10, 'x');
    EXPECT_EQ(ReadAll("first\n" + huge + "\nlast\n"), (std::vector<std::string>{"first", "last"}));
}

TEST(LineReader, BinaryBytesPassThrough) {
    const std::string binary("\x00\xff\x01", 3);
    EXPECT_EQ(ReadAll(binary + "\n"), std::vector<std::string>{binary});
}
