// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/GmeEngine.h"

#include <algorithm>
#include <cstring>
#include <gme/gme.h>
#include <vector>

// gme.h leaves a macro of its own named "byte", which would rename std::byte
// in whatever is compiled after it.
#undef byte

namespace tarvocore {

namespace {

gme_type_t TypeOf(const Bytes& data, const std::string& name) {
    if (data.size() >= 4) {
        const char* byHeader = gme_identify_header(data.data()); // reads the first four bytes only
        if (byHeader && *byHeader) return gme_identify_extension(byHeader);
    }
    return gme_identify_extension(name.c_str()); // takes a whole file name
}

// libgme's play length falls back to two and a half minutes when a file says
// nothing; the core says "unknown" instead.
int LengthOf(const gme_info_t& info) {
    if (info.length > 0) return info.length;
    if (info.loop_length > 0) return std::max(info.intro_length, 0) + 2 * info.loop_length;
    return -1;
}

} // namespace

CGmeEngine::~CGmeEngine() {
    if (m_emu) gme_delete(m_emu);
}

bool CGmeEngine::Plays(const Bytes& data, const std::string& name) {
    return TypeOf(data, name) != nullptr;
}

bool CGmeEngine::KnowsHeader(const Bytes& data) {
    const char* byHeader = data.size() >= 4 ? gme_identify_header(data.data()) : nullptr;
    return byHeader && *byHeader;
}

bool CGmeEngine::Open(const Bytes& data, const Bytes& trackList, std::string& error) {
    const gme_type_t type = TypeOf(data, m_name);
    if (!type) {
        error = "it is not a music file this core plays";
        return false;
    }
    m_data = data;
    m_emu = gme_new_emu(type, 44100);
    if (!m_emu) {
        error = "out of memory";
        return false;
    }
    if (const char* failure =
            gme_load_data(m_emu, m_data.data(), static_cast<long>(m_data.size()))) {
        error = failure;
        return false;
    }
    // A track list that cannot be read leaves the tracks as the file has them.
    if (!trackList.empty())
        gme_load_m3u_data(m_emu, trackList.data(), static_cast<long>(trackList.size()));
    // The player's silence handling decides, so libgme must neither skip a
    // quiet start nor end a track by its own length or silence rules.
    gme_ignore_silence(m_emu, 1);
    gme_set_autoload_playback_limit(m_emu, 0);
    return true;
}

MusicInfo CGmeEngine::Info() {
    MusicInfo music;
    music.system = gme_type_system(gme_type(m_emu));
    const int count = gme_track_count(m_emu);
    for (int track = 0; track < count; ++track) {
        TuneInfo tune;
        gme_info_t* info = nullptr;
        if (!gme_track_info(m_emu, &info, track) && info) {
            tune.title = info->song ? info->song : "";
            tune.lengthMs = LengthOf(*info);
            if (info->length <= 0 && info->loop_length > 0) {
                tune.introMs = std::max(info->intro_length, 0);
                tune.loopMs = info->loop_length;
            }
            if (track == 0) {
                music.game = info->game ? info->game : "";
                music.author = info->author ? info->author : "";
                music.copyright = info->copyright ? info->copyright : "";
            }
            gme_free_info(info);
        }
        music.tunes.push_back(std::move(tune));
    }
    return music;
}

bool CGmeEngine::Start(int track, std::string& error) {
    if (track < 0 || track >= gme_track_count(m_emu)) {
        error = "it has no track " + std::to_string(track);
        return false;
    }
    if (const char* failure = gme_start_track(m_emu, track)) {
        error = failure;
        return false;
    }
    m_track = track;
    return true;
}

bool CGmeEngine::Render(int16_t* frames, int frameCount) {
    if (gme_track_ended(m_emu) || gme_play(m_emu, frameCount * 2, frames) != nullptr) {
        std::memset(frames, 0, static_cast<size_t>(frameCount) * 4);
        return false;
    }
    return true;
}

// libgme's own seek mutes the chips while it runs ahead, and a muted chip
// keeps its oscillators still, so the tune would go on from there with other
// phases than it had. Played there unheard instead, it sounds as it would.
bool CGmeEngine::Seek(int ms, const SeekGivenUp& givenUp) {
    const long target = static_cast<long>(std::max(ms, 0)) * 44100 / 1000 * 2; // samples
    long at = gme_tell_samples(m_emu);
    if (target < at) {
        if (gme_start_track(m_emu, m_track) != nullptr) return false;
        at = gme_tell_samples(m_emu);
    }
    std::vector<short> unheard(2 * kUnheardChunkFrames);
    while (at < target && !gme_track_ended(m_emu)) {
        if (givenUp()) return false;
        const int count = static_cast<int>(std::min<long>(target - at, 2 * kUnheardChunkFrames));
        if (gme_play(m_emu, count, unheard.data()) != nullptr) return false;
        at += count;
    }
    return true;
}

std::vector<std::string> CGmeEngine::Voices() {
    std::vector<std::string> voices;
    for (int voice = 0; voice < gme_voice_count(m_emu); ++voice) {
        const char* name = gme_voice_name(m_emu, voice);
        voices.push_back(name && *name ? name : "Voice " + std::to_string(voice + 1));
    }
    return voices;
}

void CGmeEngine::MuteVoices(const std::vector<bool>& muted) {
    int mask = 0;
    for (size_t voice = 0; voice < muted.size() && voice < 31; ++voice)
        if (muted[voice]) mask |= 1 << voice;
    gme_mute_voices(m_emu, mask);
}

} // namespace tarvocore
