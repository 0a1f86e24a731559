// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's music opened from outside: the command line, a drop,
// another start of Tarvo, and games tarvo-add added meanwhile.
#include "dialogs/DlgPlaylist.h"
#include "kit/DroppedFiles.h"
#include "library/IDialogs.h"
#include "library/TextUtils.h"
#include "ui/PlayerDlg.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace tarvo {

bool CPlayerDlg::ConfirmManyGames(int games, const QByteArrayList& paths) {
    std::vector<std::string> names;
    for (const QByteArray& path : paths)
        names.push_back(path.toStdString());
    return m_dialogs.AskYesNo("Tarvo would add " + std::to_string(games) + " games from:\n" +
                                  FirstNames(names) + "\n\nAdd them all?",
                              MessageIcon::Question);
}

void CPlayerDlg::OpenMusic(const QByteArrayList& paths) {
    if (!paths.isEmpty()) m_opener.Open(paths);
    raise();
    activateWindow();
}

void CPlayerDlg::TakeNewGames() {
    m_engine->Setup().TakeNewGames();
    UpdateMenus();
}

// The first game the music became plays at once: its first tune, or the
// clip a known file already was. A record names a game of the catalogue as
// read again, and a clip of that game's, or it is passed over.
void CPlayerDlg::MusicAdded(const AddReport& report, const QString& failure) {
    TakeNewGames();
    if (!failure.isEmpty())
        m_dialogs.ShowMessage("ERROR: " + failure.toStdString(), MessageIcon::Error);
    if (const std::string refused = report.RefusalText(); !refused.empty())
        m_dialogs.ShowMessage(refused, MessageIcon::Warning);
    if (report.games.empty()) return;
    const AddReport::Game& first = report.games.front();
    const int game = m_romList.FindGameIndex(first.romName);
    if (game < 0 || !m_romList.IsAvailable(game)) {
        // tarvo-add wrote it where the sound core or the ROM folders do not look.
        m_dialogs.ShowMessage("The music was added as the game " + first.romName +
                                  ", but Tarvo cannot find it in its catalogue or its ROM "
                                  "folders. Check Options > Setup ROM Folder List.",
                              MessageIcon::Warning);
        return;
    }
    if (!m_romList.GetEntry(game)->clipInfo.HoldsClip(first.clip)) return;
    if (m_openManager) m_openManager->ShowGame(game); // for its clips to be added
    if (m_engine->Status().playlistMode) ToggleMode();
    m_engine->StopPlayer();
    m_engine->LoadGame(game, first.clip);
    UpdateMenus();
}

void CPlayerDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CPlayerDlg::dropEvent(QDropEvent* event) {
    const QByteArrayList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    OpenMusic(paths);
}

QString CPlayerDlg::AddProgramBesideThis() {
    return QCoreApplication::applicationDirPath() + u"/tarvo-add"_s;
}

// The catalogue line is tarvo-add's, so tarvo-add rewrites it, beside the
// window, which goes on meanwhile; the core then reads it again.
void CPlayerDlg::RenameGame(int game, const GameNaming& naming, std::function<void(bool)> done) {
    const CGameEntry* entry = m_romList.GetEntry(game);
    if (!entry) {
        if (done) done(false);
        return;
    }
    auto* rename = new QProcess(this);
    const std::string romName = entry->romName;
    auto finish = [this, rename, game, romName, done](bool renamed, const QString& why) {
        rename->deleteLater();
        if (renamed) {
            TakeNewGames();
            if (game == m_engine->Status().currentGame) m_engine->ShowClipInformation();
        } else {
            m_dialogs.ShowMessage("ERROR: " + romName + " could not be renamed" +
                                      (why.isEmpty() ? std::string(".") : ": " + why.toStdString()),
                                  MessageIcon::Error);
        }
        if (done) done(renamed);
    };
    connect(rename, &QProcess::finished, this,
            [rename, finish](int code, QProcess::ExitStatus status) {
                finish(status == QProcess::NormalExit && code == 0,
                       QString::fromLocal8Bit(rename->readAllStandardError()).trimmed());
            });
    connect(rename, &QProcess::errorOccurred, this, [rename, finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) finish(false, rename->errorString());
    });
    rename->start(m_opener.Program(),
                  {u"--rename"_s, QString::fromStdString(romName),
                   QString::fromStdString(naming.title), QString::fromStdString(naming.maker),
                   QString::fromStdString(naming.year)});
}

} // namespace tarvo
