#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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
    // The file's buffer is the writer's own: given none, stdio would use a
    // 4 KiB one whatever size was asked for.
    std::vector<char> m_buffer;
    uint32_t m_dataBytes = 0;
    bool m_failed = false;
};

} // namespace tarvocore
