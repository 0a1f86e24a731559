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
    if (!own.empty() && ::access(own.c_str(), W_OK) == 0) return own;
    std::error_code error;
    std::filesystem::create_directories(userDataFolder, error);
    return WithSlash(userDataFolder);
}

} // namespace tarvo
