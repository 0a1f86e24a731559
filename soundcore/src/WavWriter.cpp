#include "WavWriter.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>

namespace tarvocore {

namespace {

constexpr uint32_t kSampleRate = 44100;
constexpr uint16_t kChannels = 2;
constexpr uint16_t kBitsPerSample = 16;
constexpr uint32_t kHeaderSize = 44;

void PutLe(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void MakeHeader(uint8_t (&header)[kHeaderSize], uint32_t dataBytes) {
    std::memcpy(header, "RIFF\0\0\0\0WAVEfmt ", 16);
    PutLe(header + 4, 36 + dataBytes, 4);
    PutLe(header + 16, 16, 4); // format chunk size
    PutLe(header + 20, 1, 2);  // PCM
    PutLe(header + 22, kChannels, 2);
    PutLe(header + 24, kSampleRate, 4);
    PutLe(header + 28, kSampleRate * kChannels * kBitsPerSample / 8, 4);
    PutLe(header + 32, kChannels * kBitsPerSample / 8, 2);
    PutLe(header + 34, kBitsPerSample, 2);
    std::memcpy(header + 36, "data", 4);
    PutLe(header + 40, dataBytes, 4);
}

} // namespace

bool CWavWriter::WriteLittleEndian(const int16_t* samples, int count) {
    if constexpr (std::endian::native == std::endian::little)
        return std::fwrite(samples, 2, static_cast<size_t>(count), m_file) ==
               static_cast<size_t>(count);
    uint8_t buffer[4096];
    for (int done = 0; done < count;) {
        const int chunk = std::min<int>(count - done, sizeof buffer / 2);
        for (int i = 0; i < chunk; ++i)
            PutLe(buffer + 2 * i, static_cast<uint16_t>(samples[done + i]), 2);
        const size_t bytes = static_cast<size_t>(chunk) * 2;
        if (std::fwrite(buffer, 1, bytes, m_file) != bytes) return false;
        done += chunk;
    }
    return true;
}

bool CWavWriter::Open(const std::string& path, std::string& error) {
    Close();
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file) {
        error = "cannot create the WAV file " + path + ": " + std::strerror(errno);
        return false;
    }
    // Large writes keep the cost of recording small beside the emulation.
    m_buffer.resize(1 << 18);
    std::setvbuf(m_file, m_buffer.data(), _IOFBF, m_buffer.size());
    m_dataBytes = 0;
    m_failed = false;
    uint8_t header[kHeaderSize];
    MakeHeader(header, 0);
    m_failed = std::fwrite(header, 1, kHeaderSize, m_file) != kHeaderSize;
    return true;
}

void CWavWriter::Write(const int16_t* frames, int frameCount) {
    if (!m_file || m_failed || frameCount <= 0) return;
    const uint32_t bytes = static_cast<uint32_t>(frameCount) * kChannels * 2;
    // RIFF sizes are 32-bit: stop before the file could no longer describe itself.
    if (m_dataBytes > std::numeric_limits<uint32_t>::max() - kHeaderSize - bytes) return;
    if (!WriteLittleEndian(frames, frameCount * kChannels)) {
        m_failed = true;
        return;
    }
    m_dataBytes += bytes;
}

void CWavWriter::Close() {
    if (!m_file) return;
    uint8_t header[kHeaderSize];
    MakeHeader(header, m_dataBytes);
    if (std::fseek(m_file, 0, SEEK_SET) == 0) std::fwrite(header, 1, kHeaderSize, m_file);
    std::fclose(m_file);
    m_file = nullptr;
}

} // namespace tarvocore
