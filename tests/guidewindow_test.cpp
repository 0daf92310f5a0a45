// "Guia de programação": every cell reached by keyboard and named for screen
// readers, Enter and double-clicks tune only channels and programmes on now,
// details in plain text, the search and group filter, no clock while hidden.
#include "guide/GuideGridAccessible.h"
#include "guide/GuideGridCursor.h"
#include "guide/GuideGridView.h"
#include "guide/GuideWindow.h"
#include "guide/ProgrammeDetailsPanel.h"
#include "lists/ChannelPicks.h"
#include "tests/support/GuideFixtures.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

class GuideWindowTest : public QObject
{
    Q_OBJECT

private:
    GuideGridModel m_model;
    GuideMatcher m_matcher;
    std::unique_ptr<GuideWindow> m_window;

    QAccessibleInterface *gridInterface() const
    {
        return QAccessible::queryAccessibleInterface(m_window->grid());
    }

private slots:
    void init()
    {
        using namespace GuideFixtures;
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        m_matcher.setGuides({ { QStringLiteral("br"),
            store(schedule("globo", now, 45) + schedule("cultura", now, 60)
                    + "<programme start=\"20000101000000\" channel=\"x\"><title>x</title></programme>",
                now) } });
        QVector<ListChannel> entries;
        for (int i = 0; i < 12; ++i)
            entries.append(entry(QStringLiteral("Canal %1").arg(i), QStringLiteral("globo"), u("Abertos")));
        entries[0] = entry(u("TV Globo"), u("globo"), u("Abertos"));
        entries[1] = entry(u("<b>TV Cultura</b>"), u("cultura"), u("Educativos"));
        for (int i = 2; i < entries.size(); ++i)
            entries[i].tvgId = QStringLiteral("sem-guia-%1").arg(i);
        m_model.setChannels(GuideGridModel::rowsFor(entries, QVector<int>(entries.size(), 0), {}, m_matcher));
        m_window = std::make_unique<GuideWindow>(&m_model);
        m_window->resize(1000, 600);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_VERIFY(m_window->grid()->hasFocus());
    }
    void cleanup() { m_window.reset(); }

    void everyCellInViewIsNamed()
    {
        QAccessibleInterface *grid = gridInterface();
        QVERIFY(grid);
        QCOMPARE(grid->role(), QAccessible::Table);
        int programmes = 0;
        for (int i = 0; i < grid->childCount(); ++i) {
            QAccessibleInterface *cell = grid->child(i);
            QVERIFY(cell && cell->isValid());
            QCOMPARE(grid->indexOfChild(cell), i);
            const QString name = cell->text(QAccessible::Name);
            if (cell->role() == QAccessible::Cell) {
                ++programmes;
                QVERIFY2(QRegularExpression(
                             u("^(TV Globo|<b>TV Cultura</b>), \\d\\d:\\d\\d a \\d\\d:\\d\\d, \\S+ \\d+$"))
                             .match(name)
                             .hasMatch(),
                    qPrintable(name));
            }
        }
        QVERIFY(programmes >= 6);
    }

    void keyboardReachesCellsAndFocusFollows()
    {
        GuideGridCursor *cursor = m_window->cursor();
        QCOMPARE(cursor->row(), 0);
        QVERIFY(cursor->programme() >= 0); // opens on the programme on now
        QAccessibleInterface *grid = gridInterface();
        QCOMPARE(grid->focusChild()->text(QAccessible::Name),
            cursor->currentIndex().data(Qt::AccessibleTextRole).toString());
        QVERIFY(grid->focusChild()->state().focused);

        const int onNow = cursor->programme();
        QTest::keyClick(m_window->grid(), Qt::Key_Right);
        QTest::keyClick(m_window->grid(), Qt::Key_Right);
        QCOMPARE(cursor->programme(), onNow + 2);
        QCOMPARE(m_window->details()->titleText(), cursor->currentIndex().data().toString());
        QTest::keyClick(m_window->grid(), Qt::Key_Down);
        QCOMPARE(cursor->row(), 1);
        QCOMPARE(grid->focusChild()->text(QAccessible::Name),
            cursor->currentIndex().data(Qt::AccessibleTextRole).toString());
        // Down to the last channel, out of view at first: the view follows.
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(m_window->grid(), Qt::Key_Down);
        QCOMPARE(cursor->row(), m_model.channelCount() - 1);
        QVERIFY(cursor->firstRow() > 0);
        QVERIFY(!grid->focusChild()->rect().isEmpty());
        QTest::keyClick(m_window->grid(), Qt::Key_Home);
        QVERIFY(cursor->currentIsTunable());
    }

    void enterTunesOnlyChannelsAndProgrammesOnNow()
    {
        QSignalSpy tuned(m_window.get(), &GuideWindow::tuneRequested);
        QTest::keyClick(m_window->grid(), Qt::Key_Return); // on now
        QCOMPARE(tuned.count(), 1);
        QCOMPARE(tuned.takeFirst().at(0).value<ListChannel>().address, u("https://cdn.test/globo"));
        QTest::keyClick(m_window->grid(), Qt::Key_Right); // later today: details only
        QTest::keyClick(m_window->grid(), Qt::Key_Return);
        QCOMPARE(tuned.count(), 0);
        QCOMPARE(m_window->details()->titleText(), m_window->cursor()->currentIndex().data().toString());

        // A double-click on a channel's name tunes it.
        GuideGridView *grid = m_window->grid();
        const QRect name = grid->cellRect(1, -1);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, name.center());
        QCOMPARE(tuned.count(), 1);
        QCOMPARE(tuned.takeFirst().at(0).value<ListChannel>().address, u("https://cdn.test/cultura"));
    }

    void outsideTextIsShownAsWritten()
    {
        GuideGridView *grid = m_window->grid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, grid->cellRect(1, -1).center());
        auto *title = m_window->details()->findChild<QLabel *>(QStringLiteral("GuideDetailsTitle"));
        QCOMPARE(title->textFormat(), Qt::PlainText);
        QCOMPARE(title->text(), u("<b>TV Cultura</b>"));
    }

    void searchAndGroupNarrowTheGrid()
    {
        auto *search = m_window->findChild<QLineEdit *>(QStringLiteral("GuideSearchEdit"));
        QTest::keyClicks(search, u("cultura"));
        QCOMPARE(m_model.channelCount(), 1);
        search->clear();
        auto *groups = m_window->findChild<QComboBox *>(QStringLiteral("GuideGroupBox"));
        QCOMPARE(groups->count(), 3); // every group, Abertos, Educativos
        groups->setCurrentIndex(groups->findData(u("Abertos")));
        emit groups->activated(groups->currentIndex());
        QCOMPARE(m_model.channelCount(), 11);
    }

    void wheelMovesTimeAndAgoraReturns()
    {
        GuideGridCursor *cursor = m_window->cursor();
        const qint64 start = cursor->viewStart();
        GuideGridView *grid = m_window->grid();
        const QPoint over = grid->cellRect(0, cursor->programme()).center();
        QWheelEvent down(over, grid->viewport()->mapToGlobal(over), QPoint(), QPoint(0, -240), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(grid->viewport(), &down);
        QCOMPARE(cursor->viewStart(), start + 2 * GuideGridCursor::SlotSecs);
        QTest::mouseClick(
            m_window->findChild<QPushButton *>(QStringLiteral("GuideNowButton")), Qt::LeftButton);
        QCOMPARE(cursor->viewStart(), start);
    }

    void clockRunsOnlyWhileShown()
    {
        auto *clock = m_window->findChild<QTimer *>(QStringLiteral("GuideClockTimer"));
        QVERIFY(clock->isActive());
        m_window->hide();
        QVERIFY(!clock->isActive());
    }
};

QTEST_MAIN(GuideWindowTest)
#include "guidewindow_test.moc"
