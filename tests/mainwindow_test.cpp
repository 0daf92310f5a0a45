// The main window at start-up, its tabs and pages, the channel menus, tuning and closing.
#include "app/MainWindow.h"
#include "base/OldPlayerFailure.h"
#include "channels/ChannelCatalogue.h"
#include "channels/ChannelStrip.h"
#include "options/OptionsWindow.h"
#include "player/ChannelTitle.h"
#include "player/Reconnection.h"
#include "tests/support/FakeProgram.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace
{
struct Harness : FakeProgram {
    using FakeProgram::FakeProgram;
    MainWindow &window = program.mainWindow();
    ChannelStrip &strip() { return *window.findChild<ChannelStrip *>(QStringLiteral("ChannelStrip")); }
    // The program-wide values as the player keeps them.
    QString lastChannelTitle() { return player().title().lastChannelTitle(); }
    bool promptSuppressed() { return player().reconnection().promptSuppressed(); }

    QFrame *panel(const char *name) { return window.findChild<QFrame *>(QString::fromLatin1(name)); }
    QToolButton *button(const char *name)
    {
        return window.findChild<QToolButton *>(QString::fromLatin1(name));
    }
    QTabBar *tabs() { return window.findChild<QTabBar *>(QStringLiteral("TabControl1")); }
    void selectTab(int index) { tabs()->setCurrentIndex(index); }
    QStringList visiblePanels()
    {
        QStringList names;
        for (QFrame *p : strip().stripPanels())
            if (p->isVisibleTo(&window))
                names << p->objectName();
        return names;
    }
};

struct MessageLog {
    MessageLog()
    {
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            texts << request.text;
            return request.escapeButton;
        });
    }
    ~MessageLog() { setMessageHandler({}); }
    QStringList texts;
};

const QString kStartTitle = QStringLiteral("Lumivortex TV 0.9.29");
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsOnBrasilFirstPageWithStartupTitle()
    {
        Harness h;
        QVERIFY(h.program.started());
        QCOMPARE(h.window.windowTitle(), kStartTitle);
        QCOMPARE(h.lastChannelTitle(), kStartTitle);
        QCOMPARE(h.window.versionText(), QStringLiteral("0.9.29"));
        QCOMPARE(h.promptSuppressed(), false);
        QCOMPARE(h.tabs()->currentIndex(), 0);
        QCOMPARE(h.visiblePanels(), QStringList { QStringLiteral("PanelBrasil") });
        QCOMPARE(h.window.size(), QSize(537, 473));
        QCOMPARE(h.window.maximumSize(), QSize(537, 473));
        QVERIFY(!h.window.findChild<QLabel *>(QStringLiteral("LabelVersao"))->isVisibleTo(&h.window));
        // No channel is tuned: the engine was only set up.
        QVERIFY(!h.engine->calls.join(QLatin1Char(',')).contains(QLatin1String("setUrl")));
        QCOMPARE(h.engine->volume(), 50);
        QVERIFY(h.engine->stretchToFit());
    }

    void startupLayoutMatchesTheDesign()
    {
        Harness h;
        QCOMPARE(h.window.findChild<QWidget *>(QStringLiteral("WindowsMediaPlayer1"))->geometry(),
            QRect(0, 0, 537, 395));
        QCOMPARE(h.tabs()->geometry().top(), 394);
        for (QFrame *panel : h.strip().stripPanels())
            QCOMPARE(panel->geometry(), QRect(0, 412, 537, 61));
        QCOMPARE(h.panel("PanelVolume")->geometry(), QRect(488, 224, 49, 169));
        QCOMPARE(h.panel("PanelEfeitos")->geometry(), QRect(0, 264, 345, 129));
        QCOMPARE(h.window.findChild<QWidget *>(QStringLiteral("PanelSetas"))->width(), 49);
        QCOMPARE(h.button("SpeedButton89")->text(), QStringLiteral("Central\nde\nGravação"));
        QVERIFY(h.button("SpeedButton89")->isEnabled());
        QVERIFY(h.window.findChild<QLabel *>(QStringLiteral("Label10"))->text().isEmpty());
        QCOMPARE(h.windowTimer("TimerResize")->isActive(), true);
        for (const char *stopped : { "TimerTryAgain", "TimerHide", "TimerMediaTempo", "TimerWavebeatEffect" })
            QVERIFY2(!h.windowTimer(stopped)->isActive(), stopped);
    }

    void engineSetupFailureShowsOldPlayerMessageOnceAndEnds()
    {
        MessageLog log;
        auto *fake = new FakeEngine;
        fake->failingCalls << QStringLiteral("setVolume");
        Harness h(fake);
        QVERIFY(!h.program.started());
        QCOMPARE(log.texts.size(), 1);
        QCOMPARE(log.texts[0], OldPlayerFailure::startupMessage());
        QVERIFY(log.texts[0].endsWith(
            QStringLiteral("Windows Media Player 10 ou posterior em: https://lumivortex.example/player")));
    }

    void tabChangesShowOnlyTheFirstPageOfTheCategory_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("panel");
        QTest::newRow("Brasil") << 0 << "PanelBrasil";
        QTest::newRow("Esporte") << 1 << "PanelEsporte";
        QTest::newRow("Clipes") << 2 << "PanelMusicaClipes";
        QTest::newRow("Notícias") << 3 << "PanelNoticias";
        QTest::newRow("Radio") << 4 << "PanelRadio";
        QTest::newRow("Player") << 5 << "PanelMediaPlayer";
        QTest::newRow("Webcams") << 6 << "PanelWebcams";
        QTest::newRow("Sistema") << 7 << "PanelMais";
    }
    void tabChangesShowOnlyTheFirstPageOfTheCategory()
    {
        QFETCH(int, tab);
        QFETCH(QString, panel);
        Harness h;
        h.selectTab(tab == 3 ? 4 : 3); // come from another tab with a second page open
        h.button(tab == 3 ? "SpeedButton113" : "SpeedButton109")->click();
        h.selectTab(tab);
        QCOMPARE(h.visiblePanels(), QStringList { panel });
    }

    void pageArrowsTurnOnlyTheWayTheyPoint()
    {
        Harness h;
        h.button("SpeedButton78")->click(); // up on a first page: nothing
        QCOMPARE(h.visiblePanels(), QStringList { QStringLiteral("PanelBrasil") });
        h.button("SpeedButton79")->click();
        QCOMPARE(h.visiblePanels(), QStringList { QStringLiteral("PanelBrasil2") });
        h.button("SpeedButton92")->click(); // down on a second page: nothing
        QCOMPARE(h.visiblePanels(), QStringList { QStringLiteral("PanelBrasil2") });
        h.selectTab(1);
        h.selectTab(0);
        QCOMPARE(h.visiblePanels(), QStringList { QStringLiteral("PanelBrasil") });
        h.button("SpeedButton79")->click();
        h.button("SpeedButton91")->click();
        QCOMPARE(h.visiblePanels(), QStringList { QStringLiteral("PanelBrasil") });
    }

    void firstTabChangeAfterAllPanelsShownHidesTheOthers()
    {
        Harness h;
        for (QFrame *p : h.strip().stripPanels())
            p->show();
        h.strip().selectTabQuietly(0);
        h.selectTab(2);
        // Both pages of the chosen category stay; the empty lid lies underneath.
        QCOMPARE(h.visiblePanels(),
            (QStringList { QStringLiteral("PanelMusicaClipes"), QStringLiteral("PanelMusicaClipes2"),
                QStringLiteral("PanelTampa") }));
    }

    void playerTabResetsTheTitleButKeepsPlaying()
    {
        Harness h;
        h.button("SpeedButton90")->click();
        const int callsBefore = h.engine->calls.size();
        h.selectTab(5);
        QCOMPARE(h.window.windowTitle(), kStartTitle);
        QCOMPARE(h.lastChannelTitle(), kStartTitle);
        QCOMPARE(h.engine->calls.size(), callsBefore);
    }

    void channelMenusOpenAtTheirButtons()
    {
        Harness h;
        h.window.move(100, 50);
        const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        const QPoint frameOffset = h.window.frameGeometry().topLeft() - QPoint(100, 50);
        const auto at = [&](const char *button) {
            return h.strip().menuPosition(*catalogue.menuButton(QString::fromLatin1(button))) - frameOffset;
        };
        QCOMPARE(at("SpeedButton20"), QPoint(559, 37));
        QCOMPARE(at("SpeedButton34"), QPoint(111, 287));
        QCOMPARE(at("SpeedButton98"), QPoint(175, 474));
    }

    void everyChannelControlTunesItsEntry()
    {
        Harness h;
        const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        int tuned = 0;
        for (const Channel &channel : catalogue.channels()) {
            h.engine->calls.clear();
            if (channel.isMenuItem()) {
                auto *action = h.window.findChild<QAction *>(channel.control);
                QVERIFY2(action, qPrintable(channel.control));
                action->trigger();
            } else {
                auto *button = h.window.findChild<QToolButton *>(channel.control);
                QVERIFY2(button, qPrintable(channel.control));
                button->click();
            }
            QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - ") + channel.titleSuffix);
            QCOMPARE(h.lastChannelTitle(), h.window.windowTitle());
            // The stop status the tune raises runs the full stop as well; the address comes last.
            QCOMPARE(h.engine->calls.first(), QStringLiteral("stop"));
            QCOMPARE(h.engine->calls.last(), QStringLiteral("setUrl ") + channel.address);
            QCOMPARE(h.engine->calls.filter(QStringLiteral("setUrl")).size(), 1);
            ++tuned;
        }
        QCOMPARE(tuned, 101);
    }

    void tuneHoldsThePromptFlagOverItsOwnNotifications()
    {
        Harness h;
        QList<bool> flagAtNotification;
        QStringList titleAtNotification;
        connect(h.engine, &MediaEngine::stateChanged, this, [&] {
            flagAtNotification << h.promptSuppressed();
            titleAtNotification << h.lastChannelTitle();
        });
        h.button("SpeedButton90")->click(); // TV Globo
        QVERIFY(flagAtNotification.size() >= 2);
        QVERIFY(!flagAtNotification.contains(false));
        QVERIFY(titleAtNotification.size() >= 2);
        QCOMPARE(titleAtNotification.last(), kStartTitle);
        QCOMPARE(h.promptSuppressed(), false);
        // After the tune the next ready status may ask.
        MessageLog log;
        h.engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(log.texts.size(), 1);
    }

    void retuningTheSameChannelReopensIt()
    {
        Harness h;
        h.button("SpeedButton90")->click();
        h.window.setWindowTitle(QStringLiteral("Lumivortex TV - TV Globo Reproduzindo"));
        h.engine->calls.clear();
        h.button("SpeedButton90")->click();
        QCOMPARE(h.engine->calls.first(), QStringLiteral("stop"));
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Globo"));
        QCOMPARE(h.lastChannelTitle(), QStringLiteral("Lumivortex TV - TV Globo"));
    }

    void channelsSharingAnAddressDifferOnlyInTitle()
    {
        Harness h;
        h.button("SpeedButton117")->click();
        const QString bandUrl = h.engine->url();
        h.button("SpeedButton94")->click();
        QCOMPARE(h.engine->url(), bandUrl);
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Tarobá"));
    }

    void reconnectionOffChannelsUntickTheOption_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("tickedAfter");
        QTest::newRow("SBT ticked") << "SpeedButton2" << true << false;
        QTest::newRow("TV Litoral ticked") << "SpeedButton8" << true << false;
        QTest::newRow("SBT unticked") << "SpeedButton2" << false << false;
        QTest::newRow("Globo ticked") << "SpeedButton90" << true << true;
    }
    void reconnectionOffChannelsUntickTheOption()
    {
        QFETCH(QString, control);
        QFETCH(bool, ticked);
        QFETCH(bool, tickedAfter);
        Harness h;
        QCheckBox *option = h.program.optionsWindow().findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
        option->setChecked(ticked);
        QSignalSpy switches(&h.player().reconnection(), &Reconnection::switchedOn);
        h.window.findChild<QToolButton *>(control)->click();
        QCOMPARE(option->isChecked(), tickedAfter);
        QCOMPARE(h.player().reconnection().isOn(), tickedAfter);
        QCOMPARE(switches.size(), ticked == tickedAfter ? 0 : 1);
        QCOMPARE(h.windowTimer("TimerTryAgain")->isActive(), tickedAfter);
    }

    void failingTuneShowsTheTuneMessageAndEnds()
    {
        MessageLog log;
        Harness h;
        h.engine->failingCalls << QStringLiteral("setUrl");
        h.button("SpeedButton90")->click();
        QCOMPARE(h.endings.size(), 1);
        QCOMPARE(h.endings.first().first().toInt(), 1);
        QCOMPARE(log.texts.size(), 1);
        QCOMPARE(log.texts[0], OldPlayerFailure::tuneMessage());
        QCOMPARE(h.promptSuppressed(), true);
    }

    void altEnterAloneGoesFullScreen_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("Alt") << int(Qt::AltModifier) << true;
        QTest::newRow("Alt+Shift") << int(Qt::AltModifier | Qt::ShiftModifier) << true;
        QTest::newRow("plain") << int(Qt::NoModifier) << false;
        QTest::newRow("Ctrl") << int(Qt::ControlModifier) << false;
        QTest::newRow("Shift") << int(Qt::ShiftModifier) << false;
    }
    void altEnterAloneGoesFullScreen()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, fullScreen);
        Harness h;
        h.button("SpeedButton90")->click();
        h.window.show();
        QTest::keyClick(h.tabs(), Qt::Key_Return, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(h.engine->isFullScreen(), fullScreen);
    }

    void altEnterWithNothingLoadedIsIgnored()
    {
        Harness h;
        h.window.show();
        QTest::keyClick(&h.window, Qt::Key_Return, Qt::AltModifier);
        QVERIFY(!h.engine->isFullScreen());
        QVERIFY(h.engine->calls.contains(QStringLiteral("setFullScreen 1")));
    }

    void closingStopsAndReleasesWithoutAQuestion()
    {
        Harness h;
        h.button("SpeedButton90")->click();
        h.engine->calls.clear();
        QList<bool> flagAtNotification;
        connect(
            h.engine, &MediaEngine::stateChanged, this, [&] { flagAtNotification << h.promptSuppressed(); });
        h.window.close();
        QCOMPARE(h.engine->calls.first(), QStringLiteral("stop"));
        QCOMPARE(h.engine->calls.last(), QStringLiteral("close"));
        QVERIFY(!flagAtNotification.isEmpty());
        QVERIFY(!flagAtNotification.contains(false));
    }

    void wheelSetsTheVolumeAnywhereInWholeNotches_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QList<int>>("angles");
        QTest::addColumn<int>("volume");
        QTest::newRow("over the tab row") << QStringLiteral("TabControl1") << QList<int> { 120 } << 53;
        QTest::newRow("touchpad, quarter notches")
            << QStringLiteral("Form1") << QList<int> { 30, 30, 30, 30 } << 53;
        QTest::newRow("fine wheel down") << QStringLiteral("PanelBrasil") << QList<int> { -60, -60 } << 47;
        QTest::newRow("less than a notch") << QStringLiteral("Form1") << QList<int> { 40, 40 } << 50;
    }
    void wheelSetsTheVolumeAnywhereInWholeNotches()
    {
        QFETCH(QString, target);
        QFETCH(QList<int>, angles);
        QFETCH(int, volume);
        Harness h;
        QWidget *over = target == h.window.objectName() ? &h.window : h.window.findChild<QWidget *>(target);
        QVERIFY(over);
        const int tab = h.tabs()->currentIndex();
        for (int angle : angles) {
            QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, angle), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(over, &wheel);
        }
        QCOMPARE(h.engine->volume(), volume);
        QCOMPARE(h.tabs()->currentIndex(), tab);
    }

    void dropOnTheWindowIsHandledOnceTheDragEnds()
    {
        Harness h;
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(QStringLiteral("/m/a.mp3")) });
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&h.window, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&h.window, &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(!h.engine->calls.contains(QStringLiteral("setUrl /m/a.mp3")));
        QTRY_VERIFY(h.engine->calls.contains(QStringLiteral("setUrl /m/a.mp3")));
    }

    void webcamButtonsWearTheirFontAndShowTheirCaption_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("EUA") << QStringLiteral("SpeedButton34");
        QTest::newRow("ReinoUnido") << QStringLiteral("SpeedButton98");
    }
    void webcamButtonsWearTheirFontAndShowTheirCaption()
    {
        QFETCH(QString, control);
        Harness h;
        QToolButton *button = h.window.findChild<QToolButton *>(control);
        QVERIFY(button);
        QCOMPARE(button->font().pixelSize(), 11);
        const QFontMetrics metrics(button->font());
        const int margins = button->sizeHint().width() - metrics.horizontalAdvance(button->text());
        QVERIFY2(metrics.horizontalAdvance(button->text()) + margins <= button->width(),
            qPrintable(button->text()));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
