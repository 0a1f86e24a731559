// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramFolder.h"

#include "library/SafeFileWriter.h"
#include "library/TextUtils.h"

#include <filesystem>
#include <ostream>
#include <unistd.h>

namespace tarvo {

namespace {

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

std::string ExecutableFolder(const std::string& fallback) {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) return WithSlash(fallback);
    return WithSlash(program.parent_path().string());
}

namespace {

bool IsPortableCopy(const std::string& folder) {
    std::error_code error;
    return !folder.empty() && std::filesystem::exists(folder + "libtarvocore.so", error);
}

} // namespace

void AdoptPortableFiles(const std::string& executableFolder, const std::string& programFolder) {
    namespace fs = std::filesystem;
    const std::string own = WithSlash(executableFolder);
    std::error_code error;
    if (own == programFolder || !IsPortableCopy(own) ||
        fs::exists(programFolder + "Tarvo.ini", error))
        return;
    const auto copyOnce = [&](const char* name) {
        if (!IsRegularFile(own + name)) return false;
        fs::copy_file(own + name, programFolder + name, fs::copy_options::skip_existing, error);
        return !error;
    };
    copyOnce("tarvoclips.dat");
    if (copyOnce("Tarvo.ini") || !fs::is_directory(own + "roms", error)) return;
    // No settings yet: the games beside the program are still found.
    CSafeFileWriter::Save(programFolder + "Tarvo.ini", [&](std::ostream& out) {
        out << "ROMFolder=" << programFolder << "./roms/\n"
            << "ROMFolder=" << own << "./roms/\n";
    });
}

std::string FindProgramFolder(const std::string& executableFolder,
                              const std::string& userDataFolder) {
    const std::string own = WithSlash(executableFolder);
    std::error_code error;
    // An installed program's folder (/usr/bin) may be writable to root, yet
    // is no place for a user's files.
    if (IsPortableCopy(own) && ::access(own.c_str(), W_OK) == 0) return own;
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
