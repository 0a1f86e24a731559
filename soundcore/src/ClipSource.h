#pragma once

#include "MusicData.h"

#include <cstdint>
#include <string>

struct Music_Emu;

namespace tarvocore {

// The sound of one clip: a track of a music file played by libgme from its
// start, or silence. Looping tunes loop for ever.
class CClipSource {
public:
    CClipSource() = default;
    ~CClipSource();
    CClipSource(const CClipSource&) = delete;
    CClipSource& operator=(const CClipSource&) = delete;

    // `data` must already be checked; false with libgme's reason.
    bool Start(Bytes data, int track, std::string& error);
    void StartSilence();
    // Always fills every frame: after the end of a tune, with silence.
    void Render(int16_t* frames, int frameCount);

private:
    void Release();

    Bytes m_data; // libgme may read the data it was opened on for as long as it plays
    Music_Emu* m_emu = nullptr;
};

} // namespace tarvocore
