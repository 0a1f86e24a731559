// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QtEnvironment.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLibraryInfo>

using tarvo::ChooseQtEnvironment;

// Qt's event loop replaces GLib's only where no GTK theme could want it, and
// what the user set stays as it is.
TEST(QtEnvironment, ChoosesQtsEventLoopOnlyWhereNoGtkThemeCanNeedItAndKeepsTheUsersChoices) {
    const bool gtkInstalled = QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                                            QStringLiteral("/platformthemes/libqgtk3.so"));
    const struct {
        const char *plugins, *theme, *users, *noGlib;
        QList<QByteArray> chosen;
    } cases[] = {
        {nullptr, nullptr, nullptr, "1", {"QT_XCB_NO_MITSHM", "QT_NO_GLIB"}},
        {"/opt/qt/plugins", nullptr, nullptr, "", {"QT_XCB_NO_MITSHM"}},
        {nullptr, "gtk3", nullptr, "", {"QT_XCB_NO_MITSHM"}},
        {nullptr, nullptr, "0", "0", {"QT_XCB_NO_MITSHM"}},
    };
    for (const auto& c : cases) {
        if (gtkInstalled && *c.noGlib == '1') continue; // GTK's pickers keep GLib's loop
        SCOPED_TRACE(testing::Message() << c.plugins << " " << c.theme << " " << c.users);
        for (const char* name :
             {"QT_XCB_NO_MITSHM", "QT_NO_GLIB", "QT_PLUGIN_PATH", "QT_QPA_PLATFORMTHEME"})
            qunsetenv(name);
        if (c.plugins) qputenv("QT_PLUGIN_PATH", c.plugins);
        if (c.theme) qputenv("QT_QPA_PLATFORMTHEME", c.theme);
        if (c.users) qputenv("QT_NO_GLIB", c.users);
        EXPECT_EQ(ChooseQtEnvironment(), c.chosen);
        EXPECT_EQ(qgetenv("QT_NO_GLIB"), c.noGlib);
    }
}
