// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/ResourceText.h"

#include <QFile>

namespace tarvo {

QStringList ResourceLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith(u'#')) lines << line;
    return lines;
}

} // namespace tarvo
