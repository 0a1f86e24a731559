// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/AdPlugEngine.h"

#include "common/MusicFormats.h"
#include "engines/AdPlugFiles.h"
#include "engines/AdPlugOpl.h"

#include <adplug/adplug.h>
#include <algorithm>
#include <chrono>
#include <cstring>

namespace tarvocore {

namespace {

constexpr int kRate = CAdPlugOpl::kOutputRate;
// The song is run ahead of what is taken by this much at a time.
constexpr int kRunAheadFrames = 256;

bool HasMagic(const Bytes& data, const char* magic) {
    const size_t size = std::strlen(magic);
    return data.size() >= size && std::memcmp(data.data(), magic, size) == 0;
}

// The time to the player's next tick; a player that asks for none, or for
// absurdly many, gets the AdLib's usual 70 Hz or one a frame.
double TicksPerSecond(CPlayer& player) {
    const float refresh = player.getrefresh();
    return refresh > 0 && refresh <= kRate ? refresh : 70.0;
}

// A song's length by playing it through without sound, as AdPlug's own count
// does, but against a deadline: a damaged file may never end, or make each
// tick slow. -1 when it runs past ten minutes or the deadline.
int LengthOf(CPlayer& player, int song, std::chrono::steady_clock::time_point deadline) {
    player.rewind(song);
    double ms = 0;
    while (ms < 10 * 60 * 1000) {
        if (std::chrono::steady_clock::now() > deadline) return -1;
        // The tick that ends the song adds nothing, as AdPlug reckons it.
        if (!player.update()) return static_cast<int>(ms);
        ms += 1000.0 / TicksPerSecond(player);
    }
    return -1;
}

} // namespace

CAdPlugEngine::CAdPlugEngine() = default;
CAdPlugEngine::~CAdPlugEngine() = default;

bool CAdPlugEngine::Plays(const Bytes& data, const std::string& name) {
    return HasMagic(data, "DBRAWOPL") || HasMagic(data, "RAD by REALiTY!!") ||
           HasMagic(data, "CTMF") || HasMagic(data, "_A2module_") ||
           FamilyOfName(name) == MusicFamily::AdLib;
}

bool CAdPlugEngine::Open(const Bytes& data, const Bytes&, std::string& error) {
    m_data = data;
    if (m_name.empty() || LowerExtension(m_name).empty()) {
        // A file known by its magic alone gets the name its player looks for.
        m_name = HasMagic(data, "DBRAWOPL")     ? "tune.dro"
                 : HasMagic(data, "CTMF")       ? "tune.cmf"
                 : HasMagic(data, "_A2module_") ? "tune.a2m"
                                                : "tune.rad";
    }
    m_opl = std::make_unique<CAdPlugOpl>();
    const CAdPlugFiles provider(m_name, m_data, m_companions);
    m_player.reset(CAdPlug::factory(m_name, m_opl.get(), CAdPlug::players, provider));
    if (!m_player) {
        const std::string needed = provider.MissingCompanion(m_name);
        error = needed.empty() ? "AdPlug knows no player for it"
                               : "it needs " + needed + " beside it, which the game lacks";
        return false;
    }
    return true;
}

MusicInfo CAdPlugEngine::Info() {
    MusicInfo music;
    const std::string type = m_player->gettype();
    music.system = "OPL2 (AdLib), " + type;
    // AdLib formats name a song, not its game.
    const std::string title = m_player->gettitle();
    music.author = m_player->getauthor();
    const unsigned songs = std::clamp(m_player->getsubsongs(), 1u, 256u);
    // Well within the time the core gives the emulator to open a file.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (unsigned song = 0; song < songs; ++song) {
        TuneInfo tune;
        tune.title =
            songs == 1 || title.empty() ? title : title + ", song " + std::to_string(song + 1);
        if (m_measured == kEverySong || m_measured == static_cast<int>(song))
            tune.lengthMs = LengthOf(*m_player, static_cast<int>(song), deadline);
        music.tunes.push_back(tune);
    }
    return music;
}

bool CAdPlugEngine::Start(int track, std::string& error) {
    if (track < 0 || static_cast<unsigned>(track) >= std::max(m_player->getsubsongs(), 1u)) {
        error = "it has no song " + std::to_string(track);
        return false;
    }
    m_opl->init();
    m_player->rewind(track);
    m_untilUpdate = 0;
    m_track = track;
    m_playedFrames = 0;
    return true;
}

// The player ticks at its own rate; between ticks the OPL chip sounds on.
// AdLib formats do not tell a jingle from a tune that loops, and a game's
// driver started its music over, so the song plays on from its start.
bool CAdPlugEngine::Render(int16_t* frames, int frameCount) {
    m_playedFrames += frameCount;
    while (m_opl->Ready() < static_cast<size_t>(frameCount))
        RunAhead(kRunAheadFrames);
    m_opl->Take(frames, frameCount);
    return true;
}

void CAdPlugEngine::RunAhead(int frames) {
    while (frames > 0) {
        if (m_untilUpdate <= 0) {
            m_player->update();
            m_untilUpdate += kRate / TicksPerSecond(*m_player);
        }
        const int now = std::min(frames, std::max(1, static_cast<int>(m_untilUpdate)));
        m_opl->Run(now);
        frames -= now;
        m_untilUpdate -= now;
    }
}

// The chip's envelopes run on the sound they make, so the song is played
// there, without being heard: from its start, or on from where it is.
bool CAdPlugEngine::Seek(int ms, const SeekGivenUp& givenUp) {
    return PlayUnheardTo(*this, m_track, m_playedFrames, ms, givenUp);
}

// A song has the OPL2's nine channels (an OPL3 song's second half is muted
// with its first).
std::vector<std::string> CAdPlugEngine::Voices() {
    std::vector<std::string> voices;
    for (int channel = 1; channel <= CAdPlugOpl::kChannels; ++channel)
        voices.push_back("OPL channel " + std::to_string(channel));
    return voices;
}

void CAdPlugEngine::MuteVoices(const std::vector<bool>& muted) {
    m_opl->Mute(muted);
}

} // namespace tarvocore
