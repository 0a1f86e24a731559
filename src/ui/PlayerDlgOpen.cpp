// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's music opened from outside: the command line, a drop,
// another start of Tarvo, and games tarvo-add added meanwhile.
#include "library/IDialogs.h"
#include "ui/DlgPlaylist.h"
#include "ui/DroppedFiles.h"
#include "ui/PlayerDlg.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>

using namespace Qt::StringLiterals;

namespace tarvo {

void CPlayerDlg::OpenMusic(const QStringList& paths) {
    if (paths.isEmpty()) return;
    m_opener.Open(paths);
    raise();
    activateWindow();
}

void CPlayerDlg::TakeNewGames() {
    m_engine->TakeNewGames();
    UpdateMenus();
}

// The first game the music became plays at once: its first tune, or the
// clip a known file already was.
void CPlayerDlg::MusicAdded(const AddReport& report, const QString& failure) {
    TakeNewGames();
    if (!failure.isEmpty())
        m_dialogs.ShowMessage("ERROR: " + failure.toStdString(), MessageIcon::Error);
    if (const std::string refused = report.RefusalText(); !refused.empty())
        m_dialogs.ShowMessage(refused, MessageIcon::Warning);
    if (report.games.empty()) return;
    const int game = m_romList.FindGameIndex(report.games.front().romName);
    if (game < 0 || !m_romList.IsAvailable(game)) return;
    if (m_openManager) m_openManager->ShowGame(game); // for its clips to be added
    if (m_engine->PlaylistMode()) ToggleMode();
    m_engine->StopPlayer();
    m_engine->LoadGame(game, report.games.front().clip);
    UpdateMenus();
}

void CPlayerDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CPlayerDlg::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    OpenMusic(paths);
}

QString CPlayerDlg::AddProgramBesideThis() {
    return QCoreApplication::applicationDirPath() + u"/tarvo-add"_s;
}

} // namespace tarvo
