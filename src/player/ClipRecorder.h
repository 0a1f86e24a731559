// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"
#include "player/PlayerStatus.h"
#include "player/RecordingConversion.h"

#include <functional>
#include <string>

namespace tarvo {

class CPersonQueue;
class IDialogs;
struct Config;
struct CGameEntry;

// The player's recording: a take starts with the core silent, so the file
// holds the clip from its first sample; when it ends, the user is asked
// where to keep it, once the window's event loop runs.
class CClipRecorder {
public:
    // The folder and format of the last take kept are `settings`' too.
    CClipRecorder(ICore& core, PlayerStatus& status, IPlayerView& view, CPersonQueue& person,
                  IDialogs& dialogs, Config& settings, std::string programFolder,
                  std::function<long long()> now);

    void Start(int clip);
    // Ends the take; `game` is the loaded one, whose details tag the file.
    void Save(const CGameEntry* game);
    // The core asks where to write the take: a temporary file of its own.
    void AnswerPath(void* buffer);
    const std::string& TemporaryWavPath() const { return m_tempWavPath; }

private:
    void SilenceCore();
    RecordingTags TagsNow(const CGameEntry* game) const;

    ICore& m_core;
    PlayerStatus& m_status;
    IPlayerView& m_view;
    CPersonQueue& m_person;
    IDialogs& m_dialogs;
    std::string m_programFolder;
    std::function<long long()> m_now;
    std::string m_tempWavPath;
    Config& m_settings;
};

} // namespace tarvo
