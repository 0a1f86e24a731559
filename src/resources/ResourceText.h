// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tarvo {

// The lines of a text resource (a dialog layout or a menu), without the
// comment lines that start with "#" and without empty lines.
QStringList ResourceLines(const QString& path);

} // namespace tarvo
