// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/add/CatalogueFile.h"

#include "library/SafeFileWriter.h"
#include "library/TextUtils.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarvoadd {

namespace {

std::string ReadText(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return {};
    std::ifstream in(path, std::ios::binary);
    try {
        return std::string(std::istreambuf_iterator<char>(in), {});
    } catch (const std::exception&) { // a read that fails throws from the stream's buffer
        return {};
    }
}

} // namespace

void CCatalogueFile::Read(const std::string& path, const std::vector<std::string>& others) {
    m_path = path;
    m_text = ReadText(path);
    tarvocore::CCatalogue catalogue;
    std::istringstream in(m_text);
    catalogue.Read(in);
    for (const std::string& other : others) {
        std::error_code error;
        if (other != path && std::filesystem::exists(other, error)) catalogue.Load(other);
    }
    m_known = catalogue.Games();
}

std::set<std::string> CCatalogueFile::TakenNames() const {
    std::set<std::string> names;
    for (const tarvocore::CatalogueGame& game : m_known)
        names.insert(tarvo::ToLowerAscii(game.romName));
    return names;
}

// A field as a catalogue line can hold it: one line, no field separator.
std::string AsField(std::string text) {
    for (char& c : text)
        if (c == '|' || c == '\n' || c == '\r' || c == '\t') c = c == '|' ? '/' : ' ';
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool CCatalogueFile::Rename(const std::string& romName, const std::string& title,
                            const std::string& maker, const std::string& year, std::string& error) {
    std::istringstream in(m_text);
    std::string renamed;
    bool found = false;
    for (std::string line; std::getline(in, line);) {
        const size_t bar = line.find('|');
        const bool ours = bar != std::string::npos && AsField(line.substr(0, bar)) == romName &&
                          line.find("| added by tarvo-add") != std::string::npos;
        if (ours && !found) {
            size_t rest = bar;
            for (int field = 0; field < 3 && rest != std::string::npos; ++field)
                rest = line.find('|', rest + 1);
            line = romName + " | " + AsField(title) + " | " + AsField(maker) + " | " +
                   AsField(year) + " " + (rest == std::string::npos ? "|" : line.substr(rest));
            found = true;
        }
        renamed += line + "\n";
    }
    if (!found) {
        error = romName + " is not a game tarvo-add added; the games Tarvo comes with keep "
                          "their names";
        return false;
    }
    m_text = renamed;
    return Save(error);
}

bool CCatalogueFile::Save(std::string& error) const {
    std::string why;
    const bool saved = tarvo::CSafeFileWriter::Save(
        m_path,
        [this](std::ostream& out) {
            out << m_text;
            if (!m_text.empty() && m_text.back() != '\n') out << '\n';
            for (const std::string& line : m_added)
                out << line << '\n';
        },
        why);
    if (!saved) error = "the catalogue " + m_path + " cannot be written: " + why;
    return saved;
}

} // namespace tarvoadd
