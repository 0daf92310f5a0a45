// Strip scrolling and clamping, screen modes and hiding to the tray.
#include "app/MainWindow.h"
#include "app/TrayIcon.h"
#include "app/WindowLayout.h"
#include "channels/ChannelStrip.h"
#include "tests/support/FakeProgram.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QMenu>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

namespace
{
struct Harness : FakeProgram {
    Harness()
    {
        // Hidden widgets defer their resize events until shown.
        window.show();
    }
    MainWindow &window = program.mainWindow();
    WindowLayout &l() { return *window.findChild<WindowLayout *>(QStringLiteral("WindowLayout")); }
    ChannelStrip &strip() { return *window.findChild<ChannelStrip *>(QStringLiteral("ChannelStrip")); }
    QWidget *video() { return window.findChild<QWidget *>(QStringLiteral("WindowsMediaPlayer1")); }
};
} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void atTheDesignSizeTheArrowsDoNothing()
    {
        Harness h;
        h.l().scrollStripRight();
        h.l().scrollStripLeft();
        QCOMPARE(h.l().stripOffset(), 0);
    }

    void narrowWindowScrollsInStepsAndClamps()
    {
        Harness h;
        h.window.resize(437, 473);
        QList<int> offsets;
        for (int i = 0; i < 8; ++i) {
            h.l().scrollStripRight();
            offsets << h.l().stripOffset();
        }
        QCOMPARE(offsets, (QList<int> { -15, -30, -45, -60, -75, -90, -100, -100 }));
        for (QFrame *panel : h.strip().stripPanels())
            QCOMPARE(panel->x(), -100);
        offsets.clear();
        for (int i = 0; i < 8; ++i) {
            h.l().scrollStripLeft();
            offsets << h.l().stripOffset();
        }
        QCOMPARE(offsets, (QList<int> { -85, -70, -55, -40, -25, -10, 0, 0 }));
    }

    void wideningPullsTheStripBack()
    {
        Harness h;
        h.window.resize(437, 473);
        for (int i = 0; i < 7; ++i)
            h.l().scrollStripRight();
        h.window.resize(487, 473);
        QCOMPARE(h.l().stripOffset(), -50);
        h.window.resize(467, 473); // narrower keeps its offset
        QCOMPARE(h.l().stripOffset(), -50);
    }

    // The tab-row buttons are placed for the offset before the strip is pulled
    // back; placed only then, a single widening pushed them past the right edge.
    void wideningKeepsTheTabRowButtonsInView()
    {
        Harness h;
        h.window.resize(437, 473);
        for (int i = 0; i < 7; ++i)
            h.l().scrollStripRight();
        h.window.resize(537, 473);
        QCOMPARE(h.l().stripOffset(), 0);
        const QWidget *row = h.strip().tabControl();
        const QList<std::pair<const char *, int>> fromRight { { "SpeedButton68", 93 },
            { "SpeedButton39", 75 }, { "SpeedButton16", 57 } };
        for (auto [name, distance] : fromRight) {
            // The buttons lie over the tab row, in a sibling that keeps its place.
            const QWidget *button = h.window.findChild<QWidget *>(QString::fromLatin1(name));
            QVERIFY2(button, name);
            QCOMPARE(button->parentWidget()->geometry(), row->geometry());
            QCOMPARE(row->x() + button->x(), 545 - distance);
            QVERIFY2(row->x() + button->x() + button->width() <= h.window.width(), name);
        }
    }

    void cleanScreenGivesTheVideoTheWholeWindowAndNormalRestoresTheStrip()
    {
        Harness h;
        h.window.findChild<QAction *>(QStringLiteral("Pocket1"))->trigger();
        QVERIFY(h.strip().tabControl()->isHidden());
        QCOMPARE(h.video()->size(), QSize(537, 473));
        h.window.resize(500, 400);
        QCOMPARE(h.video()->size(), QSize(500, 400));
        h.window.findChild<QAction *>(QStringLiteral("Customizavel1"))->trigger();
        QCOMPARE(h.video()->size(), QSize(500, 320));
        QVERIFY(!h.strip().tabControl()->isHidden());
        for (QFrame *panel : h.strip().stripPanels())
            QVERIFY(!panel->isHidden());
        QCOMPARE(h.strip().tabControl()->currentIndex(), 0);
        QVERIFY(h.engine->calls.contains(QStringLiteral("redraw")));
    }

    void redrawIsSentOnceAfterABurstOfResizes()
    {
        Harness h;
        for (int w = 500; w < 510; ++w)
            h.window.resize(w, 470);
        QTimer *settle = h.windowTimer("TimerResize");
        QVERIFY(settle->isActive());
        h.engine->calls.clear();
        h.l().settleResize();
        h.l().settleResize();
        QCOMPARE(h.engine->calls.count(QStringLiteral("redraw")), 1);
        QVERIFY(!settle->isActive()); // no idle ticking after the redraw
    }

    void fullScreenWithNothingLoadedSaysSo()
    {
        Harness h;
        QStringList texts;
        setMessageHandler([&texts](QWidget *, const MessageRequest &r) {
            texts << r.text;
            return QMessageBox::Ok;
        });
        h.window.showFullScreen();
        setMessageHandler({});
        QCOMPARE(texts, QStringList { QStringLiteral("Primeiro selecione um canal.") });
        h.engine->setUrl(QStringLiteral("/m/a.mp3"));
        h.window.showFullScreen();
        QVERIFY(h.engine->isFullScreen());
    }

    void hidingUsesTheTrayOrMinimisesWithoutOne()
    {
        Harness h;
        h.window.show();
        h.engine->playState = MediaEngine::State::Playing;
        h.window.tray().assumeTrayAvailable(false);
        h.window.tray().hideToTray();
        QVERIFY(!h.window.tray().iconShown());
        QVERIFY(h.window.isMinimized() || h.window.windowState() & Qt::WindowMinimized);
        QVERIFY(!h.engine->calls.contains(QStringLiteral("stop")));
        QVERIFY(!h.engine->calls.contains(QStringLiteral("pause")));
        h.window.tray().menu()->findChild<QAction *>(QStringLiteral("Fechar1"))->trigger();
        QCOMPARE(h.endings.size(), 1);
        QVERIFY(!h.engine->calls.contains(QStringLiteral("close")));
    }

    void fecharInTheTrayIsAChosenQuit()
    {
        Harness h;
        QTimer::singleShot(0, &h.window,
            [&h] { h.window.tray().menu()->findChild<QAction *>(QStringLiteral("Fechar1"))->trigger(); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "windowlayout_test.moc"
