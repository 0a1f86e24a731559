// SPDX-License-Identifier: GPL-3.0-or-later
#include "src/RomArchive.h"

#include "src/MusicFormats.h"

#include <algorithm>
#include <sys/stat.h>
#include <zip.h>

namespace tarvocore {

namespace {

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads at most the size limit; a member that holds more is refused, whatever
// its directory entry claims. `inflated` is what it cost, read or refused.
bool ReadMember(zip_t* archive, zip_uint64_t index, Bytes& data, size_t& inflated) {
    inflated = 0;
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file) return false;
    data.assign(1 << 16, 0);
    bool ok = true;
    for (;;) {
        if (inflated == data.size()) {
            if (data.size() > kMaxMusicFileSize) {
                ok = false;
                break;
            }
            data.resize(std::min(data.size() * 2, kMaxMusicFileSize + 1));
        }
        const zip_int64_t got = zip_fread(file, data.data() + inflated, data.size() - inflated);
        if (got < 0) ok = false;
        if (got <= 0) break;
        inflated += static_cast<size_t>(got);
    }
    zip_fclose(file);
    data.resize(inflated);
    return ok && inflated <= kMaxMusicFileSize;
}

} // namespace

std::string CRomArchive::LowerExtension(const std::string& name) {
    return tarvocore::LowerExtension(name);
}

bool CRomArchive::IsMusicFileName(const std::string& name) {
    return FamilyOfName(name) != MusicFamily::None;
}

bool CRomArchive::Open(const std::string& path, std::string& error) {
    m_members.clear();
    m_problem.clear();
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) {
        error = path + " is not a file";
        return false;
    }
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, code);
        error = "cannot open " + path + ": " + zip_error_strerror(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    size_t looked = 0, refused = 0, total = 0;
    std::string firstRefusal;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    zip_int64_t i = 0;
    for (; i < count && looked < kMaxMembers && total <= kMaxTotalSize; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0 || !stat.name)
            continue;
        const std::string name = BaseName(stat.name);
        if (name.empty() || !IsMusicFileName(name)) continue;
        ++looked;
        ArchiveMember member{name, {}};
        size_t inflated = 0;
        const bool tooLarge = (stat.valid & ZIP_STAT_SIZE) && stat.size > kMaxMusicFileSize;
        if (tooLarge || !ReadMember(archive, static_cast<zip_uint64_t>(i), member.data, inflated)) {
            total += inflated;
            if (refused++ == 0) firstRefusal = name + " is damaged or larger than 16 MiB";
            continue;
        }
        total += inflated;
        if (total <= kMaxTotalSize) m_members.push_back(std::move(member));
    }
    zip_close(archive);
    if (refused == 1) m_problem = firstRefusal;
    if (refused > 1)
        m_problem = std::to_string(refused) + " files were not read (" + firstRefusal + ")";
    if (total > kMaxTotalSize || i < count)
        m_problem += std::string(m_problem.empty() ? "" : "; ") +
                     "the archive holds more music than the core reads (1024 files, 64 MiB)";
    return true;
}

} // namespace tarvocore
