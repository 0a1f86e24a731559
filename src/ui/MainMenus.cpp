// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainMenus.h"

#include "library/GameEntry.h"
#include "player/PlayerEngine.h"
#include "playlist/Playlist.h"
#include "settings/Config.h"
#include "ui/MainWindowIds.h"

#include <QAction>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace tarvo {

CMainMenus::CMainMenus(QWidget& window, std::function<void(int id)> command)
    : m_bar(new QMenuBar(&window)) {
    m_actions = CMenuBuilder::BuildBar(m_bar, u"167.menu"_s);
    m_bar->setGeometry(0, 0, window.width(), Height());
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it)
        for (QAction* action : it.value())
            QObject::connect(action, &QAction::triggered, &window,
                             [command, id = it.key()] { command(id); });
    AddMediaKeys();
}

// A keyboard's media keys reach the window where no desktop service takes
// them for the player first.
void CMainMenus::AddMediaKeys() {
    for (auto [id, key] : {std::pair<int, Qt::Key>{kPlay, Qt::Key_MediaTogglePlayPause},
                           {kMenuPlay, Qt::Key_MediaPlay},
                           {kMenuPause, Qt::Key_MediaPause},
                           {kStop, Qt::Key_MediaStop},
                           {kPrev, Qt::Key_MediaPrevious},
                           {kNext, Qt::Key_MediaNext}})
        if (QAction* action = Action(id))
            action->setShortcuts(action->shortcuts() << QKeySequence(key));
}

void CMainMenus::FollowTransport(const std::function<bool(int id)>& buttonEnabled) {
    for (int id : {kPlay, kStop, kPrev, kNext, kRec})
        SetEnabled(id, buttonEnabled(id));
    for (int id : {kMenuPlay, kMenuPause})
        SetEnabled(id, buttonEnabled(kPlay));
}

int CMainMenus::Height() const {
    return m_bar->sizeHint().height();
}

void CMainMenus::FollowWidth(int width) {
    m_bar->resize(width, m_bar->height());
}

QAction* CMainMenus::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() || it->isEmpty() ? nullptr : it->first();
}

void CMainMenus::SetEnabled(int id, bool enabled) {
    for (QAction* action : m_actions.value(id))
        action->setEnabled(enabled);
}

void CMainMenus::SetChecked(int id, bool checked) {
    for (QAction* action : m_actions.value(id)) {
        action->setCheckable(true);
        action->setChecked(checked);
    }
}

void CMainMenus::SetText(int id, const QString& text) {
    for (QAction* action : m_actions.value(id))
        action->setText(text);
}

void CMainMenus::Update(const CPlayerEngine& engine, const CPlaylist& playlist,
                        const Config& config, bool prankAllowed) {
    const CGameEntry* game = engine.LoadedGame();
    const bool playlistMode = engine.Status().playlistMode;
    SetEnabled(kSavePlaylist, playlist.GetCount() > 0);
    UpdateClipItems(engine);
    SetChecked(kMenuRomMode, !playlistMode);
    SetChecked(kMenuPlaylistMode, playlistMode);
    SetEnabled(kExportGame, game != nullptr);
    SetEnabled(kExportAudio, game && engine.Status().state != PlayerState::Busy);
    SetChecked(kMenuShowBlanks, config.ShowBlanks != 0);
    SetChecked(kMenuShuffle, config.Shuffle != 0);
    SetChecked(kMenuNormalize, config.Normalize != 0);
    SetEnabled(kPrank, prankAllowed);
}

// The items that edit the loaded game's clips name the game, and act on the
// clip playing in ROM mode only.
void CMainMenus::UpdateClipItems(const CPlayerEngine& engine) {
    const CGameEntry* game = engine.LoadedGame();
    const int first = game ? game->clipInfo.firstClip : -1;
    const int last = game ? game->clipInfo.lastClip : -1;
    const int cur = engine.Status().currentClip;
    const QString suffix =
        game ? u" For \""_s + QString::fromStdString(game->romName) + u"\""_s : u" (no game)"_s;
    SetText(kSetFirst, u"Set Selected Clip As &First"_s + suffix);
    SetText(kSetLast, u"Set Selected Clip as &Last"_s + suffix);
    SetText(kNewRange, u"Set a New Clip &Range"_s + suffix);
    SetText(kExportGame, u"&Export Clip Data"_s + suffix);
    if (engine.Status().playlistMode) {
        for (int id : {kToggleBlank, kSetFirst, kSetLast, kNewRange})
            SetEnabled(id, false);
    } else {
        SetEnabled(kToggleBlank, game && cur >= 0);
        SetEnabled(kSetFirst, game && cur > first);
        SetEnabled(kSetLast, game && cur >= 0 && cur < last);
        SetEnabled(kNewRange, game != nullptr);
    }
    SetChecked(kToggleBlank, game && cur >= 0 && game->clipInfo.IsBlank(cur));
}

} // namespace tarvo
