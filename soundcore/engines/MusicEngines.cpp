// SPDX-License-Identifier: GPL-3.0-or-later
// Which engine plays a file: by its content first, where the formats have a
// mark of their own, then by its name.
#include "engines/AdPlugEngine.h"
#include "engines/GmeEngine.h"
#include "engines/OpenMptEngine.h"
#include "engines/SidEngine.h"
#include "engines/VgmEngine.h"

#include <algorithm>
#include <vector>

namespace tarvocore {

bool PlayUnheardTo(IMusicEngine& engine, int track, const long& playedFrames, int ms,
                   const SeekGivenUp& givenUp) {
    const long target = static_cast<long>(std::max(ms, 0)) * 44100 / 1000;
    std::string error;
    if (target < playedFrames && !engine.Start(track, error)) return false;
    std::vector<int16_t> unheard(2 * kUnheardChunkFrames);
    while (playedFrames < target) {
        if (givenUp()) return false;
        const long chunk = std::min<long>(target - playedFrames, kUnheardChunkFrames);
        if (!engine.Render(unheard.data(), static_cast<int>(chunk))) return false;
    }
    return true;
}

std::unique_ptr<IMusicEngine> MakeMusicEngine(const Bytes& data, const std::string& name,
                                              CompanionFiles companions) {
    auto gme = [&] {
        auto engine = std::make_unique<CGmeEngine>();
        engine->SetTypeFromName(name);
        return engine;
    };
    auto adplug = [&] {
        auto engine = std::make_unique<CAdPlugEngine>();
        engine->SetName(name);
        engine->SetCompanions(std::move(companions));
        return engine;
    };
    if (CVgmEngine::Plays(data)) return std::make_unique<CVgmEngine>();
    if (CGmeEngine::KnowsHeader(data)) return gme();
    if (CSidEngine::Plays(data)) return std::make_unique<CSidEngine>();
    if (COpenMptEngine::Plays(data)) return std::make_unique<COpenMptEngine>();
    if (CGmeEngine::Plays(data, name)) return gme();
    if (CAdPlugEngine::Plays(data, name)) return adplug();
    return nullptr;
}

} // namespace tarvocore
