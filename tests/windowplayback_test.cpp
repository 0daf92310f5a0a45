// The Player tab's transport on the real libmpv engine (null outputs): a
// two-second file opened, played, paused, seeked and stopped through the main
// window's own buttons, with the display tick driven by hand.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MpvEngine.h"
#include "player/ChannelTitle.h"
#include "player/Transport.h"
#include "tests/support/FixedFileChooser.h"
#include "tests/support/Fixtures.h"
#include "tests/support/RunningProgram.h"
#include "widgets/ButtonColour.h"
#include "widgets/MessageBox.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace ButtonColour;

namespace
{

using Fixtures::slowdown;

constexpr MediaEngine::State playing = MediaEngine::State::Playing;
constexpr MediaEngine::State paused = MediaEngine::State::Paused;
constexpr MediaEngine::State stopped = MediaEngine::State::Stopped;

QString fixture(const QString &name)
{
    return Fixtures::path(name);
}

// All the windows of a run, on an engine without outputs.
struct Window : RunningProgram {
    Window()
        : RunningProgram(std::make_unique<MpvEngine>(MpvEngine::Output::Null))
    {
    }

    template <typename T> T *control(const char *name)
    {
        const QList<T *> found = form().findChildren<T *>(QString::fromLatin1(name));
        if (found.size() != 1)
            qFatal("%d controls named %s", int(found.size()), name);
        return found.first();
    }
    QToolButton *button(const char *name) { return control<QToolButton>(name); }
    QLabel *timeText() { return control<QLabel>("Label2"); }
    QProgressBar *gauge() { return control<QProgressBar>("Gauge1"); }
    QTimer *tick() { return windowTimer("TimerMediaTempo"); }
    QColor playButton() { return of(button("SpeedButton42")); }
    QString title(const char *status)
    {
        return player().title().lastChannelTitle() + QLatin1Char(' ') + QString::fromUtf8(status);
    }

    // What the open dialog would hand over.
    void open(const QString &path)
    {
        chooser.answer = path;
        player().transport().setFileChooser(&chooser);
        button("SpeedButton44")->click();
    }
    // From here on only the test runs the display tick.
    void holdTick()
    {
        QVERIFY(tick()->isActive());
        tick()->stop();
    }
    void runTick() { player().transport().refreshDisplay(); }

    FixedFileChooser chooser;
};

} // namespace

class WindowPlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void openPlaysTheChosenFile()
    {
        Window w;
        QVERIFY(w.program.started());
        const QString path = fixture(QStringLiteral("clip2.mp4"));
        w.open(path);
        QCOMPARE(w.engine().url(), path);
        QCOMPARE(w.playButton(), Lime);
        QVERIFY(w.tick()->isActive());
        QVERIFY(!w.control<QLabel>("Label122")->isHidden());
        QCOMPARE(w.control<QLabel>("Label10")->text(), QStringLiteral("clip2.mp4"));
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 5000 * slowdown);
        QCOMPARE(w.form().windowTitle(), w.title("Reproduzindo"));
        QVERIFY(w.asked.isEmpty());
    }

    void displayTickShowsTimeAndMovesTheGaugeWhilePausedToo()
    {
        Window w;
        w.open(fixture(QStringLiteral("clip2.mp4")));
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 5000 * slowdown);
        w.button("SpeedButton42")->click();
        QCOMPARE(w.engine().state(), paused);
        QCOMPARE(w.form().windowTitle(), w.title("Em pausa"));
        QCOMPARE(w.playButton(), Red);
        QVERIFY2(w.engine().currentPosition() < 0.5, "paused too late to see the start");
        w.holdTick(); // pausing leaves the tick running
        w.runTick();
        QCOMPARE(w.timeText()->text(), QStringLiteral("00:00 / 00:02"));
        QCOMPARE(w.gauge()->maximum(), 2);
        QCOMPARE(w.gauge()->value(), 0);

        w.button("SpeedButton42")->click();
        QCOMPARE(w.engine().state(), playing);
        QCOMPARE(w.playButton(), Lime);
        w.holdTick();
        QTRY_VERIFY_WITH_TIMEOUT(w.engine().currentPosition() > 1.1, 3000 * slowdown);
        w.button("SpeedButton42")->click();
        QCOMPARE(w.engine().state(), paused);
        w.runTick();
        QCOMPARE(w.timeText()->text(), QStringLiteral("00:01 / 00:02"));
        QVERIFY2(w.gauge()->value() >= 1, qPrintable(QString::number(w.gauge()->value())));
    }

    void seeksByFifteenSecondsStayInsideTheFile()
    {
        Window w;
        w.open(fixture(QStringLiteral("clip2.mp4")));
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 5000 * slowdown);
        w.holdTick();
        QTRY_VERIFY_WITH_TIMEOUT(w.engine().currentPosition() > 1.0, 3000 * slowdown);
        w.button("SpeedButton42")->click();
        QCOMPARE(w.engine().state(), paused);

        w.button("SpeedButton46")->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.engine().currentPosition() < 0.2, 3000 * slowdown);
        QCOMPARE(w.engine().state(), paused);
        w.runTick();
        QCOMPARE(w.timeText()->text(), QStringLiteral("00:00 / 00:02"));
        QCOMPARE(w.gauge()->value(), 0);

        // +15 s lands on the end and waits there, paused; playing on ends the file.
        w.button("SpeedButton45")->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.engine().currentPosition() > 1.9, 3000 * slowdown);
        QVERIFY(w.engine().currentPosition() < w.engine().duration() + 0.1);
        QCOMPARE(w.engine().state(), paused);
        w.runTick();
        QCOMPARE(w.timeText()->text(), QStringLiteral("00:02 / 00:02"));
        QCOMPARE(w.gauge()->value(), 2);
        w.button("SpeedButton42")->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), stopped, 5000 * slowdown);
        QCOMPARE(w.playButton(), Blue);
        QVERIFY(!w.tick()->isActive());
    }

    void stopKeepsTheLastTimeAndGauge()
    {
        Window w;
        w.open(fixture(QStringLiteral("clip2.mp4")));
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 5000 * slowdown);
        QTRY_VERIFY_WITH_TIMEOUT(w.engine().currentPosition() > 1.0, 3000 * slowdown);
        QVERIFY(w.tick()->isActive()); // left running: stop must end it
        w.runTick();
        const QString shown = w.timeText()->text();
        const int progress = w.gauge()->value();
        QVERIFY(progress >= 1);

        w.button("SpeedButton40")->click();
        QCOMPARE(w.engine().state(), stopped);
        QCOMPARE(w.form().windowTitle(), w.title("Parado"));
        QCOMPARE(w.playButton(), Blue);
        QVERIFY(!w.tick()->isActive());
        QVERIFY(w.control<QLabel>("Label122")->isHidden());
        QCOMPARE(w.timeText()->text(), shown);
        QCOMPARE(w.gauge()->value(), progress);
        QCOMPARE(w.engine().currentPositionString(), QString());
    }

    void fileThatPlaysToItsEndStopsTheTransport()
    {
        Window w;
        w.open(fixture(QStringLiteral("clip2.mp4")));
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 5000 * slowdown);
        // The file's end runs the full stop, which leaves the engine stopped.
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), stopped, 6000 * slowdown);
        QCOMPARE(w.form().windowTitle(), w.title("Parado"));
        QCOMPARE(w.playButton(), Blue);
        QVERIFY(!w.tick()->isActive());
        QVERIFY(w.asked.isEmpty());
    }

    void unplayableFileIsMarkedWithTheButtonStillLime()
    {
        const QString path
            = QDir(qEnvironmentVariable("LUMI_FIXTURE_DIR")).filePath(QStringLiteral("not-a-video.avi"));
        QFile junk(path);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        Window w;
        w.open(path);
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), MediaEngine::State::Failed, 5000 * slowdown);
        QCOMPARE(w.form().windowTitle(),
            w.player().title().lastChannelTitle() + QStringLiteral(" Canal Congestionado!"));
        QCOMPARE(w.playButton(), Lime);
        QCOMPARE(w.asked.size(), 1);
        w.runTick();
        QCOMPARE(w.timeText()->text(), QStringLiteral("00:00 / 00:00"));
    }
};

QTEST_MAIN(WindowPlaybackTest)
#include "windowplayback_test.moc"
