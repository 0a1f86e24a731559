// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ClipRange.h"

#include <QDialog>
#include <QHash>

class QLineEdit;
class QPushButton;

namespace tarvo {

class IDialogs;

// "Set Clip Range": two numbers, normalised as each field is left; Enter
// walks from the first field to the second, then to OK.
class CDlgClipRange : public QDialog {
    Q_OBJECT
public:
    // The controls, by their numbers in the dialog's layout table.
    enum ControlId { kOk = 1, kCancel = 2, kFirst = 1051, kLast = 1052 };

    explicit CDlgClipRange(IDialogs& dialogs, QWidget* parent = nullptr);

    ClipRange Range;

    // Shows the range and puts the focus in the first field.
    void ShowRange();
    void TakeFirst();
    void TakeLast();
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NormalizeRange();

    IDialogs& m_dialogs;
    QLineEdit* m_first;
    QLineEdit* m_last;
    QPushButton* m_ok;
};

} // namespace tarvo
