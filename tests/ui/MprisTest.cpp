// SPDX-License-Identifier: GPL-3.0-or-later
// Tarvo as an MPRIS player, on a private session bus (dbus-run-session): a
// desktop's media keys and widgets reach it as a second bus connection would.
#include "services/MprisService.h"
#include "services/TarvoService.h"
#include "ui/WindowFixture.h"

#include <filesystem>
#include <limits>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>

using namespace tarvo;
using namespace Qt::StringLiterals;
using namespace tarvo::test;

// Records the PropertiesChanged and Seeked signals the player sends.
class ChangeRecorder : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    QList<qlonglong> seeks;
    // Runs this thread's loop until a signal arrives (a guard ends it after 5 s).
    void WaitForAChange() {
        if (!changes.isEmpty() || !seeks.isEmpty()) return;
        QEventLoop loop;
        m_waiting = &loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        m_waiting = nullptr;
    }
public slots:
    void Changed(const QString&, const QVariantMap& changed, const QStringList&) {
        changes << changed;
        if (m_waiting) m_waiting->quit();
    }
    void Seeked(qlonglong position) {
        seeks << position;
        if (m_waiting) m_waiting->quit();
    }

private:
    QEventLoop* m_waiting = nullptr;
};

namespace {

class Mpris : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        mpris = new CMprisService(*window);
        client = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desktop"));
        client->connect(CMprisService::kServiceName.toString(),
                        CMprisService::kObjectPath.toString(), "org.freedesktop.DBus.Properties",
                        "PropertiesChanged", &recorder,
                        SLOT(Changed(QString, QVariantMap, QStringList)));
        client->connect(CMprisService::kServiceName.toString(),
                        CMprisService::kObjectPath.toString(), "org.mpris.MediaPlayer2.Player",
                        "Seeked", &recorder, SLOT(Seeked(qlonglong)));
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("desktop");
        WindowTest::TearDown();
    }

    // A call as a desktop makes it, answered while this thread runs its loop.
    QDBusMessage Call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            CMprisService::kServiceName.toString(), CMprisService::kObjectPath.toString(),
            interface, method);
        message.setArguments(arguments);
        QDBusPendingCallWatcher watcher(client->asyncCall(message));
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit); // a guard, not a wait
        if (!watcher.isFinished()) loop.exec();
        return watcher.reply();
    }
    void Player(const char* method) { Call("org.mpris.MediaPlayer2.Player", method); }
    QVariant Get(const char* interface, const char* name) {
        const QDBusMessage reply =
            Call("org.freedesktop.DBus.Properties", "Get", {interface, name});
        return reply.arguments().isEmpty()
                   ? QVariant()
                   : reply.arguments().first().value<QDBusVariant>().variant();
    }
    QVariant Status() { return Get("org.mpris.MediaPlayer2.Player", "PlaybackStatus"); }
    QVariantMap Metadata() {
        const QVariant value = Get("org.mpris.MediaPlayer2.Player", "Metadata");
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    }

    std::unique_ptr<QDBusConnection> client;
    CMprisService* mpris = nullptr; // the window owns it
    ChangeRecorder recorder;
};

} // namespace

TEST_F(Mpris, TheDesktopSeesAndDrivesThePlayerAsItsButtonsDo) {
    ASSERT_TRUE(mpris->IsRegistered()) << "no session bus: run under dbus-run-session";
    EXPECT_EQ(Get("org.mpris.MediaPlayer2", "Identity").toString(), "Tarvo");
    EXPECT_EQ(Get("org.mpris.MediaPlayer2", "DesktopEntry").toString(), "org.tarvo.Tarvo");
    EXPECT_EQ(Status().toString(), "Stopped");
    EXPECT_FALSE(Get("org.mpris.MediaPlayer2.Player", "CanPlay").toBool()); // PLAY is grey

    Load(0, 3);
    recorder.WaitForAChange();
    ASSERT_FALSE(recorder.changes.isEmpty());
    EXPECT_EQ(recorder.changes.last().value("PlaybackStatus").toString(), "Playing");
    QVariantMap metadata = Metadata();
    EXPECT_EQ(metadata.value("xesam:title").toString(), "Clip 3");
    EXPECT_EQ(metadata.value("xesam:album").toString(), "Alpha Story");
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{"Tarvo Soft"});
    EXPECT_FALSE(metadata.contains("mpris:length"));

    struct Step {
        const char* method;
        PlayerState state;
        int clip;
    } steps[] = {{"PlayPause", PlayerState::Paused, 3}, {"Pause", PlayerState::Paused, 3},
                 {"Play", PlayerState::Playing, 3},     {"Play", PlayerState::Playing, 3},
                 {"Next", PlayerState::Playing, 4},     {"Previous", PlayerState::Playing, 3},
                 {"Stop", PlayerState::Stopped, 3}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.method);
        Player(step.method);
        EXPECT_EQ(window->Engine().Status().state, step.state);
        EXPECT_EQ(window->Engine().Status().currentClip, step.clip);
    }
    EXPECT_EQ(Status().toString(), "Stopped");

    window->ROMList().GetEntry(0)->clipInfo.SetTitle(3, "Overture");
    window->Settings().EnforceLoopTime = 1;
    window->Settings().MaxLoopTime = 150;
    Player("Play");
    metadata = Metadata();
    EXPECT_EQ(metadata.value("xesam:title").toString(), "Overture");
    EXPECT_EQ(metadata.value("mpris:length").toLongLong(), 150000000);

    window->show();
    Call("org.mpris.MediaPlayer2", "Quit"); // the close sequence, as the close box runs it
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(temp.Read("Tarvo.ini").empty());
}

// A clip of known length gives the desktop a working progress bar: its
// length, where it is, and seeks by an offset or to a place in that clip,
// each told back by Seeked once the core has moved.
TEST_F(Mpris, AClipOfKnownLengthSeeksFromTheDesktop) {
    ASSERT_TRUE(mpris->IsRegistered()) << "no session bus: run under dbus-run-session";
    const char* player = "org.mpris.MediaPlayer2.Player";
    core.tellsTunes = true;
    core.tunes = {"", "", "", "Boss"};
    core.lengthsMs = {-1, -1, -1, 165000};
    Load(0, 3);
    core.positionMs = 12500;
    EXPECT_TRUE(Get(player, "CanSeek").toBool());
    EXPECT_EQ(Metadata().value("mpris:length").toLongLong(), 165000000);
    EXPECT_EQ(Get(player, "Position").toLongLong(), 12500000);
    const QString track = "/org/tarvo/Tarvo/clip/0/3";
    core.calls.clear();
    Call(player, "Seek", {qlonglong(10000000)});
    Call(player, "SetPosition", {QVariant::fromValue(QDBusObjectPath(track)), qlonglong(60000000)});
    Call(player, "SetPosition",
         {QVariant::fromValue(QDBusObjectPath("/org/tarvo/Tarvo/clip/1/3")), qlonglong(5000000)});
    Call(player, "SetPosition", {QVariant::fromValue(QDBusObjectPath(track)), qlonglong(-1)});
    Call(player, "Seek", {qlonglong(-999000000)});
    std::vector<std::string> actions = core.TakeActions();
    std::erase(actions, "Command(SERVICE, 0)"); // the window's timer may tick meanwhile
    EXPECT_EQ(actions, (std::vector<std::string>{"Command(SEEK, 22500)", "Command(SEEK, 60000)",
                                                 "Command(SEEK, 0)"}));
    recorder.changes.clear();
    recorder.seeks.clear();
    core.Send(CORE_MSG_SEEKED, nullptr, 0);
    recorder.WaitForAChange();
    EXPECT_EQ(recorder.seeks, QList<qlonglong>{0});

    // The farthest seek goes to the end, and no position is told past it,
    // whatever the sound runs on to before the clip ends.
    Call(player, "Seek", {qlonglong(INT64_MAX)});
    actions = core.TakeActions();
    std::erase(actions, "Command(SERVICE, 0)");
    EXPECT_EQ(actions, std::vector<std::string>{"Command(SEEK, 165000)"});
    core.Send(CORE_MSG_SEEKED, nullptr, 165000);
    core.positionMs = 166500;
    EXPECT_EQ(Get(player, "Position").toLongLong(), 165000000);
}

// The desktop's volume is the window's slider: read as 0.0 to 1.0, written
// back to it (and so to the core), what cannot be a volume left aside.
TEST_F(Mpris, TheDesktopsVolumeIsTheWindowsSlider) {
    ASSERT_TRUE(mpris->IsRegistered()) << "no session bus: run under dbus-run-session";
    const char* player = "org.mpris.MediaPlayer2.Player";
    EXPECT_DOUBLE_EQ(Get(player, "Volume").toDouble(), 1.0);
    for (auto [asked, percent] : {std::pair{0.3, 30},
                                  {7.0, 100},
                                  {-1.0, 0},
                                  {std::numeric_limits<double>::quiet_NaN(), 0}}) {
        Call("org.freedesktop.DBus.Properties", "Set",
             {player, "Volume", QVariant::fromValue(QDBusVariant(asked))});
        EXPECT_EQ(window->Volume().Percent(), percent) << asked;
        EXPECT_EQ(core.options[CORE_OPT_VOLUME], percent) << asked;
    }
    window->Volume().SetPercent(45);
    EXPECT_DOUBLE_EQ(Get(player, "Volume").toDouble(), 0.45);
}

// A second start given a file hands it to the Tarvo already running, which
// adds it (here through a stand-in for tarvo-add) and plays what it became;
// tarvo-add's own word makes it read its catalogue again.
TEST_F(WindowTest, ASecondStartHandsItsFilesToTheRunningTarvo) {
    new CTarvoService(*window); // as the program starts it; the window owns it
    temp.Write("add.sh", "#!/bin/sh\ncat > \"$0.in\"\nprintf '%s\\000' game alpha 5\n");
    std::filesystem::permissions(temp.File("add.sh"), std::filesystem::perms::owner_all);
    window->Opening().Opener().SetProgram(QString::fromStdString(temp.File("add.sh")));
    QSignalSpy added(&window->Opening().Opener().Process(), &QProcess::finished);
    // A name that is not UTF-8 and looks like one of Qt's options, after "--".
    QProcess second;
    second.start(u"/bin/sh"_s, {u"-c"_s, uR"(exec "$0" -- "$1$(printf '\377\376').vgm")"_s,
                                QStringLiteral(TARVO_BIN_DIR "/tarvo"),
                                QString::fromStdString(roms + "-reverse")});
    QSignalSpy ended(&second, &QProcess::finished);
    ASSERT_TRUE(ended.wait(20000)); // this loop answers the second start meanwhile
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_TRUE(added.count() > 0 || added.wait(20000));
    EXPECT_EQ(window->Engine().Status().currentGame, 0);
    EXPECT_EQ(window->Engine().Status().currentClip, 5);
    EXPECT_EQ(temp.Read("add.sh.in"),
              roms + "-reverse\xff\xfe.vgm" + '\0'); // its bytes as they were
    const auto calls = core.TakeActions();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "Command(RELOAD_CATALOGUE, 0)"), calls.end());

    // A plain start shows the running window and ends, opening no second one.
    QProcess plain;
    plain.start(QStringLiteral(TARVO_BIN_DIR "/tarvo"), {});
    QSignalSpy plainEnded(&plain, &QProcess::finished);
    ASSERT_TRUE(plainEnded.wait(20000));
    EXPECT_EQ(plain.exitCode(), 0);

    // tarvo-add's word that it added games: the catalogue is read again.
    QProcess told;
    told.start(QStringLiteral("dbus-send"),
               {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                QStringLiteral("--dest=org.tarvo.Tarvo"), QStringLiteral("/org/tarvo/Tarvo"),
                QStringLiteral("org.tarvo.Tarvo.Reload")});
    QSignalSpy answered(&told, &QProcess::finished);
    ASSERT_TRUE(answered.wait(20000));
    EXPECT_EQ(told.exitCode(), 0);
    const auto reload = core.TakeActions(); // the player's timer may tick meanwhile
    EXPECT_NE(std::find(reload.begin(), reload.end(), "Command(RELOAD_CATALOGUE, 0)"),
              reload.end());
}

#include "MprisTest.moc"
