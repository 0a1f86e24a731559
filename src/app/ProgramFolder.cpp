#include "ProgramFolder.h"

#include <filesystem>
#include <unistd.h>

namespace tarvo {

namespace {

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

std::string FindProgramFolder(const std::string& executableFolder,
                              const std::string& userDataFolder) {
    const std::string own = WithSlash(executableFolder);
    std::error_code error;
    // An installed program's folder (/usr/bin) may be writable to root, yet
    // is no place for a user's files.
    const bool portable = std::filesystem::exists(own + "libtarvocore.so", error);
    if (!own.empty() && portable && ::access(own.c_str(), W_OK) == 0) return own;
    std::filesystem::create_directories(userDataFolder, error);
    return WithSlash(userDataFolder);
}

void ProvideDemoGames(const std::string& programFolder, const std::string& shippedRoms) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path roms = fs::path(programFolder) / "roms";
    if (fs::exists(roms, error) || !fs::is_directory(shippedRoms, error)) return;
    fs::create_directories(roms, error);
    for (const auto& entry : fs::directory_iterator(shippedRoms, error))
        fs::copy_file(entry.path(), roms / entry.path().filename(), error);
}

} // namespace tarvo
