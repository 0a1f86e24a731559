// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

namespace tarvo {

// Sets what Qt reads from the environment as its application object starts,
// where the user has not set it; returns the variables it set.
QList<QByteArray> ChooseQtEnvironment();

} // namespace tarvo
