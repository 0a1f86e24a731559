// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtEnvironment.h"

#include <QFile>
#include <QLibraryInfo>
#include <QString>

using namespace Qt::StringLiterals;

namespace tarvo {

QList<QByteArray> ChooseQtEnvironment() {
    QList<QByteArray> chosen;
    const auto choose = [&chosen](const char* name) {
        if (qEnvironmentVariableIsSet(name)) return; // the user's own choice
        qputenv(name, "1");
        chosen.append(name);
    };
    // On X, an image handed over in shared memory makes the server answer
    // each repaint with an event that wakes two threads of ours: 30 times a
    // second while the meters move. The window's repaints are small, so they
    // go through the connection itself.
    choose("QT_XCB_NO_MITSHM");
    // Qt's own event loop costs a quarter less than GLib's at each of the
    // player's 33 ticks a second. GTK's file pickers need GLib's, so it stays
    // wherever Qt could choose its GTK theme.
    const QString gtkTheme =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + u"/platformthemes/libqgtk3.so"_s;
    const bool gtkPossible = qEnvironmentVariableIsSet("QT_PLUGIN_PATH") ||
                             qEnvironmentVariable("QT_QPA_PLATFORMTHEME").contains(u"gtk"_s) ||
                             QFile::exists(gtkTheme);
    if (!gtkPossible) choose("QT_NO_GLIB");
    return chosen;
}

} // namespace tarvo
