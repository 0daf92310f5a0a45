// CPU while a local video plays: the whole program (main window shown, libmpv
// drawing through the render API, the display tick running) against the mpv
// player drawing the same file through its own OpenGL output, measured in the
// same run. Then the program's CPU while paused and while stopped.
//   bench_playing [--seconds N]      (runs itself under xvfb-run without a display)
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MpvEngine.h"
#include "playback/Transport.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int kVideoSeconds = 20;
constexpr int kSettleMs = 1000;

void fail(const char *what)
{
    std::fprintf(stderr, "bench_playing: %s\n", what);
    std::exit(1);
}

// No display: run again under a virtual X server with software OpenGL.
void ensureDisplay(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    std::vector<char *> args = { const_cast<char *>("xvfb-run"), const_cast<char *>("-a"),
        const_cast<char *>("-s"), const_cast<char *>("-screen 0 1280x1024x24") };
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp(args[0], args.data());
    fail("no display and xvfb-run could not be started");
}

// Runs the event loop for a while (the window keeps playing meanwhile).
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

double ownCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// utime + stime of another process, all its threads.
double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The command name may hold spaces; the fields count from after its ")".
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

// CPU percent of this process over a stretch of wall time with the loop running.
double ownCpuPercentOver(int seconds)
{
    QElapsedTimer wall;
    const double before = ownCpuSeconds();
    wall.start();
    runFor(seconds * 1000);
    return 100 * (ownCpuSeconds() - before) / (double(wall.nsecsElapsed()) / 1e9);
}

QString makeVideo(const QString &dir)
{
    const QString path = dir + QStringLiteral("/bench.mp4");
    const QStringList args = { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
        QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
        QStringLiteral("-i"), QStringLiteral("testsrc2=size=640x360:rate=30:duration=%1").arg(kVideoSeconds),
        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("sine=frequency=440:duration=%1").arg(kVideoSeconds), QStringLiteral("-c:v"),
        QStringLiteral("libx264"), QStringLiteral("-preset"), QStringLiteral("veryfast"),
        QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), QStringLiteral("-c:a"), QStringLiteral("aac"),
        QStringLiteral("-shortest"), path };
    if (QProcess::execute(QStringLiteral("ffmpeg"), args) != 0 || !QFile::exists(path))
        fail("ffmpeg could not make the test video");
    return path;
}

// The reference: mpv with its OpenGL output on X11 (EGL: Debian's mpv has no GLX),
// no sound device, at the size of the program's video area.
double mpvCpuPercent(const QString &video, QSize area, int seconds)
{
    QProcess mpv;
    mpv.setProcessChannelMode(QProcess::MergedChannels);
    mpv.start(QStringLiteral("mpv"),
        { QStringLiteral("--no-config"), QStringLiteral("--vo=gpu"), QStringLiteral("--gpu-api=opengl"),
            QStringLiteral("--gpu-context=x11egl"), QStringLiteral("--ao=null"),
            QStringLiteral("--hwdec=auto-safe"), QStringLiteral("--ytdl=no"), QStringLiteral("--osc=no"),
            QStringLiteral("--load-stats-overlay=no"), QStringLiteral("--load-osd-console=no"),
            QStringLiteral("--load-auto-profiles=no"),
            QStringLiteral("--geometry=%1x%2").arg(area.width()).arg(area.height()), video });
    if (!mpv.waitForStarted())
        fail("mpv could not be started");
    QByteArray output;
    // The video output line comes once the first frame is on its way.
    const bool drawing = runUntil(
        [&] {
            output += mpv.readAll();
            return output.contains("VO: [gpu]") || mpv.state() == QProcess::NotRunning;
        },
        20000);
    if (!drawing || mpv.state() == QProcess::NotRunning) {
        std::fprintf(stderr, "%s\n", output.constData());
        fail("mpv did not start drawing");
    }
    runFor(kSettleMs);
    QElapsedTimer wall;
    const double before = processCpuSeconds(mpv.processId());
    wall.start();
    runFor(seconds * 1000);
    const double after = processCpuSeconds(mpv.processId());
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    mpv.kill();
    mpv.waitForFinished();
    if (before < 0 || after < 0)
        fail("mpv ended before the measurement did");
    return 100 * (after - before) / elapsed;
}

struct ProgramFigures {
    double playing = 0;
    double paused = 0;
    double stopped = 0;
    QSize area;
};

ProgramFigures measureProgram(const QString &video, int seconds)
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    auto engine = std::make_unique<MpvEngine>(MpvEngine::Output::Screen);
    bool renderFailed = false;
    QObject::connect(engine.get(), &MpvEngine::renderFailed, [&renderFailed] { renderFailed = true; });
    Program program(std::move(engine), catalogue, std::make_unique<RecordingPowerOff>(), 0);
    if (!program.started())
        fail("the main window did not start");
    MainWindow &form = *program.form1;
    // The update check would fetch from the Internet every three seconds.
    if (auto *check = form.findChild<QTimer *>(QStringLiteral("TimerUpdateCheck")))
        check->stop();
    setMessageHandler([](QWidget *, const MessageRequest &request) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        return QMessageBox::Cancel;
    });
    form.show();
    if (!runUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }, 10000))
        fail("the main window was never shown");

    MediaEngine &player = form.engine();
    auto press
        = [&form](const char *name) { form.findChild<QToolButton *>(QString::fromLatin1(name))->click(); };
    form.transport()->chooseFile = [video] { return video; };
    press("SpeedButton44");
    if (!runUntil([&] { return player.status() == QLatin1String("Reproduzindo") || renderFailed; }, 20000)
        || renderFailed)
        fail("the program did not start playing");

    ProgramFigures figures;
    figures.area = player.videoWidget()->size();
    runFor(kSettleMs);
    figures.playing = ownCpuPercentOver(seconds);
    if (player.status() != QLatin1String("Reproduzindo"))
        fail("the video stopped playing during the measurement");

    press("SpeedButton42");
    if (player.status() != QLatin1String("Em pausa"))
        fail("the program did not pause");
    runFor(kSettleMs);
    figures.paused = ownCpuPercentOver(seconds);

    press("SpeedButton40");
    if (player.status() != QLatin1String("Parado"))
        fail("the program did not stop");
    runFor(kSettleMs);
    figures.stopped = ownCpuPercentOver(seconds);
    setMessageHandler({});
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    ensureDisplay(argc, argv);
    int seconds = 10;
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--seconds") == 0)
            seconds = std::atoi(argv[i + 1]);
    if (seconds < 1 || seconds > kVideoSeconds - 5)
        fail("--seconds must be between 1 and 15");

    // As the program itself: the video widget may move between windows.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (!MpvEngine::openGlAvailable())
        fail("no OpenGL context can be made here");
    if (QStandardPaths::findExecutable(QStringLiteral("mpv")).isEmpty())
        fail("the mpv player is needed as the reference");

    QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary folder");
    const QString video = makeVideo(dir.path());

    const ProgramFigures ours = measureProgram(video, seconds);
    const double reference = mpvCpuPercent(video, ours.area, seconds);
    const double ratio = reference > 0 ? ours.playing / reference : 0;

    std::printf("%-30s %12s %14s %7s  %s\n", "figure", "lumivortex", "reference", "ratio", "goal");
    std::printf("%-30s %12.1f %8.1f (mpv) %7.2f  %s\n",
        qPrintable(QStringLiteral("CPU playing %1s of video (%)").arg(seconds)), ours.playing, reference,
        ratio, "<= 1.05x mpv");
    std::printf("%-30s %12.2f %14s %7s  %s\n",
        qPrintable(QStringLiteral("CPU paused over %1s (%)").arg(seconds)), ours.paused, "-", "-", "~0");
    std::printf("%-30s %12.2f %14s %7s  %s\n",
        qPrintable(QStringLiteral("CPU stopped over %1s (%)").arg(seconds)), ours.stopped, "-", "-", "~0");
    std::printf("(640x360 30 fps H.264 + AAC, null audio in mpv, video area %dx%d, update check off)\n",
        ours.area.width(), ours.area.height());
    // One row for bench/run's table: figure|ours|reference|ratio|goal.
    std::printf(
        "TABLE|CPU playing video (%%)|%.1f|%.1f (mpv)|%.2f|<= 1.05x mpv\n", ours.playing, reference, ratio);
    std::printf("TABLE|CPU paused, stopped (%%)|%.2f, %.2f|-|-|~0\n", ours.paused, ours.stopped);
    return ratio <= 1.05 ? 0 : 2;
}
