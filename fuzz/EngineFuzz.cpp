// SPDX-License-Identifier: GPL-3.0-or-later
// One engine in this process, without the emulator process around it: a file
// opened, its tunes read, the first two started and a second of each
// rendered. Built once an engine; TARVO_FUZZ_ENGINE names which.
#include "engines/AdPlugEngine.h"
#include "engines/OpenMptEngine.h"
#include "engines/SidEngine.h"
#include "engines/VgmEngine.h"

#include <array>
#include <iterator>
#include <vector>

namespace {

using namespace tarvocore;

// AdPlug picks its player by the file's name: the input's last byte picks
// the name, so one harness reaches every player.
std::unique_ptr<IMusicEngine> MakeEngine(const Bytes& data) {
#if TARVO_FUZZ_ENGINE == 1
    (void)data;
    return std::make_unique<CSidEngine>();
#elif TARVO_FUZZ_ENGINE == 2
    (void)data;
    return std::make_unique<COpenMptEngine>();
#elif TARVO_FUZZ_ENGINE == 4
    (void)data;
    return std::make_unique<CVgmEngine>();
#else
    static const char* const kNames[] = {
        "imf", "dro", "rad", "hsc", "a2m", "cmf", "d00", "sng", "laa", "rix", "adl", "bam", "cff",
        "dfm", "dtm", "ksm", "lds", "mad", "mdi", "mkj", "msc", "mtk", "rol", "sa2", "sat", "xad",
        "xms", "xsm", "hsp", "jbm", "got", "sop", "amd", "bmf", "raw", "sci", "agd", "ha2", "wlf"};
    auto engine = std::make_unique<CAdPlugEngine>();
    const size_t pick = data.empty() ? 0 : data.back() % std::size(kNames);
    engine->SetName(std::string("tune.") + kNames[pick]);
    return engine;
#endif
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes file(data, data + size);
    auto engine = MakeEngine(file);
    std::string error;
    if (!engine->Open(file, {}, error)) return 0;
    const MusicInfo info = engine->Info();
    static std::array<int16_t, 2 * 4410> frames;
    for (int tune = 0; tune < 2 && tune < static_cast<int>(info.tunes.size()); ++tune) {
        if (!engine->Start(tune, error)) continue;
        for (int block = 0; block < 10; ++block)
            engine->Render(frames.data(), 4410);
        // Back to the middle with every other voice muted, and a little more.
        std::vector<bool> muted(engine->Voices().size());
        for (size_t voice = 0; voice < muted.size(); voice += 2)
            muted[voice] = true;
        engine->MuteVoices(muted);
        engine->Seek(500, [] { return false; });
        engine->Render(frames.data(), 4410);
    }
    return 0;
}
