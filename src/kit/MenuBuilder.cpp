// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/MenuBuilder.h"

#include "resources/ResourceText.h"

#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

QStringList MenuLines(const QString& resourceName) {
    return ResourceLines(u":/menus/"_s + resourceName);
}

// What is wrong with one line of a menu table, or nothing.
QString LineProblem(const QString& line) {
    if (line == u"-"_s || (line.startsWith(u"popup "_s) && line.size() > 6)) return {};
    if (!line.startsWith(u"item "_s))
        return u"a line is \"popup TITLE\", \"item ID TEXT\" or \"-\""_s;
    const QStringList parts = line.split(u' ', Qt::SkipEmptyParts);
    bool number = false;
    if (parts.size() < 3 || (parts[1].toInt(&number), !number))
        return u"an item needs a command number and a text"_s;
    return {};
}

void AddItem(QMenu* menu, const QString& line, CMenuBuilder::Actions& actions) {
    if (const QString problem = LineProblem(line); !problem.isEmpty()) {
        qWarning("menu: %s: %s", qPrintable(problem), qPrintable(line));
        return;
    }
    if (line == u"-"_s) {
        menu->addSeparator();
        return;
    }
    const QString rest = line.mid(5); // after "item "
    const qsizetype space = rest.indexOf(QChar(0x20));
    const int id = rest.left(space).toInt();
    const QStringList textAndKeys = rest.mid(space + 1).split(u'\t');
    QAction* action = menu->addAction(textAndKeys.front());
    if (textAndKeys.size() > 1)
        action->setShortcuts(
            QKeySequence::listFromString(textAndKeys[1], QKeySequence::PortableText));
    action->setData(id);
    actions[id].append(action);
}

} // namespace

QStringList CMenuBuilder::Lines(const QString& resourceName) {
    return MenuLines(resourceName);
}

QStringList CMenuBuilder::Problems(const QStringList& lines) {
    QStringList problems;
    for (const QString& line : lines)
        if (const QString problem = LineProblem(line); !problem.isEmpty())
            problems << problem + u": "_s + line;
    return problems;
}

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
