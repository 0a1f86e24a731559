// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/ClipOrder.h"

#include "library/ROMList.h"
#include "playlist/Playlist.h"
#include "settings/Config.h"

namespace tarvo {

namespace {

// From `target` on in `direction`, wrapping through clip 0 and the last clip,
// the first clip not marked blank; `target` itself when every clip is blank.
int FirstAudibleClip(const CClipInfo& info, int target, int direction) {
    const int span = info.lastClip + 1;
    for (int i = 0; i < span; ++i) {
        const int clip = ((target + direction * i) % span + span) % span;
        if (!info.IsBlank(clip)) return clip;
    }
    return target;
}

} // namespace

CClipOrder::CClipOrder(const PlayerStatus& status, const CROMList& romList,
                       const CPlaylist& playlist, const Config& config, std::function<int()> random)
    : m_status(status), m_romList(romList), m_playlist(playlist), m_config(config),
      m_random(std::move(random)) {}

int CClipOrder::NextTarget(int from) const {
    if (m_status.playlistMode) {
        if (m_config.Shuffle) return ShufflePick();
        const int p = from == -1 ? m_status.playlistPos : from;
        return p >= 0 && p < m_playlist.GetCount() - 1 ? p + 1 : 0;
    }
    const CGameEntry* game = m_romList.GetEntry(m_status.currentGame);
    if (!game) return -1;
    const CClipInfo& info = game->clipInfo;
    const int cur = from == -1 ? m_status.currentClip : from;
    const int target = cur >= info.lastClip || cur < 0 ? info.firstClip : cur + 1;
    if (m_config.ShowBlanks) return target;
    return FirstAudibleClip(info, target, +1);
}

int CClipOrder::PrevTarget(int from) const {
    if (m_status.playlistMode) {
        int p = from == -1 ? m_status.playlistPos : from;
        if (p <= 0) p = m_playlist.GetCount();
        return p - 1;
    }
    const CGameEntry* game = m_romList.GetEntry(m_status.currentGame);
    if (!game) return -1;
    const CClipInfo& info = game->clipInfo;
    const int cur = from == -1 ? m_status.currentClip : from;
    const int target = cur <= info.firstClip ? info.lastClip : cur - 1;
    if (m_config.ShowBlanks) return target;
    return FirstAudibleClip(info, target, -1);
}

int CClipOrder::ShufflePick() const {
    const int count = m_playlist.GetCount();
    const int current = m_status.playlistPos;
    if (count <= 1 || !m_random) return current;
    int pick = current;
    while (pick == current)
        pick = static_cast<int>(static_cast<long long>(m_random()) * count / 32768);
    return pick;
}

int CClipOrder::ClipToStart() const {
    if (m_status.currentClip >= 0) return m_status.currentClip;
    return m_status.playlistMode ? -1 : NextTarget(-1);
}

} // namespace tarvo
