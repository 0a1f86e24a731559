// SPDX-License-Identifier: GPL-3.0-or-later
#include "ipc/EmulatorProcess.h"

#include "common/TagText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarvocore {

namespace {

constexpr const char* kStopped = "stopped the emulator";
constexpr const char* kCouldNotDoIt = "the emulator could not do it";

std::chrono::steady_clock::time_point After(int milliseconds) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

} // namespace

CEmulatorProcess::~CEmulatorProcess() {
    Kill();
}

bool CEmulatorProcess::Launch(std::string& error) {
    if (m_pid > 0) return true;
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        error = std::string("cannot start the emulator: ") + std::strerror(errno);
        return false;
    }
    const int shared = ::memfd_create("tarvo-sound-blocks", MFD_CLOEXEC);
    void* blocks = MAP_FAILED;
    if (shared >= 0 && ::ftruncate(shared, static_cast<off_t>(kSharedBytes)) == 0)
        blocks = ::mmap(nullptr, kSharedBytes, PROT_READ | PROT_WRITE, MAP_SHARED, shared, 0);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], 3);
    posix_spawn_file_actions_adddup2(&actions, shared, 4);
    char* const argv[] = {const_cast<char*>(m_program.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = blocks == MAP_FAILED ? errno
                                             : ::posix_spawn(&pid, m_program.c_str(), &actions,
                                                             nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(sockets[1]);
    if (shared >= 0) ::close(shared);
    if (spawned == 0) {
        const std::lock_guard lock(m_pidLock);
        m_pid = pid;
        m_socket = sockets[0];
    }
    if (spawned != 0) {
        if (blocks != MAP_FAILED) ::munmap(blocks, kSharedBytes);
        ::close(sockets[0]);
        error = "cannot start the emulator " + m_program + ": " + std::strerror(spawned);
        return false;
    }
    m_blocks = static_cast<int16_t*>(blocks);
    return true;
}

void CEmulatorProcess::Kill() {
    {
        const std::lock_guard lock(m_pidLock);
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            int status = 0;
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        m_pid = -1;
        if (m_socket >= 0) ::close(m_socket);
        m_socket = -1;
    }
    if (m_blocks) ::munmap(m_blocks, kSharedBytes);
    m_blocks = nullptr;
    m_blockAsked = false;
}

void CEmulatorProcess::Interrupt() const {
    const std::lock_guard lock(m_pidLock);
    if (m_pid > 0) ::kill(m_pid, SIGKILL);
}

bool CEmulatorProcess::Send(EmulatorMessage type, const Bytes& request, int limitMs,
                            std::string& error) {
    if (!Launch(error)) return false;
    bool sent = false;
    {
        const std::lock_guard lock(m_sendLock);
        sent = SendMessage(m_socket, type, request, After(limitMs));
    }
    if (sent) return true;
    Kill();
    error = kStopped;
    return false;
}

bool CEmulatorProcess::Receive(EmulatorMessage type, Bytes& answer, int limitMs,
                               std::string& error) {
    EmulatorMessage answered{};
    if (m_pid > 0 && ReceiveMessage(m_socket, answered, answer, kMaxAnswerBytes, After(limitMs)) &&
        answered == type)
        return true;
    Kill();
    error = kStopped;
    return false;
}

bool CEmulatorProcess::DropAskedBlock(std::string& error) {
    m_blockHeld = false;
    if (!m_blockAsked) return true;
    m_blockAsked = false;
    Bytes answer;
    return Receive(EmulatorMessage::Next, answer, kBlockLimitMs, error);
}

bool CEmulatorProcess::Exchange(EmulatorMessage type, const Bytes& request, Bytes& answer,
                                int limitMs, std::string& error) {
    return DropAskedBlock(error) && Send(type, request, limitMs, error) &&
           Receive(type, answer, limitMs, error);
}

CMessageWriter CEmulatorProcess::FileRequest(const std::string& name, const Bytes& data,
                                             const Bytes& trackList,
                                             const CompanionFiles& companions) const {
    CMessageWriter request;
    request.Text(name);
    request.Data(data);
    request.Data(trackList);
    const size_t count = std::min(companions.size(), kMaxCompanions);
    request.Number(static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const CompanionFile& file = companions[i];
        request.Text(file.name);
        request.Data(file.data.size() <= kMaxCompanionSize ? file.data : Bytes{});
    }
    return request;
}

const char* const CEmulatorProcess::kStoppedReason = kStopped;

bool CEmulatorProcess::Info(const std::string& name, const Bytes& data, const Bytes& trackList,
                            const CompanionFiles& companions, MusicInfo& info, std::string& error,
                            int limitMs, int measured) {
    CMessageWriter request = FileRequest(name, data, trackList, companions);
    request.Number(static_cast<uint32_t>(measured - kNoSong)); // 0 for none, 1 for every song
    Bytes answer;
    if (!Exchange(EmulatorMessage::Info, request.Payload(), answer, limitMs, error)) return false;
    CMessageReader reader(answer);
    const bool opened = reader.Number() == 1;
    error = reader.Text();
    info = MusicInfo{};
    if (opened) {
        for (std::string* text :
             {&info.system, &info.game, &info.author, &info.copyright, &info.fingerprint})
            *text = reader.Text();
        const uint32_t count = reader.Number();
        for (uint32_t i = 0; i < count && reader.Ok(); ++i) {
            TuneInfo tune;
            tune.title = reader.Text();
            for (int* number : {&tune.lengthMs, &tune.introMs, &tune.loopMs})
                *number = static_cast<int>(reader.Number());
            info.tunes.push_back(std::move(tune));
        }
        CleanMusicInfo(info, data);
    }
    if (!reader.Ok()) {
        Kill();
        error = kStopped;
        return false;
    }
    return opened;
}

bool CEmulatorProcess::Start(const std::string& name, const Bytes& data, const Bytes& trackList,
                             const CompanionFiles& companions, const StartRequest& start,
                             Started& started, std::string& error) {
    CMessageWriter request = FileRequest(name, data, trackList, companions);
    request.Number(static_cast<uint32_t>(start.track));
    request.Flags(start.mutedVoices);
    Bytes answer;
    if (!Exchange(EmulatorMessage::Start, request.Payload(), answer, kOpenLimitMs, error))
        return false;
    CMessageReader reader(answer);
    const bool ok = reader.Number() == 1;
    error = reader.Text();
    started.voices.clear();
    for (uint32_t count = std::min<uint32_t>(reader.Number(), kMaxVoices); count > 0; --count)
        started.voices.push_back(reader.Text());
    started.goesBackCheaply = reader.Number() == 1;
    return ok && reader.Ok();
}

SeekOutcome CEmulatorProcess::Seek(int ms, uint32_t number, int limitMs, std::string& error) {
    CMessageWriter request;
    request.Number(static_cast<uint32_t>(std::max(ms, 0)));
    request.Number(number);
    Bytes answer;
    if (!Exchange(EmulatorMessage::Seek, request.Payload(), answer, limitMs, error))
        return SeekOutcome::Failed;
    CMessageReader reader(answer);
    const uint32_t outcome = reader.Number();
    if (reader.Ok() && (outcome == static_cast<uint32_t>(SeekOutcome::Done) ||
                        outcome == static_cast<uint32_t>(SeekOutcome::GivenUp)))
        return static_cast<SeekOutcome>(outcome);
    error = kCouldNotDoIt;
    return SeekOutcome::Failed;
}

void CEmulatorProcess::AbandonSeek(uint32_t number) const {
    const std::lock_guard lock(m_pidLock);
    if (m_pid <= 0) return;
    const std::lock_guard sending(m_sendLock);
    CMessageWriter request;
    request.Number(number);
    constexpr int kAbandonLimitMs = 100; // a few bytes; a full socket means a stuck emulator
    SendMessage(m_socket, EmulatorMessage::Abandon, request.Payload(), After(kAbandonLimitMs));
}

// The block asked for before the mute is kept for the next TakeNext: the
// sound goes on without a gap, and the mute is heard from the block after it.
bool CEmulatorProcess::Mute(const std::vector<bool>& muted, std::string& error) {
    CMessageWriter request;
    request.Flags(muted);
    if (m_blockAsked) {
        m_blockAsked = false;
        if (!Receive(EmulatorMessage::Next, m_heldBlock, kBlockLimitMs, error)) return false;
        m_blockHeld = true;
    }
    Bytes answer;
    if (!Send(EmulatorMessage::Mute, request.Payload(), kOpenLimitMs, error) ||
        !Receive(EmulatorMessage::Mute, answer, kOpenLimitMs, error))
        return false;
    CMessageReader reader(answer);
    if (reader.Number() == 1 && reader.Ok()) return true;
    error = kCouldNotDoIt;
    return false;
}

bool CEmulatorProcess::AskNext(std::string& error) {
    if (!DropAskedBlock(error) || !Send(EmulatorMessage::Next, {}, kBlockLimitMs, error))
        return false;
    m_blockAsked = true;
    m_blockDue = After(kBlockLimitMs);
    return true;
}

CEmulatorProcess::Block CEmulatorProcess::TakeNext(const int16_t*& frames, int& count,
                                                   std::string& error, int waitMs) {
    if (m_blockHeld) {
        m_blockHeld = false;
        return BlockOf(m_heldBlock, frames, count, error);
    }
    if (!m_blockAsked && !AskNext(error)) return Block::Failed;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        m_blockDue - std::chrono::steady_clock::now());
    pollfd answer{m_socket, POLLIN, 0};
    const int wait = static_cast<int>(std::clamp<long long>(left.count(), 0, waitMs));
    if (::poll(&answer, 1, wait) == 0 && left.count() > waitMs) return Block::NotYet;
    m_blockAsked = false;
    Bytes block;
    if (!Receive(EmulatorMessage::Next, block, std::max<int>(static_cast<int>(left.count()), 1),
                 error))
        return Block::Failed;
    return BlockOf(block, frames, count, error);
}

CEmulatorProcess::Block CEmulatorProcess::BlockOf(const Bytes& answer, const int16_t*& frames,
                                                  int& count, std::string& error) {
    CMessageReader reader(answer);
    const uint32_t slot = reader.Number();
    const uint32_t rendered = reader.Number();
    if (!reader.Ok() || slot >= kBlockSlots || rendered > kBlockFrames) {
        Kill();
        error = kStopped;
        return Block::Failed;
    }
    frames = m_blocks + static_cast<size_t>(slot) * kBlockFrames * 2;
    count = static_cast<int>(rendered);
    return Block::Taken;
}

void CEmulatorProcess::Stop() {
    std::string error;
    if (m_pid > 0 && DropAskedBlock(error)) Send(EmulatorMessage::Stop, {}, kOpenLimitMs, error);
}

} // namespace tarvocore
