// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/RomArchive.h"

#include "common/MusicFormats.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace tarvocore {

namespace {

using Reader = std::unique_ptr<archive, decltype(&archive_read_free)>;

// libarchive may fail without a word of its own.
std::string ErrorText(archive* reader) {
    const char* text = archive_error_string(reader);
    return text ? text : "it is damaged";
}

// The kinds a game's music comes in: zip, 7z, RAR (4 and 5), and tar, plain
// or compressed with gzip, bzip2 or xz.
Reader OpenReader(const std::string& path, std::string& error) {
    Reader reader(archive_read_new(), &archive_read_free);
    for (auto support : {archive_read_support_format_zip, archive_read_support_format_7zip,
                         archive_read_support_format_rar, archive_read_support_format_rar5,
                         archive_read_support_format_tar, archive_read_support_filter_gzip,
                         archive_read_support_filter_bzip2, archive_read_support_filter_xz})
        support(reader.get());
    if (archive_read_open_filename(reader.get(), path.c_str(), 1 << 16) != ARCHIVE_OK) {
        error = "cannot open " + path + ": " + ErrorText(reader.get());
        reader.reset();
    }
    return reader;
}

std::string BaseName(const char* path) {
    const std::string text = path ? path : "";
    const size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string EntryName(archive_entry* entry) {
    const char* name = archive_entry_pathname(entry);
    return BaseName(name ? name : archive_entry_pathname_utf8(entry));
}

// RAR's variable-length numbers: seven bits a byte, the lowest first.
uint64_t ReadVint(const unsigned char*& at, const unsigned char* end) {
    uint64_t value = 0;
    for (int shift = 0; at < end && shift < 64; shift += 7) {
        const unsigned char byte = *at++;
        value |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
    }
    return value;
}

// A RAR that is one volume of several, by its main header's flag (RAR 4:
// the header's flags; RAR 5: the archive flags after the header's own).
bool IsRarVolume(const std::string& path) {
    unsigned char head[64] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    const size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (got >= 12 && std::memcmp(head, "Rar!\x1a\x07\x00", 7) == 0)
        return head[9] == 0x73 && (head[10] & 0x01);
    if (got < 16 || std::memcmp(head, "Rar!\x1a\x07\x01\x00", 8) != 0) return false;
    const unsigned char* at = head + 12; // past the header's CRC
    const unsigned char* end = head + got;
    ReadVint(at, end);                        // the header's size
    if (ReadVint(at, end) != 1) return false; // not the main header
    const uint64_t headerFlags = ReadVint(at, end);
    if (headerFlags & 0x01) ReadVint(at, end); // an extra area's size
    if (headerFlags & 0x02) ReadVint(at, end); // a data area's size
    return ReadVint(at, end) & 0x01;
}

// Reads at most the size limit; a member that holds more is refused, whatever
// its header claims. `inflated` is what it cost, read or refused.
bool ReadMember(archive* reader, Bytes& data, size_t& inflated) {
    inflated = 0;
    data.assign(1 << 16, 0);
    for (;;) {
        if (inflated == data.size()) {
            if (data.size() > kMaxMusicFileSize) break;
            data.resize(std::min(data.size() * 2, kMaxMusicFileSize + 1));
        }
        const la_ssize_t got =
            archive_read_data(reader, data.data() + inflated, data.size() - inflated);
        if (got < 0) return false;
        if (got == 0) break;
        inflated += static_cast<size_t>(got);
    }
    data.resize(inflated);
    return inflated <= kMaxMusicFileSize;
}

} // namespace

bool CRomArchive::IsMusicFileName(const std::string& name) {
    return FamilyOfName(name) != MusicFamily::None;
}

bool CRomArchive::Open(const std::string& path, std::string& error) {
    m_members.clear();
    m_problem.clear();
    Visitor keep;
    keep.take = [this](ArchiveMember&& member) { m_members.push_back(std::move(member)); };
    return Visit(path, Limits{}, keep, error, m_problem);
}

bool CRomArchive::Visit(const std::string& path, const Limits& limits, const Visitor& visitor,
                        std::string& error, std::string& problem) {
    problem.clear();
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) {
        error = path + " is not a file";
        return false;
    }
    if (IsRarVolume(path)) {
        error =
            path + " is one volume of a RAR archive of several: Tarvo reads only whole archives";
        return false;
    }
    const Reader reader = OpenReader(path, error);
    if (!reader) return false;
    size_t looked = 0, refused = 0, total = 0;
    std::string firstRefusal;
    bool more = true;     // false once the whole archive was read
    bool damaged = false; // the archive breaks off after its first files
    archive_entry* entry = nullptr;
    while (looked < limits.members && total <= limits.totalSize &&
           archive_filter_bytes(reader.get(), 0) <= limits.streamSize) {
        const int status = archive_read_next_header(reader.get(), &entry);
        more = status != ARCHIVE_EOF;
        if (status == ARCHIVE_EOF) break;
        if (status == ARCHIVE_FATAL && looked == 0) {
            error = "cannot read " + path + ": " + ErrorText(reader.get());
            return false;
        }
        if (status == ARCHIVE_FATAL) {
            damaged = true;
            more = false;
            break;
        }
        if (status < ARCHIVE_WARN) continue; // this entry alone cannot be read
        if (archive_entry_is_encrypted(entry)) {
            error = path + " is encrypted: Tarvo reads only archives without a password";
            return false;
        }
        const std::string name = EntryName(entry);
        if (archive_entry_filetype(entry) != AE_IFREG || name.empty() || !IsMusicFileName(name))
            continue;
        ++looked;
        ArchiveMember member{name, {}};
        size_t inflated = 0;
        const bool tooLarge = archive_entry_size_is_set(entry) &&
                              static_cast<size_t>(archive_entry_size(entry)) > kMaxMusicFileSize;
        // A member that ends before the size its header gives is damaged.
        const bool whole = !tooLarge && ReadMember(reader.get(), member.data, inflated) &&
                           (!archive_entry_size_is_set(entry) ||
                            static_cast<size_t>(archive_entry_size(entry)) == inflated);
        total += inflated;
        if (!whole) {
            const std::string reason = "it is damaged or larger than 16 MiB";
            if (refused++ == 0) firstRefusal = name + " is damaged or larger than 16 MiB";
            if (visitor.refuse) visitor.refuse(name, reason);
            continue;
        }
        if (total > limits.totalSize) {
            if (visitor.refuse) visitor.refuse(name, "it is past the music one archive may hold");
            break;
        }
        if (visitor.take) visitor.take(std::move(member));
    }
    if (refused == 1) problem = firstRefusal;
    if (refused > 1)
        problem = std::to_string(refused) + " files were not read (" + firstRefusal + ")";
    const auto note = [&problem](const std::string& text) {
        problem += (problem.empty() ? "" : "; ") + text;
    };
    if (damaged) note("the archive is damaged after its first files");
    if (more || total > limits.totalSize)
        note("the archive holds more music than the core reads (" + std::to_string(limits.members) +
             " files, " + std::to_string(limits.totalSize >> 20) + " MiB)");
    return true;
}

} // namespace tarvocore
