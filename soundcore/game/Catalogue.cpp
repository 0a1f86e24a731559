// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/Catalogue.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>

namespace tarvocore {

namespace {

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t bar = line.find('|', start);
        fields.push_back(Trim(line.substr(start, bar - start)));
        if (bar == std::string::npos) return fields;
        start = bar + 1;
    }
}

// A line of at most `limit` bytes (the rest of a longer one is dropped, so a
// file without line ends cannot fill memory); false at the end.
bool ReadLine(std::istream& in, std::string& line, size_t limit) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    int c = buffer ? buffer->sbumpc() : std::char_traits<char>::eof();
    if (c == std::char_traits<char>::eof()) return false;
    for (; c != std::char_traits<char>::eof() && c != '\n'; c = buffer->sbumpc())
        if (line.size() < limit) line.push_back(static_cast<char>(c));
    return true;
}

bool IsValidRomName(const std::string& name) {
    return !name.empty() && name.size() <= 64 &&
           std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; });
}

} // namespace

bool CCatalogue::Load(const std::string& path) {
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, error)) in.open(path, std::ios::binary);
    if (!in.is_open()) {
        m_problems.push_back("The game catalogue was not found at " + path);
        return false;
    }
    // A read that fails (a failing disk, a link to /proc/self/mem) throws
    // from the stream's buffer: the lines read so far stand.
    try {
        Read(in, m_games.empty() ? "the game catalogue" : path);
    } catch (const std::exception&) {
        m_problems.push_back("The game catalogue " + path + " could not be read to its end");
    }
    return true;
}

void CCatalogue::Read(std::istream& in, const std::string& fileName) {
    std::string line;
    for (int number = 1; ReadLine(in, line, 4096); ++number) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const std::vector<std::string> fields = SplitFields(trimmed);
        if (fields.size() < 5 || !IsValidRomName(fields[0]) || fields[1].empty() ||
            fields[4].empty()) {
            m_problems.push_back("line " + std::to_string(number) + " of " + fileName +
                                 " is not understood and was skipped");
            continue;
        }
        const bool known = std::any_of(m_games.begin(), m_games.end(), [&](const CatalogueGame& g) {
            return g.romName == fields[0];
        });
        if (known) {
            m_problems.push_back("line " + std::to_string(number) + " of " + fileName + " names " +
                                 fields[0] + ", which is in the catalogue already; it was skipped");
            continue;
        }
        CatalogueGame game{fields[0], fields[1], fields[2], fields[3], DriverNumber(fields[4]),
                           fields[3]};
        for (size_t i = 5; i < fields.size(); ++i)
            if (!fields[i].empty())
                game.extraInfo += (game.extraInfo.empty() ? "" : ", ") + fields[i];
        game.added = fields.size() > 5 && fields[5].rfind("added by tarvo-add", 0) == 0;
        m_games.push_back(std::move(game));
    }
}

int CCatalogue::TakeChangesFrom(const CCatalogue& fresh) {
    int added = 0;
    for (const CatalogueGame& game : fresh.Games()) {
        CatalogueGame changed = game;
        changed.driver = DriverNumber(fresh.Drivers()[game.driver]);
        const auto known =
            std::find_if(m_games.begin(), m_games.end(),
                         [&](const CatalogueGame& g) { return g.romName == game.romName; });
        if (known != m_games.end()) {
            *known = std::move(changed);
            continue;
        }
        m_games.push_back(std::move(changed));
        ++added;
    }
    return added;
}

int CCatalogue::DriverNumber(const std::string& name) {
    const auto it = std::find(m_drivers.begin(), m_drivers.end(), name);
    if (it != m_drivers.end()) return static_cast<int>(it - m_drivers.begin());
    m_drivers.push_back(name);
    return static_cast<int>(m_drivers.size()) - 1;
}

} // namespace tarvocore
