// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace tarvocore {

// The listener's volume on the sound sent to the device, 0 to 100 %, on the
// cubic curve desktop mixers use (50 % is 18 dB down), so each step sounds
// about as large as the last. Meters, recordings and exports never see it.
class CVolume {
public:
    void SetPercent(int percent);
    int Percent() const { return m_percent; }
    double Gain() const { return m_gain; }
    // The frames at the volume: `frames` themselves at 100 %, else a copy
    // held here until the next call.
    const int16_t* Apply(const int16_t* frames, int frameCount);

private:
    int m_percent = 100;
    double m_gain = 1;
    std::vector<int16_t> m_scaled;
};

} // namespace tarvocore
