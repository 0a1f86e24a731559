// The main window's commands that open other windows and programs.
#include "DlgOptions.h"
#include "DlgROMBrowser.h"
#include "IDialogs.h"
#include "OptionRules.h"
#include "PlayerDlg.h"

#include <QProcess>
#include <QStandardPaths>

namespace tarvo {

void CPlayerDlg::StartVolumeControl() {
    static const QList<QStringList> kMixers{
        {"pavucontrol"}, {"pwvucontrol"}, {"gnome-control-center", "sound"}, {"kmix"}};
    for (const QStringList& mixer : kMixers) {
        const QString program = QStandardPaths::findExecutable(mixer.first());
        if (program.isEmpty()) continue;
        QProcess::startDetached(program, mixer.mid(1));
        return;
    }
    m_dialogs.ShowMessage("ERROR: No volume mixer program was found.", MessageIcon::Error);
}

void CPlayerDlg::OpenBrowser() {
    CDlgROMBrowser browser(m_romList, m_config.ROMFilter, m_dialogs, this);
    browser.m_initialGame = m_engine->CurrentGame;
    if (RunModal(m_runModal, browser) == QDialog::Accepted) {
        if (browser.m_selectedGame != m_engine->CurrentGame) {
            m_engine->StopPlayer();
            m_engine->LoadGame(browser.m_selectedGame, -1);
        }
        if (m_engine->PlaylistMode) ToggleMode();
    }
    UpdateMenus();
}

void CPlayerDlg::OpenOptions() {
    CDlgOptions options(m_romList, m_dialogs, this);
    options.Settings = m_config;
    if (RunModal(m_runModal, options) == QDialog::Accepted) {
        CopyOptionSettings(options.Settings, m_config);
        ApplyMeterSettings();
        ApplyNormalize();
        RefillClipList();
        ShowFields(m_engine->Fields);
    }
    UpdateMenus();
}

} // namespace tarvo
