// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's music opened from outside: the command line, a drop,
// another start of Tarvo, and games tarvo-add added meanwhile.
#include "ui/OpeningController.h"

#include "dialogs/DlgPlaylist.h"
#include "library/IDialogs.h"
#include "library/TextUtils.h"
#include "ui/PlayerDlg.h"

#include <filesystem>
#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace tarvo {

COpeningController::COpeningController(CPlayerDlg& window)
    : m_window(window),
      m_opener(AddProgramBesideThis(), [this](const AddReport& report, const QString& failure) {
          MusicAdded(report, failure);
      }) {
    m_opener.SetConfirmMany(
        [this](int games, const QByteArrayList& paths) { return ConfirmManyGames(games, paths); });
}

bool COpeningController::ConfirmManyGames(int games, const QByteArrayList& paths) {
    std::vector<std::string> names;
    for (const QByteArray& path : paths)
        names.push_back(path.toStdString());
    return m_window.Dialogs().AskYesNo("Tarvo would add " + std::to_string(games) +
                                           " games from:\n" + FirstNames(names) +
                                           "\n\nAdd them all?",
                                       MessageIcon::Question);
}

void COpeningController::OpenMusic(const QByteArrayList& paths) {
    if (!paths.isEmpty()) m_opener.Open(paths);
    m_window.raise();
    m_window.activateWindow();
}

void COpeningController::TakeNewGames() {
    m_window.Engine().Setup().TakeNewGames();
    m_window.UpdateMenus();
}

// The first game the music became plays at once: its first tune, or the
// clip a known file already was. A record names a game of the catalogue as
// read again, and a clip of that game's, or it is passed over.
void COpeningController::MusicAdded(const AddReport& report, const QString& failure) {
    TakeNewGames();
    m_window.Engine().Setup().TakeClipData(report.clipData);
    if (!failure.isEmpty())
        m_window.Dialogs().ShowMessage("ERROR: " + failure.toStdString(), MessageIcon::Error);
    if (const std::string refused = report.RefusalText(); !refused.empty())
        m_window.Dialogs().ShowMessage(refused, MessageIcon::Warning);
    if (report.games.empty()) return;
    const AddReport::Game& first = report.games.front();
    const int game = m_window.ROMList().FindGameIndex(first.romName);
    if (game < 0 || !m_window.ROMList().IsAvailable(game)) {
        // tarvo-add wrote it where the sound core or the ROM folders do not look.
        m_window.Dialogs().ShowMessage("The music was added as the game " + first.romName +
                                           ", but Tarvo cannot find it in its catalogue or its ROM "
                                           "folders. Check Options > Setup ROM Folder List.",
                                       MessageIcon::Warning);
        return;
    }
    if (!ArchiveIsTheOneAdded(first, m_window.ROMList().GetRomPath(game))) return;
    if (!m_window.ROMList().GetEntry(game)->clipInfo.HoldsClip(first.clip)) return;
    if (CDlgPlaylist* manager = m_window.Mode().OpenManager())
        manager->ShowGame(game); // for its clips to be added
    if (m_window.Engine().Status().playlistMode) m_window.Mode().ToggleMode();
    m_window.Engine().StopPlayer();
    m_window.Engine().LoadGame(game, first.clip);
    m_window.UpdateMenus();
}

// An archive of the same name in a ROM folder searched first would play
// another game's music in its place.
bool COpeningController::ArchiveIsTheOneAdded(const AddReport::Game& added,
                                              const std::string& found) {
    std::error_code error;
    if (added.archivePath.empty() || std::filesystem::equivalent(added.archivePath, found, error))
        return true;
    m_window.Dialogs().ShowMessage("The music was added as the game " + added.romName + " in " +
                                       added.archivePath +
                                       ", but Tarvo finds that game's archive "
                                       "first in " +
                                       found + ". Check Options > Setup ROM Folder List.",
                                   MessageIcon::Warning);
    return false;
}

QString COpeningController::AddProgramBesideThis() {
    return QCoreApplication::applicationDirPath() + u"/tarvo-add"_s;
}

// The catalogue line is tarvo-add's, so tarvo-add rewrites it, beside the
// window, which goes on meanwhile; the core then reads it again.
void COpeningController::RenameGame(int game, const GameNaming& naming,
                                    std::function<void(bool)> done) {
    const CGameEntry* entry = m_window.ROMList().GetEntry(game);
    if (!entry) {
        if (done) done(false);
        return;
    }
    const std::string romName = entry->romName;
    auto finish = [this, game, romName, done](bool renamed, const QString& why) {
        if (renamed) {
            TakeNewGames();
            if (game == m_window.Engine().Status().currentGame)
                m_window.Engine().ShowClipInformation();
        } else {
            m_window.Dialogs().ShowMessage(
                "ERROR: " + romName + " could not be renamed" +
                    (why.isEmpty() ? std::string(".") : ": " + why.toStdString()),
                MessageIcon::Error);
        }
        if (done) done(renamed);
    };
    m_opener.Rename({QString::fromStdString(romName), QString::fromStdString(naming.title),
                     QString::fromStdString(naming.maker), QString::fromStdString(naming.year)},
                    finish);
}

} // namespace tarvo
