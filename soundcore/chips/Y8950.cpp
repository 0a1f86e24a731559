// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/Y8950.h"

namespace tarvocore {

namespace {

// The Y8950's ADPCM registers as the ADPCM-B channel numbers them.
int AdpcmRegister(uint8_t reg) {
    switch (reg) {
    case 0x07:
        return CAdpcmB::kControl;
    case 0x09:
        return CAdpcmB::kStartLow;
    case 0x0A:
        return CAdpcmB::kStartHigh;
    case 0x0B:
        return CAdpcmB::kEndLow;
    case 0x0C:
        return CAdpcmB::kEndHigh;
    case 0x10:
        return CAdpcmB::kDeltaNLow;
    case 0x11:
        return CAdpcmB::kDeltaNHigh;
    case 0x12:
        return CAdpcmB::kLevel;
    default:
        return -1;
    }
}

} // namespace

CY8950::CY8950() {
    m_fm.SetKind(COplChip::Kind::Opl);
}

void CY8950::Reset() {
    m_fm.Reset();
    m_adpcm.Reset();
    m_adpcm.Rom() = CSharedRom{}; // the stream's data blocks fill it again
}

void CY8950::Write(uint8_t reg, uint8_t value) {
    if (const int adpcm = AdpcmRegister(reg); adpcm >= 0)
        m_adpcm.Write(static_cast<uint8_t>(adpcm), value);
    else
        m_fm.Write(0, reg, value);
}

void CY8950::Mute(int voice, bool muted) {
    if (voice < kFmChannels)
        m_fm.Mute(voice, muted);
    else if (voice == kFmChannels)
        m_adpcm.Mute(muted);
}

void CY8950::NextSample(int& left, int& right) {
    m_fm.NextSample(left, right);
    double adpcmLeft = 0, adpcmRight = 0;
    m_adpcm.NextSample(adpcmLeft, adpcmRight);
    left = 2 * left + static_cast<int>(adpcmLeft);
    right = 2 * right + static_cast<int>(adpcmRight);
}

} // namespace tarvocore
