// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/CoreSetup.h"

#include "core/TarvoCore.h"
#include "library/ROMList.h"
#include "library/TextUtils.h"
#include "player/CoreRequests.h"
#include "playlist/Playlist.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace tarvo {

void CCoreSetup::StartCore(ICoreListener& listener) {
    m_core.Init(listener);
    m_coreRunning = true;
    m_romList.BuildFromCore(m_core);
}

void CCoreSetup::ShutdownCore() {
    if (m_coreRunning) m_core.Shutdown();
    m_coreRunning = false;
}

std::string CCoreSetup::CoreVersion() {
    return m_core.GetString(CORE_STR_VERSION, 0);
}

void CCoreSetup::ApplyStartOptions(bool normalize) {
    SetNormalize(normalize);
    SetVolume(m_config.Output.volume);
    SetOutputDevice(m_config.Output.device);
    ApplyListeningOptions();
    m_core.SetOption(CORE_OPT_RECORD, 0);
}

void CCoreSetup::SetNormalize(bool on) {
    m_core.SetOption(CORE_OPT_NORMALIZE, on ? 1 : 0);
}

void CCoreSetup::SetVolume(int percent) {
    m_core.SetOption(CORE_OPT_VOLUME, percent);
}

std::vector<std::string> CCoreSetup::OutputDevices() {
    std::vector<std::string> names;
    const int count = m_core.GetInt(CORE_INT_OUTPUT_DEVICE_COUNT, 0);
    for (int n = 0; n < count; ++n)
        names.emplace_back(m_core.GetString(CORE_STR_OUTPUT_DEVICE, n));
    return names;
}

bool CCoreSetup::SetOutputDevice(const std::string& name) {
    const std::vector<std::string> names =
        name.empty() ? std::vector<std::string>{} : OutputDevices();
    const auto found = std::find(names.begin(), names.end(), name);
    m_core.SetOption(CORE_OPT_OUTPUT_DEVICE,
                     found == names.end() ? -1 : static_cast<int>(found - names.begin()));
    return name.empty() || found != names.end();
}

void CCoreSetup::ApplyListeningOptions() {
    m_core.SetOption(CORE_OPT_END_AT_LENGTH, m_config.PlayKnownLength != 0 ? 1 : 0);
    m_core.SetOption(CORE_OPT_LOOP_COUNT, m_config.LoopCount);
    m_core.SetOption(CORE_OPT_TUNE_FADE_MS, m_config.FadeSeconds * 1000);
}

int CCoreSetup::AnswerLoudnessPath(void* buffer) const {
    return m_keepsFiles && CopyToCoreBuffer(buffer, m_programFolder + kLoudnessFileName) ? 1 : 0;
}

int CCoreSetup::TakeNewGames() {
    m_core.Command(CORE_CMD_RELOAD_CATALOGUE, 0);
    const int added = m_romList.UpdateFromCore(m_core);
    if (added > 0) m_romList.ScanROMFolders();
    ImportPendingClipData();
    return added;
}

// The file is taken over by a rename before it is read: tarvo-add writing
// meanwhile makes a new one, which the next round takes, so no title is lost
// between the reading and the removing. A taken file whose titles could not
// be kept stays, and is taken first the next time.
void CCoreSetup::ImportPendingClipData() {
    if (!m_keepsFiles) return;
    const std::string pending = m_programFolder + kPendingClipDataName;
    const std::string taken = pending + ".taken";
    for (int round = 0; round < 2; ++round) {
        if (!IsRegularFile(taken) &&
            (!IsRegularFile(pending) || std::rename(pending.c_str(), taken.c_str()) != 0))
            return;
        m_romList.LoadClipInfo(taken);
        if (!m_romList.SaveClipInfo(m_programFolder + "tarvoclips.dat",
                                    CROMList::Lines::WithUnsupported, m_dialogs))
            return;
        std::remove(taken.c_str());
    }
}

void CCoreSetup::TakeClipData(const std::string& lines) {
    if (lines.empty()) return;
    std::istringstream in(lines);
    m_romList.ReadClipInfo(in);
    if (m_keepsFiles)
        m_romList.SaveClipInfo(m_programFolder + "tarvoclips.dat", CROMList::Lines::WithUnsupported,
                               m_dialogs);
}

void CCoreSetup::Autosave() {
    if (!m_keepsFiles) return;
    if (m_playlist.GetCount() > 0)
        m_playlist.SaveToFile(m_settings.TempPlaylistPath(), Interaction::Quiet, m_dialogs);
    if (!m_settings.Write(m_config, SettingsForm::Autosave)) return;
    m_romList.SaveClipInfo(m_programFolder + "tarvoclips.dat", CROMList::Lines::WithUnsupported,
                           m_dialogs);
}

} // namespace tarvo
