// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/EmulatorProtocol.h"
#include "common/MusicInfo.h"

#include <chrono>
#include <csignal>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tarvocore {

// The core's side of the emulator process: starts it when needed, hands it
// music data and takes back rendered blocks. A request that is not answered
// in time, or an emulator that dies, ends the process; the next request
// starts a fresh one. The program's own process never runs emulator code.
class CEmulatorProcess {
public:
    // What an answer may take: reading a file's tunes or starting one, and
    // delivering a block (rendered ahead while the last one played, so an
    // emulator that cannot keep up with real time is stopped).
    static constexpr int kOpenLimitMs = 3000;
    static constexpr int kBlockLimitMs = 1000;

    explicit CEmulatorProcess(std::string program = {}) : m_program(std::move(program)) {}
    ~CEmulatorProcess();
    CEmulatorProcess(const CEmulatorProcess&) = delete;
    CEmulatorProcess& operator=(const CEmulatorProcess&) = delete;

    void SetProgram(std::string program) { m_program = std::move(program); }
    const std::string& Program() const { return m_program; }

    // Each is false with the reason: the engine's, or that the emulator stopped.
    // `limitMs` bounds the reading of the file's tags (a game's load may have
    // less time left than the usual limit).
    // `companions`: the files beside it that its format may open;
    // `measured`: the songs played through to measure them (IMusicEngine::MeasureOnly).
    bool Info(const std::string& name, const Bytes& data, const Bytes& trackList,
              const CompanionFiles& companions, MusicInfo& info, std::string& error,
              int limitMs = kOpenLimitMs, int measured = kEverySong);
    // The reason a request gives when the emulator stopped on it.
    static const char* const kStoppedReason;
    // Starts a track with these voices muted; `started` gets the tune's
    // voices and whether its engine goes back cheaply (IMusicEngine).
    struct StartRequest {
        int track = 0;
        std::vector<bool> mutedVoices;
    };
    struct Started {
        std::vector<std::string> voices;
        bool goesBackCheaply = false;
    };
    bool Start(const std::string& name, const Bytes& data, const Bytes& trackList,
               const CompanionFiles& companions, const StartRequest& start, Started& started,
               std::string& error);
    // Goes to `ms` into the started tune; what was rendered ahead is dropped.
    // A seek may take long (a tune that can only be run there), hence its
    // limit; `error` says why it failed.
    // `number` names the seek for AbandonSeek; each is higher than the last.
    SeekOutcome Seek(int ms, uint32_t number, int limitMs, std::string& error);
    // From another thread than the one awaiting seek `number`: it is given up
    // where it got to (or at once, if it has not begun), and answered so,
    // leaving the emulator running for the seek that replaces it.
    void AbandonSeek(uint32_t number) const;
    bool Mute(const std::vector<bool>& muted, std::string& error);
    // Asks for the next block of the started tune, which the emulator has
    // mostly rendered already; TakeNext waits for it, at most `waitMs` at a
    // time (the player's thread must not stall) and at most kBlockLimitMs
    // in all since it was asked for. Its `frames` stay valid until the block
    // after the next is asked for; `count` is 0 once the tune has ended.
    enum class Block { Taken, NotYet, Failed };
    bool AskNext(std::string& error);
    Block TakeNext(const int16_t*& frames, int& count, std::string& error,
                   int waitMs = kBlockLimitMs);
    void Stop();
    // Starts the process now if it is not running. The process ends with the
    // thread that started it, so a thread that hands work to another starts
    // it first.
    bool Launch(std::string& error);
    // Ends the process at once (a shutdown, or a test making it fail).
    void Kill();
    // Ends the process from another thread than the one waiting on it, whose
    // request then fails at once and tidies up (a long seek given up). The
    // process is never reaped meanwhile, so the signal cannot reach another
    // that took its number.
    void Interrupt() const;
    pid_t Pid() const { return m_pid; }

private:
    bool Exchange(EmulatorMessage type, const Bytes& request, Bytes& answer, int limitMs,
                  std::string& error);
    bool Send(EmulatorMessage type, const Bytes& request, int limitMs, std::string& error);
    bool Receive(EmulatorMessage type, Bytes& answer, int limitMs, std::string& error);
    // A block asked for and not yet taken is taken and dropped before any other request.
    bool DropAskedBlock(std::string& error);
    // The frames of a block as the emulator answered it.
    Block BlockOf(const Bytes& answer, const int16_t*& frames, int& count, std::string& error);
    CMessageWriter FileRequest(const std::string& name, const Bytes& data, const Bytes& trackList,
                               const CompanionFiles& companions) const;

    std::string m_program;
    // Written by the thread working with the process (its start, its end),
    // under the lock, and read there freely; another thread reads them only
    // under the lock, which the end holds from the signal to the closing.
    mutable std::mutex m_pidLock;
    pid_t m_pid = -1;
    int m_socket = -1;
    // Held while a message is written, so that two threads' never interleave.
    mutable std::mutex m_sendLock;
    int16_t* m_blocks = nullptr;
    bool m_blockAsked = false;
    bool m_blockHeld = false; // answered while a mute was asked, and not yet taken
    Bytes m_heldBlock;
    std::chrono::steady_clock::time_point m_blockDue{}; // when an asked block is late
};

} // namespace tarvocore
