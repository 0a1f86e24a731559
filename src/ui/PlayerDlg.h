// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DlgRenameGame.h"
#include "kit/IconSequences.h"
#include "kit/MenuBuilder.h"
#include "kit/ModalGate.h"
#include "kit/ModalRunner.h"
#include "kit/QtListView.h"
#include "kit/WindowSizing.h"
#include "library/ROMList.h"
#include "player/IPlayerView.h"
#include "player/PlayerEngine.h"
#include "player/Random.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistMoves.h"
#include "settings/Config.h"
#include "settings/SettingsFile.h"
#include "ui/MusicOpener.h"
#include "ui/PositionBar.h"
#include "widgets/VUMeter.h"

#include <memory>
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QTimer>

class QLineEdit;
class QMenu;
class QPushButton;
class QShortcut;
class QSlider;
class QTreeWidget;

namespace tarvo {

class CDlgPlaylist;
class CDlgVoices;
class IDialogs;

// The main window "Tarvo": it owns the settings, the game list, the playlist,
// the two meters and the player engine, dispatches every command and keeps
// the menus and transport buttons in step with the player.
//
// One class over several files, one file a seam of the window:
//   PlayerDlg.cpp               the shell: start-up, close, keys, the command table, menus
//   PlayerDlgFields.cpp         the fields, transport buttons, window icon and meters
//   PlayerDlgClipList.cpp       the clip list and clip editing
//   PlayerDlgPlaylistMode.cpp   playlist mode
//   PlayerDlgClipData.cpp       clip information import and export
//   PlayerDlgDialogs.cpp        the commands that open other windows
//   PlayerDlgListening.cpp      news of seeks and the Voices window (the bar: CPositionBar)
class CPlayerDlg : public QDialog, public IPlayerView {
    Q_OBJECT
public:
    CPlayerDlg(std::string programFolder, ICore& core, IDialogs& dialogs, EngineClock clock = {},
               QWidget* parent = nullptr);
    ~CPlayerDlg() override;

    // The window's start-up and close orders.
    void StartUp();
    bool CloseSequence();
    // A termination signal: every open dialog ends as cancelled, then the
    // window closes. The dialogs must already be unattended.
    void EndBySignal();

    // Commands, by their numbers in the command table.
    void Command(int id);

    // The clip list and clip editing.
    void PlaySelected();
    void CommitClipNumber();
    void CommitClipTitle();
    void ToggleBlank();
    void SetAsFirst();
    void SetAsLast();
    void SetNewRange();
    void ShowBlanksClicked();
    // The popup's items for the marked row; the menu itself is shown by ClipPopup.
    void PrepareClipPopup(QMenu& menu, const CMenuBuilder::Actions& actions) const;
    void ClipPopup(const QPoint& globalPosition);
    int FindClipRow(int clip) const;
    void UpdateListButtons();
    void SetupClipColumns();

    // Playlist mode.
    void SetPlaylistMode(bool on);
    void ToggleMode();
    void LoadPlaylistCommand();
    void SavePlaylistCommand();
    // Saves to the playlist's file, or asks for one; the crash-recovery copy
    // is the engine's autosave.
    void SavePlaylist();
    void OpenPlaylistManager();
    void MoveClicked(PlaylistMove move);

    // Clip information in and out.
    void ExportGameClipData();
    void ExportAllClipData();
    void ImportClipData();
    // Music files and folders from outside become games, and the first plays.
    void OpenMusic(const QByteArrayList& paths);
    // Games tarvo-add added since, with their titles.
    void TakeNewGames();
    // A game the user added, renamed in its catalogue line by tarvo-add, which
    // runs beside the window; `done` hears whether it was (why not is said).
    void RenameGame(int game, const GameNaming& naming, std::function<void(bool)> done = {});
    CMusicOpener& Opener() { return m_opener; }
    // Before folders that would add many games: true to add them.
    bool ConfirmManyGames(int games, const QByteArrayList& paths);
    static QString AddProgramBesideThis();

    // The loaded game's clips rendered to sound files, with a progress dialog.
    void ExportGameAudio();
    void MusicAdded(const AddReport& report, const QString& failure);
    bool ConfirmExport(const std::string& folder, const std::vector<ExportItem>& items);
    void ReportExport();

    // Other windows.
    void OpenBrowser();
    void OpenOptions();
    void ShowAbout();
    void PrankCall();
    void StartVolumeControl();
    void OpenVoices();

    // IPlayerView
    void ShowFields(const PlayerFields& fields) override;
    void UpdateTransportButtons() override;
    void UpdateMenus() override;
    void SelectClipRow(int clipOrPosition) override;
    void RefreshClipRow(int clip) override;
    void FillClipList(CGameEntry& game) override;
    void ClearClipList() override;
    void RefreshPlaylistRows() override;
    void SelectIconSequence(int sequence) override;
    void AdvanceWindowIcon() override;
    void SetPlayIcon(int icon) override;
    void SetRecIcon(int icon) override;
    void SetMeterLevels(int left, int right) override;
    void SetTickNeed(TickNeed need) override;
    void ClipSeeked(long long positionMs) override;
    void VoicesChanged() override;
    void PersonNeeded() override;

    // For tests and the program's own use.
    CPlayerEngine& Engine() { return *m_engine; }
    Config& Settings() { return m_config; }
    CROMList& ROMList() { return m_romList; }
    CPlaylist& Playlist() { return m_playlist; }
    const QTimer& Timer() const { return m_timer; }
    const QTimer& AutosaveTimer() const { return m_autosaveTimer; }
    QWidget* ControlById(int id) const { return m_controls.value(id); }
    QAction* Action(int id) const;
    CVUMeter& LeftMeter() { return m_leftMeter; }
    CVUMeter& RightMeter() { return m_rightMeter; }
    const CIconSequences& IconSequences() const { return m_icons; }
    int CurrentWindowIcon() const { return m_windowIcon; }
    // Requests from the session bus, held while a modal window is open.
    CModalGate& OutsideRequests() { return m_outsideRequests; }
    CDlgVoices* VoicesWindow() const;
    // Runs the window's modal dialogs; tests script them.
    void SetModalRunner(ModalRunner runner) { m_runModal = std::move(runner); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

public Q_SLOTS:
    void reject() override {} // Escape never closes the window

Q_SIGNALS:
    // The player changed as the menus show it: for the desktop's controls.
    void PlayerChanged();
    // The clip playing moved to `positionMs`, a seek done.
    void ClipMoved(long long positionMs);

private:
    void BuildWindow();
    void CloseOnceDialogsHaveEnded();
    void EnableTransportControls(bool active, bool sounding);
    void RestoreUserFocus();
    bool SaveFilesForExit(bool unattended);
    void KeepTypedTitle();
    void ConnectCommands();
    void ReadControls();
    void ToggleSetting(int Config::*setting);
    void ApplyNormalize();
    void ApplyMeterSettings();
    void RefillClipList();
    void CutRangeAtMarkedClip(const char* question, bool asFirst);
    void ShowGameInList();
    void ShowImportedClipData();
    void ShowPlaylistInList();
    void SetEnabled(int id, bool enabled);
    void SetMenuEnabled(int id, bool enabled);
    void SetMenuChecked(int id, bool checked);
    void SetMenuText(int id, const QString& text);
    QPushButton* Button(int id) const;
    int MarkedClip() const;

    std::string m_programFolder;
    IDialogs& m_dialogs;
    CRandom m_random;
    Config m_config;
    CROMList m_romList;
    CPlaylist m_playlist;
    CSettingsFile m_settings;
    std::unique_ptr<CPlayerEngine> m_engine;

    QHash<int, QWidget*> m_controls;
    QMenuBar* m_menuBar = nullptr;
    CDlgPlaylist* m_openManager = nullptr; // while the Playlist Manager is open
    CMusicOpener m_opener{
        AddProgramBesideThis(),
        [this](const AddReport& report, const QString& failure) { MusicAdded(report, failure); }};
    std::unique_ptr<CWindowSizing> m_sizing;
    CMenuBuilder::Actions m_actions;
    QTreeWidget* m_clipTree = nullptr;
    std::unique_ptr<CQtListView> m_clipList;
    QLineEdit* m_clipNumberEdit = nullptr;
    QLineEdit* m_clipTitleEdit = nullptr;
    CVUMeter m_leftMeter;
    CVUMeter m_rightMeter;
    CIconSequences m_icons;
    QHash<int, QIcon> m_iconFrames; // drawn once, at the one size a window icon has
    int m_windowIcon = CIconSequences::kProgramIcon;
    // The clip whose number and title the two clip fields show.
    CGameEntry* m_fieldsGame = nullptr;
    int m_fieldsClip = -1;
    // The engine's timer, running only at the cadence it asks for, and the
    // autosave's own slow one.
    QTimer m_timer;
    TickNeed m_tickNeed = TickNeed::None;
    QTimer m_autosaveTimer;
    ModalRunner m_runModal;
    CModalGate m_outsideRequests{this};
    QPointer<CDlgVoices> m_voices; // while the Voices window is open
    CPositionBar* m_positionBar = nullptr;
    // Where the user left the keyboard focus. A control disabled while the
    // core works hands the focus on; it returns here when it can.
    QPointer<QWidget> m_userFocus;
    bool m_updatingControls = false;
    QMetaObject::Connection m_focusWatch;
    int m_prankCount = 0;
};

} // namespace tarvo
