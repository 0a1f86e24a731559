// SPDX-License-Identifier: GPL-3.0-or-later
// The C entry points of the shipped core. The catalogue is looked for beside
// the library file itself.
#include "core/TarvoCore.h"
#include "core/UserDataFolder.h"
#include "session/SoundCore.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string>

namespace {

tarvocore::CSoundCore& Core() {
    static tarvocore::CSoundCore core;
    return core;
}

std::string LibraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&CoreInit), &info) == 0 || !info.dli_fname) return "./";
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// The catalogue is beside the library in a build, and in the shared data
// folder once installed.
std::string CatalogueFolder(const std::string& libraryFolder) {
    std::error_code error;
    if (std::filesystem::exists(libraryFolder + tarvocore::CCatalogue::kFileName, error))
        return libraryFolder;
    return libraryFolder + TARVO_DATA_FROM_CORE;
}

} // namespace

extern "C" {

void CoreInit(void* user, CoreMessageCallback callback) {
    const std::string folder = LibraryFolder();
    Core().SetEmulatorProgram(folder + tarvocore::CSoundCore::kEmulatorProgram);
    const std::string userFolder = tarvo::UserDataFolder();
    if (!userFolder.empty()) Core().SetUserCatalogue(userFolder + tarvocore::CCatalogue::kFileName);
    Core().Init(user, callback, CatalogueFolder(folder));
}
void CoreShutdown(void) {
    Core().Shutdown();
}
int CoreGetInt(int code, int argument) {
    return Core().GetInt(code, argument);
}
const char* CoreGetString(int code, int argument) {
    return Core().GetString(code, argument);
}
void CoreCommand(int code, int argument) {
    Core().Command(code, argument);
}
void CoreSetOption(int code, int value) {
    Core().SetOption(code, value);
}
}
