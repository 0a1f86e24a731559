// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarvocore {

// A chip's samples at its own rate brought to the output's: each output
// sample lies between two of the chip's, weighted by where it falls.
class CRateConverter {
public:
    void SetRates(double chipRate, double outputRate) {
        m_step = chipRate > 0 && outputRate > 0 ? chipRate / outputRate : 0;
    }
    void Reset() {
        m_position = 1.0;
        m_previous[0] = m_previous[1] = m_current[0] = m_current[1] = 0;
    }
    // The next output sample; `next` gives the chip's next sample when due.
    template <typename NextSample> void Step(NextSample&& next, double& left, double& right) {
        m_position += m_step;
        while (m_position >= 1.0) {
            m_position -= 1.0;
            m_previous[0] = m_current[0];
            m_previous[1] = m_current[1];
            next(m_current[0], m_current[1]);
        }
        left = m_previous[0] + (m_current[0] - m_previous[0]) * m_position;
        right = m_previous[1] + (m_current[1] - m_previous[1]) * m_position;
    }

private:
    double m_step = 0;
    double m_position = 1.0;
    double m_previous[2] = {0, 0};
    double m_current[2] = {0, 0};
};

} // namespace tarvocore
