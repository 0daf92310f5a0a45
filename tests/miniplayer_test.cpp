// The mini player presses the main window's buttons, swaps with it, and snaps to the screen edges.
#include "app/MainWindow.h"
#include "playback/MiniPlayerWindow.h"
#include "playback/PlayerPanel.h"
#include "playback/Transport.h"
#include "tests/support/FakeEngine.h"
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
        auto *engine = new FakeEngine;
        MainWindow main(std::unique_ptr<MediaEngine>(engine), ChannelCatalogue::builtIn());
        MiniPlayerWindow mini(*main.player(), *main.transport(), main);
        SideWindows side;
        side.miniPlayer = &mini;
        main.attachWindows(side);
        main.show();

        main.player()->m_miniPlayerToggle->click();
        QVERIFY(mini.isVisible());
        QVERIFY(!main.isVisible());

        engine->setUrl(QStringLiteral("/m/a.mp3"));
        mini.findChild<FlatButton *>(QStringLiteral("SpeedButton3"))->click();
        QCOMPARE(ButtonColour::of(main.player()->m_playPause), ButtonColour::Lime);
        mini.findChild<FlatButton *>(QStringLiteral("SpeedButton4"))->click();
        QCOMPARE(ButtonColour::of(main.player()->m_playPause), ButtonColour::Blue);

        auto *back = mini.findChild<FlatButton *>(QStringLiteral("SpeedButton2"));
        emit back->pressed();
        QVERIFY(main.timer(QStringLiteral("TimerBackward"))->isActive());
        QCOMPARE(ButtonColour::of(main.player()->m_scanBack), ButtonColour::Lime);
        emit back->released();
        QVERIFY(!main.timer(QStringLiteral("TimerBackward"))->isActive());

        main.player()->m_nowPlaying->setText(QStringLiteral("a.mp3"));
        main.transport()->refreshDisplay();
        QCOMPARE(mini.m_text->text(), QStringLiteral("00:00 / 00:00\na.mp3"));

        mini.findChild<FlatButton *>(QStringLiteral("SpeedButton8"))->click();
        QVERIFY(!mini.isVisible());
        QVERIFY(main.isVisible());
    }
};

QTEST_MAIN(MiniPlayerTest)
#include "miniplayer_test.moc"
