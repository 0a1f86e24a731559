#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tarvocore {

// A RIFF/PCM WAV file, 16-bit stereo at 44100 Hz. The header's sizes are
// completed when the file is closed.
class CWavWriter {
public:
    ~CWavWriter() { Close(); }

    bool Open(const std::string& path, std::string& error);
    void Write(const int16_t* frames, int frameCount);
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

private:
    // Samples are stored little-endian whatever the machine.
    bool WriteLittleEndian(const int16_t* samples, int count);

    std::FILE* m_file = nullptr;
    uint32_t m_dataBytes = 0;
    bool m_failed = false;
};

} // namespace tarvocore
