// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/Song.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace compose {

namespace {

int PitchClass(const std::string& name, size_t& used) {
    static const int kLetters[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G')
        throw std::runtime_error("bad note " + name);
    int pc = kLetters[name[0] - 'A'];
    used = 1;
    if (name.size() > 1 && name[1] == '#') pc += 1, used = 2;
    if (name.size() > 1 && name[1] == 'b') pc += 11, used = 2;
    return pc % 12;
}

} // namespace

std::vector<Note> ParseMelody(const std::string& text) {
    std::vector<Note> notes;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const size_t slash = token.find('/');
        const int steps = std::stoi(token.substr(slash + 1));
        const std::string pitch = token.substr(0, slash);
        if (pitch == "r") {
            notes.push_back({-1, steps});
            continue;
        }
        size_t used = 0;
        const int pc = PitchClass(pitch, used);
        const int octave = std::stoi(pitch.substr(used));
        notes.push_back({12 * (octave + 1) + pc, steps});
    }
    return notes;
}

std::vector<int> StepsOf(const std::string& melody) {
    std::vector<int> steps;
    for (const Note& note : ParseMelody(melody)) {
        steps.push_back(note.midi);
        steps.insert(steps.end(), static_cast<size_t>(std::max(0, note.steps - 1)),
                     note.midi == kRest ? kRest : kHold);
    }
    return steps;
}

int LeadAndBass::Steps() const {
    return static_cast<int>(std::max(StepsOf(melody).size(), StepsOf(bass).size()));
}

namespace {

struct Chord {
    int root; // pitch class
    bool minor;
};

Chord ParseChord(const std::string& name) {
    size_t used = 0;
    const int root = PitchClass(name, used);
    return {root, name.size() > used && name[used] == 'm'};
}

// Lead: a bright attack that settles a little.
int LeadAttenuation(int base, int framesIntoNote) {
    return std::min(base + framesIntoNote / 5, base + 4);
}

} // namespace

std::vector<Frame> RenderSong(const Song& song) {
    const std::vector<Note> melody = ParseMelody(song.melody);
    const int steps = static_cast<int>(song.chords.size()) * 16;
    const int frames = steps * song.framesPerStep;

    // Where each melody note starts, in frames.
    std::vector<int> noteAt(static_cast<size_t>(frames), -1);
    std::vector<int> noteStart(static_cast<size_t>(frames), 0);
    int step = 0;
    for (const Note& note : melody) {
        for (int f = step * song.framesPerStep;
             f < (step + note.steps) * song.framesPerStep && f < frames; ++f) {
            noteAt[f] = note.midi;
            noteStart[f] = step * song.framesPerStep;
        }
        step += note.steps;
    }

    std::vector<Frame> out;
    int bassNote = -1, bassSince = 0, drumSince = 0;
    char drum = '.';
    for (int f = 0; f < frames; ++f) {
        Frame frame;
        const int s = f / song.framesPerStep;
        const int inStep = f % song.framesPerStep;
        const Chord chord = ParseChord(song.chords[s / 16]);
        const int third = chord.minor ? 3 : 4;

        if (noteAt[f] >= 0) {
            // A short gap before a repeated note keeps it from slurring.
            const bool gap =
                f + 1 < frames && noteStart[f + 1] != noteStart[f] && noteAt[f + 1] == noteAt[f];
            frame.period[0] = VgmBuilder::PeriodOf(FrequencyOf(noteAt[f]));
            frame.attenuation[0] =
                gap ? 15 : LeadAttenuation(song.leadAttenuation, f - noteStart[f]);
        }

        const int arpRoot = 60 + chord.root;
        const int arpNotes[3] = {arpRoot, arpRoot + third, arpRoot + 7};
        frame.period[1] = VgmBuilder::PeriodOf(FrequencyOf(arpNotes[f % 3]));
        frame.attenuation[1] = std::min(15, song.arpAttenuation + (s % 2 ? 1 : 0) + inStep / 3);

        const char b = song.bass[s % 16];
        if (b == 'R' || b == '5' || b == 'O') {
            const int root = 45 + (chord.root + 3) % 12;
            bassNote = b == 'R' ? root : b == '5' ? root + 7 : root + 12;
            if (inStep == 0) bassSince = f;
        } else if (b == '-') {
            bassNote = -1;
        }
        if (bassNote >= 0) {
            frame.period[2] = VgmBuilder::PeriodOf(FrequencyOf(bassNote));
            frame.attenuation[2] = std::min(12, 3 + (f - bassSince) / 3);
        }

        const char d = song.drums[s % 16];
        if (inStep == 0 && d != '.') {
            drum = d;
            drumSince = f;
            frame.noiseMode = d == 'k' ? 0x06 : d == 's' ? 0x05 : 0x04;
        }
        const int age = f - drumSince;
        const int drumAtt = drum == 'k' ? 2 + 3 * age : drum == 's' ? 3 + 2 * age : 7 + 4 * age;
        frame.attenuation[3] = drum == '.' ? 15 : std::min(15, drumAtt);
        out.push_back(frame);
    }
    if (!song.loops) out.insert(out.end(), 30, Frame());
    return out;
}

std::vector<Frame> RenderEffect(int frameCount, const std::function<Frame(int, int)>& frame) {
    std::vector<Frame> out;
    for (int i = 0; i < frameCount; ++i)
        out.push_back(frame(i, frameCount));
    out.insert(out.end(), 18, Frame());
    return out;
}

Bytes ToVgm(const std::vector<Frame>& frames, bool loops, const std::string& track,
            const std::string& game) {
    VgmBuilder builder;
    if (loops) builder.MarkLoop();
    for (const Frame& frame : frames)
        builder.Add(frame);
    return builder.Finish(track, game);
}

double FrequencyOf(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

void PutBe16(Bytes& out, size_t at, int value) {
    out[at] = static_cast<uint8_t>(value >> 8);
    out[at + 1] = static_cast<uint8_t>(value);
}

} // namespace compose
