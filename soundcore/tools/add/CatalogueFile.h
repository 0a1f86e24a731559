// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/Catalogue.h"

#include <set>
#include <string>
#include <vector>

namespace tarvoadd {

// The catalogue a collection is added to, and the ones the core reads beside
// it: their games are known, so no short name is taken twice.
class CCatalogueFile {
public:
    // Reads the catalogue to write (it may not exist yet) and the others.
    void Read(const std::string& path, const std::vector<std::string>& others);

    const std::string& Path() const { return m_path; }
    const std::vector<tarvocore::CatalogueGame>& KnownGames() const { return m_known; }
    std::set<std::string> TakenNames() const;

    void Add(const std::string& line) { m_added.push_back(line); }
    // Gives a game this catalogue gained from tarvo-add another title, maker
    // and year in its line; false with the reason when the file has no such
    // line (the shipped games are not renamed).
    bool Rename(const std::string& romName, const std::string& title, const std::string& maker,
                const std::string& year, std::string& error);
    bool HasAdditions() const { return !m_added.empty(); }
    // Writes the whole file anew, the old lines first, through a temporary
    // file renamed over the old one: it is never half written.
    bool Save(std::string& error) const;

private:
    std::string m_path;
    std::string m_text; // the file as it was read, every line kept
    std::vector<tarvocore::CatalogueGame> m_known;
    std::vector<std::string> m_added;
};

} // namespace tarvoadd
