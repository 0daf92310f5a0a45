// The player maps no OpenGL driver while idle, nor while a video plays when
// only a software rasteriser would draw it (Xvfb with Mesa's software GL:
// libLLVM, swrast, the *_dri.so driver): libmpv's software renderer draws then.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "browser/BrowserProcess.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MediaEngine.h"
#include "player/Player.h"
#include "player/Transport.h"
#include "tests/support/FixedFileChooser.h"
#include "tests/support/Fixtures.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <clocale>

namespace
{
// The GL driver's libraries this process has mapped, empty when none.
QStringList glDriverMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    QStringList found;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QString path = QString::fromLocal8Bit(line.mid(line.indexOf('/')));
        if (!line.contains('/'))
            continue;
        if (path.contains(QLatin1String("libLLVM")) || path.contains(QLatin1String("swrast"))
            || path.endsWith(QLatin1String("_dri.so")))
            if (!found.contains(path))
                found << path;
    }
    return found;
}
} // namespace

class IdleGlTest : public QObject
{
    Q_OBJECT

private slots:
    void glDriverIsMappedOnlyForAGraphicsCard();
    void browserRunsInItsOwnProcessAndEndsWithThePlayer();
};

void IdleGlTest::glDriverIsMappedOnlyForAGraphicsCard()
{
    setMessageHandler([](QWidget *, const MessageRequest &request) {
        qWarning("message: %s", qPrintable(request.text));
        return QMessageBox::Cancel;
    });
    Program program(
        makePlayerEngine(), ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
    QVERIFY(program.started());
    MainWindow &form = program.mainWindow();
    MediaEngine &engine = program.player().engine();
    FixedFileChooser chooser;
    program.player().transport().setFileChooser(&chooser);
    program.updateChecker().checkTimer()->stop();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(glDriverMapped().isEmpty(), qPrintable(glDriverMapped().join(QLatin1Char(' '))));

    chooser.answer = Fixtures::path(QStringLiteral("red.mp4"));
    form.findChild<QToolButton *>(QStringLiteral("SpeedButton44"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(engine.state(), MediaEngine::State::Playing, 10000 * Fixtures::slowdown);
    // Without a graphics device the engine never asks for OpenGL.
    if (QDir(QStringLiteral("/dev/dri")).isEmpty())
        QVERIFY2(glDriverMapped().isEmpty(), qPrintable(glDriverMapped().join(QLatin1Char(' '))));
    engine.setFullScreen(true);
    QVERIFY(engine.isFullScreen());
    engine.setFullScreen(false);
    QCOMPARE(engine.state(), MediaEngine::State::Playing);
    setMessageHandler({});
}

void IdleGlTest::browserRunsInItsOwnProcessAndEndsWithThePlayer()
{
    BrowserProcess browser(QStringLiteral(LUMI_PROGRAM), { BrowserProcess::browserProcessArgument() });
    browser.showCentredOn(nullptr);
    QVERIFY(browser.isRunning());
    const QString maps = QStringLiteral("/proc/%1/maps").arg(browser.processId());
    // The web engine and the GL driver load there when the window shows, never here.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile file(maps);
            return file.open(QIODevice::ReadOnly) && file.readAll().contains("libQt6WebEngineCore");
        }(),
        30000);
    QVERIFY(!glDriverMapped().join(QString()).contains(QLatin1String("WebEngine")));
    QElapsedTimer ending;
    ending.start();
    browser.end();
    QVERIFY(!browser.isRunning());
    // Ended by its own input closing, not killed after the grace time.
    QVERIFY2(ending.elapsed() < 2500, qPrintable(QString::number(ending.elapsed())));
}

int main(int argc, char **argv)
{
    // As the player starts: no GL attribute before the application.
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    IdleGlTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "idle_gl_test.moc"
