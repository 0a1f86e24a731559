// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QHash>
#include <string>

namespace tarvo {

struct CGameEntry;

// What a game the user added is called: its title, maker and year.
struct GameNaming {
    std::string title;
    std::string maker;
    std::string year;
};

// "Rename Game": the title, maker and year of a game the user added, as the
// catalogue line that tarvo-add wrote holds them.
class CDlgRenameGame : public QDialog {
    Q_OBJECT

public:
    enum ControlId { kOk = 1, kCancel = 2, kTitle = 1001, kMaker = 1002, kYear = 1003 };

    CDlgRenameGame(const CGameEntry& game, QWidget* parent = nullptr);

    GameNaming Naming() const;
    QWidget* ControlById(int id) const { return m_controls.value(id); }
    // The year is the first of the catalogue's details, when it is a number.
    static std::string YearOf(const std::string& extraInfo);

    void accept() override; // a game keeps a title

private:
    QHash<int, QWidget*> m_controls;
};

} // namespace tarvo
