#include "QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

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
        parts << QString::fromStdString(f.description) + " (" + QString::fromStdString(f.pattern) +
                     ")";
    return parts.join(";;");
}

} // namespace

void CQtDialogs::ShowMessage(const std::string& text, MessageIcon icon) {
    QMessageBox box(ToQt(icon), "Tarvo", QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool CQtDialogs::AskYesNo(const std::string& text, MessageIcon icon) {
    QMessageBox box(ToQt(icon), "Tarvo", QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

std::string CQtDialogs::BrowseForFolder(const std::string& title) {
    return QFileDialog::getExistingDirectory(nullptr, QString::fromStdString(title)).toStdString();
}

std::string CQtDialogs::OpenFileDialog(const std::string& title,
                                       const std::vector<FileFilter>& filters) {
    return QFileDialog::getOpenFileName(m_parent, QString::fromStdString(title), QString(),
                                        FilterText(filters))
        .toStdString();
}

std::string CQtDialogs::SaveFileDialog(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& initialName) {
    return QFileDialog::getSaveFileName(m_parent, QString::fromStdString(title),
                                        QString::fromStdString(initialName), FilterText(filters))
        .toStdString();
}

std::optional<RgbColor> CQtDialogs::ChooseColor(const RgbColor& initial) {
    const QColor chosen =
        QColorDialog::getColor(QColor(initial.red, initial.green, initial.blue), m_parent);
    if (!chosen.isValid()) return std::nullopt;
    return RgbColor{chosen.red(), chosen.green(), chosen.blue()};
}

} // namespace tarvo
