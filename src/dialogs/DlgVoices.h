// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QHash>

class QListWidget;
class QListWidgetItem;

namespace tarvo {

class CClipListening;

// "Voices": the voices of the clip playing (a chip's channels), each a check
// box that lets it be heard or mutes it at once. It stays open beside the
// main window and follows the clips and games as they change.
class CDlgVoices : public QDialog {
    Q_OBJECT

public:
    enum ControlId { kClose = 2, kVoiceList = 1001, kAll = 1002, kHeading = 1003 };

    CDlgVoices(CClipListening& listening, QWidget* parent = nullptr);

    // The voices again, as the engine knows them now.
    void Refresh();
    QWidget* ControlById(int id) const { return m_controls.value(id); }

private:
    void Toggled(QListWidgetItem* item);

    CClipListening& m_listening;
    QHash<int, QWidget*> m_controls;
    QListWidget* m_list = nullptr;
    bool m_filling = false;
};

} // namespace tarvo
