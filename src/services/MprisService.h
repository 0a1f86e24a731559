// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

namespace tarvo {

class CPlayerDlg;

// Tarvo on the desktop's session bus as an MPRIS 2 player, so media keys and
// the desktop's media controls drive it like its own buttons. Without a
// session bus it does nothing at all.
class CMprisService : public QObject {
    Q_OBJECT
public:
    static constexpr QStringView kServiceName = u"org.mpris.MediaPlayer2.tarvo";
    static constexpr QStringView kObjectPath = u"/org/mpris/MediaPlayer2";

    explicit CMprisService(CPlayerDlg& window);
    ~CMprisService() override;
    bool IsRegistered() const { return !m_service.isEmpty(); }

    // Tells the bus which properties changed since the last call.
    void Refresh();

    // What the adaptors answer and do.
    QVariantMap PlayerProperties() const;
    // When a desktop's button presses one of the window's: whenever the
    // window's button is enabled, or only while sound plays, or only while not.
    enum class PressWhen { Enabled, Sounding, Silent };
    void Press(int button, PressWhen when);
    void Raise();
    void Quit();
    // Seeking, in microseconds as MPRIS counts: by an offset from where the
    // clip is, or to a place in the clip the track id names.
    void SeekBy(qlonglong offset);
    void SetPosition(const QDBusObjectPath& track, qlonglong position);
    // The clip went elsewhere than playing on would have taken it.
    void AnnounceSeeked(long long positionMs);
    // The window's volume, 0.0 to 1.0 for 0 to 100 %.
    void SetVolume(double volume);

private:
    QDBusObjectPath TrackId() const;
    void Announce(const char* interface, const QVariantMap& now, QVariantMap& before);

    CPlayerDlg& m_window;
    QString m_service;
    QVariantMap m_shownPlayer;
    class CMprisPlayerAdaptor* m_player = nullptr;
};

// org.mpris.MediaPlayer2
class CMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    explicit CMprisRootAdaptor(CMprisService* service);
    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Tarvo"); }
    QString DesktopEntry() const { return QStringLiteral("org.tarvo.Tarvo"); }
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public Q_SLOTS:
    void Raise();
    void Quit();

private:
    CMprisService* m_service;
};

// org.mpris.MediaPlayer2.Player
class CMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    explicit CMprisPlayerAdaptor(CMprisService* service);
    QString PlaybackStatus() const { return Property("PlaybackStatus").toString(); }
    double Rate() const { return 1.0; }
    void SetRate(double) {}
    QVariantMap Metadata() const { return Property("Metadata").toMap(); }
    double Volume() const { return Property("Volume").toDouble(); }
    void SetVolume(double volume) { m_service->SetVolume(volume); }
    qlonglong Position() const { return Property("Position").toLongLong(); }
    bool CanGoNext() const { return Property("CanGoNext").toBool(); }
    bool CanGoPrevious() const { return Property("CanGoPrevious").toBool(); }
    bool CanPlay() const { return Property("CanPlay").toBool(); }
    bool CanPause() const { return Property("CanPause").toBool(); }
    bool CanSeek() const { return Property("CanSeek").toBool(); }
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong offset) { m_service->SeekBy(offset); }
    void SetPosition(const QDBusObjectPath& track, qlonglong position) {
        m_service->SetPosition(track, position);
    }
    void OpenUri(const QString&) {}

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    QVariant Property(const char* name) const {
        return m_service->PlayerProperties().value(QString::fromLatin1(name));
    }

    CMprisService* m_service;
};

} // namespace tarvo
