#include "options/OptionsWindow.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "player/SourceFailover.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/RecordingPowerOff.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace
{
const QDate Day(2031, 5, 14);

QDateTime at(const QDate &date, const char *time)
{
    return QDateTime(date, QTime::fromString(QLatin1String(time), QStringLiteral("hh:mm:ss.zzz")));
}

// Records the suppression flag whenever the watched window is shown, which a
// stay-on-top change does while it re-creates the native window.
class ShowWatcher : public QObject
{
public:
    ShowWatcher(QWidget *window, const Reconnection &reconnection)
        : m_reconnection(reconnection)
    {
        window->installEventFilter(this);
    }
    QList<bool> flagAtShow;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            flagAtShow << m_reconnection.promptSuppressed();
        return false;
    }

private:
    const Reconnection &m_reconnection;
};
} // namespace

class OptionsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowShowsItsControlsAsDesigned();
    void captionsFitTheirControls();
    void everyChangeOfTheReconnectionBoxFlipsTheTimer();
    void switchSourcesBoxFollowsAndSwitchesTheFailover();
    void reconnectionBoxInvertsTheTimerWhateverItsState();
    void turningOnTopOnStopsPlaybackUnderSuppressedPrompt();
    void turningOnTopOffDoesNotStop();
    void menuPathLeavesTheBoxTickAlone();
    void failingStopLeavesModeAndMenuMarkInStep();
    void stayOnTopKeepsPlaceAndVisibility_data();
    void stayOnTopKeepsPlaceAndVisibility();
    void sleepTimerStopsOnceAtTheChosenTime_data();
    void sleepTimerStopsOnceAtTheChosenTime();
    void failingStopStillPowersOff();
    void sleepTimerRunsOnItsOwnTimer();
    void opensTwentyPixelsLeftOfTheMainWindow();
    void okHidesTheWindow();

private:
    template <typename T> T *control(const char *name)
    {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void tick(const QDateTime &moment)
    {
        now = moment;
        form->sleepTick();
    }

    FakeEngine *engine = nullptr;
    std::unique_ptr<Player> player;
    std::unique_ptr<QWidget> mainWindow;
    QTimer *tryAgain = nullptr;
    std::unique_ptr<QAction> menuItem;
    RecordingPowerOff powerOff;
    std::unique_ptr<OptionsWindow> form;
    QDateTime now;
};

void OptionsWindowTest::init()
{
    engine = new FakeEngine;
    // The window's own stops only: no stopped state for the player to answer with its full stop.
    engine->stopState.reset();
    player = std::make_unique<Player>(std::unique_ptr<MediaEngine>(engine));
    mainWindow = std::make_unique<QWidget>();
    mainWindow->setGeometry(300, 200, 640, 480);
    tryAgain = player->findChild<QTimer *>(QStringLiteral("TimerTryAgain"));
    menuItem = std::make_unique<QAction>(QStringLiteral("Tela Sempre Visível"));
    menuItem->setObjectName(QStringLiteral("elasemprevisivel1"));
    menuItem->setCheckable(true);
    // As the main window's own handler of the menu item does.
    connect(menuItem.get(), &QAction::triggered, this, [this] { form->toggleAlwaysOnTop(); });
    powerOff = RecordingPowerOff();
    form = std::make_unique<OptionsWindow>(
        *engine, player->reconnection(), player->failover(), mainWindow.get(), powerOff);
    // As the main window shows the mode on its menu item.
    connect(form.get(), &OptionsWindow::stayOnTopChanged, menuItem.get(), &QAction::setChecked);
    now = at(Day, "12:00:00.000");
    form->setClock([this] { return now; });
}

void OptionsWindowTest::cleanup()
{
    form.reset();
    menuItem.reset();
    mainWindow.reset();
    player.reset();
}

void OptionsWindowTest::windowShowsItsControlsAsDesigned()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("Opções"));
    QCOMPARE(form->minimumSize(), QSize(314, 266));
    QCOMPARE(form->maximumSize(), QSize(314, 266));
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));

    auto *speedButton = control<QToolButton>("SpeedButton1");
    QVERIFY(!speedButton->isEnabled());
    QCOMPARE(speedButton->text(), QStringLiteral("Tornar o Lumivortex meu Media Player padrão."));
    QCOMPARE(speedButton->geometry(), QRect(40, 16, 241, 33));

    const QList<std::pair<const char *, QString>> boxes { { "CheckBox1",
                                                              QStringLiteral("Ativar sistema Tenacor®.") },
        { "CheckBox2", QStringLiteral("Janela sempre visível") },
        { "CheckBox3", QStringLiteral("Sleep Timer") },
        { "CheckBox4", QStringLiteral("Desligar o computador") } };
    for (const auto &[name, caption] : boxes) {
        QCOMPARE(control<QCheckBox>(name)->text(), caption);
        QVERIFY(!control<QCheckBox>(name)->isChecked());
    }
    QCOMPARE(control<QCheckBox>("CheckBox1")->geometry(), QRect(16, 60, 129, 17));
    QCOMPARE(control<QCheckBox>("CheckBox2")->geometry(), QRect(176, 60, 121, 17));
    QCOMPARE(control<QCheckBox>("CheckBox4")->geometry(), QRect(24, 184, 145, 17));
    QCOMPARE(control<QFrame>("Bevel1")->geometry(), QRect(8, 112, 297, 105));
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("Selecione o horário"));
    QCOMPARE(control<QLabel>("Label1")->pos(), QPoint(24, 128));

    auto *times = control<QComboBox>("ComboBox1");
    QVERIFY(!times->isEditable());
    QCOMPARE(times->geometry(), QRect(24, 144, 145, 21));
    QCOMPARE(times->count(), 96);
    QCOMPARE(times->currentText(), QStringLiteral("00:00:00"));
    QCOMPARE(times->itemText(1), QStringLiteral("00:15:00"));
    QCOMPARE(times->itemText(95), QStringLiteral("23:45:00"));

    QCOMPARE(control<QPushButton>("Button1")->text(), QStringLiteral("OK"));
    QCOMPARE(control<QPushButton>("Button1")->geometry(), QRect(120, 232, 75, 25));

    auto *sleepTimer = control<QTimer>("TimerSleepTimer");
    QVERIFY(sleepTimer->isActive());
    QCOMPARE(sleepTimer->interval(), 1000);
    QVERIFY(!tryAgain->isActive());
}

void OptionsWindowTest::captionsFitTheirControls()
{
    for (const char *name : { "SpeedButton1", "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4" }) {
        auto *button = control<QAbstractButton>(name);
        QVERIFY2(button->sizeHint().width() <= button->width(), name);
    }
    auto *label = control<QLabel>("Label1");
    QVERIFY(label->width() >= label->sizeHint().width());
}

void OptionsWindowTest::everyChangeOfTheReconnectionBoxFlipsTheTimer()
{
    auto *box = control<QCheckBox>("CheckBox1");
    form->show();

    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QVERIFY(tryAgain->isActive());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!tryAgain->isActive());

    // The program sets the box too (the reconnection question, some tunes).
    box->setChecked(true);
    QVERIFY(tryAgain->isActive());
    box->setChecked(true); // no change, no flip
    QVERIFY(tryAgain->isActive());
    box->setChecked(false);
    QVERIFY(!tryAgain->isActive());
    box->setChecked(false);
    QVERIFY(!tryAgain->isActive());
    QCOMPARE(tryAgain->interval(), 1200);
}

void OptionsWindowTest::switchSourcesBoxFollowsAndSwitchesTheFailover()
{
    auto *box = control<QCheckBox>("SwitchSourcesBox");
    QCOMPARE(box->text(), QString::fromUtf8("Trocar de fonte sozinho quando um canal cair"));
    // On by default, and clear of the sleep timer's frame and caption below it.
    QVERIFY(box->isChecked());
    QVERIFY(!box->geometry().intersects(control<QWidget>("Panel1")->geometry()));
    QVERIFY(!box->geometry().intersects(control<QCheckBox>("CheckBox1")->geometry()));
    form->show();
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!player->failover().isEnabled());
    player->failover().setEnabled(true);
    QVERIFY(box->isChecked());
}

void OptionsWindowTest::reconnectionBoxInvertsTheTimerWhateverItsState()
{
    auto *box = control<QCheckBox>("CheckBox1");
    tryAgain->start();
    box->setChecked(true);
    QVERIFY(!tryAgain->isActive());
}

void OptionsWindowTest::turningOnTopOnStopsPlaybackUnderSuppressedPrompt()
{
    mainWindow->show();
    ShowWatcher watcher(mainWindow.get(), player->reconnection());
    QList<bool> flagAtStop;
    engine->onCall = [&](const QString &call) {
        if (call == QStringLiteral("stop"))
            flagAtStop << player->reconnection().promptSuppressed();
    };
    auto *box = control<QCheckBox>("CheckBox2");
    form->show();

    QTest::mouseClick(box, Qt::LeftButton);

    QCOMPARE(engine->calls, QStringList { QStringLiteral("stop") });
    QCOMPARE(flagAtStop, QList<bool> { false });
    QCOMPARE(watcher.flagAtShow, QList<bool> { true });
    QVERIFY(!player->reconnection().promptSuppressed());
    QVERIFY(mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(menuItem->isChecked());
    QVERIFY(box->isChecked());
}

void OptionsWindowTest::turningOnTopOffDoesNotStop()
{
    mainWindow->show();
    auto *box = control<QCheckBox>("CheckBox2");
    form->show();
    QTest::mouseClick(box, Qt::LeftButton);
    engine->calls.clear();
    ShowWatcher watcher(mainWindow.get(), player->reconnection());

    QTest::mouseClick(box, Qt::LeftButton);

    QVERIFY(engine->calls.isEmpty());
    QCOMPARE(watcher.flagAtShow, QList<bool> { false });
    QVERIFY(!mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!menuItem->isChecked());
    QVERIFY(!box->isChecked());
    QVERIFY(!player->reconnection().promptSuppressed());
}

void OptionsWindowTest::menuPathLeavesTheBoxTickAlone()
{
    auto *box = control<QCheckBox>("CheckBox2");
    form->show();

    menuItem->trigger();
    QVERIFY(mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(menuItem->isChecked());
    QVERIFY(!box->isChecked());
    QCOMPARE(engine->calls, QStringList { QStringLiteral("stop") });

    // The box now shows the opposite of the mode; a click still toggles the mode.
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QVERIFY(!mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!menuItem->isChecked());
    QCOMPARE(engine->calls.size(), 1);

    menuItem->trigger();
    QVERIFY(menuItem->isChecked());
    menuItem->trigger();
    QVERIFY(!mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!menuItem->isChecked());
    QVERIFY(box->isChecked());
}

void OptionsWindowTest::failingStopLeavesModeAndMenuMarkInStep()
{
    engine->failingCalls << QStringLiteral("stop");
    menuItem->trigger(); // the item marks itself before its handler runs
    QVERIFY(!mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!menuItem->isChecked());
    QVERIFY(!player->reconnection().promptSuppressed());
}

void OptionsWindowTest::stayOnTopKeepsPlaceAndVisibility_data()
{
    QTest::addColumn<bool>("visible");
    QTest::newRow("shown") << true;
    QTest::newRow("hidden in the tray") << false;
}

void OptionsWindowTest::stayOnTopKeepsPlaceAndVisibility()
{
    QFETCH(bool, visible);
    mainWindow->move(333, 222);
    if (visible)
        mainWindow->show();
    const QPoint place = mainWindow->pos();
    const QSize size = mainWindow->size();

    for (int i = 0; i < 2; ++i) {
        form->toggleAlwaysOnTop();
        QCOMPARE(mainWindow->windowFlags().testFlag(Qt::WindowStaysOnTopHint), i == 0);
        QCOMPARE(mainWindow->isVisible(), visible);
        QCOMPARE(mainWindow->pos(), place);
        QCOMPARE(mainWindow->size(), size);
    }
}

void OptionsWindowTest::sleepTimerStopsOnceAtTheChosenTime_data()
{
    QTest::addColumn<bool>("armed");
    QTest::addColumn<bool>("shutDown");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QList<QDateTime>>("ticks");
    QTest::addColumn<int>("stops");
    QTest::addColumn<int>("powerOffs");

    const QList<QDateTime> aroundEleven { at(Day, "22:59:58.500"), at(Day, "22:59:59.500"),
        at(Day, "23:00:00.100"), at(Day, "23:00:00.900"), at(Day, "23:00:01.500") };
    const QString eleven = QStringLiteral("23:00:00");
    QTest::newRow("two ticks in the second") << true << false << eleven << aroundEleven << 1 << 0;
    QTest::newRow("shut down") << true << true << eleven << aroundEleven << 1 << 1;
    QTest::newRow("sleep timer unchecked") << false << true << eleven << aroundEleven << 0 << 0;
    QTest::newRow("late tick skips the second")
        << true << true << eleven << QList<QDateTime> { at(Day, "22:59:59.900"), at(Day, "23:00:01.300") }
        << 1 << 1;
    QTest::newRow("resumed hours later")
        << true << true << eleven
        << QList<QDateTime> { at(Day, "21:10:00.000"), at(Day, "23:00:00.400"), at(Day, "23:00:01.400") } << 0
        << 0;
    QTest::newRow("default time is midnight")
        << true << false << QStringLiteral("00:00:00")
        << QList<QDateTime> { at(Day, "23:59:59.600"), at(Day.addDays(1), "00:00:00.400") } << 1 << 0;
    QTest::newRow("another time") << true << true << QStringLiteral("23:15:00") << aroundEleven << 0 << 0;
}

void OptionsWindowTest::sleepTimerStopsOnceAtTheChosenTime()
{
    QFETCH(bool, armed);
    QFETCH(bool, shutDown);
    QFETCH(QString, time);
    QFETCH(QList<QDateTime>, ticks);
    QFETCH(int, stops);
    QFETCH(int, powerOffs);

    now = ticks.first().addSecs(-1);
    form->setClock([this] { return now; });
    control<QCheckBox>("CheckBox3")->setChecked(armed);
    control<QCheckBox>("CheckBox4")->setChecked(shutDown);
    auto *times = control<QComboBox>("ComboBox1");
    times->setCurrentIndex(times->findText(time));
    QCOMPARE(times->currentText(), time);

    for (const QDateTime &moment : ticks)
        tick(moment);

    QCOMPARE(engine->calls.count(QStringLiteral("stop")), stops);
    QCOMPARE(powerOff.calls, powerOffs);
    QVERIFY(control<QCheckBox>("CheckBox3")->isChecked() == armed); // nothing is disarmed
}

void OptionsWindowTest::failingStopStillPowersOff()
{
    engine->failingCalls << QStringLiteral("stop");
    control<QCheckBox>("CheckBox3")->setChecked(true);
    control<QCheckBox>("CheckBox4")->setChecked(true);
    tick(at(Day, "23:59:59.500"));
    tick(at(Day.addDays(1), "00:00:00.500"));
    QCOMPARE(engine->calls, QStringList { QStringLiteral("stop") });
    QCOMPARE(powerOff.calls, 1);
}

void OptionsWindowTest::sleepTimerRunsOnItsOwnTimer()
{
    control<QCheckBox>("CheckBox3")->setChecked(true);
    now = at(Day, "23:59:59.500");
    form->setClock([this] { return now; });
    now = at(Day.addDays(1), "00:00:00.200");
    auto *sleepTimer = control<QTimer>("TimerSleepTimer");
    QVERIFY(QMetaObject::invokeMethod(sleepTimer, "timeout"));
    QCOMPARE(engine->calls, QStringList { QStringLiteral("stop") });
}

void OptionsWindowTest::opensTwentyPixelsLeftOfTheMainWindow()
{
    mainWindow->move(400, 300);
    mainWindow->show();
    form->showBeside(mainWindow.get());
    QVERIFY(form->isVisible());
    QCOMPARE(form->pos(), QPoint(380, 300));

    // Later openings keep the window's own top.
    form->move(380, 40);
    form->hide();
    mainWindow->move(520, 310);
    form->showBeside(mainWindow.get());
    QCOMPARE(form->pos(), QPoint(500, 40));
}

void OptionsWindowTest::okHidesTheWindow()
{
    form->showBeside(mainWindow.get());
    QTest::mouseClick(control<QPushButton>("Button1"), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(control<QTimer>("TimerSleepTimer")->isActive()); // keeps running while hidden
}

QTEST_MAIN(OptionsWindowTest)
#include "options_window_test.moc"
