// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlayerDlg.h"

#include "kit/DialogLayout.h"
#include "kit/IconLibrary.h"
#include "kit/MoveButtons.h"
#include "library/IDialogs.h"
#include "ui/MainWindowIds.h"

#include <ctime>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QColor ToQColor(const RgbColor& c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

CPlayerDlg::CPlayerDlg(std::string programFolder, ICore& core, IDialogs& dialogs, EngineClock clock,
                       QWidget* parent)
    : QDialog(parent), m_programFolder(std::move(programFolder)), m_dialogs(dialogs),
      m_settings(m_programFolder, m_romList, m_playlist, m_dialogs) {
    if (!clock.random) clock.random = [this] { return m_random.Next(); };
    m_engine = std::make_unique<CPlayerEngine>(core, m_romList, m_playlist, m_config, m_settings,
                                               m_dialogs, *this, m_programFolder, clock);
    BuildWindow();
    ConnectCommands();
    m_opener.SetConfirmMany(
        [this](int games, const QByteArrayList& paths) { return ConfirmManyGames(games, paths); });
}

CPlayerDlg::~CPlayerDlg() {
    // The controls go after this destructor, and the focus moves as they go:
    // by then there is no window left to note it.
    disconnect(m_focusWatch);
    m_timer.stop();
    m_autosaveTimer.stop();
    m_engine->Setup().ShutdownCore();
}

void CPlayerDlg::BuildWindow() {
    m_menuBar = new QMenuBar(this);
    m_actions = CMenuBuilder::BuildBar(m_menuBar, u"167.menu"_s);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_controls = CDialogLayout::Build(this, u"128.layout"_s, menuHeight);
    m_menuBar->setGeometry(0, 0, width(), menuHeight);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    m_sizing = std::make_unique<CWindowSizing>(*this, m_config.MainWindowSize);

    m_clipTree = Control<QTreeWidget>(m_controls, kClipList);
    m_clipTree->header()->setVisible(false);
    m_clipTree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_clipTree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_clipList = std::make_unique<CQtListView>(m_clipTree);
    m_clipNumberEdit = Control<QLineEdit>(m_controls, kClipNumber);
    m_clipNumberEdit->setValidator(
        new QIntValidator(-1, CClipInfo::kMaxClipNumber, m_clipNumberEdit));
    m_clipTitleEdit = Control<QLineEdit>(m_controls, kClipTitle);
    for (QWidget* w : {static_cast<QWidget*>(m_clipNumberEdit),
                       static_cast<QWidget*>(m_clipTitleEdit), static_cast<QWidget*>(m_clipTree)})
        w->installEventFilter(this);
    m_positionBar = new CPositionBar(Control<QSlider>(m_controls, kPositionBar), this, *m_engine);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!m_updatingControls && now && isAncestorOf(now)) m_userFocus = now;
        m_positionBar->LetArrowsSeek(now, m_clipTree);
    });
}

void CPlayerDlg::RestoreUserFocus() {
    if (m_userFocus && m_userFocus->isEnabled() && m_userFocus->isVisible() &&
        focusWidget() != m_userFocus)
        m_userFocus->setFocus(Qt::OtherFocusReason);
}

QPushButton* CPlayerDlg::Button(int id) const {
    return Control<QPushButton>(m_controls, id);
}

QAction* CPlayerDlg::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() || it->isEmpty() ? nullptr : it->first();
}

void CPlayerDlg::ConnectCommands() {
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it)
        for (QAction* action : it.value())
            connect(action, &QAction::triggered, this, [this, id = it.key()] { Command(id); });
    for (int id : {kLoad, kPlaySelected, kStop, kVolume, kOptions, kBrowse, kPlay, kRec, kPrev,
                   kNext, kPlaylistManager, kSwitchMode})
        connect(Button(id), &QPushButton::clicked, this, [this, id] { Command(id); });
    for (const MoveButton& button : kMoveButtons)
        connect(Button(button.id), &QPushButton::clicked, this,
                [this, id = button.id] { Command(id); });
    for (int id : {kShowBlanks, kShuffle, kNormalize})
        connect(Control<QCheckBox>(m_controls, id), &QCheckBox::clicked, this,
                [this, id] { Command(id); });
    connect(m_clipTree, &QTreeWidget::itemDoubleClicked, this, [this] { PlaySelected(); });
    connect(m_clipTree, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ClipPopup(m_clipTree->viewport()->mapToGlobal(at)); });
    connect(m_clipTree, &QTreeWidget::itemSelectionChanged, this, [this] {
        UpdateListButtons();
        UpdateMenus();
    });
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_tickNeed == TickNeed::Clock)
            m_engine->ClockTick();
        else
            m_engine->TimerTick();
    });
    connect(&m_autosaveTimer, &QTimer::timeout, this, [this] { m_engine->Setup().Autosave(); });
}

void CPlayerDlg::StartUp() {
    setWindowIcon(CIconLibrary::Icon(CIconSequences::kProgramIcon));
    m_random.Seed(static_cast<uint32_t>(std::time(nullptr)));
    m_engine->Setup().StartCore(*m_engine);
    m_romList.LoadClipInfo(m_programFolder + "tarvoclips.dat");
    m_engine->Setup().ImportPendingClipData();
    m_playlist.SetROMList(&m_romList);
    m_settings.Read(m_config);
    m_sizing->RestoreKeptSize();
    // Without a settings file nothing has scanned the default folder yet, and
    // a playlist loaded now would find every game missing.
    if (!m_romList.IsScanned()) m_romList.ScanROMFolders();
    m_engine->Setup().ApplyStartOptions(m_config.Normalize != 0);
    ShowFields(m_engine->Status().fields);
    SetPlaylistMode(m_config.PlaylistMode != 0);
    if (m_engine->Status().playlistMode) m_playlist.FillList(*m_clipList);
    UpdateListButtons();
    UpdateMenus();
    m_icons = CIconSequences();
    for (int icon : m_icons.Icons())
        m_iconFrames.insert(icon, QIcon(CIconLibrary::Pixmap(QString::number(icon), 16)));
    for (auto [id, icon] : {std::pair{kStop, 104}, {kNext, 102}, {kPrev, 103}, {kRec, 101}})
        Button(id)->setIcon(CIconLibrary::Icon(icon));
    for (const MoveButton& button : kMoveButtons)
        Button(button.id)->setIcon(CIconLibrary::Icon(button.icon));
    m_timer.setTimerType(Qt::PreciseTimer);
    m_engine->Start();
    m_leftMeter.Attach(this, m_controls.value(kLeftMeter));
    m_rightMeter.Attach(this, m_controls.value(kRightMeter), &m_leftMeter);
    ApplyMeterSettings();
    m_clipTree->setFocus(Qt::OtherFocusReason);
    m_userFocus = m_clipTree;
    m_autosaveTimer.start(CPlayerEngine::kAutosavePeriodMs);
    setAcceptDrops(true);
}

void CPlayerDlg::ApplyMeterSettings() {
    for (CVUMeter* meter : {&m_leftMeter, &m_rightMeter}) {
        meter->SetSegmentWidth(m_config.VUSegmentWidth);
        meter->SetColors(m_config.UseVUGradient != 0, ToQColor(m_config.VULeftColor),
                         ToQColor(m_config.VUMidColor), ToQColor(m_config.VURightColor));
    }
}

// --- Close ----------------------------------------------------------------

bool CPlayerDlg::CloseSequence() {
    const bool unattended = m_dialogs.Unattended();
    // A recording is offered for saving as NEXT would. Unattended, the core
    // completes it as it shuts down and it stays under its temporary name.
    if (IsRecording(m_engine->Status().state) && !unattended) m_engine->StopPlayer();
    if (m_engine->Setup().KeepsFiles() && !SaveFilesForExit(unattended)) return false; // stays open
    m_timer.stop();
    m_autosaveTimer.stop();
    m_engine->Setup().ShutdownCore();
    return true;
}

// The playlist, the settings and the clip information, as a close keeps them.
bool CPlayerDlg::SaveFilesForExit(bool unattended) {
    const bool unnamed = m_playlist.fileName.empty() && m_playlist.GetCount() > 0;
    if (!unattended || !unnamed) SavePlaylist();
    // Only a person's "No" discards an unnamed playlist. When nobody could
    // answer (a signal came before the question or ended it), it is kept as
    // the copy the next start reloads.
    const bool keepAsCopy = unnamed && m_playlist.fileName.empty() && m_dialogs.Unattended();
    if (keepAsCopy)
        m_playlist.SaveToFile(m_settings.TempPlaylistPath(), Interaction::Quiet, m_dialogs);
    const SettingsForm form = keepAsCopy ? SettingsForm::KeptAtClose : SettingsForm::Exit;
    if (!m_settings.Write(m_config, form) && !m_dialogs.Unattended()) return false;
    m_romList.SaveClipInfo(m_programFolder + "tarvoclips.dat", CROMList::Lines::WithUnsupported,
                           m_dialogs);
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
    m_menuBar->resize(width(), m_menuBar->height());
    m_leftMeter.MoveTo(m_controls.value(kLeftMeter)->pos());
    m_rightMeter.MoveTo(m_controls.value(kRightMeter)->pos());
}

void CPlayerDlg::closeEvent(QCloseEvent* event) {
    if (!CloseSequence()) {
        event->ignore();
        return;
    }
    event->accept();
    done(QDialog::Accepted);
}

// --- Keyboard ---------------------------------------------------------------

bool CPlayerDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_clipNumberEdit) CommitClipNumber();
            if (watched == m_clipTitleEdit) CommitClipTitle();
            if (watched == m_clipTree) PlaySelected();
            return true;
        }
        if (key == Qt::Key_Escape) return true;
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_clipNumberEdit) CommitClipNumber();
        if (watched == m_clipTitleEdit) CommitClipTitle();
    }
    if (event->type() == QEvent::FocusIn && watched == m_clipTree)
        Button(kPlaySelected)->setDefault(true);
    return QDialog::eventFilter(watched, event);
}

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
        {kLoad, [](CPlayerDlg& w) { w.OpenBrowser(); }},
        {kBrowse, [](CPlayerDlg& w) { w.OpenBrowser(); }},
        {kSelectGame, [](CPlayerDlg& w) { w.OpenBrowser(); }},
        {kMenuBrowser, [](CPlayerDlg& w) { w.OpenBrowser(); }},
        {kPlaySelected, [](CPlayerDlg& w) { w.PlaySelected(); }},
        {kShowBlanks, [](CPlayerDlg& w) { w.ShowBlanksClicked(); }},
        {kShuffle, [](CPlayerDlg& w) { w.ReadControls(); }},
        {kNormalize,
         [](CPlayerDlg& w) {
             w.ReadControls();
             w.ApplyNormalize();
         }},
        {kStop, [](CPlayerDlg& w) { w.m_engine->StopPlayer(); }},
        {kVolume, [](CPlayerDlg& w) { w.StartVolumeControl(); }},
        {kOptions, [](CPlayerDlg& w) { w.OpenOptions(); }},
        {kOpenOptions, [](CPlayerDlg& w) { w.OpenOptions(); }},
        {kImport, [](CPlayerDlg& w) { w.ImportClipData(); }},
        {kExportGame, [](CPlayerDlg& w) { w.ExportGameClipData(); }},
        {kExportAll, [](CPlayerDlg& w) { w.ExportAllClipData(); }},
        {kExportAudio, [](CPlayerDlg& w) { w.ExportGameAudio(); }},
        {kPrank, [](CPlayerDlg& w) { w.PrankCall(); }},
        {kAbout, [](CPlayerDlg& w) { w.ShowAbout(); }},
        {kPlay, [](CPlayerDlg& w) { w.m_engine->Play(); }},
        {kRec, [](CPlayerDlg& w) { w.m_engine->Rec(); }},
        {kPrev, [](CPlayerDlg& w) { w.m_engine->Prev(); }},
        {kNext, [](CPlayerDlg& w) { w.m_engine->Next(); }},
        {kExit, [](CPlayerDlg& w) { w.close(); }},
        {kSwitchMode, [](CPlayerDlg& w) { w.ToggleMode(); }},
        {kMenuRomMode,
         [](CPlayerDlg& w) {
             if (w.m_engine->Status().playlistMode) w.ToggleMode();
         }},
        {kMenuPlaylistMode,
         [](CPlayerDlg& w) {
             if (!w.m_engine->Status().playlistMode) w.ToggleMode();
         }},
        {kPlaylistManager, [](CPlayerDlg& w) { w.OpenPlaylistManager(); }},
        {kMenuPlaylistManager, [](CPlayerDlg& w) { w.OpenPlaylistManager(); }},
        {kMenuVoices, [](CPlayerDlg& w) { w.OpenVoices(); }},
        {kLoadPlaylist, [](CPlayerDlg& w) { w.LoadPlaylistCommand(); }},
        {kSavePlaylist, [](CPlayerDlg& w) { w.SavePlaylistCommand(); }},
        {kToggleBlank, [](CPlayerDlg& w) { w.ToggleBlank(); }},
        {kSetFirst, [](CPlayerDlg& w) { w.SetAsFirst(); }},
        {kSetLast, [](CPlayerDlg& w) { w.SetAsLast(); }},
        {kNewRange, [](CPlayerDlg& w) { w.SetNewRange(); }},
        {kMenuShowBlanks,
         [](CPlayerDlg& w) {
             w.ToggleSetting(&Config::ShowBlanks);
             w.RefillClipList();
         }},
        {kMenuShuffle, [](CPlayerDlg& w) { w.ToggleSetting(&Config::Shuffle); }},
        {kMenuNormalize,
         [](CPlayerDlg& w) {
             w.ToggleSetting(&Config::Normalize);
             w.ApplyNormalize();
         }},
    };
    for (const MoveButton& button : kMoveButtons)
        if (button.id == id) MoveClicked(button.move);
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
    ShowFields(m_engine->Status().fields);
}

void CPlayerDlg::ApplyNormalize() {
    m_engine->Setup().SetNormalize(m_config.Normalize != 0);
}

// --- Menus --------------------------------------------------------------------

void CPlayerDlg::SetMenuEnabled(int id, bool enabled) {
    for (QAction* action : m_actions.value(id))
        action->setEnabled(enabled);
}

void CPlayerDlg::SetMenuChecked(int id, bool checked) {
    for (QAction* action : m_actions.value(id)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

void CPlayerDlg::SetMenuText(int id, const QString& text) {
    for (QAction* action : m_actions.value(id))
        action->setText(text);
}

void CPlayerDlg::UpdateMenus() {
    const CGameEntry* game = m_engine->LoadedGame();
    const bool playlistMode = m_engine->Status().playlistMode;
    const int first = game ? game->clipInfo.firstClip : -1;
    const int last = game ? game->clipInfo.lastClip : -1;
    const int cur = m_engine->Status().currentClip;

    SetMenuEnabled(kSavePlaylist, m_playlist.GetCount() > 0);
    const QString suffix =
        game ? u" For \""_s + QString::fromStdString(game->romName) + u"\""_s : u" (no game)"_s;
    SetMenuText(kSetFirst, u"Set Selected Clip As &First"_s + suffix);
    SetMenuText(kSetLast, u"Set Selected Clip as &Last"_s + suffix);
    SetMenuText(kNewRange, u"Set a New Clip &Range"_s + suffix);
    SetMenuText(kExportGame, u"&Export Clip Data"_s + suffix);
    if (playlistMode) {
        for (int id : {kToggleBlank, kSetFirst, kSetLast, kNewRange})
            SetMenuEnabled(id, false);
    } else {
        SetMenuEnabled(kToggleBlank, game && cur >= 0);
        SetMenuEnabled(kSetFirst, game && cur > first);
        SetMenuEnabled(kSetLast, game && cur >= 0 && cur < last);
        SetMenuEnabled(kNewRange, game != nullptr);
    }
    SetMenuChecked(kMenuRomMode, !playlistMode);
    SetMenuChecked(kMenuPlaylistMode, playlistMode);
    SetMenuChecked(kToggleBlank, game && cur >= 0 && game->clipInfo.IsBlank(cur));
    SetMenuEnabled(kExportGame, game != nullptr);
    SetMenuEnabled(kExportAudio, game && m_engine->Status().state != PlayerState::Busy);
    SetMenuChecked(kMenuShowBlanks, m_config.ShowBlanks != 0);
    SetMenuChecked(kMenuShuffle, m_config.Shuffle != 0);
    SetMenuChecked(kMenuNormalize, m_config.Normalize != 0);
    SetMenuEnabled(kPrank, m_prankCount < 3);
    Q_EMIT PlayerChanged(); // every change the menus follow, the desktop hears of
}

} // namespace tarvo
