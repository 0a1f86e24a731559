// SPDX-License-Identifier: GPL-3.0-or-later
// The whole path of a game's archive: loaded by the core, its clips read by
// the emulator process, the lowest two clips started and a second of each
// rendered. The emulator runs in its own process, as in the program; what it
// does there may fail the clip but never this process.
#include "FuzzFile.h"
#include "session/SoundCore.h"

#include <cstring>

namespace {

std::string g_archive;

int Answer(void*, int code, void* first, int) {
    if (code != CORE_MSG_ROM_PATH) return 0;
    std::memcpy(first, g_archive.c_str(), g_archive.size() + 1);
    return 1;
}

tarvocore::CSoundCore& Core() {
    static tarvocore::CSoundCore* core = [] {
        auto* made = new tarvocore::CSoundCore;
        made->SetOption(CORE_OPT_FIXED_RENDER_MS, 100);
        made->SetEmulatorProgram(TARVO_EMULATOR);
        made->Init(nullptr, Answer, TARVO_FUZZ_CORE_FOLDER);
        return made;
    }();
    return *core;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g_archive = WriteFuzzFile(data, size, "game.zip");
    tarvocore::CSoundCore& core = Core();
    core.SetOption(CORE_OPT_GAME, 0);
    core.Command(CORE_CMD_START_GAME, -1);
    if (core.GetInt(CORE_INT_LOADED_GAME, 0) < 0) return 0;
    const int first = core.GetInt(CORE_INT_CURRENT_CLIP, 0);
    for (int clip : {first, first + 1}) {
        core.Command(CORE_CMD_PLAY_CLIP, clip);
        core.Command(CORE_CMD_RESUME, 0);
        for (int call = 0; call < 10; ++call)
            core.Command(CORE_CMD_SERVICE, 0);
    }
    core.Command(CORE_CMD_UNLOAD, 0);
    return 0;
}
