// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MprisService.h"

#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QWidget>

namespace tarvo {

namespace {

constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

QString StatusOf(PlayerState state) {
    switch (state) {
    case PlayerState::Playing:
    case PlayerState::Recording:
        return "Playing";
    case PlayerState::Paused:
    case PlayerState::RecordingPaused:
        return "Paused";
    default:
        return "Stopped";
    }
}

bool IsSounding(PlayerState state) {
    return StatusOf(state) == "Playing";
}

} // namespace

CMprisService::CMprisService(CPlayerDlg& window) : QObject(&window), m_window(window) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    new CMprisRootAdaptor(this);
    new CMprisPlayerAdaptor(this);
    // A second Tarvo takes a name of its own, as the protocol asks.
    for (const QString& name :
         {QString(kServiceName), QString(kServiceName) + ".instance" +
                                     QString::number(QCoreApplication::applicationPid())})
        if (bus.registerService(name)) {
            m_service = name;
            break;
        }
    if (m_service.isEmpty() || !bus.registerObject(kObjectPath, this)) {
        if (!m_service.isEmpty()) bus.unregisterService(m_service);
        m_service.clear();
        return;
    }
    m_shownPlayer = PlayerProperties();
}

CMprisService::~CMprisService() {
    if (!IsRegistered()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kObjectPath);
    bus.unregisterService(m_service);
}

QVariantMap CMprisService::PlayerProperties() const {
    CPlayerEngine& engine = m_window.Engine();
    const CGameEntry* game = engine.LoadedGame();
    const int clip = engine.CurrentClip();
    QVariantMap metadata;
    if (game && clip >= 0) {
        metadata["mpris:trackid"] = QVariant::fromValue(QDBusObjectPath(
            QString("/org/tarvo/Tarvo/clip/%1/%2").arg(engine.CurrentGame()).arg(clip)));
        const std::string title = game->clipInfo.GetTitle(clip);
        metadata["xesam:title"] =
            QString::fromStdString(title.empty() ? "Clip " + std::to_string(clip) : title);
        metadata["xesam:album"] = QString::fromStdString(game->title);
        metadata["xesam:artist"] = QStringList{QString::fromStdString(game->manufacturer)};
        if (m_window.Settings().EnforceLoopTime)
            metadata["mpris:length"] = qlonglong(m_window.Settings().MaxLoopTime) * 1000000;
    } else {
        metadata["mpris:trackid"] =
            QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    }
    auto enabled = [this](int id) { return m_window.ControlById(id)->isEnabled(); };
    return {{"PlaybackStatus", StatusOf(engine.State())},
            {"Metadata", metadata},
            {"CanGoNext", enabled(kNext)},
            {"CanGoPrevious", enabled(kPrev)},
            {"CanPlay", enabled(kPlay)},
            {"CanPause", enabled(kPlay) && IsSounding(engine.State())},
            {"Position", qlonglong(engine.ElapsedSeconds()) * 1000000}};
}

void CMprisService::Announce(const char* interface, const QVariantMap& now, QVariantMap& before) {
    QVariantMap changed;
    for (auto it = now.begin(); it != now.end(); ++it)
        if (it.key() != "Position" && before.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    before = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, "org.freedesktop.DBus.Properties",
                                                     "PropertiesChanged");
    signal << QString(interface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void CMprisService::Refresh() {
    if (IsRegistered()) Announce(kPlayerInterface, PlayerProperties(), m_shownPlayer);
}

// As the button would: only when it can be pressed, and Play or Pause only
// when it would play or pause.
void CMprisService::Press(int button, bool onlyWhenPlaying, bool onlyWhenNotPlaying) {
    const bool sounding = IsSounding(m_window.Engine().State());
    if (!m_window.ControlById(button)->isEnabled()) return;
    if ((onlyWhenPlaying && !sounding) || (onlyWhenNotPlaying && sounding)) return;
    m_window.Command(button);
}

void CMprisService::Raise() {
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

void CMprisService::Quit() {
    m_window.close();
}

CMprisRootAdaptor::CMprisRootAdaptor(CMprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

void CMprisRootAdaptor::Raise() {
    m_service->Raise();
}

void CMprisRootAdaptor::Quit() {
    m_service->Quit();
}

CMprisPlayerAdaptor::CMprisPlayerAdaptor(CMprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

void CMprisPlayerAdaptor::Next() {
    m_service->Press(kNext, false, false);
}

void CMprisPlayerAdaptor::Previous() {
    m_service->Press(kPrev, false, false);
}

void CMprisPlayerAdaptor::Pause() {
    m_service->Press(kPlay, true, false);
}

void CMprisPlayerAdaptor::PlayPause() {
    m_service->Press(kPlay, false, false);
}

void CMprisPlayerAdaptor::Stop() {
    m_service->Press(kStop, false, false);
}

void CMprisPlayerAdaptor::Play() {
    m_service->Press(kPlay, false, true);
}

} // namespace tarvo
