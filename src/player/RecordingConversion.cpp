// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/RecordingConversion.h"

#include "library/TextUtils.h"

#include <cstdio>
#include <memory>
#include <sndfile.h>
#include <vector>

namespace tarvo {

namespace {

struct CloseSoundFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, CloseSoundFile>;

int FormatOf(const std::string& path) {
    return GetLowerExtension(path) == ".flac" ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16
                                              : SF_FORMAT_OGG | SF_FORMAT_VORBIS;
}

void SetTags(SNDFILE* file, const RecordingTags& tags) {
    const std::string track = tags.clip >= 0 ? std::to_string(tags.clip) : std::string();
    const std::pair<int, const std::string*> strings[] = {{SF_STR_TITLE, &tags.title},
                                                          {SF_STR_ALBUM, &tags.game},
                                                          {SF_STR_ARTIST, &tags.maker},
                                                          {SF_STR_DATE, &tags.year},
                                                          {SF_STR_TRACKNUMBER, &track}};
    for (const auto& [kind, text] : strings)
        if (!text->empty()) sf_set_string(file, kind, text->c_str());
}

bool CopyFrames(SNDFILE* from, SNDFILE* to) {
    std::vector<short> chunk(2 * 8192);
    for (sf_count_t got; (got = sf_readf_short(from, chunk.data(), 8192)) > 0;)
        if (sf_writef_short(to, chunk.data(), got) != got) return false;
    return sf_error(from) == SF_ERR_NO_ERROR;
}

} // namespace

bool IsConvertedFormat(const std::string& path) {
    const std::string extension = GetLowerExtension(path);
    return extension == ".flac" || extension == ".ogg";
}

bool ConvertRecording(const std::string& wavPath, const std::string& outPath,
                      const RecordingTags& tags, std::string& error) {
    SF_INFO in{};
    const SoundFile wav(sf_open(wavPath.c_str(), SFM_READ, &in));
    if (!wav) {
        error = "cannot read " + wavPath + ": " + sf_strerror(nullptr);
        return false;
    }
    const std::string part = outPath + ".part";
    SF_INFO out{};
    out.samplerate = in.samplerate;
    out.channels = in.channels;
    out.format = FormatOf(outPath);
    SoundFile converted(sf_open(part.c_str(), SFM_WRITE, &out));
    if (!converted) {
        error = "cannot write " + part + ": " + sf_strerror(nullptr);
        return false;
    }
    SetTags(converted.get(), tags);
    bool whole = CopyFrames(wav.get(), converted.get());
    if (!whole) error = "cannot write " + part + ": " + sf_strerror(converted.get());
    whole = sf_close(converted.release()) == 0 && whole;
    if (whole && std::rename(part.c_str(), outPath.c_str()) != 0) {
        error = "cannot rename " + part;
        whole = false;
    }
    if (!whole) std::remove(part.c_str());
    return whole;
}

} // namespace tarvo
