#include "SidEngine.h"

#include "SidHeader.h"

#include <algorithm>
#include <cstring>
#include <sidplayfp/builders/residfp.h>
#include <sidplayfp/SidConfig.h>
#include <sidplayfp/SidInfo.h>
#include <sidplayfp/sidplayfp.h>
#include <sidplayfp/SidTune.h>
#include <sidplayfp/SidTuneInfo.h>
#include <sstream>

namespace tarvocore {

namespace {

// "1:23" or "1:23.456" in milliseconds; -1 when it is neither.
int ParseLength(const std::string& text) {
    int minutes = 0, seconds = 0, millis = 0;
    char colon = 0;
    std::istringstream in(text);
    if (!(in >> minutes >> colon >> seconds) || colon != ':' || minutes < 0 || minutes > 999 ||
        seconds < 0 || seconds > 59)
        return -1;
    if (in.peek() == '.') {
        std::string fraction;
        in.get();
        in >> fraction;
        fraction = (fraction + "000").substr(0, 3);
        millis = std::atoi(fraction.c_str());
    }
    return (minutes * 60 + seconds) * 1000 + millis;
}

// The lengths HVSC's Songlengths.md5 gives the tune with this MD5.
std::vector<int> LengthsFromDatabase(const Bytes& database, const std::string& md5) {
    std::istringstream in(std::string(database.begin(), database.end()));
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < md5.size() + 1 || line.compare(0, md5.size(), md5) != 0 ||
            line[md5.size()] != '=')
            continue;
        std::vector<int> lengths;
        std::istringstream entries(line.substr(md5.size() + 1));
        std::string entry;
        while (entries >> entry)
            lengths.push_back(ParseLength(entry.substr(0, entry.find('('))));
        return lengths;
    }
    return {};
}

std::string SystemOf(const SidTuneInfo& info) {
    const bool mos8580 = info.sidModel(0) == SidTuneInfo::SIDMODEL_8580;
    const bool ntsc = info.clockSpeed() == SidTuneInfo::CLOCK_NTSC;
    return std::string(mos8580 ? "MOS 8580 SID" : "MOS 6581 SID") + (ntsc ? ", NTSC" : ", PAL");
}

} // namespace

CSidEngine::CSidEngine() = default;
CSidEngine::~CSidEngine() = default;

bool CSidEngine::Plays(const Bytes& data) {
    return LooksLikeSid(data);
}

bool CSidEngine::Open(const Bytes& data, const Bytes& trackList, std::string& error) {
    error = SidHeaderProblem(data);
    if (!error.empty()) return false;
    m_tune = std::make_unique<SidTune>(data.data(), static_cast<uint_least32_t>(data.size()));
    if (!m_tune->getStatus()) {
        error = m_tune->statusString();
        return false;
    }
    if (!trackList.empty()) {
        const char* md5 = m_tune->createMD5New();
        m_lengthsMs = LengthsFromDatabase(trackList, md5 ? md5 : "");
        if (m_lengthsMs.empty()) {
            md5 = m_tune->createMD5();
            m_lengthsMs = LengthsFromDatabase(trackList, md5 ? md5 : "");
        }
    }
    return true;
}

MusicInfo CSidEngine::Info() {
    const SidTuneInfo& tune = *m_tune->getInfo();
    MusicInfo music;
    music.system = SystemOf(tune);
    const unsigned strings = tune.numberOfInfoStrings();
    music.game = strings > 0 ? tune.infoString(0) : "";
    music.author = strings > 1 ? tune.infoString(1) : "";
    music.copyright = strings > 2 ? tune.infoString(2) : "";
    const char* md5 = m_tune->createMD5New();
    music.fingerprint = md5 ? md5 : "";
    const unsigned songs = std::min(tune.songs(), 256u);
    for (unsigned song = 0; song < songs; ++song) {
        TuneInfo info;
        info.title = songs == 1 ? music.game : music.game + ", tune " + std::to_string(song + 1);
        info.lengthMs = song < m_lengthsMs.size() ? m_lengthsMs[song] : -1;
        music.tunes.push_back(info);
    }
    return music;
}

bool CSidEngine::Start(int track, std::string& error) {
    const SidTuneInfo& info = *m_tune->getInfo();
    if (track < 0 || static_cast<unsigned>(track) >= info.songs()) {
        error = "it has no tune " + std::to_string(track + 1);
        return false;
    }
    // Without the machine's BASIC ROM such a tune runs, silent; better to say so.
    if (info.compatibility() == SidTuneInfo::COMPATIBILITY_BASIC) {
        error = "it is an RSID tune written in BASIC, which needs the Commodore 64's own ROMs, "
                "and this core has none";
        return false;
    }
    m_tune->selectSong(static_cast<unsigned>(track) + 1);
    m_player = std::make_unique<sidplayfp>();
    m_builder = std::make_unique<ReSIDfpBuilder>("tarvo");
    m_builder->create(m_player->info().maxsids());
    SidConfig config;
    config.frequency = 44100;
    config.playback = SidConfig::MONO;
    config.samplingMethod = SidConfig::INTERPOLATE;
    config.fastSampling = true;
    config.sidEmulation = m_builder.get();
    if (!m_builder->getStatus() || !m_player->config(config) || !m_player->load(m_tune.get())) {
        error = m_builder->getStatus() ? m_player->error() : m_builder->error();
        return false;
    }
    return true;
}

bool CSidEngine::Render(int16_t* frames, int frameCount) {
    m_mono.resize(static_cast<size_t>(frameCount));
    const uint_least32_t got =
        m_player->play(m_mono.data(), static_cast<uint_least32_t>(frameCount));
    for (int i = 0; i < frameCount; ++i)
        frames[2 * i] = frames[2 * i + 1] = i < static_cast<int>(got) ? m_mono[i] : int16_t{0};
    return got > 0 && m_player->isPlaying();
}

} // namespace tarvocore
