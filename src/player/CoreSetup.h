// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"

#include <string>
#include <vector>

namespace tarvo {

class CPlaylist;
class CROMList;
class CSettingsFile;
class IDialogs;
struct Config;

// The core's life beside the files the player keeps: starting and ending
// the core, its options, the games and titles tarvo-add leaves, and the
// autosave. A second Tarvo on the same program folder keeps no files.
class CCoreSetup {
public:
    // Where the core keeps each tune's measured loudness, beside the clip information.
    static constexpr char kLoudnessFileName[] = "tarvoloudness.dat";

    CCoreSetup(ICore& core, CROMList& romList, CPlaylist& playlist, Config& config,
               CSettingsFile& settings, IDialogs& dialogs, std::string programFolder)
        : m_core(core), m_romList(romList), m_playlist(playlist), m_config(config),
          m_settings(settings), m_dialogs(dialogs), m_programFolder(std::move(programFolder)) {}

    // Starts the core with `listener` and fills the game list from it.
    void StartCore(ICoreListener& listener);
    void ShutdownCore();
    std::string CoreVersion();
    // The options the core starts with: normalizing as set, no recording.
    void ApplyStartOptions(bool normalize);
    void SetNormalize(bool on);
    // The listener's volume, 0 to 100, on what the device plays.
    void SetVolume(int percent);
    // The sound output devices the system has now, by name.
    std::vector<std::string> OutputDevices();
    // The sound goes to the device of this name (empty: the system's
    // default); false when it is not there, and the default plays.
    bool SetOutputDevice(const std::string& name);
    // How tunes of known length play, as the settings say.
    void ApplyListeningOptions();

    // Takes in the games tarvo-add put in the catalogue since, after the
    // known ones, with the titles it left; how many there were.
    int TakeNewGames();
    // The titles tarvo-add left for this program, merged into the clip
    // information and kept; the file is removed once they are.
    void ImportPendingClipData();
    // Clip information tarvo-add reported for the games it added, in the clip
    // data file's form: taken in, and kept at once.
    void TakeClipData(const std::string& lines);
    // Keeps the playlist copy, the settings and the clip information.
    void Autosave();
    void KeepNoFiles() { m_keepsFiles = false; }
    bool KeepsFiles() const { return m_keepsFiles; }
    const std::string& ProgramFolder() const { return m_programFolder; }
    // CORE_MSG_LOUDNESS_PATH: the file of measures, or none while files are not kept.
    int AnswerLoudnessPath(void* buffer) const;

private:
    ICore& m_core;
    CROMList& m_romList;
    CPlaylist& m_playlist;
    Config& m_config;
    CSettingsFile& m_settings;
    IDialogs& m_dialogs;
    std::string m_programFolder;
    bool m_coreRunning = false;
    bool m_keepsFiles = true;
};

} // namespace tarvo
