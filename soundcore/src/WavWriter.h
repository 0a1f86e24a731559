// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvocore {

// A RIFF/PCM WAV file, 16-bit stereo at 44100 Hz. The header's sizes are
// completed when the file is closed, and always describe what the file
// really holds: after a failed write (a full disk) the file keeps the whole
// frames that reached it and stays playable.
class CWavWriter {
public:
    ~CWavWriter() { Close(); }

    bool Open(const std::string& path, std::string& error);
    // False once a write has failed; `error` then says why, and later writes
    // are dropped.
    bool Write(const int16_t* frames, int frameCount, std::string& error);
    // False when the last data or the header could not be written.
    bool Close(std::string& error);
    void Close() {
        std::string ignored;
        Close(ignored);
    }
    bool IsOpen() const { return m_fd >= 0; }

private:
    // Samples are stored little-endian whatever the machine.
    void BufferLittleEndian(const int16_t* samples, int count);
    bool Flush();
    bool Fail(std::string& error);
    bool CompleteHeader();

    int m_fd = -1;
    std::string m_path;
    // Large writes keep the cost of recording small beside the emulation.
    std::vector<uint8_t> m_buffer;
    size_t m_buffered = 0;
    uint32_t m_dataBytes = 0;
    int m_errno = 0; // of the first failed write, 0 while none failed
};

} // namespace tarvocore
