// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/SoundFileWriter.h"

#include "common/MusicFormats.h"
#include "playback/OutputAnalysis.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvocore {

namespace {

constexpr int kChannels = 2;
constexpr uint64_t kFrameBytes = kChannels * sizeof(int16_t);
// RIFF sizes are 32-bit: a WAV stops growing before it could no longer
// describe itself.
constexpr uint64_t kLargestWavData = 0xFFFFFFFFull - 1024;

using Target = CSoundFileWriter::Target;

Target& TargetOf(void* user) {
    return *static_cast<Target*>(user);
}

sf_count_t FileLength(void* user) {
    struct stat info {};
    return ::fstat(TargetOf(user).fd, &info) == 0 ? info.st_size : -1;
}

sf_count_t SeekTo(sf_count_t offset, int whence, void* user) {
    return ::lseek(TargetOf(user).fd, offset, whence);
}

sf_count_t ReadFrom(void* at, sf_count_t count, void* user) {
    const ssize_t got = ::read(TargetOf(user).fd, at, static_cast<size_t>(count));
    return got < 0 ? 0 : got;
}

sf_count_t Tell(void* user) {
    return ::lseek(TargetOf(user).fd, 0, SEEK_CUR);
}

// Writes all it can; a write that fails keeps its reason for the message.
sf_count_t WriteTo(const void* from, sf_count_t count, void* user) {
    Target& target = TargetOf(user);
    const char* data = static_cast<const char*>(from);
    sf_count_t done = 0;
    while (done < count) {
        const ssize_t written = ::write(target.fd, data + done, static_cast<size_t>(count - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (!target.error) target.error = written < 0 ? errno : ENOSPC;
            break;
        }
        done += written;
    }
    return done;
}

SF_VIRTUAL_IO kFileIo = {FileLength, SeekTo, ReadFrom, WriteTo, Tell};

int FormatOfName(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    if (extension == "ogg") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

} // namespace

bool CSoundFileWriter::WritesName(const std::string& path) {
    const std::string extension = LowerExtension(path);
    return extension == "wav" || extension == "flac" || extension == "ogg";
}

bool CSoundFileWriter::CarriesTags(const std::string& path) {
    return (FormatOfName(path) & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV;
}

bool CSoundFileWriter::Open(const std::string& path, const SoundTags& tags, std::string& error) {
    Close();
    m_target = {};
    m_target.fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    m_path = m_shownName.empty() ? path : m_shownName;
    if (m_target.fd < 0) {
        error = "Cannot create " + m_path + ": " + std::strerror(errno);
        return false;
    }
    m_frames = 0;
    SF_INFO info{};
    info.samplerate = kSampleRate;
    info.channels = kChannels;
    info.format = FormatOfName(path);
    m_wav = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV;
    m_file = sf_open_virtual(&kFileIo, SFM_WRITE, &info, &m_target);
    if (!m_file || (!m_wav && !SetTags(tags))) {
        error = "Cannot write " + m_path + ": " + sf_strerror(m_file);
        if (m_file) sf_close(m_file);
        m_file = nullptr;
        ::close(m_target.fd);
        m_target.fd = -1;
        return false;
    }
    m_headerBytes = Tell(&m_target);
    return true;
}

bool CSoundFileWriter::SetTags(const SoundTags& tags) {
    const std::string track = tags.track >= 0 ? std::to_string(tags.track) : std::string();
    const std::pair<int, const std::string*> strings[] = {{SF_STR_TITLE, &tags.title},
                                                          {SF_STR_ALBUM, &tags.album},
                                                          {SF_STR_ARTIST, &tags.artist},
                                                          {SF_STR_DATE, &tags.date},
                                                          {SF_STR_TRACKNUMBER, &track}};
    for (const auto& [kind, text] : strings)
        if (!text->empty() && sf_set_string(m_file, kind, text->c_str()) != 0) return false;
    return true;
}

bool CSoundFileWriter::Fail(std::string& error) {
    error = m_path + " could not be written: " +
            (m_target.error ? std::strerror(m_target.error) : "the sound library failed") +
            (m_shownName.empty() ? ". What was written before is kept." : ".");
    return false;
}

bool CSoundFileWriter::Write(const int16_t* frames, int frameCount, std::string& error) {
    if (!m_file || frameCount <= 0) return true;
    if (m_target.error) return false;
    if (m_wav && (m_frames + static_cast<uint64_t>(frameCount)) * kFrameBytes > kLargestWavData)
        return true;
    const sf_count_t written = sf_writef_short(m_file, frames, frameCount);
    m_frames += static_cast<uint64_t>(std::max<sf_count_t>(written, 0));
    if (written == frameCount) return true;
    if (!m_target.error) m_target.error = EIO;
    return Fail(error);
}

// A write that failed midway may leave part of a frame after the last whole
// one; the header already counts only whole frames.
void CSoundFileWriter::DropPartOfAFrame() {
    const off_t whole = static_cast<off_t>(m_headerBytes + m_frames * kFrameBytes);
    if (FileLength(&m_target) > whole && ::ftruncate(m_target.fd, whole) != 0 && !m_target.error)
        m_target.error = errno;
}

bool CSoundFileWriter::Close(std::string& error) {
    if (!m_file) return true;
    const int closed = sf_close(m_file);
    m_file = nullptr;
    if (closed != 0 && !m_target.error) m_target.error = EIO;
    if (m_wav && m_target.error) DropPartOfAFrame();
    if (::close(m_target.fd) != 0 && !m_target.error) m_target.error = errno;
    m_target.fd = -1;
    return m_target.error ? Fail(error) : true;
}

} // namespace tarvocore
