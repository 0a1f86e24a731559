// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgVoices.h"

#include "kit/DialogLayout.h"
#include "player/ClipListening.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace tarvo {

CDlgVoices::CDlgVoices(CClipListening& listening, QWidget* parent)
    : QDialog(parent), m_listening(listening),
      m_controls(CDialogLayout::Build(this, u"Voices.layout"_s)) {
    m_list = Control<QListWidget>(m_controls, kVoiceList);
    m_list->setSortingEnabled(false); // in the chip's order
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    connect(m_list, &QListWidget::itemChanged, this, &CDlgVoices::Toggled);
    connect(Control<QPushButton>(m_controls, kAll), &QPushButton::clicked, this, [this] {
        m_listening.SetVoiceMuted(-1, false);
        Refresh();
    });
    connect(Control<QPushButton>(m_controls, kClose), &QPushButton::clicked, this, &QDialog::close);
    Refresh();
}

void CDlgVoices::Refresh() {
    const QScopedValueRollback filling(m_filling, true);
    const std::vector<VoiceState> voices = m_listening.Voices();
    m_list->clear();
    for (const VoiceState& voice : voices) {
        auto* item = new QListWidgetItem(QString::fromStdString(voice.name), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(voice.muted ? Qt::Unchecked : Qt::Checked);
    }
    Control<QLabel>(m_controls, kHeading)
        ->setText(voices.empty() ? u"No clip has voices to show."_s
                                 : u"Voices heard (clear one to mute it):"_s);
    Control<QPushButton>(m_controls, kAll)->setEnabled(!voices.empty());
}

void CDlgVoices::Toggled(QListWidgetItem* item) {
    if (m_filling) return;
    m_listening.SetVoiceMuted(m_list->row(item), item->checkState() != Qt::Checked);
}

} // namespace tarvo
