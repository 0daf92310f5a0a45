// CPU while a local video plays: the whole program (main window shown, the
// video drawn by the path the engine picks here, the display tick running)
// against the players a user would pick instead, on the same file in the same
// run. X11: Celluloid, SMPlayer and bare mpv (OpenGL output); goal: no more
// than the cheapest. Wayland: bare mpv; goal: no more than it. Then the
// program's CPU while paused and while stopped.
//   bench_playing [--seconds N]   (X11: runs itself under xvfb-run without a display;
//                                  Wayland: QT_QPA_PLATFORM=wayland with WAYLAND_DISPLAY set)
#include "app/MainWindow.h"
#include "app/Program.h"
#include "bench/PlayingCpu.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MpvEngine.h"
#include "playback/Transport.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <clocale>

using namespace PlayingCpu;

namespace
{

struct Reference {
    const char *name;
    QString program;
    QStringList args;
    // Printed by the player once it draws; empty: wait a fixed start-up instead.
    QByteArray drawing;
};

double referenceCpuPercent(const Reference &player, int seconds)
{
    if (QStandardPaths::findExecutable(player.program).isEmpty())
        fail(qPrintable(
            QStringLiteral("%1 is needed as a reference (bench/run installs it)").arg(player.program)));
    QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A fresh user: no settings of an earlier run or of the machine's owner.
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(player.program, player.args);
    if (!process.waitForStarted())
        fail("a reference player could not be started");
    QByteArray output;
    const bool started = player.drawing.isEmpty() ? runUntil(
                   [&] {
                       output += process.readAll();
                       return process.state() == QProcess::NotRunning;
                   },
                   5000),
               process.state() == QProcess::Running
        : runUntil(
              [&] {
                  output += process.readAll();
                  return output.contains(player.drawing) || process.state() == QProcess::NotRunning;
              },
              20000)
        && process.state() == QProcess::Running;
    if (!started) {
        std::fprintf(stderr, "%s\n", output.constData());
        fail("a reference player did not start drawing");
    }
    runFor(kSettleMs);
    const double cpu = treeCpuPercentOver(process.processId(), seconds);
    endTree(process);
    if (cpu < 0)
        fail("a reference player ended before the measurement did");
    return cpu;
}

QStringList mpvArgs(const QString &context, const QString &video, QSize area)
{
    return { QStringLiteral("--no-config"), QStringLiteral("--vo=gpu"), QStringLiteral("--gpu-api=opengl"),
        QStringLiteral("--gpu-context=") + context, QStringLiteral("--ao=null"),
        QStringLiteral("--hwdec=auto-safe"), QStringLiteral("--ytdl=no"), QStringLiteral("--osc=no"),
        QStringLiteral("--load-stats-overlay=no"), QStringLiteral("--load-osd-console=no"),
        QStringLiteral("--load-auto-profiles=no"),
        QStringLiteral("--geometry=%1x%2").arg(area.width()).arg(area.height()), video };
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
    Program program(std::make_unique<MpvEngine>(MpvEngine::Output::Screen), catalogue,
        std::make_unique<RecordingPowerOff>(), 0);
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
    if (!runUntil([&] { return player.status() == QLatin1String("Reproduzindo"); }, 20000))
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
    if (seconds < 1 || seconds > kVideoSeconds - 15)
        fail("--seconds must be between 1 and 25");

    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const bool wayland = QGuiApplication::platformName() == QLatin1String("wayland");
    const char *platform = wayland ? "Wayland" : "X11";

    QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary folder");
    const QString video = makeVideo(dir.path());

    const ProgramFigures ours = measureProgram(video, seconds);
    std::vector<std::pair<const char *, double>> references;
    if (wayland) {
        references.emplace_back("mpv",
            referenceCpuPercent({ "mpv", QStringLiteral("mpv"),
                                    mpvArgs(QStringLiteral("wayland"), video, ours.area), "VO: [gpu]" },
                seconds));
    } else {
        references.emplace_back("Celluloid",
            referenceCpuPercent({ "Celluloid", QStringLiteral("celluloid"), { video }, {} }, seconds));
        references.emplace_back("SMPlayer",
            referenceCpuPercent({ "SMPlayer", QStringLiteral("smplayer"), { video }, {} }, seconds));
        references.emplace_back("mpv",
            referenceCpuPercent({ "mpv", QStringLiteral("mpv"),
                                    mpvArgs(QStringLiteral("x11egl"), video, ours.area), "VO: [gpu]" },
                seconds));
    }
    const auto cheapest = *std::min_element(references.begin(), references.end(),
        [](const auto &a, const auto &b) { return a.second < b.second; });
    const double ratio = cheapest.second > 0 ? ours.playing / cheapest.second : 0;
    QString all;
    for (const auto &[name, cpu] : references)
        all += QStringLiteral("%1%2 %3")
                   .arg(all.isEmpty() ? QString() : QStringLiteral(", "))
                   .arg(QLatin1String(name))
                   .arg(cpu, 0, 'f', 1);
    const QString goal
        = wayland ? QStringLiteral("<= 1.0x mpv") : QStringLiteral("<= cheapest of Celluloid, SMPlayer, mpv");

    std::printf("%s: program %.1f %% playing; %s; cheapest %s, ratio %.2f (goal %s)\n", platform,
        ours.playing, qPrintable(all), cheapest.first, ratio, qPrintable(goal));
    std::printf("%s: program paused %.2f %%, stopped %.2f %%\n", platform, ours.paused, ours.stopped);
    std::printf(
        "(640x360 30 fps H.264 + AAC, %d s measured per player, video area %dx%d, update check off)\n",
        seconds, ours.area.width(), ours.area.height());
    // Rows for bench/run's table: figure|ours|reference|ratio|goal.
    std::printf("TABLE|CPU playing video, %s (%%)|%.1f|%s (%s)|%.2f|%s\n", platform, ours.playing,
        qPrintable(all), cheapest.first, ratio, qPrintable(goal));
    std::printf(
        "TABLE|CPU paused, stopped, %s (%%)|%.2f, %.2f|-|-|~0\n", platform, ours.paused, ours.stopped);
    return ratio <= 1.0 ? 0 : 2;
}
