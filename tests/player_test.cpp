// The player without a window: the transport, a stalled stream and its
// question, the alternate-address rotation, loops and what is loaded, driven
// on a FakeEngine and watched through the models' signals.
#include "player/AlternateAddresses.h"
#include "player/ChannelTitle.h"
#include "player/LoopsAndCues.h"
#include "player/Player.h"
#include "player/PlaylistNavigation.h"
#include "player/Reconnection.h"
#include "player/SourceFailover.h"
#include "player/Transport.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/FixedFileChooser.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace
{
using State = MediaEngine::State;
using Mode = Transport::Mode;

const QString kGlobo = QStringLiteral("Lumivortex TV - TV Globo");

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

class StandInQuestion : public ReconnectionDialogs
{
public:
    bool mayAskToReconnect() const override { return allowed; }
    bool askToReconnect() override
    {
        ++asked;
        return answer;
    }
    void tellCertificateRefused() override { ++told; }
    bool allowed = true;
    bool answer = true;
    int asked = 0;
    int told = 0;
};

struct Harness {
    Harness()
        : engine(new FakeEngine)
        , player(std::unique_ptr<MediaEngine>(engine))
    {
        player.transport().setPlaylist(&playlist);
        player.reconnection().setDialogs(&question);
    }
    QTimer *timer(const char *name) { return player.findChild<QTimer *>(QString::fromLatin1(name)); }
    Transport &transport() { return player.transport(); }

    FakeEngine *engine;
    Player player;
    StandInPlaylist playlist;
    StandInQuestion question;
};
} // namespace

class PlayerTest : public QObject
{
    Q_OBJECT

private slots:
    void playPauseSwitchesTheTransportAndKeepsTheTickRunning()
    {
        Harness h;
        h.engine->setUrl(QStringLiteral("/m/a.mp3"));
        QSignalSpy modes(&h.transport(), &Transport::modeChanged);
        h.transport().playPause();
        QCOMPARE(h.transport().mode(), Mode::Playing);
        QVERIFY(h.timer("TimerMediaTempo")->isActive());
        h.transport().playPause();
        QCOMPARE(h.transport().mode(), Mode::Paused);
        QCOMPARE(h.engine->calls.mid(1), (QStringList { QStringLiteral("play"), QStringLiteral("pause") }));
        // Paused, the time text stays current.
        QVERIFY(h.timer("TimerMediaTempo")->isActive());
        QCOMPARE(modes.size(), 2);
        QCOMPARE(modes.at(1).first().value<Mode>(), Mode::Paused);
        QVERIFY(h.playlist.calls.isEmpty());
    }

    void playWithNothingLoadedStartsThePlaylist()
    {
        Harness h;
        h.transport().playPause();
        QCOMPARE(h.playlist.calls, QStringList { QStringLiteral("play") });
    }

    void stalledStreamIsMarkedAndAsksOncePerTune()
    {
        Harness h;
        QSignalSpy titles(&h.player.title(), &ChannelTitle::shownChanged);
        QSignalSpy switches(&h.player.reconnection(), &Reconnection::switchedOn);
        h.player.tune({ kGlobo, QStringLiteral("http://127.0.0.1/globo"), false });
        QCOMPARE(h.question.asked, 0); // the tune's own states ask nothing
        h.engine->emitState(State::Playing);
        QCOMPARE(titles.last().first().toString(), kGlobo + QStringLiteral(" Reproduzindo"));
        h.engine->emitState(State::Failed, MediaEngine::Failure::Interrupted);
        QCOMPARE(h.player.title().shown(), kGlobo + QStringLiteral(" Canal Congestionado!"));
        QCOMPARE(h.question.asked, 1);
        QCOMPARE(switches.size(), 1);
        QVERIFY(h.timer("TimerTryAgain")->isActive());
        h.engine->emitState(State::Failed, MediaEngine::Failure::Interrupted);
        QCOMPARE(h.question.asked, 1);
        QCOMPARE(h.player.title().lastChannelTitle(), kGlobo);
    }

    void questionIsNotAskedWhereItMayNotBe()
    {
        Harness h;
        h.question.allowed = false;
        h.player.tune({ kGlobo, QStringLiteral("http://127.0.0.1/globo"), false });
        h.engine->emitState(State::Failed);
        QCOMPARE(h.question.asked, 0);
        // Nothing was asked, so the next ready state may still ask.
        h.question.allowed = true;
        h.engine->emitState(State::Failed);
        QCOMPARE(h.question.asked, 1);
    }

    void rotationStepsThroughTheChannelsAlternates()
    {
        Harness h;
        // The reconnection's own rotation, as with "Trocar de fonte sozinho" off.
        h.player.failover().setEnabled(false);
        const QStringList entries { QStringLiteral("http://a/1"), QStringLiteral("http://a/2"),
            QStringLiteral("http://a/3") };
        h.player.alternates().setEntries(kGlobo, entries);
        QSignalSpy steps(&h.player.alternates(), &AlternateAddresses::changed);
        h.player.tune({ kGlobo, QStringLiteral("http://127.0.0.1/globo"), false });
        h.engine->urlState = State::Failed;
        h.engine->emitState(State::Failed);
        QStringList loaded;
        for (int tick = 0; tick < 5; ++tick) {
            h.player.reconnection().retryDroppedStream();
            loaded << h.engine->url();
        }
        // The wrap tick replays the last address; entry 0 only ever plays on the first pass.
        QCOMPARE(loaded, (QStringList { entries[0], entries[1], entries[2], entries[2], entries[1] }));
        QCOMPARE(h.player.alternates().position(kGlobo), 1);
        QCOMPARE(steps.size(), 5);
        QCOMPARE(h.engine->calls.last(), QStringLiteral("play"));
    }

    void rotationFollowsTheLastChannelTitleOnly()
    {
        Harness h;
        h.player.alternates().setEntries(
            kGlobo, { QStringLiteral("http://a/1"), QStringLiteral("http://a/2") });
        h.player.tune(
            { QStringLiteral("Lumivortex TV - TVE"), QStringLiteral("http://127.0.0.1/tve"), false });
        h.engine->emitState(State::Failed);
        h.engine->calls.clear();
        h.player.reconnection().retryDroppedStream();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("play") });
        QCOMPARE(h.player.alternates().position(kGlobo), -1);
        // A state that is not ready leaves the tick idle.
        h.engine->emitState(State::Playing);
        h.engine->calls.clear();
        h.player.reconnection().retryDroppedStream();
        QVERIFY(h.engine->calls.isEmpty());
    }

    void stoppedStateRunsTheFullStop()
    {
        Harness h;
        h.engine->setUrl(QStringLiteral("/m/a.mp3"));
        h.transport().playForm();
        h.player.loops().pressFixedLoop(4);
        h.engine->calls.clear();
        h.engine->emitState(State::Ended);
        QCOMPARE(h.transport().mode(), Mode::Stopped);
        QCOMPARE(h.engine->calls.count(QStringLiteral("stop")), 2);
        QVERIFY(!h.timer("TimerMediaTempo")->isActive());
        QCOMPARE(h.player.loops().fixedLoopSeconds(), 0);
        QCOMPARE(h.question.asked, 0);
    }

    void fixedLoopJumpsBackAndHoldsTheTickToTime()
    {
        Harness h;
        h.engine->setUrl(QStringLiteral("/m/a.mp3"));
        h.engine->setDuration(300, QStringLiteral("05:00"));
        h.engine->playState = State::Playing;
        h.transport().playForm();
        QCOMPARE(h.timer("TimerMediaTempo")->interval(), 100);
        QSignalSpy loops(&h.player.loops(), &LoopsAndCues::loopsChanged);
        h.engine->setPosition(10, QStringLiteral("00:10"));
        h.player.loops().pressFixedLoop(4);
        QCOMPARE(loops.size(), 1);
        QCOMPARE(h.player.loops().loopStart(), 9.94);
        QCOMPARE(h.timer("TimerMediaTempo")->interval(), 16);
        h.engine->setPosition(13.94, QStringLiteral("00:13"));
        QSignalSpy display(&h.transport(), &Transport::displayChanged);
        h.transport().refreshDisplay();
        QCOMPARE(h.engine->currentPosition(), 9.94);
        QCOMPARE(h.transport().timeText(), QStringLiteral("00:13 / 05:00"));
        QCOMPARE(display.size(), 2); // the time text and the gauge
        h.player.loops().pressFixedLoop(4);
        QCOMPARE(h.timer("TimerMediaTempo")->interval(), 100);
    }

    void refusedTuneEndsTheProgramWithTheQuestionClosed()
    {
        Harness h;
        QSignalSpy refused(&h.player, &Player::tuneRefused);
        h.engine->failingCalls << QStringLiteral("setUrl");
        h.player.tune({ kGlobo, QStringLiteral("http://127.0.0.1/globo"), false });
        QCOMPARE(refused.size(), 1);
        QVERIFY(h.player.reconnection().promptSuppressed());
    }

    void loadedMediaSaysWhatCameAndHow()
    {
        Harness h;
        QSignalSpy changes(&h.player, &Player::loadedChanged);
        h.player.tune({ kGlobo, QStringLiteral("http://127.0.0.1/globo"), false });
        QCOMPARE(h.player.loaded().kind, LoadedMedia::Kind::Channel);
        QCOMPARE(h.player.loaded().title, kGlobo);
        h.player.playFromOutside(QStringLiteral("https://127.0.0.1/live.m3u8"));
        QCOMPARE(h.player.loaded().kind, LoadedMedia::Kind::Address);
        FixedFileChooser chooser;
        chooser.answer = QStringLiteral("/home/ana/clip.mp4");
        h.transport().setFileChooser(&chooser);
        h.transport().openFile();
        QCOMPARE(h.player.loaded().kind, LoadedMedia::Kind::File);
        QCOMPARE(h.player.loaded().address, chooser.answer);
        QCOMPARE(h.transport().nowPlaying(), QStringLiteral("clip.mp4"));
        QCOMPARE(changes.size(), 3);
    }

    void timersLiveInTheirHomeWithTheDesignsNames()
    {
        QObject home;
        Player player(std::make_unique<FakeEngine>(), &home);
        for (const char *name : { "TimerTryAgain", "TimerMediaTempo", "TimerBackward", "TimerFoward",
                 "TimerVibrationEffect", "TimerWavebeatEffect" }) {
            auto *timer = home.findChild<QTimer *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
            QVERIFY2(timer && !timer->isActive(), name);
        }
        QCOMPARE(home.findChild<QTimer *>(QStringLiteral("TimerTryAgain"))->interval(), 1200);
    }
};

QTEST_GUILESS_MAIN(PlayerTest)
#include "player_test.moc"
