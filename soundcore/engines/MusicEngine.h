// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tarvocore {

// Asked now and then while a seek runs: true once the seek is no longer
// wanted (another took its place), and the engine stops where it got to.
using SeekGivenUp = std::function<bool()>;

// One emulator library behind the few things the core asks of it. Engines
// run only inside the emulator process, never in the program's.
class IMusicEngine {
public:
    virtual ~IMusicEngine() = default;

    // Reads a music file and, when given, the track list beside it (.m3u);
    // false with the reason.
    virtual bool Open(const Bytes& data, const Bytes& trackList, std::string& error) = 0;
    virtual MusicInfo Info() = 0;
    // Which songs Info plays through, for an engine that measures its songs
    // by playing them (kEverySong, kNoSong, or one song): a song that stops
    // the emulator can then be found alone. The others measure nothing so.
    virtual void MeasureOnly(int song) { (void)song; }
    virtual bool Start(int track, std::string& error) = 0;
    // Fills every frame (stereo, 44100 Hz); false once the tune has ended,
    // the frames then being silence.
    virtual bool Render(int16_t* frames, int frameCount) = 0;
    // Goes to `ms` into the started tune, as if it had played there from its
    // start; false when the engine cannot, or when `givenUp` said so on the way.
    virtual bool Seek(int ms, const SeekGivenUp& givenUp) = 0;
    // The started tune's voices (a chip's channels) by the library's names, in
    // the order MuteVoices takes them.
    virtual std::vector<std::string> Voices() = 0;
    // Silences the voices marked true from the next frame rendered; the rest sound.
    virtual void MuteVoices(const std::vector<bool>& muted) = 0;
    // Whether going back in the tune is cheap (a state kept on the way, the
    // library's own jump, a replay fast enough) rather than a replay that
    // grows with the place: a mute is then heard at once, rendered again from
    // the place heard; otherwise it is heard once what was rendered ahead has
    // played, which the emulator then keeps short.
    virtual bool GoesBackCheaply() const = 0;
};

// A seek for an engine whose chips' state rests on every sample played: the
// tune is played unheard to `ms`, from its start (`track` started again) when
// the place lies behind `playedFrames`, which the engine's Render counts.
// False when the tune cannot start or ends on the way, or the seek is given up.
bool PlayUnheardTo(IMusicEngine& engine, int track, const long& playedFrames, int ms,
                   const SeekGivenUp& givenUp);

// How much sound a seek plays unheard between two looks at whether it is
// still wanted: about 0.1 s of the tune, a few milliseconds of work.
constexpr int kUnheardChunkFrames = 4096;

// The engine for a file, chosen by its content and, where that says
// nothing, by its name; null when no engine plays it. `companions`: the
// files beside it that its format may open by name.
std::unique_ptr<IMusicEngine> MakeMusicEngine(const Bytes& data, const std::string& name,
                                              CompanionFiles companions = {});

} // namespace tarvocore
