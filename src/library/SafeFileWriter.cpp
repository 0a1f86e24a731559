#include "SafeFileWriter.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace tarvo {

namespace {

std::string TemporaryNameFor(const std::string& path) {
    return path + ".tmp-" + std::to_string(::getpid());
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
    if (path.empty() || path.back() == '/') return false;
    const std::string temporary = TemporaryNameFor(path);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        write(out);
        out.close();
        if (out.fail()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (!SyncToDisk(temporary) || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tarvo
