// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/IconLibrary.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

using namespace Qt::StringLiterals;

namespace tarvo {

QPixmap CIconLibrary::Pixmap(const QString& name, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(u":/icons/"_s + name + u".svg"_s);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    return pixmap;
}

QIcon CIconLibrary::Icon(const QString& name) {
    static QHash<QString, QIcon> cache;
    auto it = cache.find(name);
    if (it != cache.end()) return *it;
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(Pixmap(name, size));
    return *cache.insert(name, icon);
}

} // namespace tarvo
