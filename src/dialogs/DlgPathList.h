// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QHash>

class QListWidget;
class QPushButton;

namespace tarvo {

class CROMList;
class IDialogs;

// "Tarvo Folder List": the ROM folders, sorted for display. Every change
// takes effect at once; closing in any way scans when the list changed.
class CDlgPathList : public QDialog {
    Q_OBJECT
public:
    // The controls, by their numbers in the dialog's layout table.
    enum ControlId {
        kDone = 1,
        kFolders = 1034,
        kAddFolder = 1037,
        kRemove = 1075,
        kClear = 1076,
    };

    CDlgPathList(CROMList& romList, IDialogs& dialogs, QWidget* parent = nullptr);

    void AddFolder();
    void RemoveSelected();
    void ClearAll();
    void UpdateButtons();
    void done(int result) override;

    QListWidget* FolderList() const { return m_list; }
    QWidget* ControlById(int id) const { return m_controls.value(id); }

private:
    CROMList& m_romList;
    IDialogs& m_dialogs;
    QHash<int, QWidget*> m_controls;
    QListWidget* m_list;
};

} // namespace tarvo
