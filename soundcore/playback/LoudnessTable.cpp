// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/LoudnessTable.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvocore {

namespace {

constexpr char kHeader[] =
    "# Tarvo: the measured loudness of tunes, the latest line of a tune counting.\n"
    "# game\tclip\tfile CRC-32\tloudness (LUFS)\ttrue peak\n";

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

template <typename Number> bool Read(std::string_view text, Number& value, int base = 10) {
    const char* end = text.data() + text.size();
    std::from_chars_result result{};
    if constexpr (std::is_floating_point_v<Number>)
        result = std::from_chars(text.data(), end, value);
    else
        result = std::from_chars(text.data(), end, value, base);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

} // namespace

void CLoudnessTable::Open(const std::string& path) {
    m_opened = true;
    m_path = path;
    if (path.empty()) return;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    long long read = 0;
    while (in && read < kMostFileBytes) {
        line.clear();
        // A line is taken up to kLongestLine: a longer one is damage and passed over.
        char c = 0;
        bool tooLong = false;
        while (in.get(c) && c != '\n') {
            ++read;
            if (line.size() < kLongestLine)
                line += c;
            else
                tooLong = true;
        }
        ++read;
        if (!tooLong && !line.empty() && line[0] != '#') ReadLine(line);
    }
    m_full = read >= kMostFileBytes;
}

void CLoudnessTable::ReadLine(const std::string& line) {
    const std::vector<std::string_view> fields = Fields(line);
    TuneKey key;
    TuneLoudness loudness;
    if (fields.size() != 5 || fields[0].empty() || !Read(fields[1], key.clip) || key.clip < 0 ||
        !Read(fields[2], key.fileCrc, 16) || !Read(fields[3], loudness.lufs) ||
        !Read(fields[4], loudness.peak))
        return;
    // What no measure gives is damage, not a loudness to play by.
    if (!(loudness.lufs >= CLoudnessMeter::kSilenceLufs && loudness.lufs <= 20.0) ||
        !(loudness.peak >= 0.0 && loudness.peak <= 100.0))
        return;
    key.game = fields[0];
    m_tunes[key] = loudness;
}

std::optional<TuneLoudness> CLoudnessTable::Find(const TuneKey& key) const {
    const auto found = m_tunes.find(key);
    if (found == m_tunes.end()) return std::nullopt;
    return found->second;
}

bool CLoudnessTable::Keep(const TuneKey& key, const TuneLoudness& loudness) {
    m_tunes[key] = loudness;
    if (m_path.empty() || m_full || key.game.find_first_of("\t\n") != std::string::npos)
        return false;
    char line[kLongestLine];
    const int length =
        std::snprintf(line, sizeof line, "%s\t%d\t%08x\t%.2f\t%.6f\n", key.game.c_str(), key.clip,
                      key.fileCrc, loudness.lufs, loudness.peak);
    return length > 0 && static_cast<size_t>(length) < sizeof line && Append(line);
}

// One write a line, at the end whoever else writes: a line is never mixed
// with another's. A line the disk could not take whole is taken back.
bool CLoudnessTable::Append(const std::string& line) const {
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    const std::string text = known && status.st_size == 0 ? kHeader + line : line;
    ssize_t written = -1;
    do
        written = ::write(fd, text.data(), text.size());
    while (written < 0 && errno == EINTR);
    const bool whole = written == static_cast<ssize_t>(text.size());
    if (!whole && written > 0 && known && ::ftruncate(fd, status.st_size) != 0) {
        // Left as it is: the cut line is passed over when read.
    }
    return ::close(fd) == 0 && whole;
}

} // namespace tarvocore
