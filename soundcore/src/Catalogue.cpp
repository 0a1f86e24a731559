#include "Catalogue.h"

#include <algorithm>
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

bool IsValidRomName(const std::string& name) {
    return !name.empty() && name.size() <= 64 &&
           std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '-'; });
}

} // namespace

bool CCatalogue::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        m_problems.push_back("The game catalogue was not found at " + path);
        return false;
    }
    Read(in);
    return true;
}

void CCatalogue::Read(std::istream& in) {
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.size() > 4096) line.resize(4096);
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const std::vector<std::string> fields = SplitFields(trimmed);
        if (fields.size() < 5 || !IsValidRomName(fields[0]) || fields[1].empty() ||
            fields[4].empty()) {
            m_problems.push_back("line " + std::to_string(number) +
                                 " of the game catalogue is not understood and was skipped");
            continue;
        }
        CatalogueGame game{fields[0], fields[1], fields[2], fields[3], DriverNumber(fields[4])};
        for (size_t i = 5; i < fields.size(); ++i)
            if (!fields[i].empty())
                game.extraInfo += (game.extraInfo.empty() ? "" : ", ") + fields[i];
        m_games.push_back(std::move(game));
    }
}

int CCatalogue::DriverNumber(const std::string& name) {
    const auto it = std::find(m_drivers.begin(), m_drivers.end(), name);
    if (it != m_drivers.end()) return static_cast<int>(it - m_drivers.begin());
    m_drivers.push_back(name);
    return static_cast<int>(m_drivers.size()) - 1;
}

} // namespace tarvocore
