// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/EmulatorServer.h"

#include <algorithm>
#include <poll.h>

namespace tarvocore {

int CEmulatorServer::Run() {
    EmulatorMessage type{};
    Bytes request;
    for (;;) {
        // Between requests the next blocks are rendered, so a request for
        // one finds it ready.
        if (CanRenderAhead() && !RequestWaiting()) {
            RenderAhead();
            continue;
        }
        if (!ReceiveMessage(m_socket, type, request, kMaxRequestBytes, std::nullopt)) return 0;
        if (!Serve(type, request)) return 1;
    }
}

bool CEmulatorServer::Serve(EmulatorMessage type, const Bytes& request) {
    switch (type) {
    case EmulatorMessage::Info:
        return Info(request);
    case EmulatorMessage::Start:
        return Start(request);
    case EmulatorMessage::Next:
        return Next();
    case EmulatorMessage::Stop:
        m_engine.reset();
        return true;
    case EmulatorMessage::Seek:
        return Seek(request);
    case EmulatorMessage::Mute:
        return Mute(request);
    case EmulatorMessage::Abandon: // before its seek, or after it ended
        TakeAbandon(request);
        return true;
    }
    return false; // not the core speaking
}

bool CEmulatorServer::RequestWaiting() const {
    pollfd ready{m_socket, POLLIN, 0};
    return ::poll(&ready, 1, 0) != 0;
}

bool CEmulatorServer::Reply(EmulatorMessage type, const CMessageWriter& answer) {
    return SendMessage(m_socket, type, answer.Payload(), std::nullopt);
}

std::unique_ptr<IMusicEngine> CEmulatorServer::OpenEngine(CMessageReader& request,
                                                          std::string& error) {
    const std::string name = request.Text();
    const Bytes data = request.Data();
    const Bytes trackList = request.Data();
    CompanionFiles companions(std::min<size_t>(request.Number(), kMaxCompanions));
    for (CompanionFile& companion : companions) {
        companion.name = request.Text();
        companion.data = request.Data();
    }
    if (!request.Ok()) {
        error = "the request was damaged";
        return nullptr;
    }
    auto engine = MakeMusicEngine(data, name, std::move(companions));
    if (!engine) {
        error = "it is not a music file this core plays";
        return nullptr;
    }
    if (!engine->Open(data, trackList, error)) return nullptr;
    return engine;
}

bool CEmulatorServer::Info(const Bytes& request) {
    CMessageReader reader(request);
    std::string error;
    const auto engine = OpenEngine(reader, error);
    const int measured = static_cast<int>(reader.Number()) + kNoSong;
    if (engine && reader.Ok()) engine->MeasureOnly(measured);
    CMessageWriter answer;
    answer.Number(engine ? 1 : 0);
    answer.Text(error);
    if (engine) {
        const MusicInfo info = engine->Info();
        for (const std::string* text :
             {&info.system, &info.game, &info.author, &info.copyright, &info.fingerprint})
            answer.Text(text->substr(0, 1024));
        answer.Number(static_cast<uint32_t>(info.tunes.size()));
        for (const TuneInfo& tune : info.tunes) {
            answer.Text(tune.title.substr(0, 1024));
            for (int number : {tune.lengthMs, tune.introMs, tune.loopMs})
                answer.Number(static_cast<uint32_t>(number));
        }
    }
    return Reply(EmulatorMessage::Info, answer);
}

bool CEmulatorServer::Start(const Bytes& request) {
    CMessageReader reader(request);
    std::string error;
    m_engine = OpenEngine(reader, error);
    const int track = static_cast<int>(reader.Number());
    const std::vector<bool> muted = reader.Flags();
    if (m_engine && !m_engine->Start(track, error)) m_engine.reset();
    CMessageWriter answer;
    answer.Number(m_engine ? 1 : 0);
    answer.Text(error);
    const std::vector<std::string> voices =
        m_engine ? m_engine->Voices() : std::vector<std::string>{};
    answer.Number(static_cast<uint32_t>(std::min<size_t>(voices.size(), kMaxVoices)));
    for (size_t voice = 0; voice < voices.size() && voice < kMaxVoices; ++voice)
        answer.Text(voices[voice].substr(0, 256));
    answer.Number(m_engine && m_engine->GoesBackCheaply() ? 1 : 0);
    if (m_engine) m_engine->MuteVoices(muted);
    m_longestBlock = m_engine && !m_engine->GoesBackCheaply() ? kShortBlockFrames : kBlockFrames;
    if (!Reply(EmulatorMessage::Start, answer)) return false;
    RenderFromHere();
    return true;
}

// Blocks rendered ahead are dropped (the core has let go of them), so the
// next one asked for starts where the engine now stands.
void CEmulatorServer::RenderFromHere() {
    m_replied = m_rendered = 0;
    m_blockFrames = std::min(kFirstBlockFrames, m_longestBlock);
    m_ended = false;
}

bool CEmulatorServer::Seek(const Bytes& request) {
    CMessageReader reader(request);
    const int ms = static_cast<int>(reader.Number());
    const uint32_t number = reader.Number();
    bool givenUp = !SeekWanted(number);
    const bool done = !givenUp && m_engine && reader.Ok() &&
                      m_engine->Seek(ms, [&] { return givenUp = !SeekWanted(number); });
    const SeekOutcome outcome = done      ? SeekOutcome::Done
                                : givenUp ? SeekOutcome::GivenUp
                                          : SeekOutcome::Failed;
    CMessageWriter answer;
    answer.Number(static_cast<uint32_t>(outcome));
    if (!Reply(EmulatorMessage::Seek, answer)) return false;
    RenderFromHere();
    // Nothing is rendered from a place no one wants: the next seek comes.
    if (outcome == SeekOutcome::GivenUp) m_ended = true;
    return !m_broken;
}

// While the core awaits a seek's answer, the only request it may send is the
// one that gives a seek up (this one, or one that has ended meanwhile).
bool CEmulatorServer::SeekWanted(uint32_t number) {
    while (!m_broken && RequestWaiting()) {
        EmulatorMessage type{};
        Bytes request;
        m_broken = !ReceiveMessage(m_socket, type, request, kMaxRequestBytes, std::nullopt) ||
                   type != EmulatorMessage::Abandon;
        if (!m_broken) TakeAbandon(request);
    }
    return !m_broken && number > m_abandonedSeek;
}

void CEmulatorServer::TakeAbandon(const Bytes& request) {
    CMessageReader reader(request);
    const uint32_t number = reader.Number();
    if (reader.Ok()) m_abandonedSeek = std::max(m_abandonedSeek, number);
}

bool CEmulatorServer::Mute(const Bytes& request) {
    CMessageReader reader(request);
    const std::vector<bool> muted = reader.Flags();
    if (m_engine && reader.Ok()) m_engine->MuteVoices(muted);
    CMessageWriter answer;
    answer.Number(m_engine ? 1 : 0);
    return Reply(EmulatorMessage::Mute, answer);
}

bool CEmulatorServer::CanRenderAhead() const {
    return m_engine && !m_ended && m_rendered < m_replied + kBlocksAhead;
}

void CEmulatorServer::RenderAhead() {
    const int slot = static_cast<int>(m_rendered % kBlockSlots);
    int16_t* block = m_blocks + static_cast<size_t>(slot) * kBlockFrames * 2;
    m_ended = !m_engine->Render(block, m_blockFrames);
    m_frames[slot] = m_ended ? 0 : m_blockFrames;
    m_blockFrames = std::min(m_blockFrames * 2, m_longestBlock);
    ++m_rendered;
}

bool CEmulatorServer::Next() {
    if (m_rendered == m_replied && CanRenderAhead()) RenderAhead();
    const int slot = static_cast<int>(m_replied % kBlockSlots);
    const bool ready = m_rendered > m_replied;
    CMessageWriter answer;
    answer.Number(static_cast<uint32_t>(slot));
    answer.Number(ready ? static_cast<uint32_t>(m_frames[slot]) : 0);
    if (ready) ++m_replied;
    return Reply(EmulatorMessage::Next, answer);
}

} // namespace tarvocore
