// Transport buttons and the display tick, driven with the fake engine and a stand-in playlist.
#include "playback/EffectsPanel.h"
#include "playback/MiniPlayerWindow.h"
#include "playback/PlayerPanel.h"
#include "playback/TransportView.h"
#include "player/LoopsAndCues.h"
#include "player/PlaylistNavigation.h"
#include "player/Transport.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/FixedFileChooser.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

using namespace ButtonColour;

namespace
{
class StandInPlaylist : public PlaylistNavigation
{
public:
    void play() override
    {
        calls << QStringLiteral("play");
        if (failing)
            throw std::runtime_error("x");
    }
    void next() override
    {
        calls << QStringLiteral("next");
        ++current;
        if (failing)
            throw std::runtime_error("x");
    }
    void previous() override { calls << QStringLiteral("previous"); }
    int currentIndex() const override { return current; }
    int count() const override { return items; }
    QStringList calls;
    int current = 0;
    int items = 3;
    bool failing = false;
};

struct Harness : FakeProgram {
    Harness()
    {
        t().setPlaylist(&playlist);
        t().setFileChooser(&chooser);
    }
    StandInPlaylist playlist;
    FixedFileChooser chooser;
    PlayerPanel &p() { return *window().findChild<PlayerPanel *>(QStringLiteral("PlayerPanel")); }
    EffectsPanel &effects() { return *window().findChild<EffectsPanel *>(QStringLiteral("EffectsPanel")); }
    Transport &t() { return player().transport(); }
    QTimer *tick() { return windowTimer("TimerMediaTempo"); }
    QString miniText() { return program.miniPlayer().findChild<QLabel *>(QStringLiteral("Label1"))->text(); }
    void loadFile(const QString &url, double duration, const QString &durationText)
    {
        engine->setUrl(url);
        engine->setDuration(duration, durationText);
    }
};
} // namespace

class TransportTest : public QObject
{
    Q_OBJECT

private slots:
    void playPauseCyclesThroughTheColours()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/a.mp3"), 100, QStringLiteral("01:40"));
        h.p().m_playPause->click();
        QCOMPARE(of(h.p().m_playPause), Lime);
        QVERIFY(h.tick()->isActive());
        QVERIFY(!h.p().m_lyricsSymbol->isHidden());
        h.p().m_playPause->click();
        QCOMPARE(of(h.p().m_playPause), Red);
        QCOMPARE(h.engine->calls.last(), QStringLiteral("pause"));
        QVERIFY(h.tick()->isActive()); // the time text stays current while paused
        h.tick()->stop();
        h.p().m_playPause->click();
        QCOMPARE(of(h.p().m_playPause), Lime);
        QVERIFY(h.tick()->isActive());
        QVERIFY(h.playlist.calls.isEmpty());
    }

    void playWithNothingLoadedStartsThePlaylistAndSwallowsItsErrors()
    {
        Harness h;
        h.playlist.failing = true;
        h.p().m_playPause->click();
        QCOMPARE(h.playlist.calls, QStringList { QStringLiteral("play") });
        QCOMPARE(of(h.p().m_playPause), Lime);
    }

    void stopKeepsTheLastTimeAndResetsLoops()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/a.mp3"), 100, QStringLiteral("01:40"));
        h.p().m_playPause->click();
        h.engine->setPosition(42, QStringLiteral("00:42"));
        h.t().refreshDisplay();
        h.effects().m_loop4s->pressed();
        QCOMPARE(of(h.effects().m_loop4s), Lime);
        h.p().m_stop->click();
        QCOMPARE(of(h.p().m_playPause), Blue);
        QVERIFY(!h.tick()->isActive());
        QVERIFY(h.p().m_lyricsSymbol->isHidden());
        QCOMPARE(h.p().m_timeText->text(), QStringLiteral("00:42 / 01:40"));
        QCOMPARE(h.p().m_positionBar->value(), 42);
        QCOMPARE(of(h.effects().m_loop4s), Blue);
        QCOMPARE(h.player().loops().clickCount(), 0);
    }

    void openStartsTheChosenFileWhateverTheButtonShows()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/old.mp3"), 100, QStringLiteral("01:40"));
        h.p().m_playPause->click();
        h.p().m_playPause->click(); // paused, red
        h.chooser.answer = QStringLiteral("/home/ana/Vídeos/Férias 2024.avi");
        h.engine->calls.clear();
        h.p().m_openFile->click();
        const int load = h.engine->calls.indexOf(QStringLiteral("setUrl /home/ana/Vídeos/Férias 2024.avi"));
        QCOMPARE(h.engine->calls.first(), QStringLiteral("stop"));
        QVERIFY(load > 0);
        QCOMPARE(h.engine->calls.indexOf(QStringLiteral("play"), load), load + 1);
        QCOMPARE(of(h.p().m_playPause), Lime);
        QCOMPARE(h.p().m_nowPlaying->text(), QStringLiteral("Férias 2024.avi"));
        QCOMPARE(h.effects().m_rateText->text(), rateTextForTest(1.0));
    }

    void openDialogOffersTodaysFormatsAndAnyFile()
    {
        const QStringList filters = TransportView::openDialogFilter().split(QStringLiteral(";;"));
        QVERIFY(filters.constFirst().startsWith(QStringLiteral("Audio e Video (*.mp3 ")));
        for (const char *pattern :
            { "*.mp4", "*.mkv", "*.webm", "*.ogg", "*.opus", "*.flac", "*.m4a", "*.aac" })
            QVERIFY2(filters.constFirst().contains(QLatin1String(pattern)), pattern);
        QCOMPARE(filters.constLast(), QStringLiteral("Todos os arquivos (*)"));
    }

    void cancelledOpenChangesNothing()
    {
        Harness h;
        h.p().m_openFile->click();
        QVERIFY(h.engine->calls.filter(QStringLiteral("setUrl")).isEmpty());
    }

    void seeksPassUnclampedValues()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/a.mp3"), 100, QStringLiteral("01:40"));
        h.engine->setPosition(5, QStringLiteral("00:05"));
        h.p().m_skipBack->click();
        QCOMPARE(h.engine->calls.last(), QStringLiteral("setCurrentPosition -10"));
        h.engine->setPosition(95, QStringLiteral("01:35"));
        h.p().m_skipForward->click();
        QCOMPARE(h.engine->calls.last(), QStringLiteral("setCurrentPosition 110"));
    }

    void scanningActsOnlyWhileTheButtonIsHeld()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/a.mp3"), 100, QStringLiteral("01:40"));
        h.engine->setPosition(50, QStringLiteral("00:50"));
        emit h.p().m_scanBack->pressed();
        QVERIFY(h.windowTimer("TimerBackward")->isActive());
        h.t().scanBackTick();
        QCOMPARE(h.engine->currentPosition(), 49.0);
        emit h.p().m_scanBack->released();
        QVERIFY(!h.windowTimer("TimerBackward")->isActive());
        h.t().scanBackTick();
        QCOMPARE(h.engine->currentPosition(), 49.0);
        emit h.p().m_scanForward->pressed();
        h.t().scanForwardTick();
        QCOMPARE(h.engine->currentPosition(), 50.0);
        QCOMPARE(of(h.p().m_scanForward), Lime);
    }

    void repeatAndPictureFitToggle()
    {
        Harness h;
        h.p().m_repeat->click();
        QVERIFY(h.engine->loop());
        QCOMPARE(of(h.p().m_repeat), Lime);
        h.p().m_repeat->click();
        QVERIFY(!h.engine->loop());
        QVERIFY(h.engine->stretchToFit());
        h.t().togglePictureFit();
        QVERIFY(!h.engine->stretchToFit());
    }

    void displayTickShowsPositionGaugeAndMiniText()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/Banda - Faixa.mp3"), 245.5, QStringLiteral("04:05"));
        h.t().setNowPlayingFromUrl(h.engine->url());
        h.engine->setPosition(62.5, QStringLiteral("01:02"));
        h.t().refreshDisplay();
        QCOMPARE(h.p().m_timeText->text(), QStringLiteral("01:02 / 04:05"));
        QCOMPARE(h.p().m_positionBar->maximum(), 246); // 245.5 rounds to even
        QCOMPARE(h.p().m_positionBar->value(), 62); // 62.5 rounds to even
        QCOMPARE(h.miniText(), QStringLiteral("01:02 / 04:05\nBanda - Faixa.mp3"));
    }

    void unknownPositionReadsZeroes()
    {
        Harness h;
        h.loadFile(QStringLiteral("mms://x.example/live"), 0, QString());
        h.t().refreshDisplay();
        QCOMPARE(h.p().m_timeText->text(), QStringLiteral("00:00 / 00:00"));
    }

    void liveStreamShowsAnEmptyGauge()
    {
        Harness h;
        h.loadFile(QStringLiteral("mms://x.example/live"), 0, QStringLiteral("00:00"));
        h.engine->setPosition(30, QStringLiteral("00:30"));
        h.t().refreshDisplay();
        QCOMPARE(h.p().m_positionBar->value(), 0);
        QVERIFY(h.p().m_positionBar->maximum() > 0); // never the busy animation
        QVERIFY(h.playlist.calls.isEmpty());
    }

    void endOfItemAdvanceOnlyForLowerCaseMp3_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<double>("duration");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<bool>("advances");
        QTest::newRow("mp3 mid list") << "/m/a.mp3" << 100.0 << 0 << false << true;
        QTest::newRow("MP3 upper case") << "/m/a.MP3" << 100.0 << 0 << false << false;
        QTest::newRow("wma") << "/m/a.wma" << 100.0 << 0 << false << false;
        QTest::newRow("live") << "/m/a.mp3" << 0.0 << 0 << false << false;
        QTest::newRow("last item") << "/m/a.mp3" << 100.0 << 2 << false << false;
        QTest::newRow("no current item") << "/m/a.mp3" << 100.0 << -1 << false << true;
        QTest::newRow("repeat on") << "/m/a.mp3" << 100.0 << 0 << true << false;
    }
    void endOfItemAdvanceOnlyForLowerCaseMp3()
    {
        QFETCH(QString, url);
        QFETCH(double, duration);
        QFETCH(int, current);
        QFETCH(bool, repeat);
        QFETCH(bool, advances);
        Harness h;
        h.loadFile(url, duration, QStringLiteral("01:40"));
        h.playlist.current = current;
        if (repeat)
            h.p().m_repeat->click();
        h.engine->setPosition(duration - 1.5, QStringLiteral("01:38"));
        h.t().refreshDisplay();
        QVERIFY(h.playlist.calls.isEmpty());
        h.engine->setPosition(duration - 0.9, QStringLiteral("01:39"));
        h.t().refreshDisplay();
        QCOMPARE(h.playlist.calls.contains(QStringLiteral("next")), advances);
    }

    void failingAdvanceIsSwallowedAndTheTickGoesOn()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/a.mp3"), 100, QStringLiteral("01:40"));
        h.playlist.failing = true;
        h.engine->setPosition(99.5, QStringLiteral("01:39"));
        h.t().refreshDisplay();
        QCOMPARE(h.p().m_timeText->text(), QStringLiteral("01:39 / 01:40"));
    }

    void nextAndPreviousPressThePlaylist()
    {
        Harness h;
        h.p().m_next->click();
        h.p().m_previous->click();
        QCOMPARE(h.playlist.calls, (QStringList { QStringLiteral("next"), QStringLiteral("previous") }));
    }

    // Fast only while a loop must be held to time; slower playing; slowest at rest.
    void tickRateFollowsPlayingAndLoops()
    {
        Harness h;
        h.loadFile(QStringLiteral("/m/a.mp3"), 100, QStringLiteral("01:40"));
        h.engine->playState = MediaEngine::State::Playing;
        h.engine->pauseState = MediaEngine::State::Paused;
        h.p().m_playPause->click();
        QCOMPARE(h.tick()->interval(), 100);
        h.effects().m_loop4s->pressed();
        QCOMPARE(h.tick()->interval(), 16);
        QCOMPARE(h.tick()->timerType(), Qt::PreciseTimer);
        h.effects().m_loop4s->pressed();
        QCOMPARE(h.tick()->interval(), 100);
        h.effects().m_loop8s->pressed();
        h.p().m_playPause->click();
        QVERIFY(h.tick()->isActive());
        QCOMPARE(h.tick()->interval(), 250);
        h.p().m_stop->click();
        QCOMPARE(h.tick()->interval(), 250);
    }

private:
    static QString rateTextForTest(double rate)
    {
        return QLocale::system().toString(rate * 100, 'g', 15) + QLatin1Char('%');
    }
};

QTEST_MAIN(TransportTest)
#include "transport_test.moc"
