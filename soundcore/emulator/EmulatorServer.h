// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/EmulatorProtocol.h"
#include "engines/MusicEngine.h"

#include <memory>

namespace tarvocore {

// The emulator process's side: answers the core's requests one at a time,
// renders into the shared blocks and always has the next block ready.
class CEmulatorServer {
public:
    CEmulatorServer(int socket, int16_t* sharedBlocks) : m_socket(socket), m_blocks(sharedBlocks) {}
    // Serves until the core closes the socket; the process's exit code.
    int Run();

private:
    bool Serve(EmulatorMessage type, const Bytes& request);
    bool Info(const Bytes& request);
    bool Start(const Bytes& request);
    bool Next();
    bool Seek(const Bytes& request);
    // Reads what came while seek `number` runs; false once it is given up.
    bool SeekWanted(uint32_t number);
    void TakeAbandon(const Bytes& request);
    bool Mute(const Bytes& request);
    void RenderFromHere();
    // Renders the next block into its slot, while the core has room for it.
    bool CanRenderAhead() const;
    void RenderAhead();
    bool RequestWaiting() const;
    // The engine for the file a request names (name, data, track list), opened.
    std::unique_ptr<IMusicEngine> OpenEngine(CMessageReader& request, std::string& error);
    bool Reply(EmulatorMessage type, const CMessageWriter& answer);

    int m_socket;
    int16_t* m_blocks;
    std::unique_ptr<IMusicEngine> m_engine;
    long m_replied = 0;  // blocks handed to the core
    long m_rendered = 0; // blocks rendered, ready ones included
    int m_frames[kBlockSlots] = {};
    int m_blockFrames = kFirstBlockFrames; // of the next block to render
    int m_longestBlock = kBlockFrames;
    bool m_ended = false;
    uint32_t m_abandonedSeek = 0; // the highest seek number given up
    bool m_broken = false;        // the core spoke out of turn, or went away
};

} // namespace tarvocore
