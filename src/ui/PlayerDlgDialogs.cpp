// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands that open other windows and programs.
#include "dialogs/DlgAbout.h"
#include "dialogs/DlgOptions.h"
#include "dialogs/DlgROMBrowser.h"
#include "library/IDialogs.h"
#include "settings/OptionRules.h"
#include "ui/PlayerDlg.h"

#include <algorithm>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace tarvo {

void CPlayerDlg::StartVolumeControl() {
    static const QList<QStringList> kMixers{{u"pavucontrol"_s},
                                            {u"pwvucontrol"_s},
                                            {u"gnome-control-center"_s, u"sound"_s},
                                            {u"kmix"_s}};
    for (const QStringList& mixer : kMixers) {
        const QString program = QStandardPaths::findExecutable(mixer.first());
        if (program.isEmpty()) continue;
        QProcess::startDetached(program, mixer.mid(1));
        return;
    }
    m_dialogs.ShowMessage("ERROR: No volume mixer program was found.", MessageIcon::Error);
}

void CPlayerDlg::OpenBrowser() {
    CDlgROMBrowser browser(m_romList, m_config.ROMFilter, m_dialogs, m_engine->Status().currentGame,
                           GameChoice::AvailableOnly, this);
    browser.AllowRenaming(
        [this](int game, const GameNaming& naming, CDlgROMBrowser::Renamed done) {
            RenameGame(game, naming, std::move(done));
        },
        m_runModal);
    if (RunModal(m_runModal, browser) == QDialog::Accepted) {
        if (browser.SelectedGame() != m_engine->Status().currentGame) {
            m_engine->StopPlayer();
            m_engine->LoadGame(browser.SelectedGame(), -1);
        }
        if (m_engine->Status().playlistMode) ToggleMode();
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
        m_engine->Setup().ApplyListeningOptions();
        RefillClipList();
        ShowFields(m_engine->Status().fields);
        m_engine->Setup().Autosave(); // kept now, as the autosave keeps them: a crash loses nothing
    }
    UpdateMenus();
}

void CPlayerDlg::ShowAbout() {
    CDlgAbout about(m_engine->Setup().CoreVersion(), this);
    RunModal(m_runModal, about);
}

void CPlayerDlg::PrankCall() {
    static const char* const kAnswers[] = {
        "Yeah right.",
        "No, I'm sorry, but if you want to get in trouble, you're just gonna have to do it "
        "yourself.",
        "Dude, would you quit asking me to annoy your neighbors for you!?  Go bug 'em yourself or "
        "something.  Geez!",
        "Leave me alone."};
    m_dialogs.ShowMessage(kAnswers[std::min(m_prankCount, 3)], MessageIcon::None);
    ++m_prankCount;
    UpdateMenus();
}

} // namespace tarvo
