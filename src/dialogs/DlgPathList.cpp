// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgPathList.h"

#include "kit/DialogLayout.h"
#include "library/IDialogs.h"
#include "library/ROMList.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// A row shows the folder's name; its data keeps the path's own bytes, which
// a name that is not valid UTF-8 needs to be found again.
void AddFolderRow(QListWidget* list, const std::string& folder) {
    auto* item = new QListWidgetItem(QFile::decodeName(folder.c_str()), list);
    item->setData(Qt::UserRole, QByteArray::fromStdString(folder));
}

// The model fills the list through its list-view interface; here a plain
// list box is enough, so the folders are added directly.
void FillFolders(QListWidget* list, const CROMList& romList) {
    list->clear();
    for (const std::string& folder : romList.GetFolders())
        AddFolderRow(list, folder);
}

} // namespace

CDlgPathList::CDlgPathList(CROMList& romList, IDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_romList(romList), m_dialogs(dialogs) {
    m_controls = CDialogLayout::Build(this, u"PathList.layout"_s);
    m_list = Control<QListWidget>(m_controls, kFolders);
    connect(Control<QPushButton>(m_controls, kDone), &QPushButton::clicked, this, &QDialog::accept);
    connect(Control<QPushButton>(m_controls, kAddFolder), &QPushButton::clicked, this,
            &CDlgPathList::AddFolder);
    connect(Control<QPushButton>(m_controls, kRemove), &QPushButton::clicked, this,
            &CDlgPathList::RemoveSelected);
    connect(Control<QPushButton>(m_controls, kClear), &QPushButton::clicked, this,
            &CDlgPathList::ClearAll);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &CDlgPathList::UpdateButtons);
    FillFolders(m_list, m_romList);
    UpdateButtons();
}

void CDlgPathList::UpdateButtons() {
    Control<QPushButton>(m_controls, kRemove)->setEnabled(!m_list->selectedItems().isEmpty());
    Control<QPushButton>(m_controls, kClear)->setEnabled(m_list->count() > 0);
}

void CDlgPathList::AddFolder() {
    std::string folder = m_dialogs.BrowseForFolder("Select a ROM Folder to add...");
    if (m_romList.AddFolder(folder)) AddFolderRow(m_list, folder);
    UpdateButtons();
}

void CDlgPathList::RemoveSelected() {
    for (int row = m_list->count() - 1; row >= 0; --row) {
        QListWidgetItem* item = m_list->item(row);
        if (item->isSelected() &&
            m_romList.RemoveFolder(item->data(Qt::UserRole).toByteArray().toStdString()))
            delete m_list->takeItem(row);
    }
    UpdateButtons();
}

void CDlgPathList::ClearAll() {
    if (!m_dialogs.AskYesNo("Are you sure you want to remove all of the folders from your list?",
                            MessageIcon::Warning))
        return;
    m_romList.ClearFolders();
    FillFolders(m_list, m_romList);
    UpdateButtons();
}

void CDlgPathList::done(int) {
    // Done, Escape and the close box all end here, with the OK result.
    if (!m_romList.IsScanned()) m_romList.ScanROMFolders();
    QDialog::done(QDialog::Accepted);
}

} // namespace tarvo
