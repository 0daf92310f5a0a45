// The desktop's media controls on a private session bus: commands drive the
// transport as the window's buttons do, state and title follow the engine and
// what is loaded, absence is harmless.
#include "app/ChannelListsHub.h"
#include "app/TrayIcon.h"
#include "desktop/MediaControls.h"
#include "playback/MiniPlayerWindow.h"
#include "playback/PlayerPanel.h"
#include "player/LoopsAndCues.h"
#include "player/PlaylistNavigation.h"
#include "player/Transport.h"
#include "playlist/PlaylistWindow.h"
#include "tests/support/FakeProgram.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLabel>
#include <QtTest>

using namespace ButtonColour;

namespace
{
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

class StandInPlaylist : public PlaylistNavigation
{
public:
    void play() override { calls << QStringLiteral("play"); }
    void next() override { calls << QStringLiteral("next"); }
    void previous() override { calls << QStringLiteral("previous"); }
    int currentIndex() const override { return 0; }
    int count() const override { return 2; }
    QStringList calls;
};

struct Harness : FakeProgram {
    Harness()
    {
        player().transport().setPlaylist(&playlist);
        // A failed stream asks about reconnecting: answer "no" without a modal loop.
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
    }
    ~Harness() { setMessageHandler({}); }
    MediaControls *installMediaControls(const QDBusConnection &bus = QDBusConnection::sessionBus())
    {
        return program.installMediaControls(bus);
    }
    void tune(const Channel &channel) { program.channelLists().tuneBuiltIn(channel); }
    PlayerPanel &panel() { return *window.findChild<PlayerPanel *>(QStringLiteral("PlayerPanel")); }
    QWidget *playButton() { return panel().m_playPause; }
    StandInPlaylist playlist;
    MainWindow &window = program.mainWindow();
};

// The other end: a desktop panel on a connection of its own.
QDBusConnection client()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
}

// The service lives on this thread: a caller that blocked it would wait for itself.
QDBusMessage call(const QString &interface, const QString &method, const QVariantList &args = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        MediaControls::ServiceName, MediaControls::ObjectPath, interface, method);
    message.setArguments(args);
    return client().call(message, QDBus::BlockWithGui);
}

QVariant busProperty(const QString &interface, const QString &name)
{
    const QDBusMessage reply = call(kProperties, QStringLiteral("Get"), { interface, name });
    if (reply.type() != QDBusMessage::ReplyMessage)
        return QVariant();
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QVariantMap asMap(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

QString trackIdOf(const QVariantMap &metadata)
{
    const QVariant id = metadata.value(QStringLiteral("mpris:trackid"));
    return id.value<QDBusObjectPath>().path();
}

bool serviceRegistered()
{
    return client().interface()->isServiceRegistered(MediaControls::ServiceName).value();
}
} // namespace

// Records the Player interface's PropertiesChanged signals as a panel sees them.
class ChangeRecorder : public QObject
{
    Q_OBJECT

public:
    ChangeRecorder()
    {
        client().connect(MediaControls::ServiceName, MediaControls::ObjectPath, kProperties,
            QStringLiteral("PropertiesChanged"), this, SLOT(changed(QString, QVariantMap, QStringList)));
    }
    ~ChangeRecorder() override
    {
        client().disconnect(MediaControls::ServiceName, MediaControls::ObjectPath, kProperties,
            QStringLiteral("PropertiesChanged"), this, SLOT(changed(QString, QVariantMap, QStringList)));
    }
    // Lets queued work run, then makes a round trip to the service: whatever it
    // signalled before has arrived by the time the reply has.
    void settle()
    {
        QCoreApplication::sendPostedEvents();
        busProperty(kPlayer, QStringLiteral("PlaybackStatus"));
        QCoreApplication::sendPostedEvents();
    }
    QList<QVariantMap> received;

public slots:
    void changed(const QString &interface, const QVariantMap &properties, const QStringList &)
    {
        if (interface == kPlayer)
            received << properties;
    }
};

class MediaControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run inside dbus-run-session");
        QVERIFY(client().isConnected());
    }

    void commandsDriveTheTransportAsItsButtonsDo_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QColor>("before");
        QTest::addColumn<QString>("engineCall");
        QTest::addColumn<QColor>("after");
        QTest::addColumn<QString>("playlistCall");
        const QString none;
        QTest::newRow("PlayPause plays") << "PlayPause" << Blue << "play" << Lime << none;
        QTest::newRow("PlayPause pauses") << "PlayPause" << Lime << "pause" << Red << none;
        QTest::newRow("PlayPause resumes") << "PlayPause" << Red << "play" << Lime << none;
        QTest::newRow("Play from stopped") << "Play" << Blue << "play" << Lime << none;
        QTest::newRow("Play resumes") << "Play" << Red << "play" << Lime << none;
        QTest::newRow("Play while playing") << "Play" << Lime << none << Lime << none;
        QTest::newRow("Pause while playing") << "Pause" << Lime << "pause" << Red << none;
        QTest::newRow("Pause while paused") << "Pause" << Red << none << Red << none;
        QTest::newRow("Pause while stopped") << "Pause" << Blue << none << Blue << none;
        QTest::newRow("Stop") << "Stop" << Lime << "stop" << Blue << none;
        QTest::newRow("Next") << "Next" << Lime << none << Lime << "next";
        QTest::newRow("Previous") << "Previous" << Lime << none << Lime << "previous";
    }
    void commandsDriveTheTransportAsItsButtonsDo()
    {
        QFETCH(QString, method);
        QFETCH(QColor, before);
        QFETCH(QString, engineCall);
        QFETCH(QColor, after);
        QFETCH(QString, playlistCall);
        Harness h;
        h.engine->setUrl(QStringLiteral("mms://127.0.0.1/canal"));
        QVERIFY(h.installMediaControls());
        // The transport as the colour shows it: pressed once to play, twice to pause.
        for (int press = 0; press < (before == Lime ? 1 : before == Red ? 2 : 0); ++press)
            h.player().transport().playPause();
        QCOMPARE(of(h.playButton()), before);
        // The engine's state as the colour shows it.
        h.engine->emitState(before == Lime ? MediaEngine::State::Playing
                : before == Red            ? MediaEngine::State::Paused
                                           : MediaEngine::State::Stopped);
        h.engine->calls.clear();

        const QDBusMessage reply = call(kPlayer, method);
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        if (engineCall.isEmpty())
            QCOMPARE(h.engine->calls, QStringList());
        else
            QCOMPARE(h.engine->calls.value(0), engineCall);
        QCOMPARE(of(h.playButton()), after);
        QCOMPARE(h.playlist.calls, playlistCall.isEmpty() ? QStringList() : QStringList { playlistCall });
    }

    void playWithNothingLoadedStartsThePlaylist()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        call(kPlayer, QStringLiteral("Play"));
        QCOMPARE(h.playlist.calls, QStringList { QStringLiteral("play") });
        QCOMPARE(of(h.playButton()), Lime);
    }

    void stateIsAnnouncedOncePerChangeNotPerTick()
    {
        Harness h;
        h.engine->urlState.reset();
        h.engine->setUrl(QStringLiteral("mms://127.0.0.1/canal"));
        QVERIFY(h.installMediaControls());
        ChangeRecorder recorder;
        recorder.settle();
        QCOMPARE(
            busProperty(kPlayer, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));

        using State = MediaEngine::State;
        struct Step {
            State state;
            const char *announced; // nullptr: nothing
        };
        const Step steps[] = {
            { State::Playing, "Playing" },
            { State::Buffering, nullptr },
            { State::Playing, nullptr },
            { State::Paused, "Paused" },
            { State::Paused, nullptr },
            { State::Playing, "Playing" },
            { State::Stopped, "Stopped" },
            { State::Failed, nullptr },
        };
        for (const Step &step : steps) {
            recorder.received.clear();
            h.engine->emitState(
                step.state, MediaEngine::Failure::None, step.state == State::Buffering ? 30 : 0);
            recorder.settle();
            if (!step.announced) {
                QVERIFY2(
                    recorder.received.isEmpty(), QMetaEnum::fromType<State>().valueToKey(int(step.state)));
                continue;
            }
            QCOMPARE(recorder.received.size(), 1);
            QCOMPARE(recorder.received[0].keys(), QStringList { QStringLiteral("PlaybackStatus") });
            QCOMPARE(recorder.received[0].value(QStringLiteral("PlaybackStatus")).toString(),
                QString::fromLatin1(step.announced));
            QCOMPARE(busProperty(kPlayer, QStringLiteral("PlaybackStatus")).toString(),
                QString::fromLatin1(step.announced));
        }

        // The display tick redraws the time many times a second; none of it is news.
        recorder.received.clear();
        h.engine->setPosition(12, QStringLiteral("00:12"));
        for (int i = 0; i < 5; ++i)
            h.player().transport().refreshDisplay();
        recorder.settle();
        QCOMPARE(recorder.received.size(), 0);
    }

    void titleFollowsTheTunedChannelAndTheOpenedFile()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        ChangeRecorder recorder;
        QVariantMap metadata = asMap(busProperty(kPlayer, QStringLiteral("Metadata")));
        QCOMPARE(trackIdOf(metadata), kNoTrack);
        QVERIFY(!metadata.contains(QStringLiteral("xesam:title")));

        const Channel channel = ChannelCatalogue::builtIn().channels().value(0);
        h.tune(channel);
        recorder.settle();
        // Connecting and the new title arrive together, once.
        QCOMPARE(recorder.received.size(), 1);
        QCOMPARE(recorder.received[0].value(QStringLiteral("PlaybackStatus")).toString(),
            QStringLiteral("Playing"));
        metadata = asMap(recorder.received[0].value(QStringLiteral("Metadata")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), channel.titleSuffix);
        const QString channelTrack = trackIdOf(metadata);
        QVERIFY(channelTrack.startsWith(QLatin1Char('/')));
        QVERIFY(channelTrack != kNoTrack);
        QCOMPARE(asMap(busProperty(kPlayer, QStringLiteral("Metadata")))
                     .value(QStringLiteral("xesam:title"))
                     .toString(),
            channel.titleSuffix);

        // The reconnection system appends the status to the title: same channel, no news.
        recorder.received.clear();
        h.engine->emitState(MediaEngine::State::Playing);
        recorder.settle();
        QVERIFY(h.window.windowTitle().endsWith(QStringLiteral(" Reproduzindo")));
        QVERIFY(recorder.received.isEmpty());

        // A file from the playlist: its name is the title, and it is another track.
        recorder.received.clear();
        const QString file = QStringLiteral("/home/u/Música/canção.mp3");
        h.player().playPlaylistItem(file);
        recorder.settle();
        QCOMPARE(recorder.received.size(), 1);
        metadata = asMap(recorder.received[0].value(QStringLiteral("Metadata")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("canção.mp3"));
        QVERIFY(trackIdOf(metadata) != channelTrack);
    }

    void programmeOnNowIsTheTitleAndTheChannelTheArtist()
    {
        Harness h;
        MediaControls *controls = h.installMediaControls();
        QVERIFY(controls);
        ChangeRecorder recorder;
        const Channel channel = ChannelCatalogue::builtIn().channels().value(0);
        h.tune(channel);
        recorder.settle();
        const QString channelTrack
            = trackIdOf(asMap(recorder.received.value(0).value(QStringLiteral("Metadata"))));

        recorder.received.clear();
        controls->setProgramme(QStringLiteral("Jornal <b>Nacional</b>"));
        recorder.settle();
        QCOMPARE(recorder.received.size(), 1);
        QVariantMap metadata = asMap(recorder.received[0].value(QStringLiteral("Metadata")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(),
            QStringLiteral("Jornal <b>Nacional</b>"));
        QCOMPARE(metadata.value(QStringLiteral("xesam:artist")).toStringList(),
            QStringList { channel.titleSuffix });
        QVERIFY(trackIdOf(metadata) != channelTrack);

        // A file in the channel's place is no programme of it.
        recorder.received.clear();
        h.player().playPlaylistItem(QStringLiteral("/home/u/Música/canção.mp3"));
        recorder.settle();
        metadata = asMap(recorder.received.value(0).value(QStringLiteral("Metadata")));
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("canção.mp3"));
        QVERIFY(!metadata.contains(QStringLiteral("xesam:artist")));
    }

    void radioSongIsTheTitleTheStationTheArtistAndTheWindowTitleStays()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        ChangeRecorder recorder;
        const Channel channel = ChannelCatalogue::builtIn().channels().value(0);
        h.tune(channel);
        h.engine->emitState(MediaEngine::State::Playing);
        recorder.settle();
        const QString windowTitle = h.window.windowTitle();
        recorder.received.clear();
        h.engine->emitStreamTitle(QStringLiteral("Artista - Música"));
        recorder.settle();
        QCOMPARE(recorder.received.size(), 1);
        QVariantMap metadata = asMap(recorder.received[0].value(QStringLiteral("Metadata")));
        QCOMPARE(
            metadata.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Artista - Música"));
        QCOMPARE(metadata.value(QStringLiteral("xesam:artist")).toStringList(),
            QStringList { channel.titleSuffix });
        QCOMPARE(h.window.windowTitle(), windowTitle);
        QCOMPARE(h.window.findChild<QLabel *>(QStringLiteral("Label10"))->text(),
            QStringLiteral("Artista - Música"));
        // The next tune clears the song: the channel is the title again, with no artist.
        recorder.received.clear();
        h.tune(ChannelCatalogue::builtIn().channels().value(1));
        recorder.settle();
        metadata = asMap(asMap(busProperty(kPlayer, QStringLiteral("Metadata"))));
        QCOMPARE(metadata.value(QStringLiteral("xesam:title")).toString(),
            ChannelCatalogue::builtIn().channels().value(1).titleSuffix);
        QVERIFY(!metadata.contains(QStringLiteral("xesam:artist")));
    }

    void desktopReadsWhoWeAreAndWhatWeOffer()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        QCOMPARE(busProperty(kRoot, QStringLiteral("Identity")).toString(), QStringLiteral("Lumivortex TV"));
        QCOMPARE(busProperty(kRoot, QStringLiteral("DesktopEntry")).toString(), QStringLiteral("lumivortex"));
        QCOMPARE(busProperty(kRoot, QStringLiteral("CanQuit")).toBool(), true);
        QCOMPARE(busProperty(kRoot, QStringLiteral("CanRaise")).toBool(), true);
        QCOMPARE(busProperty(kRoot, QStringLiteral("HasTrackList")).toBool(), false);
        QCOMPARE(busProperty(kPlayer, QStringLiteral("CanControl")).toBool(), true);
        QVERIFY(busProperty(kRoot, QStringLiteral("SupportedUriSchemes"))
                    .toStringList()
                    .contains(QStringLiteral("rtsp")));
        QVERIFY(busProperty(kRoot, QStringLiteral("SupportedMimeTypes"))
                    .toStringList()
                    .contains(QStringLiteral("application/vnd.apple.mpegurl")));

        h.engine->setVolume(30);
        h.engine->setRate(1.25);
        h.engine->setPosition(2.5, QStringLiteral("00:02"));
        QCOMPARE(busProperty(kPlayer, QStringLiteral("Volume")).toDouble(), 0.3);
        QCOMPARE(busProperty(kPlayer, QStringLiteral("Rate")).toDouble(), 1.25);
        QCOMPARE(busProperty(kPlayer, QStringLiteral("Position")).toLongLong(), 2500000LL);
        const QDBusMessage set = call(kProperties, QStringLiteral("Set"),
            { kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(0.8)) });
        QCOMPARE(set.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(h.engine->volume(), 80);
    }

    void capabilitiesTellWhatIsLoaded_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<double>("duration");
        QTest::addColumn<MediaEngine::State>("state");
        QTest::addColumn<bool>("canPlay");
        QTest::addColumn<bool>("canPause");
        QTest::addColumn<bool>("canSeek");
        QTest::newRow("nothing loaded")
            << QString() << 0.0 << MediaEngine::State::Idle << false << false << false;
        QTest::newRow("live stream playing")
            << "http://127.0.0.1/live" << 0.0 << MediaEngine::State::Playing << true << true << false;
        QTest::newRow("file playing")
            << "/tmp/clip.mp4" << 60.0 << MediaEngine::State::Playing << true << true << true;
        QTest::newRow("file stopped")
            << "/tmp/clip.mp4" << 60.0 << MediaEngine::State::Stopped << true << false << true;
    }
    void capabilitiesTellWhatIsLoaded()
    {
        QFETCH(QString, url);
        QFETCH(double, duration);
        QFETCH(MediaEngine::State, state);
        Harness h;
        // The program's own playlist, still empty.
        h.player().transport().setPlaylist(&h.program.playlistWindow());
        if (!url.isEmpty())
            h.engine->setUrl(url);
        h.engine->setDuration(duration, QString());
        h.engine->emitState(state);
        QVERIFY(h.installMediaControls());
        QTEST(busProperty(kPlayer, QStringLiteral("CanPlay")).toBool(), "canPlay");
        QTEST(busProperty(kPlayer, QStringLiteral("CanPause")).toBool(), "canPause");
        QTEST(busProperty(kPlayer, QStringLiteral("CanSeek")).toBool(), "canSeek");
        // No playlist: next and previous have nowhere to go.
        QCOMPARE(busProperty(kPlayer, QStringLiteral("CanGoNext")).toBool(), false);
    }

    void mediaKeyOnAPlayingChannelDoesWhatTheStatusPromises()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        h.tune(ChannelCatalogue::builtIn().channels().value(0));
        h.engine->emitState(MediaEngine::State::Playing);
        QCOMPARE(
            busProperty(kPlayer, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
        h.engine->calls.clear();

        call(kPlayer, QStringLiteral("PlayPause"));
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("pause") });
        h.engine->emitState(MediaEngine::State::Paused);
        QCOMPARE(busProperty(kPlayer, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Paused"));

        h.engine->calls.clear();
        call(kPlayer, QStringLiteral("Pause"));
        QCOMPARE(h.engine->calls, QStringList());
        call(kPlayer, QStringLiteral("PlayPause"));
        QCOMPARE(h.engine->calls.value(0), QStringLiteral("play"));
    }

    void streamThatRefusesToPauseIsStopped()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        h.tune(ChannelCatalogue::builtIn().channels().value(0));
        h.engine->emitState(MediaEngine::State::Playing);
        h.engine->failingCalls << QStringLiteral("pause");
        h.engine->calls.clear();
        call(kPlayer, QStringLiteral("PlayPause"));
        QVERIFY2(h.engine->calls.contains(QStringLiteral("stop")),
            qPrintable(h.engine->calls.join(QLatin1Char(','))));
    }

    void openUriPlaysAndSeekMovesInAFile()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        const QString address = QStringLiteral("http://127.0.0.1/clip.mp4");
        QCOMPARE(call(kPlayer, QStringLiteral("OpenUri"), { address }).type(), QDBusMessage::ReplyMessage);
        QCOMPARE(h.engine->url(), address);
        h.engine->setDuration(100, QStringLiteral("01:40"));
        h.engine->setPosition(10, QStringLiteral("00:10"));
        h.engine->calls.clear();
        call(kPlayer, QStringLiteral("Seek"), { QVariant::fromValue(qlonglong(5000000)) });
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("setCurrentPosition 15") });
    }

    void raiseBringsBackTheHiddenWindow_data()
    {
        QTest::addColumn<bool>("fromMiniPlayer");
        QTest::newRow("hidden in the tray") << false;
        QTest::newRow("mini player shown") << true;
    }
    void raiseBringsBackTheHiddenWindow()
    {
        QFETCH(bool, fromMiniPlayer);
        Harness h;
        MiniPlayerWindow &mini = h.program.miniPlayer();
        QVERIFY(h.installMediaControls());
        h.window.tray().assumeTrayAvailable(true);
        h.window.show();
        if (fromMiniPlayer)
            h.panel().m_miniPlayerToggle->click();
        else
            h.window.tray().hideToTray();
        QVERIFY(!h.window.isVisible());
        QCOMPARE(mini.isVisible(), fromMiniPlayer);

        QCOMPARE(call(kRoot, QStringLiteral("Raise")).type(), QDBusMessage::ReplyMessage);
        QVERIFY(h.window.isVisible());
        QVERIFY(!mini.isVisible());
        QVERIFY(!h.window.tray().iconShown());
    }

    void quitClosesTheWindowAsTheUserDoes()
    {
        Harness h;
        QVERIFY(h.installMediaControls());
        h.engine->setUrl(QStringLiteral("mms://127.0.0.1/canal"));
        h.engine->calls.clear();
        // The caller gets its reply before the window closes.
        QCOMPARE(call(kRoot, QStringLiteral("Quit")).type(), QDBusMessage::ReplyMessage);
        QCoreApplication::sendPostedEvents();
        QVERIFY(h.engine->calls.contains(QStringLiteral("stop")));
        QVERIFY(h.engine->calls.contains(QStringLiteral("close")));
    }

    void closingTheWindowReleasesTheName()
    {
        {
            Harness h;
            QVERIFY(h.installMediaControls());
            QVERIFY(serviceRegistered());
        }
        QVERIFY(!serviceRegistered());
        QVERIFY(!QDBusConnection::sessionBus().objectRegisteredAt(MediaControls::ObjectPath));
    }

    void withoutSessionBusTheWindowRunsAsBefore()
    {
        const QDBusConnection none = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/lumivortex-no-bus"), QStringLiteral("no-bus"));
        QVERIFY(!none.isConnected());
        Harness h;
        QCOMPARE(h.installMediaControls(none), nullptr);
        QVERIFY(!h.window.findChild<MediaControls *>());
        QVERIFY(!serviceRegistered());
        h.engine->setUrl(QStringLiteral("mms://127.0.0.1/canal"));
        h.engine->calls.clear();
        h.panel().m_playPause->click();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("play") });
        QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
    }

    void nameHeldByAnotherProgramIsLeftToIt()
    {
        QDBusConnection other
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        QVERIFY(other.registerService(MediaControls::ServiceName));
        {
            Harness h;
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("media keys unavailable")));
            QCOMPARE(h.installMediaControls(), nullptr);
            QVERIFY(!h.window.findChild<MediaControls *>());
            QVERIFY(!QDBusConnection::sessionBus().objectRegisteredAt(MediaControls::ObjectPath));
            h.engine->setUrl(QStringLiteral("mms://127.0.0.1/canal"));
            h.engine->calls.clear();
            h.panel().m_playPause->click();
            QCOMPARE(h.engine->calls, QStringList { QStringLiteral("play") });
        }
        QCOMPARE(client().interface()->serviceOwner(MediaControls::ServiceName).value(), other.baseService());
        other.unregisterService(MediaControls::ServiceName);
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    }
};

QTEST_MAIN(MediaControlsTest)
#include "media_controls_test.moc"
