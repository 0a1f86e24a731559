// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace tarvocore {

struct CatalogueGame {
    std::string romName;
    std::string title;
    std::string manufacturer;
    std::string extraInfo; // the year and any free text
    int driver = 0;
    std::string year;
    bool added = false; // its line came from tarvo-add, and may be renamed
};

// The games this core supports: a text file beside the library, one game a line,
//   romName | Title | Manufacturer | Year | Driver [| free text]
// with "#" comments and empty lines allowed.
class CCatalogue {
public:
    static constexpr const char* kFileName = "tarvocore-games.txt";

    // False when the file cannot be read; problems() then names the path.
    // A later file adds its games after those already read; a game a former
    // one listed keeps its first line, and the later one is a problem.
    bool Load(const std::string& path);
    void Read(std::istream& in, const std::string& fileName = "the game catalogue");

    // The games of `fresh` not yet known, after the known ones, which keep
    // their numbers and take what `fresh` says of them (a renamed game);
    // how many were new.
    int TakeChangesFrom(const CCatalogue& fresh);

    const std::vector<CatalogueGame>& Games() const { return m_games; }
    const std::vector<std::string>& Drivers() const { return m_drivers; }
    // One text a malformed line, with its line number.
    const std::vector<std::string>& Problems() const { return m_problems; }

private:
    int DriverNumber(const std::string& name);

    std::vector<CatalogueGame> m_games;
    std::vector<std::string> m_drivers;
    std::vector<std::string> m_problems;
};

} // namespace tarvocore
