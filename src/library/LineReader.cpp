// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/LineReader.h"

#include <exception>

namespace tarvo {

bool CLineReader::Next(std::string& line) {
    // A read error (a folder given as a file, a failing disk) ends the file.
    try {
        return ReadLine(line);
    } catch (const std::exception&) {
        m_in.setstate(std::ios::badbit);
        return false;
    }
}

bool CLineReader::ReadLine(std::string& line) {
    for (;;) {
        line.clear();
        bool tooLong = false;
        std::streambuf* buffer = m_in.rdbuf();
        if (!buffer || !m_in.good()) return false;
        int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            m_in.setstate(std::ios::eofbit);
            return false;
        }
        while (c != std::char_traits<char>::eof() && c != '\n') {
            if (line.size() < kMaxLineLength)
                line.push_back(static_cast<char>(c));
            else
                tooLong = true;
            c = buffer->sbumpc();
        }
        if (c == std::char_traits<char>::eof()) m_in.setstate(std::ios::eofbit);
        if (tooLong) continue;
        // A line end is a line feed after any carriage returns: a text whose
        // line ends were converted twice ends in several.
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }
}

} // namespace tarvo
