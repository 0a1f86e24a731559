// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/Song.h"
#include "tools/compose/VgmBuilder.h"

#include <string>

namespace compose {

// The boards the arcade demo games are written for: the YM2151 with a
// CPS-1-style board's OKIM6295 or a System-16-style board's SegaPCM for its
// drums; a Neo Geo-style YM2610 (FM, SSG and ADPCM-A drums); a YM3812 with
// an OKIM6295, as Toaplan's and Data East's boards have them.
enum class ArcadeBoard { Oki, SegaPcm, Ym2610, Ym3812 };

// The system a board's tunes name in their tags: "Arcade (YM2610)".
std::string BoardSystem(ArcadeBoard board);

// An arcade tune as a VGM: the lead and the bass on two FM channels of
// patches of their own, a kick and a snare sampled into the board's sample
// chip's ROM (on the YM2610 the SSG doubles the lead an octave down). It
// loops from its first note, or ends after a rest.
Bytes ToArcadeVgm(const LeadAndBass& tune, ArcadeBoard board, bool loops, const std::string& game);

// An effect: a pitch falling (or rising) on the FM over `frames` 60 Hz
// frames, from `fromMidi` to `toMidi`, with the board's snare struck at once.
Bytes ArcadeEffect(const std::string& name, ArcadeBoard board, int fromMidi, int toMidi, int frames,
                   const std::string& game);

} // namespace compose
