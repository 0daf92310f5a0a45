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
#include "player/Player.h"
#include "player/Transport.h"
#include "tests/support/FixedFileChooser.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QFile>
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

// A player that plays video spends several per cent; next to nothing means it
// never began (seen once with Celluloid): measure it again rather than let a
// failed start pass as the cheapest player.
double playingReferenceCpuPercent(const Reference &player, int seconds)
{
    constexpr double kPlayingFloor = 1.0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const double cpu = referenceCpuPercent(player, seconds);
        if (cpu >= kPlayingFloor)
            return cpu;
        std::fprintf(stderr, "%s spent %.1f %%: it did not play; measuring again\n", player.name, cpu);
    }
    fail("a reference player did not play the video");
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

// Resident memory of this process, and whether a GL driver is mapped into it.
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
    return 0;
}

bool glDriverMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("_dri.so");
}

struct ProgramFigures {
    double rssPlaying = 0;
    bool glPlaying = false;
    double playing = 0;
    double paused = 0;
    double stopped = 0;
    QSize area;
};

ProgramFigures measureProgram(const QString &video, int seconds, bool pausedAndStoppedToo)
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    Program program(std::make_unique<MpvEngine>(MpvEngine::Output::Screen), catalogue,
        std::make_unique<RecordingPowerOff>(), 0);
    if (!program.started())
        fail("the main window did not start");
    MainWindow &form = program.mainWindow();
    // The update check would fetch from the Internet every three seconds.
    program.updateChecker().checkTimer()->stop();
    setMessageHandler([](QWidget *, const MessageRequest &request) {
        std::fprintf(stderr, "message box: %s\n", qPrintable(request.text));
        return QMessageBox::Cancel;
    });
    form.show();
    if (!runUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }, 10000))
        fail("the main window was never shown");

    MediaEngine &player = program.player().engine();
    auto press
        = [&form](const char *name) { form.findChild<QToolButton *>(QString::fromLatin1(name))->click(); };
    FixedFileChooser chooser;
    chooser.answer = video;
    program.player().transport().setFileChooser(&chooser);
    press("SpeedButton44");
    if (!runUntil([&] { return player.state() == MediaEngine::State::Playing; }, 20000))
        fail("the program did not start playing");

    ProgramFigures figures;
    figures.area = player.videoWidget()->size();
    runFor(kSettleMs);
    figures.playing = ownCpuPercentOver(seconds);
    figures.rssPlaying = residentMb();
    figures.glPlaying = glDriverMapped();
    if (player.state() != MediaEngine::State::Playing)
        fail("the video stopped playing during the measurement");
    if (!pausedAndStoppedToo) {
        setMessageHandler({});
        return figures;
    }

    press("SpeedButton42");
    if (player.state() != MediaEngine::State::Paused)
        fail("the program did not pause");
    runFor(kSettleMs);
    figures.paused = ownCpuPercentOver(seconds);

    press("SpeedButton40");
    if (player.state() != MediaEngine::State::Stopped)
        fail("the program did not stop");
    runFor(kSettleMs);
    figures.stopped = ownCpuPercentOver(seconds);
    setMessageHandler({});
    return figures;
}

} // namespace

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int main(int argc, char **argv)
{
    ensureDisplay(argc, argv);
    int seconds = 10;
    int rounds = 3;
    bool programOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
        else if (qstrcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (qstrcmp(argv[i], "--program-only") == 0)
            programOnly = true;
    }
    if (seconds < 1 || seconds > kVideoSeconds - 15)
        fail("--seconds must be between 1 and 25");
    if (rounds < 1 || rounds > 9)
        fail("--rounds must be between 1 and 9");

    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const bool wayland = QGuiApplication::platformName() == QLatin1String("wayland");
    const char *platform = wayland ? "Wayland" : "X11";

    QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary folder");
    const QString video = makeVideo(dir.path());

    // The players take turns, round after round, so a burst of load elsewhere
    // on the machine falls on one round of one player; the median leaves it out.
    ProgramFigures ours;
    std::vector<double> ourRounds;
    std::vector<std::pair<Reference, std::vector<double>>> references;
    const QSize area(537, 393);
    if (wayland) {
        references.push_back(
            { { "mpv", QStringLiteral("mpv"), mpvArgs(QStringLiteral("wayland"), video, area), "VO: [gpu]" },
                {} });
    } else if (!programOnly) {
        references.push_back({ { "Celluloid", QStringLiteral("celluloid"), { video }, {} }, {} });
        references.push_back({ { "SMPlayer", QStringLiteral("smplayer"), { video }, {} }, {} });
        references.push_back(
            { { "mpv", QStringLiteral("mpv"), mpvArgs(QStringLiteral("x11egl"), video, area), "VO: [gpu]" },
                {} });
    }
    if (programOnly)
        references.clear();
    for (int round = 0; round < rounds; ++round) {
        const ProgramFigures figures = measureProgram(video, seconds, round == rounds - 1);
        ourRounds.push_back(figures.playing);
        if (round == rounds - 1)
            ours = figures;
        std::printf("%s round %d: program %.1f", platform, round + 1, figures.playing);
        for (auto &[player, cpu] : references) {
            cpu.push_back(playingReferenceCpuPercent(player, seconds));
            std::printf(", %s %.1f", player.name, cpu.back());
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    ours.playing = median(ourRounds);
    if (references.empty()) {
        std::printf("%s: program %.1f %% playing (median of %d)\n", platform, ours.playing, rounds);
        return 0;
    }

    QString all;
    const char *cheapestName = nullptr;
    double cheapest = 0;
    for (const auto &[player, cpu] : references) {
        const double figure = median(cpu);
        all += QStringLiteral("%1%2 %3")
                   .arg(all.isEmpty() ? QString() : QStringLiteral(", "))
                   .arg(QLatin1String(player.name))
                   .arg(figure, 0, 'f', 1);
        if (!cheapestName || figure < cheapest) {
            cheapestName = player.name;
            cheapest = figure;
        }
    }
    const double ratio = cheapest > 0 ? ours.playing / cheapest : 0;
    const QString goal
        = wayland ? QStringLiteral("<= 1.0x mpv") : QStringLiteral("<= cheapest of Celluloid, SMPlayer, mpv");

    std::printf("%s: program %.1f %% playing; %s; cheapest %s, ratio %.2f (goal %s; medians of %d rounds)\n",
        platform, ours.playing, qPrintable(all), cheapestName, ratio, qPrintable(goal), rounds);
    std::printf("%s: program paused %.2f %%, stopped %.2f %%\n", platform, ours.paused, ours.stopped);
    std::printf("%s: while playing: %.1f MB resident, GL driver %s\n", platform, ours.rssPlaying,
        ours.glPlaying ? "mapped" : "not mapped");
    std::printf("(640x360 30 fps H.264 + AAC, %d s measured per player and round, video area %dx%d, update "
                "check off)\n",
        seconds, ours.area.width(), ours.area.height());
    // Rows for bench/run's table: figure|ours|reference|ratio|goal.
    std::printf("TABLE|CPU playing video, %s (%%)|%.1f|%s (%s)|%.2f|%s\n", platform, ours.playing,
        qPrintable(all), cheapestName, ratio, qPrintable(goal));
    std::printf(
        "TABLE|CPU paused, stopped, %s (%%)|%.2f, %.2f|-|-|~0\n", platform, ours.paused, ours.stopped);
    return ratio <= 1.0 ? 0 : 2;
}
