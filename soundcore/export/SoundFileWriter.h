// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

struct sf_private_tag;

namespace tarvocore {

// What a FLAC or Ogg file says of the clip it holds. WAV files carry none,
// so that a recording is the same bytes it always was.
struct SoundTags {
    std::string title;
    std::string album;  // the game
    std::string artist; // its maker
    std::string date;
    int track = -1; // the clip number, -1 for none
};

// A sound file of 16-bit stereo at 44100 Hz, written through libsndfile in
// the format its name asks for: FLAC for ".flac", Ogg Vorbis for ".ogg",
// WAV for any other name. The sizes in its header always describe what the
// file really holds: after a failed write (a full disk) it keeps the frames
// that reached it and stays playable.
class CSoundFileWriter {
public:
    CSoundFileWriter() = default;
    CSoundFileWriter(const CSoundFileWriter&) = delete;
    CSoundFileWriter& operator=(const CSoundFileWriter&) = delete;
    ~CSoundFileWriter() { Close(); }

    // True when the name asks for a format this writer makes (".wav",
    // ".flac", ".ogg", in any case).
    static bool WritesName(const std::string& path);
    // True for the names written as FLAC or Ogg, which carry tags.
    static bool CarriesTags(const std::string& path);

    // Messages name this file in place of the one written, which its writer
    // removes on a failure: a file written under a name of its own until whole.
    void ShowAs(const std::string& finalName) { m_shownName = finalName; }
    bool Open(const std::string& path, const SoundTags& tags, std::string& error);
    // False once a write has failed; `error` then says why, and later writes
    // are dropped.
    bool Write(const int16_t* frames, int frameCount, std::string& error);
    // False when the last data or the header could not be written.
    bool Close(std::string& error);
    void Close() {
        std::string ignored;
        Close(ignored);
    }
    bool IsOpen() const { return m_file != nullptr; }

    // The open file as libsndfile's reads and writes reach it.
    struct Target {
        int fd = -1;
        int error = 0; // of the first failed write, 0 while none failed
    };

private:
    bool Fail(std::string& error);
    bool SetTags(const SoundTags& tags);
    void DropPartOfAFrame();

    Target m_target;
    sf_private_tag* m_file = nullptr;
    std::string m_path;
    std::string m_shownName;
    bool m_wav = true;
    int64_t m_headerBytes = 0;
    uint64_t m_frames = 0; // whole frames that reached the file
};

} // namespace tarvocore
