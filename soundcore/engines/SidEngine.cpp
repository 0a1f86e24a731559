// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/SidEngine.h"

#include "common/SidHeader.h"
#include "common/SongLengths.h"

#include <algorithm>
#include <cstring>
#include <sidplayfp/builders/resid.h>
#include <sidplayfp/SidConfig.h>
#include <sidplayfp/SidInfo.h>
#include <sidplayfp/sidplayfp.h>
#include <sidplayfp/SidTune.h>
#include <sidplayfp/SidTuneInfo.h>

namespace tarvocore {

namespace {

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
    const char* md5 = m_tune->createMD5New();
    m_fingerprint = md5 ? md5 : "";
    if (!trackList.empty()) {
        const CSongLengths database(trackList);
        m_lengthsMs = database.LengthsFor(m_fingerprint);
        if (m_lengthsMs.empty()) { // older collections key tunes by the older MD5
            const char* old = m_tune->createMD5();
            m_lengthsMs = database.LengthsFor(old ? old : "");
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
    music.fingerprint = m_fingerprint;
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
    m_track = track;
    m_playedFrames = 0;
    m_player = std::make_unique<sidplayfp>();
    m_builder = std::make_unique<ReSIDBuilder>("tarvo");
    m_builder->create(m_player->info().maxsids());
    SidConfig config;
    config.frequency = 44100;
    config.playback = SidConfig::MONO;
    config.samplingMethod = SidConfig::INTERPOLATE;
    config.fastSampling = true;
    // The machine starts the same way each time, so a tune started again
    // (a seek back) plays as it did; libsidplayfp's default is a random delay.
    config.powerOnDelay = 0;
    config.sidEmulation = m_builder.get();
    if (!m_builder->getStatus() || !m_player->config(config) || !m_player->load(m_tune.get())) {
        error = m_builder->getStatus() ? m_player->error() : m_builder->error();
        return false;
    }
    MuteVoices(m_muted);
    return true;
}

bool CSidEngine::Render(int16_t* frames, int frameCount) {
    m_mono.resize(static_cast<size_t>(frameCount));
    const uint_least32_t got =
        m_player->play(m_mono.data(), static_cast<uint_least32_t>(frameCount));
    for (int i = 0; i < frameCount; ++i)
        frames[2 * i] = frames[2 * i + 1] = i < static_cast<int>(got) ? m_mono[i] : int16_t{0};
    m_playedFrames += frameCount;
    return got > 0 && m_player->isPlaying();
}

// A C64 tune is a program: the only way to a place in it is to run it there,
// from its start or on from where it is, unheard. (libsidplayfp's fast
// forward would save only the resampling, and loses count of the time.)
bool CSidEngine::Seek(int ms, const SeekGivenUp& givenUp) {
    return PlayUnheardTo(*this, m_track, m_playedFrames, ms, givenUp);
}

// Three voices a chip; a tune for two or three chips has them all.
std::vector<std::string> CSidEngine::Voices() {
    const unsigned chips = m_tune->getInfo()->sidChips();
    std::vector<std::string> voices;
    for (unsigned chip = 0; chip < chips; ++chip)
        for (int voice = 1; voice <= 3; ++voice)
            voices.push_back(chips == 1 ? "Voice " + std::to_string(voice)
                                        : "SID " + std::to_string(chip + 1) + " voice " +
                                              std::to_string(voice));
    return voices;
}

void CSidEngine::MuteVoices(const std::vector<bool>& muted) {
    m_muted = muted;
    if (!m_player) return;
    const unsigned chips = m_tune->getInfo()->sidChips();
    // The flag mutes, whatever libsidplayfp's own comment says of it.
    for (unsigned voice = 0; voice < chips * 3; ++voice)
        m_player->mute(voice / 3, voice % 3, voice < muted.size() && muted[voice]);
}

} // namespace tarvocore
