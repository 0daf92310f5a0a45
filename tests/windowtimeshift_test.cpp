// A live channel paused and rewound through the main window on the real
// libmpv engine (null outputs), from a live stream on the loopback server:
// pause keeps it, the time text says how far behind live, "Ao vivo", -15 s
// and the arrow keys move in the buffer, and a stop, a tune and the end of
// the program free the buffer's file.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "engine/LiveBuffer.h"
#include "engine/MpvEngine.h"
#include "playback/PlayerPanel.h"
#include "player/Player.h"
#include "player/Transport.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LiveStream.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/OpenFiles.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace
{

using Fixtures::slowdown;

constexpr MediaEngine::State playing = MediaEngine::State::Playing;

// TV Globo tuned to the loopback channel, its buffer in a folder of the test's own.
struct Window {
    explicit Window(const QString &address, const QString &folder)
        : catalogue(ChannelCatalogue::builtIn())
    {
        catalogue.setAddress(QStringLiteral("SpeedButton90"), address);
        program = std::make_unique<Program>(std::make_unique<MpvEngine>(MpvEngine::Output::Null), catalogue,
            std::make_unique<RecordingPowerOff>(), 0);
        program->updateChecker().checkTimer()->stop();
        LiveBufferSettings settings;
        settings.folder = folder;
        engine().setLiveBufferSettings(settings);
        // A channel that fails asks about reconnecting: no, here.
        setMessageHandler([](QWidget *, const MessageRequest &) { return QMessageBox::Cancel; });
    }
    ~Window() { setMessageHandler({}); }
    MainWindow &form() { return program->mainWindow(); }
    MediaEngine &engine() { return program->player().engine(); }
    LiveRewind &live() { return *engine().liveRewind(); }
    PlayerPanel &panel() { return *form().findChild<PlayerPanel *>(QStringLiteral("PlayerPanel")); }
    QString timeText() { return panel().m_timeText->text(); }
    void press(const char *name) { form().findChild<QToolButton *>(QString::fromLatin1(name))->click(); }

    ChannelCatalogue catalogue;
    std::unique_ptr<Program> program;
};

} // namespace

class WindowTimeshiftTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        folder = dir->filePath(QStringLiteral("live-buffer"));
        server = std::make_unique<LoopbackHttpServer>();
    }
    void cleanup()
    {
        server.reset();
        dir.reset();
    }

    void pausedChannelFallsBehindLiveAndReturns()
    {
        LiveStream channel(*server, LiveStream::named(QStringLiteral("/globo")));
        Window w(channel.tsUrl(), folder);
        w.press("SpeedButton90");
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 10000 * slowdown);
        QTRY_COMPARE_WITH_TIMEOUT(w.timeText(), QStringLiteral("Ao vivo"), 5000);
        QVERIFY(w.panel().m_liveEdge->isHidden());

        w.press("SpeedButton42");
        QCOMPARE(w.engine().state(), MediaEngine::State::Paused);
        // Paused, the channel goes on arriving: the picture falls behind.
        QTRY_VERIFY_WITH_TIMEOUT(
            w.timeText().startsWith(QStringLiteral("-00:0")) && w.timeText() >= QStringLiteral("-00:05"),
            15000 * slowdown);
        QCOMPARE(w.engine().state(), MediaEngine::State::Paused);
        const double behind = w.live().secondsBehindLive();

        w.press("SpeedButton42");
        QCOMPARE(w.engine().state(), playing);
        QTest::qWait(1500);
        // It plays on from where it paused, not from live.
        QVERIFY2(std::abs(w.live().secondsBehindLive() - behind) < 1.5,
            qPrintable(QStringLiteral("%1 then %2").arg(behind).arg(w.live().secondsBehindLive())));
        QVERIFY(w.timeText().startsWith(QLatin1Char('-')));

        QVERIFY(!w.panel().m_liveEdge->isHidden());
        w.press("LiveEdgeButton");
        QTRY_COMPARE_WITH_TIMEOUT(w.timeText(), QStringLiteral("Ao vivo"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(w.live().atLiveEdge(), 5000);

        // Back 15 s, or as far as was kept.
        w.press("SpeedButton46");
        QTRY_VERIFY_WITH_TIMEOUT(w.live().secondsBehindLive() > 4, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(w.timeText().startsWith(QLatin1Char('-')), 2000);
        QCOMPARE(w.engine().state(), playing);

        QVERIFY(filesOpenIn(folder) > 0);
        // libmpv closes the file on its own thread, just after the stop.
        w.press("SpeedButton40");
        QTRY_COMPARE_WITH_TIMEOUT(filesOpenIn(folder), 0, 5000);
        QVERIFY(w.panel().m_liveEdge->isHidden());
    }

    void tuneAndProgramEndFreeTheBuffer()
    {
        LiveStream channel(*server, LiveStream::named(QStringLiteral("/globo")));
        {
            Window w(channel.tsUrl(), folder);
            w.press("SpeedButton90");
            QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 10000 * slowdown);
            QTRY_VERIFY_WITH_TIMEOUT(filesOpenIn(folder) > 0, 5000);
            // Another channel, whose address answers nothing: the old one's file goes at once.
            w.program->player().tune(
                { QStringLiteral("Lumivortex TV - Outro"), server->url(QStringLiteral("/nada")) });
            QTRY_COMPARE_WITH_TIMEOUT(filesOpenIn(folder), 0, 5000);
            w.press("SpeedButton90");
            QTRY_VERIFY_WITH_TIMEOUT(filesOpenIn(folder) > 0, 10000 * slowdown);
            w.form().close();
            QTRY_COMPARE_WITH_TIMEOUT(filesOpenIn(folder), 0, 5000);
        }
        {
            Window w(channel.tsUrl(), folder);
            w.press("SpeedButton90");
            QTRY_VERIFY_WITH_TIMEOUT(filesOpenIn(folder) > 0, 10000 * slowdown);
        }
        // Gone with the engine even when the program ends with a channel on.
        QCOMPARE(filesOpenIn(folder), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString folder;
    std::unique_ptr<LoopbackHttpServer> server;
};

QTEST_MAIN(WindowTimeshiftTest)
#include "windowtimeshift_test.moc"
