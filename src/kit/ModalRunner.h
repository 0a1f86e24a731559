// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <QDialog>

namespace tarvo {

// How a window runs one of its modal dialogs: exec() in the program, a
// script in the tests. The result is the dialog's QDialog::DialogCode.
using ModalRunner = std::function<int(QDialog&)>;

inline int RunModal(const ModalRunner& runner, QDialog& dialog) {
    return runner ? runner(dialog) : dialog.exec();
}

} // namespace tarvo
