// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <istream>
#include <string>

namespace tarvo {

// Reads text files line by line: a line feed, after any carriage returns,
// ends a line. Lines longer than the limit are skipped whole, so a binary
// or hostile file cannot make a reader hold a huge line.
class CLineReader {
public:
    static constexpr size_t kMaxLineLength = 1 << 20;

    explicit CLineReader(std::istream& in) : m_in(in) {}
    // The next line without its line end; false at the end of the stream.
    bool Next(std::string& line);

private:
    bool ReadLine(std::string& line);

    std::istream& m_in;
};

} // namespace tarvo
