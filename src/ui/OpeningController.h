// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "addtool/MusicOpener.h"
#include "dialogs/DlgRenameGame.h"

#include <functional>
#include <QByteArrayList>

namespace tarvo {

class CPlayerDlg;

// Music opened from outside the main window (the command line, a drop,
// another start of Tarvo) becomes games through tarvo-add, and the first
// plays; games tarvo-add added or renamed meanwhile are taken in.
class COpeningController {
public:
    explicit COpeningController(CPlayerDlg& window);

    void OpenMusic(const QByteArrayList& paths);
    // Games tarvo-add added since, with their titles.
    void TakeNewGames();
    // A game the user added, renamed in its catalogue line by tarvo-add, which
    // runs beside the window; `done` hears whether it was (why not is said).
    void RenameGame(int game, const GameNaming& naming, std::function<void(bool)> done = {});
    CMusicOpener& Opener() { return m_opener; }
    static QString AddProgramBesideThis();

private:
    // Before folders that would add many games: true to add them.
    bool ConfirmManyGames(int games, const QByteArrayList& paths);
    void MusicAdded(const AddReport& report, const QString& failure);
    bool ArchiveIsTheOneAdded(const AddReport::Game& added, const std::string& found);

    CPlayerDlg& m_window;
    CMusicOpener m_opener;
};

} // namespace tarvo
