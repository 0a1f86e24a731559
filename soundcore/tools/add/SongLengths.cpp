#include "SongLengths.h"

#include <algorithm>

namespace tarvoadd {

CSongLengths::CSongLengths(const tarvocore::Bytes& database) {
    const std::string text(database.begin(), database.end());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals == 32 && std::all_of(line.begin(), line.begin() + 32, ::isxdigit))
            m_lines.emplace(line.substr(0, 32), line);
        start = end + 1;
    }
}

std::string CSongLengths::LineFor(const std::string& md5) const {
    const auto it = m_lines.find(md5);
    return it == m_lines.end() ? std::string() : it->second;
}

} // namespace tarvoadd
