// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuBuilder.h"

#include "resources/ResourceText.h"

#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QStringList MenuLines(const QString& resourceName) {
    return ResourceLines(u":/menus/"_s + resourceName);
}

void AddItem(QMenu* menu, const QString& line, CMenuBuilder::Actions& actions) {
    if (line == u"-"_s) {
        menu->addSeparator();
        return;
    }
    const QString rest = line.mid(5); // after "item "
    const qsizetype space = rest.indexOf(QChar(0x20));
    const int id = rest.left(space).toInt();
    QAction* action = menu->addAction(rest.mid(space + 1));
    action->setData(id);
    actions[id].append(action);
}

} // namespace

CMenuBuilder::Actions CMenuBuilder::BuildBar(QMenuBar* bar, const QString& resourceName) {
    Actions actions;
    QMenu* current = nullptr;
    for (const QString& line : MenuLines(resourceName)) {
        if (line.startsWith(u"popup "_s))
            current = bar->addMenu(line.mid(6));
        else if (current)
            AddItem(current, line, actions);
    }
    return actions;
}

CMenuBuilder::Actions CMenuBuilder::BuildPopup(QMenu* menu, const QString& resourceName) {
    Actions actions;
    for (const QString& line : MenuLines(resourceName)) {
        if (line.startsWith(u"popup "_s))
            menu->setTitle(line.mid(6));
        else
            AddItem(menu, line, actions);
    }
    return actions;
}

} // namespace tarvo
