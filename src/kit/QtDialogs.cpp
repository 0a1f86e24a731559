// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/QtDialogs.h"

#include "library/TextUtils.h"

#include <cstdio>
#include <filesystem>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
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

// Texts come from outside too (file names, tags, a tool's words), so they are
// shown as plain text, never as markup. A long one (a list of many files)
// keeps its first paragraph above and the rest in a scrolling field, so the
// box fits the screen whatever the count.
std::unique_ptr<QMessageBox> CQtDialogs::BuildMessage(const std::string& text, MessageIcon icon,
                                                      QMessageBox::StandardButtons buttons,
                                                      QWidget* owner) {
    QString shown = QString::fromStdString(text);
    QString rest;
    if (shown.count(u'\n') > kLongMessageLines) {
        const qsizetype split = std::max<qsizetype>(shown.indexOf(u"\n\n"_s), 0);
        rest = shown.mid(split).trimmed();
        shown.truncate(split);
    }
    auto box = std::make_unique<QMessageBox>(ToQt(icon), u"Tarvo"_s, shown, buttons, owner);
    box->setTextFormat(Qt::PlainText);
    if (rest.isEmpty()) return box;
    auto* list = new QPlainTextEdit(rest, box.get());
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setObjectName(u"MessageList"_s);
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(800, 600);
    list->setMinimumSize(std::min(room.width() / 2, 560), std::min(room.height() / 2, 360));
    // Below the text, beside the icon, above the buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        const int row = grid->rowCount();
        grid->addWidget(list, row - 1, 1, 1, grid->columnCount() - 1);
        grid->addWidget(box->findChild<QDialogButtonBox*>(), row, 0, 1, grid->columnCount());
    }
    return box;
}

void CQtDialogs::ShowMessage(const std::string& text, MessageIcon icon) {
    if (m_unattended) {
        std::fprintf(stderr, "Tarvo: %s\n", text.c_str());
        return;
    }
    BuildMessage(text, icon, QMessageBox::Ok, Owner())->exec();
}

bool CQtDialogs::AskYesNo(const std::string& text, MessageIcon icon) {
    if (m_unattended) return false;
    return BuildMessage(text, icon, QMessageBox::Yes | QMessageBox::No, Owner())->exec() ==
           QMessageBox::Yes;
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
    // The picker starts on the filter of the name it proposes.
    QString selected;
    const std::string extension = std::filesystem::path(initialName).extension().string();
    for (const FileFilter& filter : filters)
        if (!extension.empty() && EqualsNoCase(filter.pattern, "*" + extension))
            selected = FilterText({filter});
    const QString chosen = QFileDialog::getSaveFileName(Owner(), QString::fromStdString(title),
                                                        QFile::decodeName(initialName.c_str()),
                                                        FilterText(filters), &selected);
    m_lastSaveFilter = static_cast<int>(FilterText(filters).split(u";;"_s).indexOf(selected));
    return PathOf(chosen);
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
