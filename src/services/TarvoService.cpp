// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/TarvoService.h"

#include "ui/PlayerDlg.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvo {

CTarvoService::CTarvoService(CPlayerDlg& window) : QObject(&window), m_window(window) {
    qDBusRegisterMetaType<QByteArrayList>();
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

bool CTarvoService::HandOver(const QByteArrayList& paths) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    qDBusRegisterMetaType<QByteArrayList>();
    QByteArrayList absolute;
    for (const QByteArray& path : paths)
        absolute << CMusicOpener::AbsolutePath(path);
    QDBusInterface running(QString::fromLatin1(kServiceName), QString::fromLatin1(kObjectPath),
                           QString::fromLatin1(kServiceName), bus);
    if (!running.isValid()) return false;
    const QDBusReply<void> reply = running.call(u"OpenFiles"_s, QVariant::fromValue(absolute));
    return reply.isValid();
}

void CTarvoService::OpenFiles(const QByteArrayList& paths) {
    m_window.OutsideRequests().Run([this, paths] { m_window.Opening().OpenMusic(paths); });
}

void CTarvoService::Open(const QStringList& paths) {
    QByteArrayList bytes;
    for (const QString& path : paths)
        bytes << QFile::encodeName(path);
    OpenFiles(bytes);
}

void CTarvoService::Reload() {
    m_window.OutsideRequests().Run([this] { m_window.Opening().TakeNewGames(); });
}

} // namespace tarvo
