// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DlgClipRange.h"

#include "kit/DialogLayout.h"
#include "library/IDialogs.h"
#include "library/TextUtils.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tarvo {

CDlgClipRange::CDlgClipRange(IDialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs) {
    const auto controls = CDialogLayout::Build(this, u"136.layout"_s);
    m_first = Control<QLineEdit>(controls, kFirst);
    m_last = Control<QLineEdit>(controls, kLast);
    m_ok = Control<QPushButton>(controls, kOk);
    connect(m_ok, &QPushButton::clicked, this, &CDlgClipRange::accept);
    auto* cancel = Control<QPushButton>(controls, kCancel);
    cancel->setAutoDefault(true); // Enter on a focused Cancel cancels
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_first->installEventFilter(this);
    m_last->installEventFilter(this);
}

void CDlgClipRange::ShowRange() {
    m_first->setText(QString::number(Range.firstClip));
    m_last->setText(QString::number(Range.lastClip));
    m_first->setFocus();
}

void CDlgClipRange::NormalizeRange() {
    const bool capped = Range.Normalize();
    m_first->setText(QString::number(Range.firstClip));
    m_last->setText(QString::number(Range.lastClip));
    if (capped)
        m_dialogs.ShowMessage(
            "A game's clips are numbered from 0 to " + std::to_string(CClipInfo::kMaxClipNumber) +
                ", so the range now ends at " + std::to_string(Range.lastClip) + ".",
            MessageIcon::Warning);
}

void CDlgClipRange::TakeFirst() {
    Range.firstClip = ParseInt(m_first->text().toStdString());
    NormalizeRange();
}

void CDlgClipRange::TakeLast() {
    Range.lastClip = ParseInt(m_last->text().toStdString());
    NormalizeRange();
}

bool CDlgClipRange::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_first) TakeFirst();
        if (watched == m_last) TakeLast();
    }
    return QDialog::eventFilter(watched, event);
}

void CDlgClipRange::accept() {
    // Enter in a field moves on instead of closing.
    if (m_first->hasFocus()) {
        TakeFirst();
        m_last->setFocus();
        return;
    }
    if (m_last->hasFocus()) {
        TakeLast();
        m_ok->setFocus();
        return;
    }
    TakeFirst();
    TakeLast();
    QDialog::accept();
}

} // namespace tarvo
