// SPDX-License-Identifier: GPL-3.0-or-later
#include "src/WavWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvocore {

namespace {

constexpr uint32_t kSampleRate = 44100;
constexpr uint16_t kChannels = 2;
constexpr uint16_t kBitsPerSample = 16;
constexpr uint32_t kFrameBytes = kChannels * kBitsPerSample / 8;
constexpr uint32_t kHeaderSize = 44;
constexpr size_t kBufferBytes = 1 << 18;

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
    PutLe(header + 28, kSampleRate * kFrameBytes, 4);
    PutLe(header + 32, kFrameBytes, 2);
    PutLe(header + 34, kBitsPerSample, 2);
    std::memcpy(header + 36, "data", 4);
    PutLe(header + 40, dataBytes, 4);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

bool CWavWriter::Open(const std::string& path, std::string& error) {
    Close();
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        error = "Cannot create the recording " + path + ": " + std::strerror(errno);
        return false;
    }
    m_path = path;
    m_buffer.resize(kBufferBytes);
    m_buffered = 0;
    m_dataBytes = 0;
    m_errno = 0;
    uint8_t header[kHeaderSize];
    MakeHeader(header, 0);
    if (!WriteAll(m_fd, header, kHeaderSize)) m_errno = errno ? errno : EIO;
    return true;
}

void CWavWriter::BufferLittleEndian(const int16_t* samples, int count) {
    uint8_t* out = m_buffer.data() + m_buffered;
    for (int i = 0; i < count; ++i)
        PutLe(out + 2 * i, static_cast<uint16_t>(samples[i]), 2);
    m_buffered += static_cast<size_t>(count) * 2;
}

bool CWavWriter::Flush() {
    if (m_buffered == 0 || m_errno) return m_errno == 0;
    const bool written = WriteAll(m_fd, m_buffer.data(), m_buffered);
    if (!written) m_errno = errno ? errno : EIO;
    m_buffered = 0;
    return written;
}

bool CWavWriter::Fail(std::string& error) {
    error = "The recording " + m_path + " could not be written: " + std::strerror(m_errno) +
            ". What was written before is kept.";
    return false;
}

bool CWavWriter::Write(const int16_t* frames, int frameCount, std::string& error) {
    if (m_fd < 0 || frameCount <= 0) return true;
    if (m_errno) return false;
    // RIFF sizes are 32-bit: stop before the file could no longer describe itself.
    const uint32_t bytes = static_cast<uint32_t>(frameCount) * kFrameBytes;
    if (m_dataBytes > std::numeric_limits<uint32_t>::max() - kHeaderSize - bytes) return true;
    for (int done = 0; done < frameCount;) {
        const int room = static_cast<int>((m_buffer.size() - m_buffered) / kFrameBytes);
        const int chunk = std::min(room, frameCount - done);
        BufferLittleEndian(frames + 2 * done, chunk * kChannels);
        done += chunk;
        if (m_buffered == m_buffer.size() && !Flush()) return Fail(error);
    }
    m_dataBytes += bytes;
    return true;
}

// The header claims the whole frames the file holds, however many were handed
// to it: a write that failed midway leaves part of a buffer on the disk.
bool CWavWriter::CompleteHeader() {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) return false;
    const uint64_t held = info.st_size > kHeaderSize ? info.st_size - kHeaderSize : 0;
    const uint32_t dataBytes =
        static_cast<uint32_t>(std::min<uint64_t>(held, m_dataBytes) / kFrameBytes * kFrameBytes);
    if (dataBytes != held && ::ftruncate(m_fd, kHeaderSize + dataBytes) != 0) return false;
    uint8_t header[kHeaderSize];
    MakeHeader(header, dataBytes);
    return ::pwrite(m_fd, header, kHeaderSize, 0) == static_cast<ssize_t>(kHeaderSize);
}

bool CWavWriter::Close(std::string& error) {
    if (m_fd < 0) return true;
    Flush();
    if (!CompleteHeader() && !m_errno) m_errno = errno ? errno : EIO;
    if (::close(m_fd) != 0 && !m_errno) m_errno = errno;
    m_fd = -1;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    return m_errno ? Fail(error) : true;
}

} // namespace tarvocore
