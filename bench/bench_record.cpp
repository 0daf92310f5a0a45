// Recording a 5 Mb/s live channel from the loopback server (served by a child
// process, so its CPU is not counted):
//  - CPU while nothing is watched (goal <= 2 % of one core);
//  - CPU while another channel is watched (goal <= watching alone + recording
//    alone + 10 %), watching being the real engine decoding with null outputs;
//  - a two-hour recording, time-accelerated, with one dead connection and one
//    source switch: seconds lost (goal <= 5 s), ffprobe length against the
//    programme time less the losses (goal within 1 %), and bare mpv playing
//    the file from start to end.
//   bench_record [--hours H] [--speed S]     (defaults: 2 h at 12x)
#include "bench/LiveChannels.h"
#include "bench/PlayingCpu.h"
#include "engine/MpvEngine.h"
#include "engine/StreamRecorder.h"
#include "tests/support/MediaProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

using namespace PlayingCpu;

namespace
{

constexpr int measureSeconds = 30;

RecordingSource from(const QString &address)
{
    RecordingSource source;
    source.address = address;
    return source;
}

double cpuRecording(StreamRecorder &recorder, const QString &address)
{
    recorder.start(from(address));
    if (!runUntil([&] { return recorder.secondsWritten() > 2; }, 30000))
        fail("the recording did not start");
    runFor(kSettleMs);
    return ownCpuPercentOver(measureSeconds);
}

} // namespace

int main(int argc, char **argv)
{
    if (LiveChannels::serveIfAsked(argc, argv))
        return 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    double hours = 2;
    double speed = 12;
    bool cpu = true;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--hours") == 0)
            hours = QByteArray(argv[i + 1]).toDouble();
        if (qstrcmp(argv[i], "--speed") == 0)
            speed = QByteArray(argv[i + 1]).toDouble();
    }
    for (int i = 1; i < argc; ++i)
        cpu &= qstrcmp(argv[i], "--no-cpu") != 0;
    QTemporaryDir dir;
    int misses = 0;

    double recordingAlone = 0, watchingAlone = 0, both = 0;
    if (cpu) {
        LiveChannels::Server server(argv[0], 1, { QStringLiteral("/a"), QStringLiteral("/b") });
        {
            StreamRecorder recorder(dir.filePath(QStringLiteral("alone.ts")));
            recordingAlone = cpuRecording(recorder, server.ts[0]);
        }
        {
            MpvEngine engine(MpvEngine::Output::Null);
            engine.setUrl(server.ts[1]);
            if (!runUntil([&] { return engine.state() == MediaEngine::State::Playing; }, 30000))
                fail("the engine did not play the channel");
            runFor(kSettleMs);
            watchingAlone = ownCpuPercentOver(measureSeconds);
            StreamRecorder recorder(dir.filePath(QStringLiteral("both.ts")));
            both = cpuRecording(recorder, server.ts[0]);
        }
    }
    const double sumGoal = (watchingAlone + recordingAlone) * 1.10;
    if (cpu) {
        std::printf("recording a 5 Mb/s channel: CPU %.2f %% alone (goal <= 2 %%)\n", recordingAlone);
        std::printf("  watching another channel: %.2f %% alone, %.2f %% while recording (goal <= %.2f %%)\n",
            watchingAlone, both, sumGoal);
        std::printf("TABLE|CPU recording 5 Mb/s, nothing watched (%%)|%.2f|-|-|<= 2 %%\n", recordingAlone);
        std::printf("TABLE|CPU recording 5 Mb/s while watching another channel (%%)|%.2f|%.2f + %.2f "
                    "(watching + recording alone)|%.2f|<= 1.10x the sum\n",
            both, watchingAlone, recordingAlone, both / (watchingAlone + recordingAlone));
        misses += recordingAlone > 2;
        misses += both > sumGoal;
    }

    // The long recording: every wait the recorder makes is scaled with the clock.
    LiveChannels::Server server(argv[0], speed, { QStringLiteral("/a"), QStringLiteral("/b") });
    StreamRecorderSettings settings;
    settings.stallMs = int(StreamRecorderSettings().stallMs / speed);
    settings.retryMs = std::max(1, int(StreamRecorderSettings().retryMs / speed));
    const QString path = dir.filePath(QStringLiteral("Canal 2h.ts"));
    StreamRecorder recorder(path, settings);
    QStringList interruptions;
    QObject::connect(&recorder, &StreamRecorder::resumed,
        [&](double lost) { interruptions << QString::number(lost * speed, 'f', 2); });
    const double programme = hours * 3600;
    if (!recorder.start(from(server.ts[0])))
        fail("the recording was refused");
    if (!runUntil([&] { return recorder.secondsWritten() > 0; }, 30000))
        fail("the long recording did not start");
    const double startClock = server.clock();
    auto runToClock = [&](double seconds) {
        runUntil(
            [&] { return server.clock() - startClock >= seconds; }, int(programme / speed * 1000) + 60000);
    };
    runToClock(programme / 3);
    server.hang(0);
    runToClock(programme * 2 / 3);
    recorder.switchSource(from(server.ts[1]));
    runToClock(programme);
    const double wall = server.clock() - startClock;
    recorder.stop();
    runUntil([&] { return !recorder.isRunning(); }, 30000);
    const double lost = recorder.secondsLost() * speed; // in programme time
    const MediaProbe probe = MediaProbe::of(path);
    const double expected = wall - lost;
    const double error = std::abs(probe.duration - expected) / wall;

    QProcess mpv;
    QElapsedTimer played;
    played.start();
    mpv.start(QStringLiteral("mpv"),
        { QStringLiteral("--no-config"), QStringLiteral("--vo=null"), QStringLiteral("--ao=null"),
            QStringLiteral("--untimed"), QStringLiteral("--ao-null-untimed"),
            QStringLiteral("--msg-level=all=error"), QStringLiteral("--term-playing-msg=${duration}"),
            path });
    mpv.waitForFinished(-1);
    const bool mpvToTheEnd = mpv.exitStatus() == QProcess::NormalExit && mpv.exitCode() == 0;

    std::printf("%.1f h recording at %.0fx, one dead connection and one source switch:\n", hours, speed);
    std::printf("  programme time %.0f s, file %.1f s (ffprobe), %d frames, longest step %.3f s, %d holes\n",
        wall, probe.duration, probe.frames, probe.longestStep, probe.gaps);
    std::printf("  interruptions: %s s\n", qPrintable(interruptions.join(QStringLiteral(" + "))));
    std::printf("  lost %.1f s (goal <= 5 s); length vs programme less losses: %.2f %% off (goal <= 1 %%)\n",
        lost, error * 100);
    std::printf("  bare mpv played it to the end: %s (%.1f s)\n", mpvToTheEnd ? "yes" : "no",
        double(played.elapsed()) / 1000);
    std::printf(
        "TABLE|%.1f h recording (at %.0fx), dead connection + source switch: lost (s)|%.1f|-|-|<= 5 s\n",
        hours, speed, lost);
    std::printf("TABLE|same: ffprobe length vs programme less losses (s)|%.1f|%.1f|%.4f|within 1 %%, "
                "plays to the end in mpv: %s\n",
        probe.duration, expected, probe.duration / expected, mpvToTheEnd ? "yes" : "no");
    misses += lost > 5;
    misses += error > 0.01;
    misses += !mpvToTheEnd;
    misses += probe.gaps > 0;
    misses += interruptions.size() != 2;
    return misses ? 1 : 0;
}
