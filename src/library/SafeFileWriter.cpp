// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/SafeFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo {

namespace {

// A link is followed, so saving through it updates the file it names and the
// link stays a link.
std::string FileBehindLinks(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

std::string TemporaryNameFor(const std::string& path) {
    return path + ".tmp-" + std::to_string(::getpid());
}

// The new file keeps the old one's permissions (a settings file made private
// stays private); a new file gets the usual ones.
bool KeepPermissions(const std::string& from, const std::string& to) {
    struct stat old {};
    if (::stat(from.c_str(), &old) != 0) return true;
    return ::chmod(to.c_str(), old.st_mode & 07777) == 0;
}

// Pushes the data to the disk before the rename, so a crash right after the
// save cannot leave an empty file behind the old name.
bool SyncToDisk(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

bool CSafeFileWriter::Save(const std::string& path, const Writer& write) {
    std::string ignored;
    return Save(path, write, ignored);
}

bool CSafeFileWriter::Save(const std::string& requestedPath, const Writer& write,
                           std::string& why) {
    const auto fail = [&why](const std::string& temporary) {
        why = std::strerror(errno ? errno : EIO);
        if (!temporary.empty()) std::remove(temporary.c_str());
        return false;
    };
    errno = 0;
    if (requestedPath.empty() || requestedPath.back() == '/') {
        why = "no file was named";
        return false;
    }
    const std::string path = FileBehindLinks(requestedPath);
    const std::string temporary = TemporaryNameFor(path);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return fail({});
        write(out);
        out.close();
        if (out.fail()) return fail(temporary);
    }
    if (!KeepPermissions(path, temporary) || !SyncToDisk(temporary) ||
        std::rename(temporary.c_str(), path.c_str()) != 0)
        return fail(temporary);
    return true;
}

} // namespace tarvo
