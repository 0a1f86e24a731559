// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the chips with an array of voices (each with a `muted` flag) share.

#include <array>
#include <cstddef>

namespace tarvocore {

// Every voice back to how it starts, still muted or not: a mute is the
// listener's choice, not the tune's.
template <typename Voice, size_t Count> void ResetKeepingMutes(std::array<Voice, Count>& voices) {
    for (Voice& voice : voices) {
        const bool muted = voice.muted;
        voice = Voice{};
        voice.muted = muted;
    }
}

// Mutes a voice or lets it sound; a number that names none is passed over.
template <typename Voice, size_t Count>
void MuteVoice(std::array<Voice, Count>& voices, int voice, bool muted) {
    if (voice >= 0 && static_cast<size_t>(voice) < Count)
        voices[static_cast<size_t>(voice)].muted = muted;
}

} // namespace tarvocore
