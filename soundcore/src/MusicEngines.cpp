// SPDX-License-Identifier: GPL-3.0-or-later
// Which engine plays a file: by its content first, where the formats have a
// mark of their own, then by its name.
#include "src/AdPlugEngine.h"
#include "src/GmeEngine.h"
#include "src/OpenMptEngine.h"
#include "src/SidEngine.h"
#include "src/VgmEngine.h"

namespace tarvocore {

std::unique_ptr<IMusicEngine> MakeMusicEngine(const Bytes& data, const std::string& name) {
    auto gme = [&] {
        auto engine = std::make_unique<CGmeEngine>();
        engine->SetTypeFromName(name);
        return engine;
    };
    auto adplug = [&] {
        auto engine = std::make_unique<CAdPlugEngine>();
        engine->SetName(name);
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
