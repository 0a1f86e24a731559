// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the core and its emulator process speak: over a stream socket, each
// message a header (type, payload size) and its payload; rendered sound goes
// through shared memory instead, in blocks the emulator fills ahead.

#include "common/MusicData.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvocore {

enum class EmulatorMessage : uint32_t {
    // name, data, track list -> ok, error, system, game, author, copyright, fingerprint,
    //                           tunes (title, length, intro, loop)
    Info = 1,
    // name, data, track list, track, muted voices -> ok, error, voice names,
    // whether the engine goes back cheaply; the first block is rendered ahead
    Start = 2,
    // (nothing) -> slot, frames (0: ended); the next block is rendered ahead
    Next = 3,
    // (nothing) -> no answer
    Stop = 4,
    // milliseconds, seek number -> outcome (SeekOutcome); the blocks
    // rendered ahead are dropped, and the first from there is rendered ahead
    Seek = 5,
    // muted voices -> ok; from the next block rendered
    Mute = 6,
    // seek number -> no answer; that seek is given up where it got to, and
    // answered so, whether it runs or is still to come. Sent from another
    // thread than the one awaiting the seek's answer, in any order with it.
    Abandon = 7,
};

// How a seek ended, as the emulator answers it.
enum class SeekOutcome : uint32_t { Failed = 0, Done = 1, GivenUp = 2 };

// A tune's first block is short, so it is heard at once even from a slow
// emulator; each next one is twice as long, up to about 1.5 s of sound, so
// the two processes speak rarely. The core holds two blocks at most (the one
// it plays and the one it asked for next); the emulator renders up to two
// more ahead, so both processes work at once.
constexpr int kFirstBlockFrames = 4096;
constexpr int kBlockFrames = 65536;
// Every block of an engine that cannot go back cheaply: a mute applies to
// what is not yet rendered, and the four blocks in flight (two in the core,
// two ahead) stay under 50 ms of sound. About 90 round trips a second.
constexpr int kShortBlockFrames = 512;
constexpr int kBlocksAhead = 2;
constexpr int kBlockSlots = 2 + kBlocksAhead;
constexpr size_t kSharedBytes = static_cast<size_t>(kBlockFrames) * 4 * kBlockSlots;
constexpr size_t kMaxRequestBytes = 2 * kMaxMusicFileSize + 4096;
constexpr size_t kMaxAnswerBytes = 1u << 20;
constexpr size_t kMaxVoices = 256; // a module has at most 127 channels

// Builds a payload: numbers, then texts and data with their lengths.
class CMessageWriter {
public:
    void Number(uint32_t value);
    void Text(const std::string& text) {
        Data(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    void Data(const Bytes& data) { Data(data.data(), data.size()); }
    void Data(const uint8_t* data, size_t size);
    void Flags(const std::vector<bool>& flags);
    const Bytes& Payload() const { return m_payload; }

private:
    Bytes m_payload;
};

// Reads a payload the other side wrote; a short or damaged one reads as
// failed, never past its end.
class CMessageReader {
public:
    explicit CMessageReader(const Bytes& payload) : m_payload(payload) {}
    // It reads the payload where it is, so a temporary one cannot be given.
    explicit CMessageReader(Bytes&&) = delete;
    uint32_t Number();
    std::string Text();
    Bytes Data();
    std::vector<bool> Flags();
    bool Ok() const { return m_ok; }

private:
    bool Take(size_t size);

    const Bytes& m_payload;
    size_t m_at = 0;
    bool m_ok = true;
};

using Deadline = std::optional<std::chrono::steady_clock::time_point>;

// Both false when the other side has gone, the deadline passed, or (receiving)
// the message is larger than `maxBytes`.
bool SendMessage(int socket, EmulatorMessage type, const Bytes& payload, Deadline deadline);
bool ReceiveMessage(int socket, EmulatorMessage& type, Bytes& payload, size_t maxBytes,
                    Deadline deadline);

} // namespace tarvocore
