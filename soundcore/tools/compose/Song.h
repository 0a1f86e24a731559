// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/VgmBuilder.h"

#include <functional>
#include <string>
#include <vector>

namespace compose {

// A tune in four parts on the SN76489: a lead melody, an arpeggio of each
// bar's chord, a bass line and noise drums. Bars are sixteen steps long.
struct Song {
    std::string title;
    int framesPerStep = 7;
    std::vector<std::string> chords; // one a bar: "Am", "F", "C#m", "Bb"
    std::string melody;              // "A4/4 C5/2 r/2 ..." note/steps
    std::string bass;                // 16 steps: R root, 5 fifth, O octave, - rest, . hold
    std::string drums;               // 16 steps: k kick, s snare, h hat, . nothing
    bool loops = true;
    int leadAttenuation = 2;
    int arpAttenuation = 9;
};

// One note of a melody: a MIDI note number (-1 for a rest) held for steps.
struct Note {
    int midi;
    int steps;
};

// "A4/4 C5/2 r/2 ...": note or rest "r", then the steps it lasts.
std::vector<Note> ParseMelody(const std::string& text);
double FrequencyOf(int midi);

// A voice step by step: the MIDI number where a note is struck, kHold while
// it sounds on, kRest where it is silenced.
constexpr int kRest = -1;
constexpr int kHold = -2;
std::vector<int> StepsOf(const std::string& melody);

// A tune for the two-voice demo formats (tracker, SID, AdLib): a lead and a
// bass, each in ParseMelody's notation, and the 50 Hz frames a step lasts.
struct LeadAndBass {
    std::string name;
    std::string melody;
    std::string bass;
    int framesPerStep = 6;
    int Steps() const; // the longer voice's
};

// Renders a song to frames; a song that does not loop ends with half a second
// of silence.
std::vector<Frame> RenderSong(const Song& song);

// A sound effect: a function giving frame i of n.
std::vector<Frame> RenderEffect(int frameCount, const std::function<Frame(int, int)>& frame);

Bytes ToVgm(const std::vector<Frame>& frames, bool loops, const std::string& track,
            const std::string& game);

// Writes a 16-bit value, high byte first, as the Amiga and C64 formats keep it.
void PutBe16(Bytes& out, size_t at, int value);

} // namespace compose
