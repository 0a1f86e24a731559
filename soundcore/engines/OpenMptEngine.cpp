// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/OpenMptEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>
#include <sstream>
#include <vector>

namespace tarvocore {

namespace {

// Trackers have no field for a song's name, so authors of modules with
// several songs write them into the sample texts: "1: Harbour Lights",
// "2) Storm Chase". Numbered from 1; empty where no text names the song.
std::vector<std::string> SongNamesInTexts(const std::vector<std::string>& texts, int songs) {
    std::vector<std::string> names(static_cast<size_t>(songs));
    for (const std::string& text : texts) {
        size_t at = text.find_first_not_of(' ');
        const size_t digits = text.find_first_not_of("0123456789", at);
        if (at == std::string::npos || digits == at || digits == std::string::npos ||
            digits - at > 3 || std::string(":.)-").find(text[digits]) == std::string::npos)
            continue;
        const int song = std::stoi(text.substr(at, digits - at)) - 1;
        const size_t start = text.find_first_not_of(' ', digits + 1);
        const size_t end = text.find_last_not_of(' ');
        if (song >= 0 && song < songs && start != std::string::npos && names[song].empty())
            names[static_cast<size_t>(song)] = text.substr(start, end + 1 - start);
    }
    return names;
}

} // namespace

COpenMptEngine::COpenMptEngine() = default;
COpenMptEngine::~COpenMptEngine() = default;

bool COpenMptEngine::Plays(const Bytes& data) {
    if (data.empty()) return false; // libopenmpt throws on an empty buffer
    try {
        return openmpt::probe_file_header(openmpt::probe_file_header_flags_default2, data.data(),
                                          data.size()) == openmpt::probe_file_header_result_success;
    } catch (const std::exception&) {
        return false;
    }
}

bool COpenMptEngine::Open(const Bytes& data, const Bytes&, std::string& error) {
    std::ostringstream log; // libopenmpt's own remarks stay out of the way
    try {
        m_module = std::make_unique<openmpt::module_ext>(data.data(), data.size(), log);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

// "4-channel ProTracker module"; the song names from the subsongs' names,
// else from the sample texts, else the module's title.
MusicInfo COpenMptEngine::Info() {
    MusicInfo music;
    const std::string type = m_module->get_metadata("type_long");
    music.system = std::to_string(m_module->get_num_channels()) + "-channel " +
                   (type.empty() ? std::string("tracker") : type) + " module";
    music.game = m_module->get_metadata("title");
    music.author = m_module->get_metadata("artist");
    music.copyright = m_module->get_metadata("date");
    const int songs = std::min(m_module->get_num_subsongs(), 256);
    const std::vector<std::string> names = m_module->get_subsong_names();
    const std::vector<std::string> texts = SongNamesInTexts(m_module->get_sample_names(), songs);
    for (int song = 0; song < songs; ++song) {
        m_module->select_subsong(song);
        TuneInfo tune;
        const size_t index = static_cast<size_t>(song);
        const std::string name =
            index < names.size() && !names[index].empty() ? names[index] : texts[index];
        tune.title = !name.empty() ? name
                     : songs == 1  ? music.game
                                   : music.game + ", part " + std::to_string(song + 1);
        const double seconds = m_module->get_duration_seconds();
        const bool known = seconds > 0 && seconds < 24 * 3600; // also false for NaN and infinity
        tune.lengthMs = known ? static_cast<int>(seconds * 1000) : -1;
        music.tunes.push_back(tune);
    }
    return music;
}

bool COpenMptEngine::Start(int track, std::string& error) {
    if (track < 0 || track >= m_module->get_num_subsongs()) {
        error = "it has no song " + std::to_string(track);
        return false;
    }
    m_module->select_subsong(track);
    m_module->set_position_seconds(0);
    m_module->set_repeat_count(-1); // a game's tune loops, as on the console
    return true;
}

bool COpenMptEngine::Render(int16_t* frames, int frameCount) {
    size_t done = 0;
    while (done < static_cast<size_t>(frameCount)) {
        const size_t got = m_module->read_interleaved_stereo(
            44100, static_cast<size_t>(frameCount) - done, frames + 2 * done);
        if (got == 0) break;
        done += got;
    }
    std::memset(frames + 2 * done, 0, (static_cast<size_t>(frameCount) - done) * 4);
    return done == static_cast<size_t>(frameCount);
}

// libopenmpt goes to the start of a row, with the notes struck before it
// sounding on as they would; the rest of the way is played unheard.
bool COpenMptEngine::Seek(int ms, const SeekGivenUp& givenUp) {
    m_module->ctl_set_boolean("seek.sync_samples", true);
    const double target = std::max(ms, 0) / 1000.0;
    double at = m_module->set_position_seconds(target);
    for (double back = 0.5; at > target && back < 64; back *= 2)
        at = m_module->set_position_seconds(std::max(target - back, 0.0));
    long frames = std::lround((target - at) * 44100);
    std::vector<int16_t> unheard(2 * kUnheardChunkFrames);
    for (; frames > 0; frames -= kUnheardChunkFrames) {
        if (givenUp()) return false;
        const long chunk = std::min<long>(frames, kUnheardChunkFrames);
        if (!Render(unheard.data(), static_cast<int>(chunk))) return false;
    }
    return true;
}

// A module's channels by number, with the name its author gave, if any.
std::vector<std::string> COpenMptEngine::Voices() {
    const std::vector<std::string> names = m_module->get_channel_names();
    std::vector<std::string> voices;
    for (int channel = 0; channel < m_module->get_num_channels(); ++channel) {
        const size_t index = static_cast<size_t>(channel);
        std::string voice = "Channel " + std::to_string(channel + 1);
        if (index < names.size() && names[index].find_first_not_of(' ') != std::string::npos)
            voice += ": " + names[index];
        voices.push_back(voice);
    }
    return voices;
}

void COpenMptEngine::MuteVoices(const std::vector<bool>& muted) {
    auto* mixer = static_cast<openmpt::ext::interactive*>(
        m_module->get_interface(openmpt::ext::interactive_id));
    if (!mixer) return;
    for (int channel = 0; channel < m_module->get_num_channels(); ++channel) {
        const size_t index = static_cast<size_t>(channel);
        mixer->set_channel_mute_status(channel, index < muted.size() && muted[index]);
    }
}

} // namespace tarvocore
