#include "RomArchive.h"

#include <algorithm>
#include <zip.h>

namespace tarvocore {

namespace {

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads at most the size limit; a member that holds more is refused, whatever
// its directory entry claims.
bool ReadMember(zip_t* archive, zip_uint64_t index, Bytes& data) {
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file) return false;
    data.assign(1 << 16, 0);
    size_t filled = 0;
    bool ok = true;
    for (;;) {
        if (filled == data.size()) {
            if (data.size() > kMaxMusicFileSize) {
                ok = false;
                break;
            }
            data.resize(std::min(data.size() * 2, kMaxMusicFileSize + 1));
        }
        const zip_int64_t got = zip_fread(file, data.data() + filled, data.size() - filled);
        if (got < 0) ok = false;
        if (got <= 0) break;
        filled += static_cast<size_t>(got);
    }
    zip_fclose(file);
    data.resize(filled);
    return ok && filled <= kMaxMusicFileSize;
}

} // namespace

std::string CRomArchive::LowerExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool CRomArchive::IsMusicFileName(const std::string& name) {
    static const char* const kExtensions[] = {"vgm", "vgz", "nsf", "nsfe", "gbs", "gym",
                                              "hes", "kss", "ay",  "sap",  "spc", "m3u"};
    const std::string ext = LowerExtension(name);
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&](const char* known) { return ext == known; });
}

bool CRomArchive::Open(const std::string& path, std::string& error) {
    m_members.clear();
    m_skipped.clear();
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, code);
        error = "cannot open " + path + ": " + zip_error_strerror(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    size_t total = 0;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count && m_members.size() < kMaxMembers; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) != 0 || !stat.name)
            continue;
        const std::string name = BaseName(stat.name);
        if (name.empty() || !IsMusicFileName(name)) continue;
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > kMaxMusicFileSize) {
            m_skipped.push_back(name + " is larger than 16 MiB");
            continue;
        }
        ArchiveMember member{name, {}};
        if (!ReadMember(archive, static_cast<zip_uint64_t>(i), member.data)) {
            m_skipped.push_back(name + " is damaged or larger than 16 MiB");
            continue;
        }
        total += member.data.size();
        if (total > kMaxTotalSize) {
            m_skipped.push_back("the archive holds more than 64 MiB of music");
            break;
        }
        m_members.push_back(std::move(member));
    }
    zip_close(archive);
    return true;
}

} // namespace tarvocore
