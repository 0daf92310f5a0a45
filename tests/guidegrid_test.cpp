// The guide grid without widgets: rows in the right order and narrowed as the
// channel search does, a sound Qt model, local-time accessible names, and a
// cursor that reaches every programme by keyboard and keeps to the time.
#include "guide/GuideGridCursor.h"
#include "guide/GuideGridModel.h"
#include "lists/ChannelPicks.h"
#include "tests/support/GuideFixtures.h"

#include <QAbstractItemModelTester>
#include <QSet>
#include <QTest>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// 10 May 2024, 20:40 in Brasília (the tests run with TZ=America/Sao_Paulo).
const qint64 Now = QDateTime(QDate(2024, 5, 10), QTime(23, 40), Qt::UTC).toSecsSinceEpoch();

} // namespace

class GuideGridTest : public QObject
{
    Q_OBJECT

private:
    GuideGridModel m_model;
    GuideMatcher m_matcher;

private slots:
    void init()
    {
        using namespace GuideFixtures;
        m_matcher.setGuides({ { QStringLiteral("br"),
            store(schedule("globo", Now, 45) + schedule("camara", Now, 30) + schedule("sbt", Now, 120),
                Now) } });
        const QVector<ListChannel> entries { entry(u("TV Globo"), u("globo"), u("Abertos;Notícias")),
            entry(u("TV Câmara"), u("camara"), u("Notícias")), entry(u("Sem guia"), u("nada"), u("Abertos")),
            entry(u("SBT"), u("sbt"), u("Abertos")), entry(u("TV Globo"), u("globo"), u("Outra lista")) };
        ListChannel sbt = entries[3];
        m_model.setNow(Now);
        m_model.setChannels(GuideGridModel::rowsFor(
            entries, { 0, 0, 1, 1, 2 }, { ChannelPicks::identityOf(sbt) }, m_matcher));
        m_model.setGroup(QString());
        m_model.setSearchText(QString());
    }

    void modelIsSound()
    {
        QAbstractItemModelTester tester(&m_model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_model.setGroup(u("Notícias"));
        m_model.setSearchText(u("camara"));
        m_model.setSearchText(QString());
        m_model.setGroup(QString());
    }

    void favouritesFirstThenListsOnceEach()
    {
        QCOMPARE(m_model.channelCount(), 4); // TV Globo of the third list is the same channel
        QStringList titles;
        for (int row = 0; row < m_model.channelCount(); ++row)
            titles << m_model.channel(row).title;
        QCOMPARE(titles, QStringList({ u("SBT"), u("TV Globo"), u("TV Câmara"), u("Sem guia") }));
        QCOMPARE(m_model.rowCount(m_model.channelIndex(3)), 0);
    }

    void groupAndSearchNarrowTheRows()
    {
        QCOMPARE(m_model.groups(), QStringList({ u("Abertos"), u("Notícias"), u("Outra lista") }));
        m_model.setGroup(u("Notícias"));
        QCOMPARE(m_model.channelCount(), 2);
        m_model.setSearchText(u("  CAMARA "));
        QCOMPARE(m_model.channelCount(), 1);
        QCOMPARE(m_model.channel(0).title, u("TV Câmara"));
    }

    void cellsAreNamedInLocalTime()
    {
        const int globo = 1;
        const QModelIndex onNow = m_model.programmeIndex(globo, m_model.channel(globo).schedule.indexAt(Now));
        // 45-minute programmes from 17:00 local: the one on at 20:40 is 20:00 to 20:45.
        QCOMPARE(onNow.data(Qt::AccessibleTextRole).toString(), u("TV Globo, 20:00 a 20:45, globo 4"));
        QVERIFY(onNow.data(GuideGridModel::TunableRole).toBool());
        QVERIFY(!onNow.siblingAtRow(onNow.row() + 1).data(GuideGridModel::TunableRole).toBool());
        QCOMPARE(m_model.channelIndex(globo).data(Qt::AccessibleTextRole).toString(), u("TV Globo"));
    }

    void everyProgrammeIsReachableByKeyboard()
    {
        GuideGridCursor cursor(&m_model);
        cursor.setViewLength(2 * 3600);
        cursor.setVisibleRows(2);
        cursor.goToNow();
        QSet<QPair<int, int>> reached;
        for (int row = 0; row < m_model.channelCount(); ++row) {
            QCOMPARE(cursor.row(), row);
            for (int i = 0; i < 200 && cursor.programme() != -1; ++i) {
                reached.insert({ cursor.row(), cursor.programme() });
                cursor.moveLeft();
            }
            QCOMPARE(cursor.programme(), -1); // the name cell is left of the first programme
            for (int i = 0; i < 200; ++i) {
                const int before = cursor.programme();
                cursor.moveRight();
                if (cursor.programme() == before)
                    break;
                reached.insert({ cursor.row(), cursor.programme() });
                // The cell with the keyboard is always in view.
                const auto &p = m_model.channel(row).schedule.record(cursor.programme());
                QVERIFY(p.stop > cursor.viewStart() && p.start < cursor.viewEnd());
                QVERIFY(row >= cursor.firstRow() && row < cursor.firstRow() + cursor.visibleRows());
            }
            cursor.moveDown();
        }
        int programmes = 0;
        for (int row = 0; row < m_model.channelCount(); ++row)
            programmes += m_model.channel(row).schedule.count();
        QCOMPARE(reached.size(), programmes);
    }

    void upAndDownKeepToTheTime()
    {
        GuideGridCursor cursor(&m_model);
        cursor.goToNow();
        QCOMPARE(cursor.row(), 0); // SBT, two-hour programmes: 20:00 to 22:00 on now
        const qint64 sbtStart = m_model.channel(0).schedule.record(cursor.programme()).start;
        QVERIFY(sbtStart <= Now);
        cursor.moveDown();
        QCOMPARE(cursor.currentIndex().data(GuideGridModel::OnNowRole).toBool(), true);
        QVERIFY(cursor.currentIsTunable());
        cursor.moveRight(); // 20:45 on TV Globo
        QVERIFY(!cursor.currentIsTunable());
        cursor.moveDown(); // TV Câmara at 20:45: its 20:30 half hour
        QCOMPARE(cursor.currentIndex().data(Qt::AccessibleTextRole).toString(),
            u("TV Câmara, 20:30 a 21:00, camara 7"));
        cursor.moveDown(); // no guide: the name cell
        QCOMPARE(cursor.programme(), -1);
        QVERIFY(cursor.currentIsTunable());
        cursor.moveUp(); // back to programmes at the same time
        QCOMPARE(cursor.programme(), 7);
    }

    void wheelMovesTheTimeAndAgoraComesBack()
    {
        GuideGridCursor cursor(&m_model);
        cursor.setViewLength(2 * 3600);
        cursor.goToNow();
        const qint64 nowView = cursor.viewStart();
        QCOMPARE(nowView, Now / 1800 * 1800);
        cursor.scrollTime(8); // four hours on: the current programme follows into view
        QCOMPARE(cursor.viewStart(), nowView + 4 * 3600);
        const auto &p = m_model.channel(cursor.row()).schedule.record(cursor.programme());
        QVERIFY(p.stop > cursor.viewStart() && p.start < cursor.viewEnd());
        cursor.scrollTime(-1000);
        QCOMPARE(cursor.viewStart(), cursor.rangeStart());
        cursor.goToNow();
        QCOMPARE(cursor.viewStart(), nowView);
        QVERIFY(cursor.currentIsTunable());
    }
};

QTEST_GUILESS_MAIN(GuideGridTest)
#include "guidegrid_test.moc"
