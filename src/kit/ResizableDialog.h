// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/WindowSizing.h"

#include <memory>
#include <QDialog>

namespace tarvo {

// A dialog laid out from its table that the user may make larger: its
// controls follow as the table's "grow" styles say, and its size is kept in
// the settings for the next time it opens.
class CResizableDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
    ~CResizableDialog() override;

    // Lets the user resize the dialog, from the size kept in `kept` and into
    // it. Called once the dialog is laid out at its table's size.
    void KeepSizeIn(WindowSize& kept);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<CWindowSizing> m_sizing;
};

} // namespace tarvo
