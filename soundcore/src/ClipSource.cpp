#include "ClipSource.h"

#include <algorithm>
#include <cstring>
#include <gme/gme.h>

namespace tarvocore {

CClipSource::~CClipSource() {
    Release();
}

void CClipSource::Release() {
    if (m_emu) gme_delete(m_emu);
    m_emu = nullptr;
    m_data.clear();
}

bool CClipSource::Start(Bytes data, int track, std::string& error) {
    Release();
    m_data = std::move(data);
    Music_Emu* emu = nullptr;
    if (const char* failure =
            gme_open_data(m_data.data(), static_cast<long>(m_data.size()), &emu, 44100)) {
        error = failure;
        m_data.clear();
        return false;
    }
    // The player's silence handling decides, so libgme must neither skip a
    // quiet start nor end a track by its own length or silence rules.
    gme_ignore_silence(emu, 1);
    gme_set_autoload_playback_limit(emu, 0);
    if (const char* failure = gme_start_track(emu, track)) {
        error = failure;
        gme_delete(emu);
        m_data.clear();
        return false;
    }
    m_emu = emu;
    return true;
}

void CClipSource::StartSilence() {
    Release();
}

void CClipSource::Render(int16_t* frames, int frameCount) {
    if (!m_emu || gme_track_ended(m_emu) || gme_play(m_emu, frameCount * 2, frames) != nullptr)
        std::memset(frames, 0, static_cast<size_t>(frameCount) * 4);
}

} // namespace tarvocore
