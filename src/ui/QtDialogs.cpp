// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/QtDialogs.h"

#include <cstdio>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString FilterText(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& f : filters)
        parts << QString::fromStdString(f.description) + u" ("_s +
                     QString::fromStdString(f.pattern) + u")"_s;
    return parts.join(u";;"_s);
}

// A picked path as the file system's bytes, which a name that is not valid
// UTF-8 keeps.
std::string PathOf(const QString& picked) {
    return QFile::encodeName(picked).toStdString();
}

} // namespace

// A box over a window not yet shown would be placed by that window's unset
// position, in a corner of the screen; without an owner it is centred.
QWidget* CQtDialogs::Owner() const {
    return m_parent && m_parent->isVisible() ? m_parent : nullptr;
}

void CQtDialogs::ShowMessage(const std::string& text, MessageIcon icon) {
    if (m_unattended) {
        std::fprintf(stderr, "Tarvo: %s\n", text.c_str());
        return;
    }
    QMessageBox box(ToQt(icon), u"Tarvo"_s, QString::fromStdString(text), QMessageBox::Ok, Owner());
    box.exec();
}

bool CQtDialogs::AskYesNo(const std::string& text, MessageIcon icon) {
    if (m_unattended) return false;
    QMessageBox box(ToQt(icon), u"Tarvo"_s, QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, Owner());
    return box.exec() == QMessageBox::Yes;
}

std::string CQtDialogs::BrowseForFolder(const std::string& title) {
    if (m_unattended) return {};
    return PathOf(QFileDialog::getExistingDirectory(nullptr, QString::fromStdString(title)));
}

std::string CQtDialogs::OpenFileDialog(const std::string& title,
                                       const std::vector<FileFilter>& filters) {
    if (m_unattended) return {};
    return PathOf(QFileDialog::getOpenFileName(Owner(), QString::fromStdString(title), QString(),
                                               FilterText(filters)));
}

std::string CQtDialogs::SaveFileDialog(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& initialName) {
    if (m_unattended) return {};
    return PathOf(QFileDialog::getSaveFileName(Owner(), QString::fromStdString(title),
                                               QFile::decodeName(initialName.c_str()),
                                               FilterText(filters)));
}

std::optional<RgbColor> CQtDialogs::ChooseColor(const RgbColor& initial) {
    if (m_unattended) return std::nullopt;
    const QColor chosen =
        QColorDialog::getColor(QColor(initial.red, initial.green, initial.blue), Owner());
    if (!chosen.isValid()) return std::nullopt;
    return RgbColor{chosen.red(), chosen.green(), chosen.blue()};
}

std::optional<int> CQtDialogs::ChooseItem(const std::string& title, const std::string& label,
                                          const std::vector<std::string>& choices, int initial) {
    if (m_unattended || choices.empty()) return std::nullopt;
    QStringList items;
    for (const std::string& choice : choices)
        items << QString::fromStdString(choice);
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(Owner(), QString::fromStdString(title), QString::fromStdString(label),
                              items, initial, false, &ok);
    if (!ok) return std::nullopt;
    return static_cast<int>(items.indexOf(chosen));
}

} // namespace tarvo
