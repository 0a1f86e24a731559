// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/AdPlugOpl.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

namespace {

// The AdLib's crystal, divided by 4 as the card does.
constexpr uint32_t kAdLibClock = 14318180 / 4;
// Nine channels sounding sines at full level, in unrelated pitches, peak at
// the very top of the 16-bit range in the emulator's own scale, and the
// loudest real songs come close to that. At this gain they keep 2 dB of
// headroom and sound 2 dB softer than in the 16-bit emulators, which
// flattened them at half scale.
constexpr float kGain = 0.8f;

} // namespace

CAdPlugOpl::CAdPlugOpl() {
    currType = TYPE_OPL3;
    m_chip.SetClock(kAdLibClock);
    m_chipRate = static_cast<int>(std::lround(m_chip.Rate()));
    init();
}

void CAdPlugOpl::write(int reg, int val) {
    m_chip.Write(currChip, static_cast<uint8_t>(reg), static_cast<uint8_t>(val));
}

void CAdPlugOpl::setchip(int n) {
    Copl::setchip(n);
    if (currChip == 1) m_chip.SetKind(COplChip::Kind::Opl3);
}

void CAdPlugOpl::init() {
    currChip = 0;
    m_chip.SetKind(COplChip::Kind::Opl2);
    m_chip.Reset();
    m_resampler.Clear();
    m_resampler.Start(m_chipRate, 0);
    m_outputFrames = m_chipSamples = 0;
}

void CAdPlugOpl::Run(int frames) {
    m_outputFrames += frames;
    const long due = m_outputFrames * m_chipRate / kOutputRate;
    std::vector<float>& input = m_resampler.Input();
    for (; m_chipSamples < due; ++m_chipSamples) {
        int left = 0, right = 0;
        m_chip.NextSample(left, right);
        input.push_back(static_cast<float>(left) * kGain);
        input.push_back(static_cast<float>(right) * kGain);
    }
    m_resampler.Process();
}

void CAdPlugOpl::Take(int16_t* stereo, int frames) {
    const float* ready = m_resampler.Frames();
    for (int i = 0; i < 2 * frames; ++i)
        stereo[i] = static_cast<int16_t>(std::clamp(std::lround(ready[i]), -32768L, 32767L));
    m_resampler.Take(static_cast<size_t>(frames));
}

void CAdPlugOpl::Mute(const std::vector<bool>& muted) {
    for (int channel = 0; channel < kChannels; ++channel) {
        const bool mute =
            static_cast<size_t>(channel) < muted.size() && muted[static_cast<size_t>(channel)];
        m_chip.Mute(channel, mute);
        m_chip.Mute(channel + kChannels, mute);
    }
}

} // namespace tarvocore
