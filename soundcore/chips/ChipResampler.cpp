// SPDX-License-Identifier: GPL-3.0-or-later
#include "chips/ChipResampler.h"

#include <algorithm>
#include <soxr.h>

namespace tarvocore {

namespace {

constexpr double kOutputRate = 44100;

} // namespace

CChipResampler::~CChipResampler() {
    soxr_delete(m_soxr);
}

// libsoxr's medium quality: 16-bit precision, more than the 16-bit output
// keeps, at about a tenth of what the chips themselves cost. One thread: the
// emulator's process starts none.
void CChipResampler::Start(int chipRate, long frame) {
    soxr_delete(m_soxr);
    m_soxr = nullptr;
    m_input.clear();
    m_startFrame = frame;
    m_madeFrames = 0;
    if (chipRate <= 0) return;
    m_ratio = kOutputRate / chipRate;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_MQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    m_soxr = soxr_create(chipRate, kOutputRate, 2, &error, &io, &quality, &runtime);
    if (error) {
        soxr_delete(m_soxr);
        m_soxr = nullptr;
    }
}

void CChipResampler::Process() {
    if (m_input.empty()) return; // a null input would end the stream
    Run(m_input.data(), m_input.size() / 2);
    m_input.clear();
}

void CChipResampler::Finish(long frame) {
    Process();
    Run(nullptr, 0);
    // libsoxr rounds the count its own way; the mix needs it to the frame.
    const long wanted = std::max(frame - m_startFrame, 0L);
    const long extra = m_madeFrames - wanted;
    if (extra > 0)
        m_output.resize(m_output.size() - 2 * std::min<size_t>(extra, Ready()));
    else
        m_output.resize(m_output.size() + 2 * static_cast<size_t>(-extra), 0.0f);
    m_madeFrames = wanted;
}

// Input ends the stream when it is null: the filter's tail comes out.
void CChipResampler::Run(const float* input, size_t frames) {
    const auto outputFor = [this](size_t chipFrames) {
        return static_cast<size_t>(static_cast<double>(chipFrames) * m_ratio);
    };
    if (!m_soxr) { // silence, in step
        m_madeFrames += static_cast<long>(outputFor(frames));
        m_output.resize(m_output.size() + 2 * outputFor(frames), 0.0f);
        return;
    }
    for (;;) {
        const size_t room = outputFor(frames) + 256;
        const size_t at = m_output.size();
        m_output.resize(at + 2 * room);
        size_t used = 0, made = 0;
        soxr_process(m_soxr, input, frames, input ? &used : nullptr, m_output.data() + at, room,
                     &made);
        m_output.resize(at + 2 * made);
        m_madeFrames += static_cast<long>(made);
        if (input) {
            input += 2 * used;
            frames -= used;
        }
        if ((input && frames == 0 && made < room) || (!input && made == 0)) return;
    }
}

void CChipResampler::Take(size_t frames) {
    m_read += 2 * std::min(frames, Ready());
    // What was taken goes once it is most of what is held.
    if (m_read > 4096 && m_read * 2 > m_output.size()) {
        m_output.erase(m_output.begin(), m_output.begin() + static_cast<long>(m_read));
        m_read = 0;
    }
}

void CChipResampler::Clear() {
    soxr_delete(m_soxr);
    m_soxr = nullptr;
    m_input.clear();
    m_output.clear();
    m_read = 0;
    m_startFrame = 0;
    m_madeFrames = 0;
}

} // namespace tarvocore
