// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/ZipWriter.h"

#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace tarvocore {

namespace {

constexpr time_t kFixedDate = 1767225600; // 2026-01-01

struct FreeArchive {
    void operator()(archive* writer) const { archive_write_free(writer); }
};
struct FreeEntry {
    void operator()(archive_entry* entry) const { archive_entry_free(entry); }
};

bool AddEntry(archive* writer, const ZipEntry& member) {
    const std::unique_ptr<archive_entry, FreeEntry> entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), member.name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(member.data.size()));
    archive_entry_set_mtime(entry.get(), kFixedDate, 0);
    if (archive_write_header(writer, entry.get()) != ARCHIVE_OK) return false;
    return member.data.empty() ||
           archive_write_data(writer, member.data.data(), member.data.size()) ==
               static_cast<la_ssize_t>(member.data.size());
}

} // namespace

bool WriteZipArchive(const std::string& path, const std::vector<ZipEntry>& entries,
                     std::string& error) {
    const std::unique_ptr<archive, FreeArchive> writer(archive_write_new());
    const auto fail = [&](const std::string& what) {
        const char* reason = archive_error_string(writer.get());
        error = what + (reason ? std::string(": ") + reason : std::string());
        return false;
    };
    if (archive_write_set_format_zip(writer.get()) != ARCHIVE_OK ||
        archive_write_open_filename(writer.get(), path.c_str()) != ARCHIVE_OK)
        return fail("cannot create " + path);
    for (const ZipEntry& entry : entries)
        if (!AddEntry(writer.get(), entry)) return fail("cannot add " + entry.name);
    if (archive_write_close(writer.get()) != ARCHIVE_OK) return fail("cannot write " + path);
    return true;
}

} // namespace tarvocore
