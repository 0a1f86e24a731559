// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/MprisService.h"

#include "ui/MainWindowIds.h"
#include "ui/PlayerDlg.h"

#include <algorithm>
#include <cmath>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

QString StatusOf(PlayerState state) {
    switch (state) {
    case PlayerState::Playing:
    case PlayerState::Recording:
        return u"Playing"_s;
    case PlayerState::Paused:
    case PlayerState::RecordingPaused:
        return u"Paused"_s;
    default:
        return u"Stopped"_s;
    }
}

bool IsSounding(PlayerState state) {
    return StatusOf(state) == u"Playing"_s;
}

} // namespace

CMprisService::CMprisService(CPlayerDlg& window) : QObject(&window), m_window(window) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    new CMprisRootAdaptor(this);
    m_player = new CMprisPlayerAdaptor(this);
    // A second Tarvo takes a name of its own, as the protocol asks.
    for (const QString& name :
         {kServiceName.toString(), kServiceName.toString() + u".instance"_s +
                                       QString::number(QCoreApplication::applicationPid())})
        if (bus.registerService(name)) {
            m_service = name;
            break;
        }
    if (m_service.isEmpty() || !bus.registerObject(kObjectPath.toString(), this)) {
        if (!m_service.isEmpty()) bus.unregisterService(m_service);
        m_service.clear();
        return;
    }
    m_shownPlayer = PlayerProperties();
    connect(&window, &CPlayerDlg::PlayerChanged, this, &CMprisService::Refresh);
    connect(&window, &CPlayerDlg::ClipMoved, this, &CMprisService::AnnounceSeeked);
}

CMprisService::~CMprisService() {
    if (!IsRegistered()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kObjectPath.toString());
    bus.unregisterService(m_service);
}

QVariantMap CMprisService::PlayerProperties() const {
    CPlayerEngine& engine = m_window.Engine();
    const CGameEntry* game = engine.LoadedGame();
    const int clip = engine.Status().currentClip;
    QVariantMap metadata;
    metadata[u"mpris:trackid"_s] = QVariant::fromValue(TrackId());
    if (game && clip >= 0) {
        const std::string title = game->clipInfo.GetTitle(clip);
        metadata[u"xesam:title"_s] =
            QString::fromStdString(title.empty() ? "Clip " + std::to_string(clip) : title);
        metadata[u"xesam:album"_s] = QString::fromStdString(game->title);
        metadata[u"xesam:artist"_s] = QStringList{QString::fromStdString(game->manufacturer)};
        // The clip's own length, or the loop limit when that ends it sooner.
        const Config& settings = m_window.Settings();
        qlonglong length = engine.Listening().ClipLengthMs() > 0
                               ? qlonglong(engine.Listening().ClipLengthMs()) * 1000
                               : -1;
        const qlonglong limit = qlonglong(settings.MaxLoopTime) * 1000000;
        if (settings.EnforceLoopTime && (length < 0 || limit < length)) length = limit;
        if (length > 0) metadata[u"mpris:length"_s] = length;
    }
    auto enabled = [this](int id) { return m_window.ControlById(id)->isEnabled(); };
    return {{u"PlaybackStatus"_s, StatusOf(engine.Status().StateOfTheClip())},
            {u"Metadata"_s, metadata},
            {u"CanGoNext"_s, enabled(kNext)},
            {u"CanGoPrevious"_s, enabled(kPrev)},
            {u"CanPlay"_s, enabled(kPlay)},
            {u"CanPause"_s, enabled(kPlay) && IsSounding(engine.Status().state)},
            {u"CanSeek"_s, engine.Listening().CanSeek()},
            {u"Volume"_s, m_window.Volume().Percent() / 100.0},
            {u"Position"_s, qlonglong(engine.Listening().PositionMs()) * 1000}};
}

QDBusObjectPath CMprisService::TrackId() const {
    CPlayerEngine& engine = m_window.Engine();
    if (!engine.LoadedGame() || engine.Status().currentClip < 0)
        return QDBusObjectPath(u"/org/mpris/MediaPlayer2/TrackList/NoTrack"_s);
    return QDBusObjectPath(QString(u"/org/tarvo/Tarvo/clip/%1/%2"_s)
                               .arg(engine.Status().currentGame)
                               .arg(engine.Status().currentClip));
}

void CMprisService::SeekBy(qlonglong offset) {
    m_window.OutsideRequests().Run([this, offset] {
        CPlayerEngine& engine = m_window.Engine();
        engine.Listening().SeekTo(
            std::max<qlonglong>(engine.Listening().PositionMs() + offset / 1000, 0));
    });
}

// A place outside the clip, or for a clip no longer playing, is ignored.
void CMprisService::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    m_window.OutsideRequests().Run([this, track, position] {
        CPlayerEngine& engine = m_window.Engine();
        if (track != TrackId() || position < 0 ||
            position / 1000 > engine.Listening().ClipLengthMs())
            return;
        engine.Listening().SeekTo(position / 1000);
    });
}

void CMprisService::AnnounceSeeked(long long positionMs) {
    if (IsRegistered() && m_player) Q_EMIT m_player->Seeked(qlonglong(positionMs) * 1000);
}

void CMprisService::Announce(const char* interface, const QVariantMap& now, QVariantMap& before) {
    QVariantMap changed;
    for (auto it = now.begin(); it != now.end(); ++it)
        if (it.key() != u"Position"_s && before.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    before = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(
        kObjectPath.toString(), u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
    signal << QString::fromLatin1(interface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void CMprisService::Refresh() {
    if (IsRegistered()) Announce(kPlayerInterface, PlayerProperties(), m_shownPlayer);
}

// As the button would: only when it can be pressed, and Play or Pause only
// when it would play or pause.
void CMprisService::Press(int button, PressWhen when) {
    m_window.OutsideRequests().Run([this, button, when] {
        const bool sounding = IsSounding(m_window.Engine().Status().state);
        if (!m_window.ControlById(button)->isEnabled()) return;
        if ((when == PressWhen::Sounding && !sounding) || (when == PressWhen::Silent && sounding))
            return;
        m_window.Command(button);
    });
}

void CMprisService::SetVolume(double volume) {
    if (std::isfinite(volume))
        m_window.Volume().SetPercent(
            static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
}

void CMprisService::Raise() {
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
}

void CMprisService::Quit() {
    m_window.OutsideRequests().Run([this] { m_window.close(); });
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
    m_service->Press(kNext, CMprisService::PressWhen::Enabled);
}

void CMprisPlayerAdaptor::Previous() {
    m_service->Press(kPrev, CMprisService::PressWhen::Enabled);
}

void CMprisPlayerAdaptor::Pause() {
    m_service->Press(kPlay, CMprisService::PressWhen::Sounding);
}

void CMprisPlayerAdaptor::PlayPause() {
    m_service->Press(kPlay, CMprisService::PressWhen::Enabled);
}

void CMprisPlayerAdaptor::Stop() {
    m_service->Press(kStop, CMprisService::PressWhen::Enabled);
}

void CMprisPlayerAdaptor::Play() {
    m_service->Press(kPlay, CMprisService::PressWhen::Silent);
}

} // namespace tarvo
