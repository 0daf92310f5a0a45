// The transport of a live channel whose buffer is on, driven with the fake
// engine's scripted buffer: pause, the time text behind live, the position
// bar, -15 s/+15 s, the arrow keys and "Ao vivo"; and files, whose transport
// stays as it was.
#include "app/MainWindow.h"
#include "playback/MiniPlayerWindow.h"
#include "playback/PlayerPanel.h"
#include "player/Transport.h"
#include "tests/support/FakeProgram.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

using namespace ButtonColour;

namespace
{
struct Harness : FakeProgram {
    PlayerPanel &p() { return *window().findChild<PlayerPanel *>(QStringLiteral("PlayerPanel")); }
    Transport &t() { return player().transport(); }
    QTimer *tick() { return windowTimer("TimerMediaTempo"); }
    FakeLiveRewind &live() { return engine->live; }
    // A channel tuned, playing, with `kept` seconds kept and the picture `behind` live.
    void playLive(double kept, double behind)
    {
        player().tune({ QStringLiteral("Lumivortex TV - Canal"), QStringLiteral("http://127.0.0.1/live") });
        live().active = true;
        live().available = kept;
        live().behind = behind;
        engine->emitState(MediaEngine::State::Playing);
        engine->calls.clear();
    }
    void pressBar(double fraction)
    {
        QProgressBar *bar = p().m_positionBar;
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(int(bar->width() * fraction), 2));
    }
};
} // namespace

class LiveTransportTest : public QObject
{
    Q_OBJECT

private slots:
    void keptChannelPlaysAsTheTransportsOwnAndPausePauses()
    {
        Harness h;
        h.playLive(60, 0);
        QCOMPARE(h.t().mode(), Transport::Mode::Playing);
        QCOMPARE(of(h.p().m_playPause), Lime);
        QVERIFY(h.tick()->isActive());
        h.p().m_playPause->click();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("pause") });
        QCOMPARE(of(h.p().m_playPause), Red);
        h.p().m_playPause->click();
        QCOMPARE(h.engine->calls.last(), QStringLiteral("play"));
        QCOMPARE(of(h.p().m_playPause), Lime);
    }

    void timeTextSaysHowFarBehindLive_data()
    {
        QTest::addColumn<double>("behind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("progress");
        QTest::newRow("at the edge") << 0.4 << QStringLiteral("Ao vivo") << 3600;
        QTest::newRow("just inside the edge") << 2.9 << QStringLiteral("Ao vivo") << 3597;
        QTest::newRow("past the edge") << 3.0 << QStringLiteral("-00:03") << 3597;
        QTest::newRow("minutes") << 155.0 << QStringLiteral("-02:35") << 3445;
        QTest::newRow("an hour rolls into minutes") << 3600.0 << QStringLiteral("-60:00") << 0;
    }

    void timeTextSaysHowFarBehindLive()
    {
        QFETCH(double, behind);
        QFETCH(QString, text);
        QFETCH(int, progress);
        Harness h;
        h.playLive(3600, behind);
        h.t().refreshDisplay();
        QCOMPARE(h.p().m_timeText->text(), text);
        QCOMPARE(h.p().m_positionBar->maximum(), 3600);
        QCOMPARE(h.p().m_positionBar->value(), progress);
        QCOMPARE(h.program.miniPlayer()
                     .findChild<QLabel *>(QStringLiteral("Label1"))
                     ->text()
                     .section(QLatin1Char('\n'), 0, 0),
            text);
    }

    void aoVivoShowsOnlyBehindLiveAndReturnsToLive()
    {
        Harness h;
        QVERIFY(h.p().m_liveEdge->isHidden());
        h.playLive(600, 0);
        h.t().refreshDisplay();
        QVERIFY(h.p().m_liveEdge->isHidden()); // the time text says "Ao vivo"
        h.live().behind = 90;
        h.t().refreshDisplay();
        QVERIFY(!h.p().m_liveEdge->isHidden());
        h.p().m_liveEdge->click();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("seekBehindLive 0") });
        QVERIFY(h.p().m_liveEdge->isHidden());
        h.live().behind = 90;
        h.t().refreshDisplay();
        // A stop frees the buffer: the control goes with it.
        h.live().active = false;
        h.p().m_stop->click();
        QVERIFY(h.p().m_liveEdge->isHidden());
    }

    void skipsScansAndArrowsMoveWithinTheBuffer()
    {
        Harness h;
        h.playLive(600, 100);
        h.p().m_skipBack->click();
        h.p().m_skipForward->click();
        h.t().setScanningBack(true);
        h.t().scanBackTick();
        h.t().setScanningBack(false);
        h.t().setScanningForward(true);
        h.t().scanForwardTick();
        h.t().setScanningForward(false);
        h.window().setFocus();
        QTest::keyClick(&h.window(), Qt::Key_Left);
        QTest::keyClick(&h.window(), Qt::Key_Right);
        const QStringList expected
            = { QStringLiteral("seekBy -15"), QStringLiteral("seekBy 15"), QStringLiteral("seekBy -1"),
                  QStringLiteral("seekBy 1"), QStringLiteral("seekBy -15"), QStringLiteral("seekBy 15") };
        QCOMPARE(h.engine->calls, expected);
    }

    void positionBarPressMovesWithinTheBuffer()
    {
        Harness h;
        h.playLive(600, 0);
        h.pressBar(0.25);
        QCOMPARE(h.engine->calls.size(), 1);
        const double behind = h.engine->calls.first().section(QLatin1Char(' '), 1).toDouble();
        // A quarter along a 10-minute buffer: 7.5 minutes behind live, to a pixel.
        QVERIFY2(std::abs(behind - 450) < 600.0 / h.p().m_positionBar->width() + 0.01,
            qPrintable(h.engine->calls.first()));
    }

    void filesKeepTheirTransport()
    {
        Harness h;
        h.engine->setUrl(QStringLiteral("/m/a.mp4"));
        h.engine->setDuration(100, QStringLiteral("01:40"));
        h.engine->setPosition(10, QStringLiteral("00:10"));
        h.engine->emitState(MediaEngine::State::Playing);
        h.p().m_playPause->click();
        h.engine->calls.clear();
        h.t().refreshDisplay();
        QCOMPARE(h.p().m_timeText->text(), QStringLiteral("00:10 / 01:40"));
        QVERIFY(h.p().m_liveEdge->isHidden());
        h.pressBar(0.5);
        h.p().m_skipBack->click();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("setCurrentPosition -5") });
    }

    void liveChannelWithoutBufferKeepsTheOldTransport()
    {
        Harness h;
        h.player().tune({ QStringLiteral("Lumivortex TV - Canal"), QStringLiteral("http://127.0.0.1/live") });
        h.engine->emitState(MediaEngine::State::Playing);
        QCOMPARE(h.t().mode(), Transport::Mode::Stopped);
        QVERIFY(!h.tick()->isActive());
        QVERIFY(h.p().m_liveEdge->isHidden());
    }
};

QTEST_MAIN(LiveTransportTest)
#include "livetransport_test.moc"
