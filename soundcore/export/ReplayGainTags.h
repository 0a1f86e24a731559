// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "playback/LoudnessMeter.h"

#include <string>

namespace tarvocore {

// REPLAYGAIN_TRACK_GAIN and REPLAYGAIN_TRACK_PEAK added to the tags of a
// FLAC or Ogg Vorbis file whose sound measured `loudness`, so that other
// players bring it to the same loudness Tarvo plays it at. The sound itself
// is left as it is. False, with why, when the file could not be changed.
bool AddReplayGainTags(const std::string& path, const TuneLoudness& loudness, std::string& error);

// The two tags' values: the gain to the reference loudness ("-3.21 dB")
// and the true peak ("0.912345").
std::string ReplayGainText(const TuneLoudness& loudness);
std::string ReplayPeakText(const TuneLoudness& loudness);

} // namespace tarvocore
