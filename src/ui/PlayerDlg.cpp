#include "PlayerDlg.h"

#include "CoreMessage.h"
#include "DialogLayout.h"
#include "DlgClipRange.h"
#include "DlgPlaylist.h"
#include "DlgROMBrowser.h"
#include "IconLibrary.h"
#include "IDialogs.h"
#include "MoveButtons.h"
#include "TarvoCore.h"
#include "TextUtils.h"

#include <ctime>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegion>
#include <QStandardPaths>
#include <QTreeWidget>

namespace tarvo {

namespace {

enum ControlId {
    kGameTitle = 1001,
    kDriver = 1002,
    kRomFile = 1003,
    kParent = 1004,
    kLoad = 1005,
    kBrowserTitle = 1006,
    kPlaySelected = 1007,
    kManufacturer = 1008,
    kClipNumber = 1009,
    kClipTitle = 1010,
    kShowBlanks = 1012,
    kShuffle = 1013,
    kLeftMeter = 1016,
    kNormalize = 1019,
    kStop = 1020,
    kVolume = 1021,
    kOptions = 1022,
    kBrowse = 1023,
    kPlay = 1024,
    kRec = 1025,
    kPrev = 1026,
    kNext = 1027,
    kClipList = 1034,
    kPlaylistManager = 1037,
    kSwitchMode = 1038,
    kElapsed = 1045,
    kRightMeter = 1061,
    kBrowserGroup = 1073,
};

enum Command {
    kExit = 2,
    kToggleBlank = 131,
    kSetLast = 132,
    kSetFirst = 135,
    kSelectGame = 168,
    kNewRange = 176,
    kImport = 177,
    kExportGame = 178,
    kExportAll = 179,
    kOpenOptions = 180,
    kMenuShowBlanks = 181,
    kMenuShuffle = 182,
    kMenuRomMode = 183,
    kMenuPlaylistMode = 184,
    kMenuNormalize = 185,
    kPrank = 187,
    kAbout = 188,
    kMenuBrowser = 189,
    kMenuPlaylistManager = 190,
    kLoadPlaylist = 1067,
    kSavePlaylist = 1069,
};

// Parts of the program that are not built yet keep their commands grey.
constexpr int kNotYetAvailable[] = {kImport, kExportGame, kExportAll, kOpenOptions, kPrank, kAbout};
constexpr int kButtonsNotYetAvailable[] = {kOptions};

const std::vector<FileFilter> kPlaylistFilter{{"Tarvo Playlist Files", "*.tvp"}};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QColor ToQColor(const RgbColor& c) {
    return QColor(c.red, c.green, c.blue);
}

} // namespace

CPlayerDlg::CPlayerDlg(std::string programFolder, IDialogs& dialogs, EngineClock clock,
                       QWidget* parent)
    : QDialog(parent), m_programFolder(std::move(programFolder)), m_dialogs(dialogs),
      m_settings(m_programFolder, m_romList, m_playlist, m_dialogs) {
    if (!clock.random) clock.random = [this] { return m_random.Next(); };
    m_engine = std::make_unique<CPlayerEngine>(m_romList, m_playlist, m_config, m_settings,
                                               m_dialogs, *this, m_programFolder, clock);
    BuildWindow();
    ConnectCommands();
}

CPlayerDlg::~CPlayerDlg() {
    m_timer.stop();
    if (m_coreRunning) CoreShutdown();
}

void CPlayerDlg::BuildWindow() {
    auto* menuBar = new QMenuBar(this);
    m_actions = CMenuBuilder::BuildBar(menuBar, "167.menu");
    const int menuHeight = menuBar->sizeHint().height();
    m_controls = CDialogLayout::Build(this, "128.layout", menuHeight);
    menuBar->setGeometry(0, 0, width(), menuHeight);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

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
    for (int id : kButtonsNotYetAvailable)
        SetEnabled(id, false);
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
    connect(&m_timer, &QTimer::timeout, this, [this] { m_engine->TimerTick(); });
}

void CPlayerDlg::StartUp() {
    setWindowIcon(CIconLibrary::Icon(CIconSequences::kProgramIcon));
    m_random.Seed(static_cast<uint32_t>(std::time(nullptr)));
    CoreInit(static_cast<ICoreListener*>(m_engine.get()), &CoreMessage);
    m_coreRunning = true;
    m_romList.BuildFromCore();
    m_romList.LoadClipInfo(m_programFolder + "tarvoclips.dat");
    m_playlist.SetROMList(&m_romList);
    m_settings.Read(m_config);
    // Without a settings file nothing has scanned the default folder yet, and
    // a playlist loaded now would find every game missing.
    if (!m_romList.IsScanned()) m_romList.ScanROMFolders();
    CoreSetOption(CORE_OPT_NORMALIZE, m_config.Normalize ? 1 : 0);
    CoreSetOption(CORE_OPT_RECORD, 0);
    ShowFields(m_engine->Fields);
    SetPlaylistMode(m_config.PlaylistMode != 0);
    if (m_engine->PlaylistMode) m_playlist.FillList(*m_clipList);
    UpdateListButtons();
    UpdateMenus();
    m_icons = CIconSequences();
    for (auto [id, icon] : {std::pair{kStop, 104}, {kNext, 102}, {kPrev, 103}, {kRec, 101}})
        Button(id)->setIcon(CIconLibrary::Icon(icon));
    for (const MoveButton& button : kMoveButtons)
        Button(button.id)->setIcon(CIconLibrary::Icon(button.icon));
    m_engine->Start();
    m_leftMeter.Attach(this, m_controls.value(kLeftMeter));
    m_rightMeter.Attach(this, m_controls.value(kRightMeter));
    KeepGroupBoxesOffTheMeters();
    ApplyMeterSettings();
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.start(CPlayerEngine::kTimerPeriodMs);
}

void CPlayerDlg::KeepGroupBoxesOffTheMeters() {
    // The meters are redrawn every 30 ms; a group box around them would be
    // repainted with them each time. Its frame never crosses them, so they
    // are cut out of its area.
    for (QGroupBox* group : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        QRegion area(group->rect());
        for (const CVUMeter* meter : {&m_leftMeter, &m_rightMeter})
            area -= QRegion(meter->FrameRect().translated(-group->pos()));
        if (area != QRegion(group->rect())) group->setMask(area);
    }
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
    SavePlaylist();
    if (!m_settings.Write(m_config, SettingsForm::Exit)) return false; // the window stays open
    m_romList.SaveClipInfo(m_programFolder + "tarvoclips.dat", true, m_dialogs);
    m_timer.stop();
    if (m_coreRunning) CoreShutdown();
    m_coreRunning = false;
    return true;
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

// --- Painting ---------------------------------------------------------------

void CPlayerDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    m_leftMeter.Draw(painter);
    m_rightMeter.Draw(painter);
}

// --- Commands ---------------------------------------------------------------

void CPlayerDlg::Command(int id) {
    for (const MoveButton& button : kMoveButtons)
        if (button.id == id) return MoveClicked(button.move);
    switch (id) {
    case kLoad:
    case kBrowse:
    case kSelectGame:
    case kMenuBrowser:
        OpenBrowser();
        return;
    case kPlaySelected:
        PlaySelected();
        return;
    case kShowBlanks:
        ShowBlanksClicked();
        return;
    case kShuffle:
        ReadControls();
        break;
    case kNormalize:
        ReadControls();
        CoreSetOption(CORE_OPT_NORMALIZE, m_config.Normalize ? 1 : 0);
        break;
    case kStop:
        m_engine->StopPlayer();
        break;
    case kVolume:
        StartVolumeControl();
        break;
    case kPlay:
        m_engine->Play();
        break;
    case kRec:
        m_engine->Rec();
        break;
    case kPrev:
        m_engine->Prev();
        break;
    case kNext:
        m_engine->Next();
        break;
    case kExit:
        close();
        return;
    case kSwitchMode:
        ToggleMode();
        return;
    case kMenuRomMode:
        if (m_engine->PlaylistMode) ToggleMode();
        return;
    case kMenuPlaylistMode:
        if (!m_engine->PlaylistMode) ToggleMode();
        return;
    case kPlaylistManager:
    case kMenuPlaylistManager:
        OpenPlaylistManager();
        return;
    case kLoadPlaylist:
        LoadPlaylistCommand();
        return;
    case kSavePlaylist:
        SavePlaylistCommand();
        return;
    case kToggleBlank:
        ToggleBlank();
        return;
    case kSetFirst:
        SetAsFirst();
        return;
    case kSetLast:
        SetAsLast();
        return;
    case kNewRange:
        SetNewRange();
        return;
    case kMenuShowBlanks:
        m_config.ShowBlanks = !m_config.ShowBlanks;
        ShowFields(m_engine->Fields);
        if (!m_engine->PlaylistMode && m_engine->LoadedGame()) RefillClipList();
        break;
    case kMenuShuffle:
        m_config.Shuffle = !m_config.Shuffle;
        ShowFields(m_engine->Fields);
        break;
    case kMenuNormalize:
        m_config.Normalize = !m_config.Normalize;
        ShowFields(m_engine->Fields);
        CoreSetOption(CORE_OPT_NORMALIZE, m_config.Normalize ? 1 : 0);
        break;
    default:
        return;
    }
    UpdateMenus();
}

void CPlayerDlg::ReadControls() {
    m_config.ShowBlanks = Control<QCheckBox>(m_controls, kShowBlanks)->isChecked();
    m_config.Shuffle = Control<QCheckBox>(m_controls, kShuffle)->isChecked();
    m_config.Normalize = Control<QCheckBox>(m_controls, kNormalize)->isChecked();
}

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

void CPlayerDlg::CommitClipNumber() {
    if (m_engine->PlaylistMode) {
        ShowFields(m_engine->Fields);
        return;
    }
    const int typed = ParseInt(m_clipNumberEdit->text().toStdString());
    m_engine->Fields.clipNumber = typed;
    if (typed == m_engine->CurrentClip && m_engine->State == PlayerState::Playing) return;
    m_engine->StopPlayer();
    m_engine->PlayClip(typed);
}

void CPlayerDlg::CommitClipTitle() {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game || m_engine->CurrentClip < 0) {
        ShowFields(m_engine->Fields);
        return;
    }
    const std::string title = m_clipTitleEdit->text().toStdString();
    if (title == game->clipInfo.GetTitle(m_engine->CurrentClip)) return;
    m_engine->Fields.clipTitle = title;
    game->clipInfo.SetTitle(m_engine->CurrentClip, title);
    RefreshClipRow(m_engine->CurrentClip);
}

// --- The clip list -------------------------------------------------------------

void CPlayerDlg::SetupClipColumns() {
    tarvo::SetupClipColumns(*m_clipList);
}

void CPlayerDlg::FillClipList(CGameEntry& game) {
    game.clipInfo.FillClipList(*m_clipList, m_config.ShowBlanks != 0);
    UpdateListButtons();
}

void CPlayerDlg::RefillClipList() {
    if (CGameEntry* game = m_engine->LoadedGame()) FillClipList(*game);
}

void CPlayerDlg::ClearClipList() {
    m_clipList->DeleteAllRows();
    UpdateListButtons();
}

int CPlayerDlg::FindClipRow(int clip) const {
    for (int row = 0; row < m_clipList->RowCount(); ++row)
        if (m_clipList->ItemData(row) == clip) return row;
    return -1;
}

int CPlayerDlg::MarkedClip() const {
    const int mark = m_clipList->SelectionMark();
    return mark < 0 ? -1 : m_clipList->ItemData(mark);
}

void CPlayerDlg::SelectClipRow(int clipOrPosition) {
    const int row = m_engine->PlaylistMode ? clipOrPosition : FindClipRow(clipOrPosition);
    if (row >= 0 && row < m_clipList->RowCount()) {
        m_clipTree->setCurrentItem(m_clipTree->topLevelItem(row));
        m_clipList->EnsureVisible(row);
    }
    UpdateMenus();
}

void CPlayerDlg::RefreshClipRow(int clip) {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game || !game->clipInfo.GetRecord(clip)) return;
    const std::string label = game->clipInfo.GetLabel(clip);
    const int row = FindClipRow(clip);
    if (m_engine->PlaylistMode) {
        for (int i = 0; i < m_playlist.GetCount(); ++i)
            if (m_playlist.GetGame(i) == game && m_playlist.GetClip(i) == clip)
                m_clipList->SetText(i, 1, label);
    } else if (m_config.ShowBlanks) {
        if (row >= 0) m_clipList->SetText(row, 1, label);
    } else if (!game->clipInfo.IsBlank(clip)) {
        if (row < 0) {
            // Rows stay in the order NEXT plays them.
            const int next = m_engine->NextTarget(clip);
            const int nextRow = next < clip ? -1 : FindClipRow(next);
            m_clipList->InsertRow(nextRow < 0 ? m_clipList->RowCount() : nextRow,
                                  FormatClipNumber(clip), label, clip);
        } else {
            m_clipList->SetText(row, 1, label);
        }
    } else if (row >= 0) {
        const int mark = m_clipList->SelectionMark();
        const QSignalBlocker blocker(m_clipTree);
        m_clipList->DeleteRow(row);
        if (mark == row) {
            const int count = m_clipList->RowCount();
            m_clipList->SetSelectionMark(count == 0 ? -1 : std::min(row, count - 1));
        }
    }
    UpdateMenus();
}

void CPlayerDlg::PlaySelected() {
    const int mark = m_clipList->SelectionMark();
    if (mark >= 0) {
        m_engine->StopPlayer();
        if (m_engine->PlaylistMode) {
            m_engine->PlaylistPos = mark;
            m_engine->PlayClip(mark);
        } else {
            m_engine->PlayClip(m_clipList->ItemData(mark));
        }
    }
    UpdateMenus();
}

void CPlayerDlg::ShowBlanksClicked() {
    CGameEntry* game = m_engine->LoadedGame();
    const bool hadSelection = !m_clipTree->selectedItems().isEmpty();
    const int clip = hadSelection ? MarkedClip() : -1;
    ReadControls();
    if (game) {
        FillClipList(*game);
        if (hadSelection) SelectClipRow(clip);
    }
    UpdateMenus();
}

void CPlayerDlg::UpdateListButtons() {
    const bool selected = !m_clipTree->selectedItems().isEmpty();
    SetEnabled(kPlaySelected, selected);
    for (const MoveButton& button : kMoveButtons)
        SetEnabled(button.id, m_engine->PlaylistMode && selected);
}

void CPlayerDlg::PrepareClipPopup(QMenu&, const CMenuBuilder::Actions& actions) const {
    const CGameEntry* game = m_engine->LoadedGame();
    const int clip = MarkedClip();
    auto set = [&](int id, bool enabled, bool checked) {
        for (QAction* action : actions.value(id)) {
            action->setEnabled(enabled);
            action->setCheckable(id == kToggleBlank);
            action->setChecked(checked);
        }
    };
    set(kToggleBlank, true, game && game->clipInfo.IsBlank(clip));
    set(kSetFirst, game && clip > game->clipInfo.firstClip, false);
    set(kSetLast, game && clip < game->clipInfo.lastClip, false);
    set(kNewRange, true, false);
}

void CPlayerDlg::ClipPopup(const QPoint& globalPosition) {
    if (m_engine->PlaylistMode || !m_engine->LoadedGame() || m_clipList->SelectionMark() < 0)
        return;
    QMenu menu(this);
    const auto actions = CMenuBuilder::BuildPopup(&menu, "134.menu");
    PrepareClipPopup(menu, actions);
    QAction* chosen = menu.exec(globalPosition);
    if (chosen) Command(chosen->data().toInt());
}

// --- Playlist mode -------------------------------------------------------------

void CPlayerDlg::SetPlaylistMode(bool on) {
    m_engine->PlaylistMode = on;
    m_config.PlaylistMode = on ? 1 : 0;
    Button(kSwitchMode)->setText(on ? "Switch to ROM Mode" : "Switch to Playlist Mode");
    Control<QGroupBox>(m_controls, kBrowserGroup)
        ->setTitle(on ? "Playlist Browser" : "ROM SoundClip Browser");
    m_controls.value(kShowBlanks)->setVisible(!on);
    m_controls.value(kShuffle)->setVisible(on);
    m_clipNumberEdit->setEnabled(!on);
    if (on) {
        m_playlist.SetupListColumns(*m_clipList);
        m_engine->Fields.browserTitle = m_playlist.title;
        ShowFields(m_engine->Fields);
        SetEnabled(kPlay, true);
        SetEnabled(kNext, true);
    } else {
        SetupClipColumns();
        UpdateTransportButtons();
    }
    UpdateListButtons();
    UpdateMenus();
}

void CPlayerDlg::ShowGameInList() {
    CGameEntry* game = m_engine->LoadedGame();
    if (game) {
        FillClipList(*game);
        SelectClipRow(m_engine->CurrentClip);
        m_engine->Fields.browserTitle = m_engine->Fields.gameName;
    } else {
        m_engine->Fields.browserTitle.clear();
    }
    ShowFields(m_engine->Fields);
}

void CPlayerDlg::ToggleMode() {
    if (m_engine->PlaylistMode) {
        SetPlaylistMode(false);
        ShowGameInList();
    } else if (m_playlist.GetCount() > 0) {
        SetPlaylistMode(true);
        m_playlist.FillList(*m_clipList);
        UpdateListButtons();
        SyncPlaylistPos(true);
    } else {
        OpenPlaylistManager();
    }
    UpdateMenus();
}

void CPlayerDlg::SyncPlaylistPos(bool start) {
    const CGameEntry* game = m_engine->LoadedGame();
    const int clip = m_engine->CurrentClip;
    int& position = m_engine->PlaylistPos;
    position = game && clip >= 0 ? m_playlist.FindEntry(game, clip) : -1;
    if (position >= 0) {
        SelectClipRow(position);
    } else if (m_engine->State == PlayerState::Idle || m_engine->State == PlayerState::Busy ||
               m_engine->State == PlayerState::Stopped) {
        m_engine->Unload();
        position = -1;
        SelectClipRow(0);
    } else {
        m_engine->StopPlayer();
        position = -1;
        if (start) m_engine->Next();
    }
    UpdateMenus();
}

void CPlayerDlg::LoadPlaylistCommand() {
    if (m_playlist.GetCount() > 0) SavePlaylist();
    const std::string path = m_dialogs.OpenFileDialog("Open Playlist...", kPlaylistFilter);
    if (!path.empty()) {
        m_playlist.LoadFromFile(path, false, true, true, m_dialogs);
        if (m_playlist.GetCount() > 0) {
            SetPlaylistMode(true);
            m_playlist.FillList(*m_clipList);
            SyncPlaylistPos(true);
        } else if (m_engine->PlaylistMode) {
            ToggleMode();
        }
    }
    UpdateMenus();
}

void CPlayerDlg::SavePlaylistCommand() {
    const std::string path =
        m_dialogs.SaveFileDialog("Save Playlist...", kPlaylistFilter, m_playlist.fileName);
    if (!path.empty()) m_playlist.SaveToFile(path, true, m_dialogs);
    UpdateMenus();
}

void CPlayerDlg::SavePlaylist() {
    if (m_playlist.GetCount() == 0) return;
    if (!m_playlist.fileName.empty()) {
        m_playlist.SaveToFile(m_playlist.fileName, true, m_dialogs);
        return;
    }
    if (!m_dialogs.AskYesNo("Do you want to save your current Playlist?", MessageIcon::Question))
        return;
    const std::string path = m_dialogs.SaveFileDialog("Save Playlist...", kPlaylistFilter, "");
    if (!path.empty()) m_playlist.SaveToFile(path, true, m_dialogs);
}

void CPlayerDlg::OpenPlaylistManager() {
    CDlgPlaylist manager(m_romList, m_config.ROMFilter, m_dialogs, this);
    manager.m_playlist.CopyFrom(m_playlist);
    manager.m_shownGame = m_engine->CurrentGame;
    manager.m_runModal = m_runModal;
    const bool useIt = RunModal(m_runModal, manager) == QDialog::Accepted;
    // Changes made in the manager stay, however it was left.
    m_playlist.CopyFrom(manager.m_playlist);
    if (m_engine->PlaylistMode) {
        if (m_playlist.GetCount() > 0) {
            m_playlist.SetupListColumns(*m_clipList);
            m_playlist.FillList(*m_clipList);
            m_engine->Fields.browserTitle = m_playlist.title;
            ShowFields(m_engine->Fields);
            SyncPlaylistPos(useIt);
        } else {
            ToggleMode();
        }
    } else if (useIt) {
        ToggleMode();
    }
    UpdateMenus();
}

void CPlayerDlg::MoveClicked(PlaylistMove move) {
    const int index = m_clipList->SelectionMark();
    const int count = m_playlist.GetCount();
    if (!m_engine->PlaylistMode || index < 0) return;
    if (!MovePlaylistEntry(m_playlist, move, index, m_clipList.get())) return;
    // The list holds one selected row: the moved one.
    m_clipTree->setCurrentItem(
        m_clipTree->topLevelItem(PositionAfterMove(move, index, index, count)));
    m_engine->PlaylistPos = PositionAfterMove(move, m_engine->PlaylistPos, index, count);
    UpdateListButtons();
    UpdateMenus();
}

// --- Clip editing ---------------------------------------------------------------

void CPlayerDlg::ToggleBlank() {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    const int clip = MarkedClip();
    if (clip >= 0) {
        game->clipInfo.SetBlank(clip, !game->clipInfo.IsBlank(clip));
        RefreshClipRow(clip);
    }
    UpdateMenus();
}

void CPlayerDlg::SetAsFirst() {
    CutRangeAtMarkedClip("Are you sure you want to remove all SoundClip entries before this one?",
                         true);
}

void CPlayerDlg::SetAsLast() {
    CutRangeAtMarkedClip("Are you sure you want to remove all SoundClip entries after this one?",
                         false);
}

void CPlayerDlg::CutRangeAtMarkedClip(const char* question, bool asFirst) {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    const int clip = MarkedClip();
    if (clip >= 0 && m_dialogs.AskYesNo(question, MessageIcon::Question)) {
        CClipInfo& info = game->clipInfo;
        if (asFirst)
            info.SetRange(clip, info.lastClip);
        else
            info.SetRange(info.firstClip, clip);
        FillClipList(*game);
        SelectClipRow(clip);
    }
    UpdateMenus();
}

void CPlayerDlg::SetNewRange() {
    CGameEntry* game = m_engine->LoadedGame();
    if (!game) return;
    CDlgClipRange dialog(this);
    dialog.Range = {game->clipInfo.firstClip, game->clipInfo.lastClip};
    dialog.ShowRange();
    if (dialog.exec() == QDialog::Accepted) {
        game->clipInfo.SetRange(dialog.Range.firstClip, dialog.Range.lastClip);
        FillClipList(*game);
    }
    UpdateMenus();
}

// --- Refreshing the window ---------------------------------------------------------

void CPlayerDlg::ShowFields(const PlayerFields& fields) {
    // The clock shows the fields five times a second; an edit given its own
    // text again would still lay it out and repaint it.
    auto setEdit = [](QLineEdit* edit, const QString& text) {
        if (edit->text() != text) edit->setText(text);
    };
    auto setLabel = [&](int id, const std::string& text) {
        Control<QLabel>(m_controls, id)->setText(Q(text));
    };
    setEdit(Control<QLineEdit>(m_controls, kBrowserTitle), Q(fields.browserTitle));
    setEdit(Control<QLineEdit>(m_controls, kGameTitle), Q(fields.gameName));
    setEdit(Control<QLineEdit>(m_controls, kRomFile), Q(fields.romFile));
    setLabel(kParent, fields.parent);
    setLabel(kManufacturer, fields.manufacturer);
    setLabel(kDriver, fields.driverText);
    if (!m_clipNumberEdit->hasFocus())
        setEdit(m_clipNumberEdit, QString::number(fields.clipNumber));
    if (!m_clipTitleEdit->hasFocus()) setEdit(m_clipTitleEdit, Q(fields.clipTitle));
    setEdit(Control<QLineEdit>(m_controls, kElapsed), Q(fields.elapsed));
    Control<QCheckBox>(m_controls, kNormalize)->setChecked(m_config.Normalize != 0);
    Control<QCheckBox>(m_controls, kShowBlanks)->setChecked(m_config.ShowBlanks != 0);
    Control<QCheckBox>(m_controls, kShuffle)->setChecked(m_config.Shuffle != 0);
}

void CPlayerDlg::SetEnabled(int id, bool enabled) {
    if (QWidget* control = m_controls.value(id)) control->setEnabled(enabled);
}

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
    const bool playlistMode = m_engine->PlaylistMode;
    const int first = game ? game->clipInfo.firstClip : -1;
    const int last = game ? game->clipInfo.lastClip : -1;
    const int cur = m_engine->CurrentClip;

    SetMenuEnabled(kSavePlaylist, m_playlist.GetCount() > 0);
    const QString suffix = game ? " For \"" + Q(game->romName) + "\"" : QString(" (no game)");
    SetMenuText(kSetFirst, "Set Selected Clip As &First" + suffix);
    SetMenuText(kSetLast, "Set Selected Clip as &Last" + suffix);
    SetMenuText(kNewRange, "Set a New Clip &Range" + suffix);
    SetMenuText(kExportGame, "&Export Clip Data" + suffix);
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
    SetMenuChecked(kMenuShowBlanks, m_config.ShowBlanks != 0);
    SetMenuChecked(kMenuShuffle, m_config.Shuffle != 0);
    SetMenuChecked(kMenuNormalize, m_config.Normalize != 0);
    SetMenuEnabled(kPrank, m_prankCount < 3);
    for (int id : kNotYetAvailable)
        SetMenuEnabled(id, false);
}

void CPlayerDlg::UpdateTransportButtons() {
    const PlayerState state = m_engine->State;
    const bool playlistMode = m_engine->PlaylistMode;
    const bool idle = state == PlayerState::Idle, busy = state == PlayerState::Busy;
    const bool active = !idle && !busy;
    SetEnabled(kNext, active || (idle && playlistMode));
    SetEnabled(kPrev, active);
    m_clipNumberEdit->setEnabled(active && !playlistMode);
    m_clipTitleEdit->setEnabled(active);
    SetEnabled(kPlay, active || playlistMode);
    SetEnabled(kStop, state != PlayerState::Idle && state != PlayerState::Busy &&
                          state != PlayerState::Stopped);
    SetEnabled(kRec, active);
    const bool showsPause =
        state != PlayerState::Idle && state != PlayerState::Busy && state != PlayerState::Stopped;
    SetPlayIcon(showsPause ? 106 : 105);
    SetRecIcon(101);
    int sequence = 3;
    if (state == PlayerState::Playing) sequence = 0;
    if (state == PlayerState::Paused) sequence = 2;
    if (IsRecording(state)) sequence = 4;
    SelectIconSequence(sequence);
}

void CPlayerDlg::SelectIconSequence(int sequence) {
    m_icons.Select(sequence);
}

void CPlayerDlg::AdvanceWindowIcon() {
    const int icon = m_icons.Advance();
    if (icon == m_windowIcon) return;
    m_windowIcon = icon;
    setWindowIcon(CIconLibrary::Icon(m_windowIcon));
}

void CPlayerDlg::SetPlayIcon(int icon) {
    Button(kPlay)->setIcon(CIconLibrary::Icon(icon));
}

void CPlayerDlg::SetRecIcon(int icon) {
    Button(kRec)->setIcon(CIconLibrary::Icon(icon));
}

void CPlayerDlg::SetMeterLevels(int left, int right) {
    m_leftMeter.SetLevel(left);
    m_rightMeter.SetLevel(right);
}

} // namespace tarvo
