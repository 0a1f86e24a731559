// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Volume.h"

#include <algorithm>
#include <cmath>

namespace tarvocore {

void CVolume::SetPercent(int percent) {
    m_percent = std::clamp(percent, 0, 100);
    m_gain = std::pow(m_percent / 100.0, 3);
}

const int16_t* CVolume::Apply(const int16_t* frames, int frameCount) {
    if (m_percent == 100) return frames;
    m_scaled.resize(static_cast<size_t>(std::max(frameCount, 0)) * 2);
    for (size_t i = 0; i < m_scaled.size(); ++i)
        m_scaled[i] = static_cast<int16_t>(std::lround(frames[i] * m_gain));
    return m_scaled.data();
}

} // namespace tarvocore
