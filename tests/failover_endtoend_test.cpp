// A channel with two live sources on the loopback server, played by the real
// libmpv engine (null outputs) through the player: the first source stalls
// with its connection open, and the second must play without a question,
// long before the network timeout would have ended the first.
#include "engine/MpvEngine.h"
#include "player/AlternateAddresses.h"
#include "player/ChannelTitle.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "tests/support/CountedQuestion.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LiveStream.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
using Fixtures::slowdown;
using State = MediaEngine::State;

const QString kChannel = QStringLiteral("Lumivortex TV - Canal Duplo");

} // namespace

class FailoverEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("cache"))));
    }

    void stalledSourceGivesWayToTheNextWithoutAQuestion_data()
    {
        QTest::addColumn<bool>("hls");
        QTest::newRow("MPEG-TS") << false;
        QTest::newRow("HLS") << true;
    }
    void stalledSourceGivesWayToTheNextWithoutAQuestion()
    {
        QFETCH(bool, hls);
        LoopbackHttpServer server;
        LiveStream first(server, LiveStream::named(QStringLiteral("/um")));
        LiveStream second(server, LiveStream::named(QStringLiteral("/dois")));
        const QStringList sources = hls ? QStringList { first.hlsUrl(), second.hlsUrl() }
                                        : QStringList { first.tsUrl(), second.tsUrl() };
        Player player(std::make_unique<MpvEngine>(MpvEngine::Output::Null));
        CountedQuestion question;
        player.reconnection().setDialogs(&question);
        player.alternates().setEntries(kChannel, sources);
        QStringList titles;
        connect(&player.title(), &ChannelTitle::shownChanged, this,
            [&titles](const QString &title) { titles << title; });
        QList<State> states;
        connect(
            &player.engine(), &MediaEngine::stateChanged, this, [&states](State state) { states << state; });
        QSignalSpy pictures(&player.engine(), &MediaEngine::firstFrameShown);

        player.tune({ kChannel, sources[0], false });
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 1, 10000 * slowdown);
        states.clear();
        first.setStalled(true);
        QElapsedTimer sinceStall;
        sinceStall.start();
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 2, 20000 * slowdown);
        const qint64 switchedMs = sinceStall.elapsed();
        QCOMPARE(player.engine().url(), sources[1]);
        QCOMPARE(question.asked, 0);
        QVERIFY2(titles.contains(kChannel + QString::fromUtf8(" Trocando de fonte…")),
            qPrintable(titles.join(QLatin1Char('\n'))));
        // The stall was found from the engine's own signs: the first source never
        // reached the network timeout's end.
        QVERIFY(!states.contains(State::Failed));
        QCOMPARE(player.title().shown(), kChannel + QStringLiteral(" Reproduzindo"));
        qInfo("picture from the second source %lld ms after the stall", switchedMs);
    }

    void pausedLiveStreamIsNoStall()
    {
        LoopbackHttpServer server;
        LiveStream live(server, LiveStream::named(QStringLiteral("/um")));
        MpvEngine engine(MpvEngine::Output::Null);
        QSignalSpy pictures(&engine, &MediaEngine::firstFrameShown);
        QSignalSpy stalls(&engine, &MediaEngine::stalled);
        engine.setUrl(live.tsUrl());
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 1, 10000 * slowdown);
        engine.pause();
        // Longer than a stall takes to be found: the position stands still on purpose.
        QTest::qWait(4500);
        QCOMPARE(stalls.size(), 0);
        engine.play();
        QTest::qWait(1000);
        QCOMPARE(stalls.size(), 0);
        live.setStalled(true);
        // What was fetched ahead while paused plays out before the stall shows.
        QTRY_COMPARE_WITH_TIMEOUT(stalls.size(), 1, 15000 * slowdown);
        QCOMPARE(engine.state(), State::Buffering);
    }

    void addressFoundToBeMediaIsNotLookedAtAgain()
    {
        LoopbackHttpServer server;
        LiveStream live(server, LiveStream::named(QStringLiteral("/um")));
        MpvEngine engine(MpvEngine::Output::Null);
        QSignalSpy pictures(&engine, &MediaEngine::firstFrameShown);
        const auto asked = [&server] {
            int count = 0;
            for (const QByteArray &head : server.requests())
                count += head.startsWith("GET /um/live.ts") ? 1 : 0;
            return count;
        };
        engine.setUrl(live.tsUrl());
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 1, 10000 * slowdown);
        QCOMPARE(asked(), 2); // looked at for a playlist, then played
        engine.stop();
        engine.setUrl(live.tsUrl());
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 2, 10000 * slowdown);
        QCOMPARE(asked(), 3);
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(FailoverEndToEndTest)
#include "failover_endtoend_test.moc"
