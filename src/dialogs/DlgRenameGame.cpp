// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgRenameGame.h"

#include "kit/DialogLayout.h"
#include "library/GameEntry.h"
#include "library/TextUtils.h"

#include <algorithm>
#include <cctype>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

CDlgRenameGame::CDlgRenameGame(const CGameEntry& game, QWidget* parent)
    : QDialog(parent), m_controls(CDialogLayout::Build(this, u"RenameGame.layout"_s)) {
    Control<QLineEdit>(m_controls, kTitle)->setText(Text(game.title));
    Control<QLineEdit>(m_controls, kMaker)->setText(Text(game.manufacturer));
    Control<QLineEdit>(m_controls, kYear)->setText(Text(YearOf(game.extraInfo)));
    connect(Control<QPushButton>(m_controls, kOk), &QPushButton::clicked, this,
            &CDlgRenameGame::accept);
    connect(Control<QPushButton>(m_controls, kCancel), &QPushButton::clicked, this,
            &QDialog::reject);
}

std::string CDlgRenameGame::YearOf(const std::string& extraInfo) {
    const std::string first(TrimSpace(extraInfo.substr(0, extraInfo.find(','))));
    const bool number = !first.empty() && std::all_of(first.begin(), first.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    return number ? first : std::string();
}

GameNaming CDlgRenameGame::Naming() const {
    auto field = [this](int id) {
        return std::string(TrimSpace(Control<QLineEdit>(m_controls, id)->text().toStdString()));
    };
    return {field(kTitle), field(kMaker), field(kYear)};
}

void CDlgRenameGame::accept() {
    if (!Naming().title.empty()) QDialog::accept();
}

} // namespace tarvo
