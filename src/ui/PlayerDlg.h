// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/ModalGate.h"
#include "kit/ModalRunner.h"
#include "kit/WindowSizing.h"
#include "library/ROMList.h"
#include "player/PlayerEngine.h"
#include "player/Random.h"
#include "playlist/Playlist.h"
#include "settings/Config.h"
#include "settings/SettingsFile.h"
#include "ui/ClipListPanel.h"
#include "ui/EngineTimers.h"
#include "ui/ExportController.h"
#include "ui/FocusKeeper.h"
#include "ui/MainMenus.h"
#include "ui/MainWindowView.h"
#include "ui/OpeningController.h"
#include "ui/PlayerMeters.h"
#include "ui/PlaylistModeController.h"
#include "ui/PositionBar.h"
#include "ui/SecondaryWindows.h"
#include "ui/VolumeSlider.h"
#include "ui/WindowIcon.h"

#include <memory>
#include <QDialog>
#include <QHash>

class QPushButton;

namespace tarvo {

class IDialogs;

// The main window "Tarvo": it owns the settings, the game list, the playlist,
// the two meters and the player engine, dispatches every command through its
// command table and keeps the menus in step with the player. Its seams are
// parts of their own: the view the engine drives (CMainWindowView), the clip
// list and clip editing (CClipListPanel), playlist mode
// (CPlaylistModeController), music opened from outside (COpeningController),
// exports (CExportController), the other windows (CSecondaryWindows), the
// position bar, the menus, the icon, the timers and the focus.
class CPlayerDlg : public QDialog {
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
    void UpdateMenus();
    // The settings that act at once, applied after they changed.
    void ApplyNormalize();
    void ApplyMeterSettings();

    // The window's parts.
    CPlayerEngine& Engine() { return *m_engine; }
    Config& Settings() { return m_config; }
    CROMList& ROMList() { return m_romList; }
    CPlaylist& Playlist() { return m_playlist; }
    IDialogs& Dialogs() { return m_dialogs; }
    CMainWindowView& View() { return m_view; }
    CClipListPanel& Clips() { return *m_clips; }
    CPlaylistModeController& Mode() { return m_mode; }
    COpeningController& Opening() { return m_opening; }
    CExportController& Exports() { return m_exports; }
    CSecondaryWindows& Windows() { return m_windows; }
    CWindowIcon& Icon() { return m_icon; }
    CEngineTimers& Timers() { return *m_timers; }
    CFocusKeeper& Focus() { return *m_focus; }
    CPositionBar& PositionBar() { return *m_positionBar; }
    CVUMeter& LeftMeter() { return m_meters.Left(); }
    CVUMeter& RightMeter() { return m_meters.Right(); }
    CPlayerMeters& Meters() { return m_meters; }
    CVolumeSlider& Volume() { return *m_volume; }
    QWidget* ControlById(int id) const { return m_controls.value(id); }
    QAction* Action(int id) const { return m_menus->Action(id); }
    void SetEnabled(int id, bool enabled);
    // Requests from the session bus, held while a modal window is open.
    CModalGate& OutsideRequests() { return m_outsideRequests; }
    // Runs the window's modal dialogs; tests script them.
    void SetModalRunner(ModalRunner runner) { m_runModal = std::move(runner); }
    int RunModal(QDialog& dialog) { return tarvo::RunModal(m_runModal, dialog); }
    const ModalRunner& Runner() const { return m_runModal; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
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
    bool SaveFilesForExit(bool unattended);
    void ConnectButtons();
    void ReadControls();
    void ToggleSetting(int Config::*setting);
    QPushButton* Button(int id) const;

    IDialogs& m_dialogs;
    CRandom m_random;
    Config m_config;
    CROMList m_romList;
    CPlaylist m_playlist;
    CSettingsFile m_settings;
    CMainWindowView m_view{*this};
    std::unique_ptr<CPlayerEngine> m_engine;

    std::unique_ptr<CMainMenus> m_menus;
    QHash<int, QWidget*> m_controls;
    std::unique_ptr<CWindowSizing> m_sizing;
    std::unique_ptr<CClipListPanel> m_clips;
    CPositionBar* m_positionBar = nullptr;
    std::unique_ptr<CFocusKeeper> m_focus;
    std::unique_ptr<CEngineTimers> m_timers;
    CPlaylistModeController m_mode{*this};
    COpeningController m_opening{*this};
    CExportController m_exports{*this};
    CSecondaryWindows m_windows{*this};
    CWindowIcon m_icon{*this};
    CPlayerMeters m_meters;
    CVolumeSlider* m_volume = nullptr;
    ModalRunner m_runModal;
    CModalGate m_outsideRequests{this};
};

} // namespace tarvo
