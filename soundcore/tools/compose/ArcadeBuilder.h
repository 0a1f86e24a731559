// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/Song.h"
#include "tools/compose/VgmBuilder.h"

#include <string>

namespace compose {

// The sample chip beside the YM2151: a CPS-1-style board's OKIM6295 or a
// System-16-style board's SegaPCM.
enum class ArcadeBoard { Oki, SegaPcm };

// An arcade tune as a VGM: the lead and the bass on two YM2151 channels of
// FM patches of their own, a kick and a snare sampled into the board's
// sample chip's ROM. It loops from its first note, or ends after a rest.
Bytes ToArcadeVgm(const LeadAndBass& tune, ArcadeBoard board, bool loops, const std::string& game);

// An effect: a pitch falling (or rising) on the YM2151 over `frames` 60 Hz
// frames, from `fromMidi` to `toMidi`, with the board's snare struck at once.
Bytes ArcadeEffect(const std::string& name, ArcadeBoard board, int fromMidi, int toMidi, int frames,
                   const std::string& game);

} // namespace compose
