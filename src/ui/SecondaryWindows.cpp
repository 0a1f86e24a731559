// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SecondaryWindows.h"

#include "dialogs/DlgAbout.h"
#include "dialogs/DlgOptions.h"
#include "dialogs/DlgROMBrowser.h"
#include "dialogs/DlgVoices.h"
#include "library/IDialogs.h"
#include "settings/OptionRules.h"
#include "ui/PlayerDlg.h"

#include <algorithm>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace tarvo {

void CSecondaryWindows::StartVolumeControl() {
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
    m_window.Dialogs().ShowMessage("ERROR: No volume mixer program was found.", MessageIcon::Error);
}

void CSecondaryWindows::OpenBrowser() {
    CDlgROMBrowser browser(m_window.ROMList(), m_window.Settings().ROMFilter, m_window.Dialogs(),
                           m_window.Engine().Status().currentGame, GameChoice::AvailableOnly,
                           &m_window);
    browser.KeepSizeIn(m_window.Settings().GameBrowserSize);
    browser.KeepViewIn(m_window.Settings().GameBrowserView);
    browser.AllowRenaming(
        [this](int game, const GameNaming& naming, CDlgROMBrowser::Renamed done) {
            m_window.Opening().RenameGame(game, naming, std::move(done));
        },
        m_window.Runner());
    if (m_window.RunModal(browser) == QDialog::Accepted) {
        if (browser.SelectedGame() != m_window.Engine().Status().currentGame) {
            m_window.Engine().StopPlayer();
            m_window.Engine().LoadGame(browser.SelectedGame(), -1);
        }
        if (m_window.Engine().Status().playlistMode) m_window.Mode().ToggleMode();
    }
    m_window.UpdateMenus();
}

void CSecondaryWindows::OpenOptions() {
    CDlgOptions options(m_window.ROMList(), m_window.Dialogs(), &m_window);
    options.Settings = m_window.Settings();
    options.Devices = m_window.Engine().Setup().OutputDevices();
    if (m_window.RunModal(options) == QDialog::Accepted) {
        const bool newDevice = options.Settings.Output.device != m_window.Settings().Output.device;
        CopyOptionSettings(options.Settings, m_window.Settings());
        if (newDevice) m_window.Engine().Setup().SetOutputDevice(options.Settings.Output.device);
        m_window.ApplyMeterSettings();
        m_window.ApplyNormalize();
        m_window.Engine().Setup().ApplyListeningOptions();
        m_window.Clips().RefillClipList();
        m_window.View().ShowFields(m_window.Engine().Status().fields);
        m_window.Engine()
            .Setup()
            .Autosave(); // kept now, as the autosave keeps them: a crash loses nothing
    }
    m_window.UpdateMenus();
}

void CSecondaryWindows::ShowAbout() {
    CDlgAbout about(m_window.Engine().Setup().CoreVersion(), &m_window);
    m_window.RunModal(about);
}

void CSecondaryWindows::PrankCall() {
    static const char* const kAnswers[] = {
        "Yeah right.",
        "No, I'm sorry, but if you want to get in trouble, you're just gonna have to do it "
        "yourself.",
        "Dude, would you quit asking me to annoy your neighbors for you!?  Go bug 'em yourself or "
        "something.  Geez!",
        "Leave me alone."};
    m_window.Dialogs().ShowMessage(kAnswers[std::min(m_prankCount, 3)], MessageIcon::None);
    ++m_prankCount;
    m_window.UpdateMenus();
}

CDlgVoices* CSecondaryWindows::VoicesWindow() const {
    return m_voices;
}

void CSecondaryWindows::VoicesChanged() {
    if (m_voices) m_voices->Refresh();
}

void CSecondaryWindows::OpenVoices() {
    if (!m_voices) {
        m_voices = new CDlgVoices(m_window.Engine().Listening(), &m_window);
        m_voices->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_voices->show();
    m_voices->raise();
    m_voices->activateWindow();
}

} // namespace tarvo
