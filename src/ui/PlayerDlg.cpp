// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlayerDlg.h"

#include "kit/DialogLayout.h"
#include "kit/DroppedFiles.h"
#include "kit/IconLibrary.h"
#include "kit/MoveButtons.h"
#include "library/IDialogs.h"
#include "ui/MainWindowIds.h"

#include <ctime>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace tarvo {

CPlayerDlg::CPlayerDlg(std::string programFolder, ICore& core, IDialogs& dialogs, EngineClock clock,
                       QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs),
      m_settings(programFolder, m_romList, m_playlist, m_dialogs) {
    if (!clock.random) clock.random = [this] { return m_random.Next(); };
    m_engine = std::make_unique<CPlayerEngine>(core, m_romList, m_playlist, m_config, m_settings,
                                               m_dialogs, m_view, std::move(programFolder), clock);
    m_timers = std::make_unique<CEngineTimers>(*m_engine);
    BuildWindow();
    ConnectButtons();
}

CPlayerDlg::~CPlayerDlg() {
    m_focus.reset(); // before the controls go, and the focus with them
    m_timers->Stop();
    m_engine->Setup().ShutdownCore();
}

void CPlayerDlg::BuildWindow() {
    m_menus = std::make_unique<CMainMenus>(*this, [this](int id) { Command(id); });
    m_controls = CDialogLayout::Build(this, u"128.layout"_s, m_menus->Height());
    m_menus->FollowWidth(width());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    m_sizing = std::make_unique<CWindowSizing>(*this, m_config.MainWindowSize);
    m_clips = std::make_unique<CClipListPanel>(*this, m_controls);
    m_positionBar =
        new CPositionBar(Control<QSlider>(m_controls, kPositionBar), this, m_engine->Listening());
    m_focus = std::make_unique<CFocusKeeper>(
        *this, [this](QWidget* now) { m_positionBar->LetArrowsSeek(now); });
}

QPushButton* CPlayerDlg::Button(int id) const {
    return Control<QPushButton>(m_controls, id);
}

void CPlayerDlg::SetEnabled(int id, bool enabled) {
    if (QWidget* control = m_controls.value(id)) control->setEnabled(enabled);
}

void CPlayerDlg::ConnectButtons() {
    for (int id : {kLoad, kPlaySelected, kStop, kVolume, kOptions, kBrowse, kPlay, kRec, kPrev,
                   kNext, kPlaylistManager, kSwitchMode})
        connect(Button(id), &QPushButton::clicked, this, [this, id] { Command(id); });
    for (const MoveButton& button : kMoveButtons)
        connect(Button(button.id), &QPushButton::clicked, this,
                [this, id = button.id] { Command(id); });
    for (int id : {kShowBlanks, kShuffle, kNormalize})
        connect(Control<QCheckBox>(m_controls, id), &QCheckBox::clicked, this,
                [this, id] { Command(id); });
}

void CPlayerDlg::StartUp() {
    m_icon.Load();
    m_random.Seed(static_cast<uint32_t>(std::time(nullptr)));
    CCoreSetup& setup = m_engine->Setup();
    setup.StartCore(*m_engine);
    m_romList.LoadClipInfo(setup.ProgramFolder() + "tarvoclips.dat");
    setup.ImportPendingClipData();
    m_playlist.SetROMList(&m_romList);
    m_settings.Read(m_config);
    m_sizing->RestoreKeptSize();
    // Without a settings file nothing has scanned the default folder yet, and
    // a playlist loaded now would find every game missing.
    if (!m_romList.IsScanned()) m_romList.ScanROMFolders();
    setup.ApplyStartOptions(m_config.Normalize != 0);
    m_view.ShowFields(m_engine->Status().fields);
    m_mode.SetPlaylistMode(m_config.PlaylistMode != 0);
    if (m_engine->Status().playlistMode) m_playlist.FillList(m_clips->View());
    m_clips->UpdateListButtons();
    UpdateMenus();
    for (auto [id, icon] : {std::pair{kStop, 104}, {kNext, 102}, {kPrev, 103}, {kRec, 101}})
        Button(id)->setIcon(CIconLibrary::Icon(icon));
    for (const MoveButton& button : kMoveButtons)
        Button(button.id)->setIcon(CIconLibrary::Icon(button.icon));
    m_timers->Start();
    m_meters.Attach(this, m_controls.value(kLeftMeter), m_controls.value(kRightMeter));
    ApplyMeterSettings();
    m_volume = new CVolumeSlider(Control<QSlider>(m_controls, kVolumeSlider),
                                 m_config.Output.volume, this);
    connect(m_volume, &CVolumeSlider::Changed, this, [this](int percent) {
        m_config.Output.volume = percent;
        m_engine->Setup().SetVolume(percent);
        Q_EMIT PlayerChanged();
    });
    m_focus->Give(m_clips->Tree());
    setAcceptDrops(true);
}

void CPlayerDlg::ApplyMeterSettings() {
    m_meters.Apply(m_config);
}

// --- Close ----------------------------------------------------------------

bool CPlayerDlg::CloseSequence() {
    const bool unattended = m_dialogs.Unattended();
    // A recording is offered for saving as NEXT would. Unattended, the core
    // completes it as it shuts down and it stays under its temporary name.
    if (IsRecording(m_engine->Status().state) && !unattended) m_engine->StopPlayer();
    if (m_engine->Setup().KeepsFiles() && !SaveFilesForExit(unattended)) return false; // stays open
    m_timers->Stop();
    m_engine->Setup().ShutdownCore();
    return true;
}

// The playlist, the settings and the clip information, as a close keeps them.
bool CPlayerDlg::SaveFilesForExit(bool unattended) {
    const bool unnamed = m_playlist.fileName.empty() && m_playlist.GetCount() > 0;
    if (!unattended || !unnamed) m_mode.SavePlaylist();
    // Only a person's "No" discards an unnamed playlist. When nobody could
    // answer (a signal came before the question or ended it), it is kept as
    // the copy the next start reloads.
    const bool keepAsCopy = unnamed && m_playlist.fileName.empty() && m_dialogs.Unattended();
    if (keepAsCopy)
        m_playlist.SaveToFile(m_settings.TempPlaylistPath(), Interaction::Quiet, m_dialogs);
    const SettingsForm form = keepAsCopy ? SettingsForm::KeptAtClose : SettingsForm::Exit;
    if (!m_settings.Write(m_config, form) && !m_dialogs.Unattended()) return false;
    m_romList.SaveClipInfo(m_engine->Setup().ProgramFolder() + "tarvoclips.dat",
                           CROMList::Lines::WithUnsupported, m_dialogs);
    return true;
}

void CPlayerDlg::EndBySignal() {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog != this && dialog->isVisible()) dialog->reject();
    }
    QTimer::singleShot(0, this, &CPlayerDlg::CloseOnceDialogsHaveEnded);
}

// Each cancelled dialog first returns to the code that opened it, which
// finishes its work; only then does the window close, once.
void CPlayerDlg::CloseOnceDialogsHaveEnded() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != this) {
        QTimer::singleShot(0, this, &CPlayerDlg::CloseOnceDialogsHaveEnded);
        return;
    }
    close();
}

// The clip list grows with the window; the meters follow their placeholders.
void CPlayerDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!m_sizing) return;
    m_sizing->FollowResize();
    m_menus->FollowWidth(width());
    m_meters.Follow(m_controls.value(kLeftMeter), m_controls.value(kRightMeter));
}

void CPlayerDlg::closeEvent(QCloseEvent* event) {
    if (!CloseSequence()) {
        event->ignore();
        return;
    }
    event->accept();
    done(QDialog::Accepted);
}

// The wheel over the meters turns the volume.
void CPlayerDlg::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y();
    if (notches == 0 || !m_meters.Contains(event->position().toPoint())) {
        QDialog::wheelEvent(event);
        return;
    }
    m_volume->Step(notches > 0 ? 1 : -1);
    event->accept();
}

// --- Keyboard ---------------------------------------------------------------

void CPlayerDlg::keyPressEvent(QKeyEvent* event) {
    // Enter never presses a default button, and Escape never closes the window.
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// --- The command table --------------------------------------------------------

void CPlayerDlg::Command(int id) {
    using Handler = void (*)(CPlayerDlg&);
    static const std::pair<int, Handler> kTable[] = {
        {kLoad, [](CPlayerDlg& w) { w.m_windows.OpenBrowser(); }},
        {kBrowse, [](CPlayerDlg& w) { w.m_windows.OpenBrowser(); }},
        {kSelectGame, [](CPlayerDlg& w) { w.m_windows.OpenBrowser(); }},
        {kMenuBrowser, [](CPlayerDlg& w) { w.m_windows.OpenBrowser(); }},
        {kPlaySelected, [](CPlayerDlg& w) { w.m_clips->PlaySelected(); }},
        {kShowBlanks,
         [](CPlayerDlg& w) {
             w.ReadControls();
             w.m_clips->RefillClipList();
         }},
        {kShuffle, [](CPlayerDlg& w) { w.ReadControls(); }},
        {kNormalize,
         [](CPlayerDlg& w) {
             w.ReadControls();
             w.ApplyNormalize();
         }},
        {kStop, [](CPlayerDlg& w) { w.m_engine->StopPlayer(); }},
        {kVolume, [](CPlayerDlg& w) { w.m_windows.StartVolumeControl(); }},
        {kOptions, [](CPlayerDlg& w) { w.m_windows.OpenOptions(); }},
        {kOpenOptions, [](CPlayerDlg& w) { w.m_windows.OpenOptions(); }},
        {kImport, [](CPlayerDlg& w) { w.m_exports.ImportClipData(); }},
        {kExportGame, [](CPlayerDlg& w) { w.m_exports.ExportGameClipData(); }},
        {kExportAll, [](CPlayerDlg& w) { w.m_exports.ExportAllClipData(); }},
        {kExportAudio, [](CPlayerDlg& w) { w.m_exports.ExportGameAudio(); }},
        {kPrank, [](CPlayerDlg& w) { w.m_windows.PrankCall(); }},
        {kAbout, [](CPlayerDlg& w) { w.m_windows.ShowAbout(); }},
        {kPlay, [](CPlayerDlg& w) { w.m_engine->Play(); }},
        {kRec, [](CPlayerDlg& w) { w.m_engine->Rec(); }},
        {kMenuPlay,
         [](CPlayerDlg& w) {
             const PlayerState state = w.m_engine->Status().StateOfTheClip();
             if (state != PlayerState::Playing && state != PlayerState::Recording)
                 w.m_engine->Play();
         }},
        {kMenuPause,
         [](CPlayerDlg& w) {
             const PlayerState state = w.m_engine->Status().StateOfTheClip();
             if (state == PlayerState::Playing || IsPaused(state) ||
                 state == PlayerState::Recording)
                 w.m_engine->Play();
         }},
        {kPrev, [](CPlayerDlg& w) { w.m_engine->Prev(); }},
        {kNext, [](CPlayerDlg& w) { w.m_engine->Next(); }},
        {kExit, [](CPlayerDlg& w) { w.close(); }},
        {kSwitchMode, [](CPlayerDlg& w) { w.m_mode.ToggleMode(); }},
        {kMenuRomMode,
         [](CPlayerDlg& w) {
             if (w.m_engine->Status().playlistMode) w.m_mode.ToggleMode();
         }},
        {kMenuPlaylistMode,
         [](CPlayerDlg& w) {
             if (!w.m_engine->Status().playlistMode) w.m_mode.ToggleMode();
         }},
        {kPlaylistManager, [](CPlayerDlg& w) { w.m_mode.OpenPlaylistManager(); }},
        {kMenuPlaylistManager, [](CPlayerDlg& w) { w.m_mode.OpenPlaylistManager(); }},
        {kMenuVoices, [](CPlayerDlg& w) { w.m_windows.OpenVoices(); }},
        {kVolumeUp, [](CPlayerDlg& w) { w.m_volume->Step(1); }},
        {kVolumeDown, [](CPlayerDlg& w) { w.m_volume->Step(-1); }},
        {kLoadPlaylist, [](CPlayerDlg& w) { w.m_mode.LoadPlaylistCommand(); }},
        {kSavePlaylist, [](CPlayerDlg& w) { w.m_mode.SavePlaylistCommand(); }},
        {kToggleBlank, [](CPlayerDlg& w) { w.m_clips->ToggleBlank(); }},
        {kSetFirst, [](CPlayerDlg& w) { w.m_clips->SetAsFirst(); }},
        {kSetLast, [](CPlayerDlg& w) { w.m_clips->SetAsLast(); }},
        {kNewRange, [](CPlayerDlg& w) { w.m_clips->SetNewRange(); }},
        {kMenuShowBlanks,
         [](CPlayerDlg& w) {
             w.ToggleSetting(&Config::ShowBlanks);
             w.m_clips->RefillClipList();
         }},
        {kMenuShuffle, [](CPlayerDlg& w) { w.ToggleSetting(&Config::Shuffle); }},
        {kMenuNormalize,
         [](CPlayerDlg& w) {
             w.ToggleSetting(&Config::Normalize);
             w.ApplyNormalize();
         }},
    };
    for (const MoveButton& button : kMoveButtons)
        if (button.id == id) m_mode.MoveClicked(button.move);
    for (const auto& [command, handler] : kTable)
        if (command == id) handler(*this);
    UpdateMenus();
}

void CPlayerDlg::ReadControls() {
    m_config.ShowBlanks = Control<QCheckBox>(m_controls, kShowBlanks)->isChecked();
    m_config.Shuffle = Control<QCheckBox>(m_controls, kShuffle)->isChecked();
    m_config.Normalize = Control<QCheckBox>(m_controls, kNormalize)->isChecked();
}

// A menu item that flips a setting shows the new value in its check box too.
void CPlayerDlg::ToggleSetting(int Config::*setting) {
    m_config.*setting = !(m_config.*setting);
    m_view.ShowFields(m_engine->Status().fields);
}

void CPlayerDlg::ApplyNormalize() {
    m_engine->Setup().SetNormalize(m_config.Normalize != 0);
}

// --- Menus --------------------------------------------------------------------

void CPlayerDlg::UpdateMenus() {
    m_menus->Update(*m_engine, m_playlist, m_config, m_windows.PrankAllowed());
    m_menus->FollowTransport([this](int id) { return m_controls.value(id)->isEnabled(); });
    Q_EMIT PlayerChanged(); // every change the menus follow, the desktop hears of
}

void CPlayerDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CPlayerDlg::dropEvent(QDropEvent* event) {
    const QByteArrayList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    m_opening.OpenMusic(paths);
}

} // namespace tarvo
