// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace compose {

using Bytes = std::vector<uint8_t>;

// The state of the SN76489 for one 60 Hz frame: three tone periods, four
// attenuations (0 loudest, 15 off) and, when a drum is struck, a noise mode.
struct Frame {
    int period[3] = {0, 0, 0};
    int attenuation[4] = {15, 15, 15, 15};
    int noiseMode = -1; // -1: leave the noise register alone this frame
};

// Turns frames into a VGM file for the SN76489, writing only what changes.
class VgmBuilder {
public:
    static constexpr uint32_t kClock = 3579545;
    static constexpr int kSamplesPerFrame = 735;

    void Add(const Frame& frame);
    void MarkLoop();
    // The whole file, with a tag block naming the piece.
    Bytes Finish(const std::string& track, const std::string& game) const;

    static int PeriodOf(double frequency);

private:
    void Write(uint8_t value);

    Bytes m_commands;
    long m_samples = 0;
    long m_loopCommand = -1;
    long m_loopSample = 0;
    int m_period[3] = {-1, -1, -1};
    int m_attenuation[4] = {-1, -1, -1, -1};
};

// Appends the tag block naming the piece and points the header at it.
void AppendGd3(Bytes& file, const std::string& track, const std::string& game,
               const std::string& system);
void PutLe32(Bytes& out, size_t at, uint32_t value);

// A VGM compressed as VGZ files are: gzip, at its best.
Bytes Gzip(const Bytes& data);

} // namespace compose
