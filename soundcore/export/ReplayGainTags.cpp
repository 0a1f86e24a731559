// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/ReplayGainTags.h"

#include "playback/Normalizer.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <FLAC/metadata.h>
#include <memory>
#include <ogg/ogg.h>
#include <unistd.h>
#include <vector>
#include <vorbis/codec.h>

namespace tarvocore {

namespace {

constexpr const char* kGainTag = "REPLAYGAIN_TRACK_GAIN";
constexpr const char* kPeakTag = "REPLAYGAIN_TRACK_PEAK";

bool IsFlac(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".flac";
}

// FLAC: the comment block changed where it stands, through libFLAC's own
// editing of a file's metadata.
bool TagFlac(const std::string& path, const TuneLoudness& loudness, std::string& error) {
    const std::unique_ptr<FLAC__Metadata_Chain, void (*)(FLAC__Metadata_Chain*)> chain(
        FLAC__metadata_chain_new(), FLAC__metadata_chain_delete);
    const std::unique_ptr<FLAC__Metadata_Iterator, void (*)(FLAC__Metadata_Iterator*)> blocks(
        FLAC__metadata_iterator_new(), FLAC__metadata_iterator_delete);
    if (!chain || !blocks || !FLAC__metadata_chain_read(chain.get(), path.c_str())) {
        error = "its FLAC metadata could not be read";
        return false;
    }
    FLAC__metadata_iterator_init(blocks.get(), chain.get());
    FLAC__StreamMetadata* comments = nullptr;
    do {
        if (FLAC__metadata_iterator_get_block_type(blocks.get()) ==
            FLAC__METADATA_TYPE_VORBIS_COMMENT)
            comments = FLAC__metadata_iterator_get_block(blocks.get());
    } while (!comments && FLAC__metadata_iterator_next(blocks.get()));
    if (!comments) {
        FLAC__metadata_iterator_init(blocks.get(), chain.get()); // after the stream's own block
        comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
        if (!comments || !FLAC__metadata_iterator_insert_block_after(blocks.get(), comments)) {
            if (comments) FLAC__metadata_object_delete(comments);
            error = "its FLAC metadata could not be changed";
            return false;
        }
    }
    const std::pair<const char*, std::string> tags[] = {{kGainTag, ReplayGainText(loudness)},
                                                        {kPeakTag, ReplayPeakText(loudness)}};
    for (const auto& [name, value] : tags) {
        FLAC__StreamMetadata_VorbisComment_Entry entry{};
        FLAC__metadata_object_vorbiscomment_remove_entries_matching(comments, name);
        if (!FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name,
                                                                            value.c_str()) ||
            !FLAC__metadata_object_vorbiscomment_append_comment(comments, entry, false)) {
            error = "its FLAC tags could not be changed";
            return false;
        }
    }
    if (!FLAC__metadata_chain_write(chain.get(), true, false)) {
        error = FLAC__Metadata_ChainStatusString[FLAC__metadata_chain_status(chain.get())];
        return false;
    }
    return true;
}

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

// An Ogg Vorbis stream's pages as read, one at a time.
class COggPages {
public:
    explicit COggPages(FILE* in) : m_in(in) { ogg_sync_init(&m_sync); }
    ~COggPages() { ogg_sync_clear(&m_sync); }
    COggPages(const COggPages&) = delete;
    COggPages& operator=(const COggPages&) = delete;

    // False at the stream's end.
    bool Next(ogg_page& page) {
        while (ogg_sync_pageout(&m_sync, &page) != 1) {
            char* buffer = ogg_sync_buffer(&m_sync, 65536);
            const size_t read = std::fread(buffer, 1, 65536, m_in);
            if (read == 0) return false;
            ogg_sync_wrote(&m_sync, static_cast<long>(read));
        }
        return true;
    }

private:
    FILE* m_in;
    ogg_sync_state m_sync{};
};

// The Vorbis stream's three header packets, read from its first pages.
struct VorbisHeaders {
    std::vector<unsigned char> bytes[3];
    vorbis_info info{};
    vorbis_comment comment{};
    long serial = 0;

    VorbisHeaders() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~VorbisHeaders() {
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    VorbisHeaders(const VorbisHeaders&) = delete;
    VorbisHeaders& operator=(const VorbisHeaders&) = delete;

    bool Read(COggPages& pages) {
        ogg_stream_state stream{};
        ogg_page page{};
        int count = 0;
        bool ok = true;
        if (!pages.Next(page)) return false;
        serial = ogg_page_serialno(&page);
        ogg_stream_init(&stream, static_cast<int>(serial));
        // The third header ends its page: the sound starts on a page of its own.
        while (ok && count < 3) {
            ok = ogg_stream_pagein(&stream, &page) == 0;
            ogg_packet packet{};
            while (ok && count < 3 && ogg_stream_packetout(&stream, &packet) == 1) {
                ok = vorbis_synthesis_headerin(&info, &comment, &packet) == 0;
                bytes[count++].assign(packet.packet, packet.packet + packet.bytes);
            }
            if (ok && count < 3) ok = pages.Next(page);
        }
        ogg_stream_clear(&stream);
        return ok && count == 3;
    }
};

bool WritePage(FILE* out, const ogg_page& page) {
    return std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), out) ==
               static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), out) ==
               static_cast<size_t>(page.body_len);
}

// The new headers on pages of their own: the first alone, as the format asks.
bool WriteHeaders(FILE* out, VorbisHeaders& headers, int& pageCount) {
    ogg_stream_state stream{};
    ogg_stream_init(&stream, static_cast<int>(headers.serial));
    ogg_packet comment{};
    vorbis_commentheader_out(&headers.comment, &comment);
    ogg_packet packets[3]{};
    for (int n = 0; n < 3; ++n) {
        packets[n] = n == 1 ? comment : ogg_packet{};
        if (n != 1) {
            packets[n].packet = headers.bytes[n].data();
            packets[n].bytes = static_cast<long>(headers.bytes[n].size());
        }
        packets[n].b_o_s = n == 0;
        packets[n].packetno = n;
    }
    bool ok = true;
    ogg_page page{};
    for (int n = 0; n < 3 && ok; ++n) {
        ogg_stream_packetin(&stream, &packets[n]);
        if (n == 0 || n == 2)
            while (ok && ogg_stream_flush(&stream, &page) != 0) {
                ok = WritePage(out, page);
                ++pageCount;
            }
    }
    ogg_packet_clear(&comment);
    ogg_stream_clear(&stream);
    return ok;
}

// Ogg Vorbis: the comment header made again, and the sound's pages copied
// as they are, numbered on after the new headers' pages.
bool TagOgg(const std::string& path, const TuneLoudness& loudness, std::string& error) {
    File in(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    COggPages pages(in.get());
    VorbisHeaders headers;
    if (!headers.Read(pages)) {
        error = "its Ogg Vorbis headers could not be read";
        return false;
    }
    vorbis_comment_add_tag(&headers.comment, kGainTag, ReplayGainText(loudness).c_str());
    vorbis_comment_add_tag(&headers.comment, kPeakTag, ReplayPeakText(loudness).c_str());
    const std::string rewritten = path + ".tagged";
    File out(std::fopen(rewritten.c_str(), "wb"), std::fclose);
    int pageCount = 0;
    bool ok = out && WriteHeaders(out.get(), headers, pageCount);
    ogg_page page{};
    while (ok && pages.Next(page)) {
        const uint32_t number = static_cast<uint32_t>(pageCount++);
        for (int byte = 0; byte < 4; ++byte)
            page.header[18 + byte] = static_cast<unsigned char>(number >> (8 * byte));
        ogg_page_checksum_set(&page);
        ok = WritePage(out.get(), page);
    }
    ok = ok && std::fflush(out.get()) == 0 && ::fsync(fileno(out.get())) == 0;
    const int writeError = errno;
    if (out && std::fclose(out.release()) != 0) ok = false;
    std::error_code renameError;
    if (ok) std::filesystem::rename(rewritten, path, renameError);
    if (ok && !renameError) return true;
    error = renameError ? renameError.message() : std::string(std::strerror(writeError));
    std::filesystem::remove(rewritten, renameError);
    return false;
}

} // namespace

std::string ReplayGainText(const TuneLoudness& loudness) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dB", CNormalizer::kTargetLufs - loudness.lufs);
    return text;
}

std::string ReplayPeakText(const TuneLoudness& loudness) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", loudness.peak);
    return text;
}

bool AddReplayGainTags(const std::string& path, const TuneLoudness& loudness, std::string& error) {
    return IsFlac(path) ? TagFlac(path, loudness, error) : TagOgg(path, loudness, error);
}

} // namespace tarvocore
