// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Config.h"

#include <istream>
#include <ostream>
#include <string>

namespace tarvo {

class CPlaylist;
class CROMList;
class IDialogs;

enum class SettingsForm {
    Exit,     // names the playlist's own file
    Autosave, // names the crash-recovery copy instead
    // A close that nobody could answer (a signal, a logout): names the copy
    // and says it was kept on purpose, so the next start reloads it without
    // saying that Tarvo crashed.
    KeptAtClose
};

// Reads and writes "Tarvo.ini". Reading also adds and scans the ROM folders and
// may load a playlist; the TempPlaylist line is the crash-recovery switch.
class CSettingsFile {
public:
    CSettingsFile(std::string programFolder, CROMList& romList, CPlaylist& playlist,
                  IDialogs& dialogs);

    std::string Path() const { return m_programFolder + "Tarvo.ini"; }
    std::string TempPlaylistPath() const { return m_programFolder + "tarvo_temp.tvp"; }
    std::string DefaultROMFolder() const { return m_programFolder + "./roms/"; }

    // Defaults first; a missing or unreadable file leaves them in force.
    void Read(Config& config);
    void ReadFrom(std::istream& in, Config& config);
    // Reports a failure in a message box and returns false; the old file stays whole.
    bool Write(const Config& config, SettingsForm form);
    void WriteTo(std::ostream& out, const Config& config, SettingsForm form) const;

private:
    void SetDefaults(Config& config);
    void ApplyLine(const std::string& key, const std::string& value, Config& config);
    void ApplyLimits(Config& config) const;

    std::string m_programFolder;
    CROMList& m_romList;
    CPlaylist& m_playlist;
    IDialogs& m_dialogs;
    bool m_keptAtClose = false; // while reading: the copy was kept by a close
};

} // namespace tarvo
