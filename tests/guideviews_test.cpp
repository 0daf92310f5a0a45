// What the guide's views are told, without windows: the rows of "Canais"
// (now with times and progress, next in the tooltip, a clock only while
// asked), the tuned channel's programme and its single wake-up, and when the
// banner shows (after a tune, on I, never by itself in "Tela Limpa").
#include "guide/GuideRowNotes.h"
#include "guide/ProgrammeBannerState.h"
#include "guide/ProgrammeText.h"
#include "guide/TunedProgramme.h"
#include "lists/ChannelPicks.h"
#include "tests/support/LocalGuide.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace
{
QString clock(qint64 when)
{
    return QDateTime::fromSecsSinceEpoch(when).toString(QStringLiteral("HH:mm"));
}
} // namespace

class GuideViewsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    qint64 m_now = 0;
    qint64 m_hour = 0;
    std::unique_ptr<LocalGuide::Library> m_guide;
    const ListChannel m_globo = LocalGuide::entry(QStringLiteral("TV Globo HD"));
    const ListChannel m_sbt = LocalGuide::entry(QStringLiteral("SBT"), QStringLiteral("SBT"));

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        // Twenty minutes into the hour, so that the hour's programme is on.
        m_now = LocalGuide::hourOf(QDateTime::currentSecsSinceEpoch()) + 20 * 60;
        m_hour = LocalGuide::hourOf(m_now);
        const QString file = m_dir.filePath(QStringLiteral("guia.xml"));
        QVERIFY(LocalGuide::write(file, LocalGuide::around(m_now)));
        m_guide = std::make_unique<LocalGuide::Library>(m_dir.path(), file);
        QVERIFY(m_guide->read({ GuideChannelQuery::forEntry(m_globo), GuideChannelQuery::forEntry(m_sbt) }));
    }
    void cleanup() { m_guide.reset(); }

    void rowSaysNowWithItsTimesAndNextInTheTooltip()
    {
        GuideRowNotes notes(m_guide->library);
        notes.fixNow(m_now);
        QVERIFY(notes.hasNotes());
        const ChannelRowNote note = notes.noteFor(m_globo);
        QCOMPARE(
            note.line, QStringLiteral("Agora: %1–%2 tv-globo 0").arg(clock(m_hour), clock(m_hour + 3600)));
        QCOMPARE(note.tooltip,
            QStringLiteral("Depois: %1–%2 tv-globo 1").arg(clock(m_hour + 3600), clock(m_hour + 7200)));
        QVERIFY(qAbs(note.progress - 1.0 / 3) < 0.01);
        QVERIFY(notes.noteFor(LocalGuide::entry(QStringLiteral("Globo FM"))).isEmpty());
    }

    void rowClockTicksOnlyWhileRowsAreAsked()
    {
        GuideRowNotes notes(m_guide->library);
        QVERIFY(!notes.isClockArmed());
        notes.noteFor(m_globo);
        QVERIFY(notes.isClockArmed());
        QSignalSpy changed(&notes, &ChannelRowNotes::notesChanged);
        notes.clockTurned();
        QCOMPARE(changed.count(), 1);
    }

    void choosingAnotherGuideChannelChangesTheRow()
    {
        GuideRowNotes notes(m_guide->library);
        notes.fixNow(m_now);
        QVERIFY(notes.noteFor(m_globo).line.endsWith(QLatin1String("tv-globo 0")));
        m_guide->choices.choose(ChannelPicks::identityOf(m_globo), m_guide->id, QStringLiteral("SBT"));
        QTRY_VERIFY(notes.noteFor(m_globo).line.endsWith(QLatin1String("SBT 0")));
        m_guide->choices.chooseNone(ChannelPicks::identityOf(m_globo));
        QTRY_VERIFY(notes.noteFor(m_globo).isEmpty());
    }

    void tunedChannelWakesOnceWhenItsProgrammeEnds()
    {
        TunedProgramme tuned(m_guide->library);
        tuned.fixNow(m_now);
        QSignalSpy changed(&tuned, &TunedProgramme::changed);
        QVERIFY(!tuned.isWaking());
        tuned.setChannel(GuideChannelQuery::forEntry(m_sbt), QStringLiteral("SBT"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(tuned.programmeOnNow(), QStringLiteral("SBT 0"));
        QCOMPARE(tuned.nowNext().next.title, QStringLiteral("SBT 1"));
        auto *timer = tuned.findChild<QTimer *>(QStringLiteral("TunedProgrammeTimer"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), int(m_hour + 3600 - m_now) * 1000);

        tuned.fixNow(m_hour + 3600);
        tuned.boundaryReached();
        QCOMPARE(tuned.programmeOnNow(), QStringLiteral("SBT 1"));
        QCOMPARE(changed.count(), 2);

        tuned.clear();
        QVERIFY(!tuned.isWaking());
        QVERIFY(tuned.programmeOnNow().isEmpty());
        // A channel without a guide needs no wake-up.
        tuned.setChannel(GuideChannelQuery::forEntry(LocalGuide::entry(QStringLiteral("Rede Vida"))),
            QStringLiteral("Rede Vida"));
        QVERIFY(!tuned.isWaking());
    }

    void bannerShowsAsTheUserExpects_data()
    {
        QTest::addColumn<QString>(
            "steps"); // t tune, i key I, c clean screen, n normal, e time up, x nothing tuned
        QTest::addColumn<QString>("shown"); // after each step: 1 shown, 0 hidden
        QTest::newRow("a tune shows it for a while") << "te"
                                                     << "10";
        QTest::newRow("I shows and hides it") << "ii"
                                              << "10";
        QTest::newRow("a tune while shown keeps it") << "tte"
                                                     << "110";
        QTest::newRow("clean screen hides it, a tune does not bring it") << "tct"
                                                                         << "100";
        QTest::newRow("clean screen shows it when asked") << "cie"
                                                          << "010";
        QTest::newRow("back to normal, tunes show it again") << "cnt"
                                                             << "001";
        QTest::newRow("playing something else hides it") << "tx"
                                                         << "10";
    }
    void bannerShowsAsTheUserExpects()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        ProgrammeBannerState state;
        auto *timer = state.findChild<QTimer *>(QStringLiteral("ProgrammeBannerTimer"));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 5000);
        QString seen;
        for (const QChar step : steps) {
            switch (step.toLatin1()) {
            case 't':
                state.channelTuned();
                break;
            case 'i':
                state.asked();
                break;
            case 'c':
                state.setCleanScreen(true);
                break;
            case 'n':
                state.setCleanScreen(false);
                break;
            case 'e':
                state.timeUp();
                break;
            case 'x':
                state.nothingTuned();
                break;
            }
            seen += state.isShown() ? u'1' : u'0';
            // Shown means a timer to hide it; hidden, no timer runs.
            QCOMPARE(timer->isActive(), state.isShown());
        }
        QCOMPARE(seen, shown);
    }
};

QTEST_GUILESS_MAIN(GuideViewsTest)
#include "guideviews_test.moc"
