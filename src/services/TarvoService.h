// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QObject>
#include <QStringList>

namespace tarvo {

class CPlayerDlg;

// Tarvo's own name on the session bus, "org.tarvo.Tarvo": a second start
// hands the files it was given to the running program, and tarvo-add tells
// it of games it added. Held only by the program that keeps the user's files.
class CTarvoService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tarvo.Tarvo")

public:
    static constexpr const char* kServiceName = "org.tarvo.Tarvo";
    static constexpr const char* kObjectPath = "/org/tarvo/Tarvo";

    explicit CTarvoService(CPlayerDlg& window);
    ~CTarvoService() override;

    // From a second start: true when a running Tarvo took the paths (none:
    // it shows its window).
    static bool HandOver(const QByteArrayList& paths);

public Q_SLOTS:
    // Paths as the file system's bytes ("aay"), which keep any name.
    Q_SCRIPTABLE void OpenFiles(const QByteArrayList& paths);
    // Paths as text, for scripts.
    Q_SCRIPTABLE void Open(const QStringList& paths);
    Q_SCRIPTABLE void Reload();

private:
    CPlayerDlg& m_window;
    bool m_registered = false;
};

} // namespace tarvo
