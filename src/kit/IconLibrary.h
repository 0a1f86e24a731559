// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

namespace tarvo {

// The program's pictures, by number ("105") or name ("note16"), drawn from
// their SVG resources at the sizes they are shown.
class CIconLibrary {
public:
    static QIcon Icon(const QString& name);
    static QIcon Icon(int number) { return Icon(QString::number(number)); }
    static QPixmap Pixmap(const QString& name, int size);
};

} // namespace tarvo
