// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TarvoService.h"

#include "ui/PlayerDlg.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvo {

CTarvoService::CTarvoService(CPlayerDlg& window) : QObject(&window), m_window(window) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_registered = bus.isConnected() &&
                   bus.registerObject(QString::fromLatin1(kObjectPath), this,
                                      QDBusConnection::ExportScriptableSlots) &&
                   bus.registerService(QString::fromLatin1(kServiceName));
}

CTarvoService::~CTarvoService() {
    if (!m_registered) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QString::fromLatin1(kServiceName));
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

bool CTarvoService::HandOver(const QStringList& paths) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QStringList absolute;
    for (const QString& path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    QDBusInterface running(QString::fromLatin1(kServiceName), QString::fromLatin1(kObjectPath),
                           QString::fromLatin1(kServiceName), bus);
    if (!running.isValid()) return false;
    const QDBusReply<void> reply = running.call(u"Open"_s, absolute);
    return reply.isValid();
}

void CTarvoService::Open(const QStringList& paths) {
    m_window.OpenMusic(paths);
}

void CTarvoService::Reload() {
    m_window.TakeNewGames();
}

} // namespace tarvo
