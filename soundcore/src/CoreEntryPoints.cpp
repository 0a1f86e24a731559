// The C entry points of the shipped core. The catalogue is looked for beside
// the library file itself.
#include "SoundCore.h"
#include "TarvoCore.h"

#include <dlfcn.h>
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

} // namespace

extern "C" {

void CoreInit(void* user, CoreMessageCallback callback) {
    Core().Init(user, callback, LibraryFolder());
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
