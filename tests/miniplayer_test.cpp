// The mini player presses the main window's buttons, swaps with it, and snaps to the screen edges.
#include "playback/MiniPlayerWindow.h"
#include "playback/PlayerPanel.h"
#include "player/Transport.h"
#include "tests/support/FakeProgram.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

class MiniPlayerTest : public QObject
{
    Q_OBJECT

private slots:
    void snapsNearTheEdges_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("left 5") << QPoint(5, 300) << QPoint(0, 300);
        QTest::newRow("top 9") << QPoint(300, 9) << QPoint(300, 0);
        QTest::newRow("left 10 stays") << QPoint(10, 300) << QPoint(10, 300);
        QTest::newRow("right edge") << QPoint(1280 - 217 - 5, 300) << QPoint(1280 - 217, 300);
        QTest::newRow("bottom keeps 30 free") << QPoint(300, 1024 - 65 - 5) << QPoint(300, 1024 - 95);
        QTest::newRow("middle") << QPoint(500, 500) << QPoint(500, 500);
    }
    void snapsNearTheEdges()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QCOMPARE(MiniPlayerWindow::snapped(from, QSize(1280, 1024)), to);
    }

    void buttonsPressTheMainWindowAndSwapWithIt()
    {
        FakeProgram program;
        FakeEngine *engine = program.engine;
        MainWindow &main = program.window();
        MiniPlayerWindow &mini = program.program.miniPlayer();
        PlayerPanel &panel = *main.findChild<PlayerPanel *>(QStringLiteral("PlayerPanel"));
        main.show();

        panel.m_miniPlayerToggle->click();
        QVERIFY(mini.isVisible());
        QVERIFY(!main.isVisible());

        engine->setUrl(QStringLiteral("/m/a.mp3"));
        mini.findChild<FlatButton *>(QStringLiteral("SpeedButton3"))->click();
        QCOMPARE(ButtonColour::of(panel.m_playPause), ButtonColour::Lime);
        mini.findChild<FlatButton *>(QStringLiteral("SpeedButton4"))->click();
        QCOMPARE(ButtonColour::of(panel.m_playPause), ButtonColour::Blue);

        auto *back = mini.findChild<FlatButton *>(QStringLiteral("SpeedButton2"));
        emit back->pressed();
        QVERIFY(program.windowTimer("TimerBackward")->isActive());
        QCOMPARE(ButtonColour::of(panel.m_scanBack), ButtonColour::Lime);
        emit back->released();
        QVERIFY(!program.windowTimer("TimerBackward")->isActive());

        program.player().transport().setNowPlayingFromUrl(QStringLiteral("/m/a.mp3"));
        program.player().transport().refreshDisplay();
        QCOMPARE(mini.m_text->text(), QStringLiteral("00:00 / 00:00\na.mp3"));

        mini.findChild<FlatButton *>(QStringLiteral("SpeedButton8"))->click();
        QVERIFY(!mini.isVisible());
        QVERIFY(main.isVisible());
    }
};

QTEST_MAIN(MiniPlayerTest)
#include "miniplayer_test.moc"
