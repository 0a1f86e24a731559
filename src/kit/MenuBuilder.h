// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace tarvo {

// Menus from their resource under ":/menus/"; every item's action carries its
// command number as data, and the actions are returned by number (several
// items may share one).
class CMenuBuilder {
public:
    using Actions = QHash<int, QList<QAction*>>;
    static Actions BuildBar(QMenuBar* bar, const QString& resourceName);
    static Actions BuildPopup(QMenu* menu, const QString& resourceName);
    // A menu table's lines, and what is wrong with any of them.
    static QStringList Lines(const QString& resourceName);
    static QStringList Problems(const QStringList& lines);
};

} // namespace tarvo
