// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <adplug/opl.h>
#include <array>
#include <memory>
#include <vector>

namespace tarvocore {

// An OPL chip that can silence its channels: AdPlug has no mute of its own,
// so the writes of a muted channel's operator levels are turned to the
// chip's full attenuation on their way in. The channel runs on (its notes
// and envelopes as the song plays them) and sounds again, as written, the
// moment it is let through.
class COplVoiceFilter : public Copl {
public:
    static constexpr int kChannels = 9;

    explicit COplVoiceFilter(std::unique_ptr<Copl> chip);

    void write(int reg, int val) override;
    void setchip(int n) override;
    int getchip() override { return m_chip->getchip(); }
    void init() override;
    void update(short* buf, int samples) override { m_chip->update(buf, samples); }

    void Mute(const std::vector<bool>& muted);

private:
    // The channel whose operator a total-level register sets, -1 for none.
    static int ChannelOfLevelRegister(int reg);

    std::unique_ptr<Copl> m_chip;
    std::array<std::array<int, 256>, 2> m_written{}; // what the song wrote, per chip
    std::vector<bool> m_muted;
};

} // namespace tarvocore
