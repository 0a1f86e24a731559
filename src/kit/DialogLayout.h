// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace tarvo {

// Builds a dialog's controls from its layout table (a resource under
// ":/layouts/"), placing each in dialog units converted with the dialog font's
// base units. Every control with a number gets it as its objectName.
class CDialogLayout {
public:
    // Lays out `dialog` (font, size, title) and returns the controls by number.
    static QHash<int, QWidget*> Build(QWidget* dialog, const QString& resourceName,
                                      int topOffset = 0);
    // The object name a control of this number gets, so that anyone holding
    // the dialog can find it (QObject::findChild).
    static QString ObjectName(int id) { return QString::number(id); }
    // A layout table's lines, and what is wrong with any of them.
    static QStringList Lines(const QString& resourceName);
    static QStringList Problems(const QStringList& lines);
    // Moves and sizes the controls whose style says how they follow the
    // window ("grow=L,T,R,B") for a window this much larger than its table's
    // size (smaller, when negative); the others keep their places.
    static void Stretch(QWidget* dialog, QSize grownBy);
    // Dialog units to pixels for this font.
    static QRect ToPixels(const QFont& font, int x, int y, int w, int h);
};

// The control with this number, of the wanted type.
template <typename T> T* Control(const QHash<int, QWidget*>& controls, int id) {
    return qobject_cast<T*>(controls.value(id));
}

} // namespace tarvo
