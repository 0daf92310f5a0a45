#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>

// What ffprobe finds in a recorded file: its length and any hole in its
// picture (a step between two frames longer than `gapSeconds`).
struct MediaProbe {
    double duration = -1; // the container's length; -1 when ffprobe could not read it
    int frames = 0;
    int gaps = 0;
    double longestStep = 0;
    double firstFrame = 0;
    double lastFrame = 0;

    static MediaProbe of(const QString &path, double gapSeconds = 0.1)
    {
        MediaProbe probe;
        QProcess ffprobe;
        ffprobe.start(QStringLiteral("ffprobe"),
            { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), path });
        ffprobe.waitForFinished(60000);
        bool ok = false;
        probe.duration = QString::fromLatin1(ffprobe.readAllStandardOutput()).trimmed().toDouble(&ok);
        if (!ok)
            probe.duration = -1;
        ffprobe.start(QStringLiteral("ffprobe"),
            { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                QStringLiteral("v"), QStringLiteral("-show_entries"), QStringLiteral("packet=pts_time"),
                QStringLiteral("-of"), QStringLiteral("csv=p=0"), path });
        ffprobe.waitForFinished(120000);
        QList<double> times;
        const QStringList lines
            = QString::fromLatin1(ffprobe.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (QString line : lines) {
            line.remove(QLatin1Char(','));
            bool number = false;
            const double t = line.trimmed().toDouble(&number);
            if (number)
                times << t;
        }
        std::sort(times.begin(), times.end());
        probe.frames = int(times.size());
        if (!times.isEmpty()) {
            probe.firstFrame = times.first();
            probe.lastFrame = times.last();
        }
        for (qsizetype i = 1; i < times.size(); ++i) {
            const double step = times[i] - times[i - 1];
            probe.longestStep = std::max(probe.longestStep, step);
            if (step > gapSeconds)
                ++probe.gaps;
        }
        return probe;
    }

    // Decodes the whole file with ffmpeg: what it complained of, empty when
    // it read to the end without an error.
    static QString decodingErrors(const QString &path)
    {
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
            { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-f"),
                QStringLiteral("null"), QStringLiteral("-") });
        ffmpeg.waitForFinished(300000);
        const QString errors = QString::fromUtf8(ffmpeg.readAllStandardError()).trimmed();
        if (ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
            return errors + QStringLiteral(" (ffmpeg failed)");
        return errors;
    }
};
