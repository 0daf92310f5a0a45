// Switching a channel's failed or stalled source without asking, on the fake
// engine: the next source at once with "Trocando de fonte…", the question only
// for a channel with nothing left to try, and never a switch that comes late.
#include "player/AlternateAddresses.h"
#include "player/ChannelTitle.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "player/SourceFailover.h"
#include "tests/support/CountedQuestion.h"
#include "tests/support/FakeEngine.h"

#include <QSignalSpy>
#include <QtTest>

namespace
{
using State = MediaEngine::State;

const QString kChannel = QStringLiteral("Lumivortex TV - Canal Um");
const QStringList kSources { QStringLiteral("http://127.0.0.1:1/a.m3u8"),
    QStringLiteral("http://127.0.0.1:1/b.ts"), QStringLiteral("http://127.0.0.1:1/c.ts") };

struct Harness {
    explicit Harness(const QStringList &sources = kSources)
        : engine(new FakeEngine)
        , player(std::unique_ptr<MediaEngine>(engine))
        , changes(&player, &Player::sourceChanged)
    {
        player.reconnection().setDialogs(&question);
        player.alternates().setEntries(kChannel, sources);
        player.tune({ kChannel, sources.value(0), false });
    }
    QString title() const { return player.title().shown(); }

    FakeEngine *engine;
    Player player;
    CountedQuestion question;
    QSignalSpy changes;
};

const QString switching = kChannel + QString::fromUtf8(" Trocando de fonte…");
const QString congested = kChannel + QStringLiteral(" Canal Congestionado!");
} // namespace

class SourceFailoverTest : public QObject
{
    Q_OBJECT

private slots:
    void failedOrStalledSourceGoesToTheNextWithoutAsking_data()
    {
        QTest::addColumn<bool>("stall");
        QTest::newRow("failed") << false;
        QTest::newRow("stalled while playing") << true;
    }
    void failedOrStalledSourceGoesToTheNextWithoutAsking()
    {
        QFETCH(bool, stall);
        Harness h;
        h.engine->emitState(State::Playing);
        if (stall)
            emit h.engine->stalled();
        else
            h.engine->emitState(State::Failed, MediaEngine::Failure::Interrupted);
        QCOMPARE(h.title(), switching);
        QCOMPARE(h.engine->url(), kSources[0]); // queued: not inside the engine's own report
        QCoreApplication::processEvents();
        QCOMPARE(h.engine->url(), kSources[1]);
        // Opening the next source keeps saying so, until it plays.
        QCOMPARE(h.title(), switching);
        h.engine->emitState(State::Buffering, MediaEngine::Failure::None, 40);
        QCOMPARE(h.title(), switching);
        h.engine->emitState(State::Playing);
        QCOMPARE(h.title(), kChannel + QStringLiteral(" Reproduzindo"));
        QCOMPARE(h.question.asked, 0);
        QCOMPARE(h.changes.size(), 1);
        QCOMPARE(h.changes[0][1].toString(), kSources[1]);
        QCOMPARE(h.player.alternates().position(kChannel), 1);
    }

    void channelWithOneSourceKeepsTheCongestedTitleAndTheQuestion()
    {
        Harness h({ kSources[0] });
        h.engine->emitState(State::Playing);
        emit h.engine->stalled();
        QCoreApplication::processEvents();
        QCOMPARE(h.engine->calls.filter(QStringLiteral("setUrl")).size(), 1); // the tune's only
        h.engine->emitState(State::Failed, MediaEngine::Failure::Interrupted);
        QCOMPARE(h.title(), congested);
        QCOMPARE(h.question.asked, 1);
    }

    void lastUntriedSourceFailingEndsInTheQuestion()
    {
        Harness h(kSources.mid(0, 2));
        h.engine->urlState = State::Opening;
        h.engine->emitState(State::Failed, MediaEngine::Failure::CouldNotOpen);
        QCoreApplication::processEvents();
        QCOMPARE(h.engine->url(), kSources[1]);
        h.engine->emitState(State::Failed, MediaEngine::Failure::CouldNotOpen);
        QCoreApplication::processEvents();
        // The first failed already since the tune: nothing is left to try.
        QCOMPARE(h.engine->url(), kSources[1]);
        QCOMPARE(h.title(), congested);
        QCOMPARE(h.question.asked, 1);
        // A new tune may try every source again.
        h.player.tune({ kChannel, kSources[0], false });
        h.engine->emitState(State::Failed, MediaEngine::Failure::CouldNotOpen);
        QCoreApplication::processEvents();
        QCOMPARE(h.engine->url(), kSources[1]);
    }

    void optionOffLeavesEveryChannelToTheQuestion()
    {
        Harness h;
        h.player.failover().setEnabled(false);
        h.engine->emitState(State::Playing);
        emit h.engine->stalled();
        h.engine->emitState(State::Failed, MediaEngine::Failure::Interrupted);
        QCoreApplication::processEvents();
        QCOMPARE(h.engine->url(), kSources[0]);
        QCOMPARE(h.title(), congested);
        QCOMPARE(h.question.asked, 1);
    }

    void switchDecidedBeforeAnotherTuneNeverLands()
    {
        Harness h;
        h.engine->emitState(State::Failed, MediaEngine::Failure::Interrupted);
        h.player.tune(
            { QStringLiteral("Lumivortex TV - Outro"), QStringLiteral("http://127.0.0.1:1/o"), false });
        QCoreApplication::processEvents();
        QCOMPARE(h.engine->url(), QStringLiteral("http://127.0.0.1:1/o"));
        QCOMPARE(h.changes.size(), 0);
    }

    void fileOfThePlaylistIsNoSourceOfTheChannel()
    {
        Harness h;
        h.player.prepareForPlaylistItem();
        h.player.playPlaylistItem(QStringLiteral("/tmp/musica.mp3"));
        h.engine->emitState(State::Failed, MediaEngine::Failure::CouldNotOpen);
        QCoreApplication::processEvents();
        QCOMPARE(h.engine->url(), QStringLiteral("/tmp/musica.mp3"));
        QCOMPARE(h.title(), congested);
    }
};

QTEST_GUILESS_MAIN(SourceFailoverTest)
#include "sourcefailover_test.moc"
