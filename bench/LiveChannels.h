#pragma once

// Live channels for the recording and live-buffer benchmarks, served by a
// child process of their own (this same program run with "--serve"), so that
// the server's CPU is not counted in the figures of the process measured.

#include "tests/support/LiveStream.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <cstdio>
#include <cstring>

namespace LiveChannels
{

// The goals' channel: 5 Mb/s of 640x360 picture (and 64 kb/s of sound).
inline LiveStream::Options fiveMegabits(const QString &name, double speed)
{
    LiveStream::Options options;
    options.name = name;
    options.bitrateKbps = 4900;
    options.width = 640;
    options.height = 360;
    options.speed = speed;
    return options;
}

// In the child: "--serve <speed> <name>...": serves the channels, prints
// one line per channel (its TS address, its HLS address), then waits for its
// standard input to close.
inline bool serveIfAsked(int argc, char **argv)
{
    if (argc < 4 || std::strcmp(argv[1], "--serve") != 0)
        return false;
    QCoreApplication app(argc, argv);
    LoopbackHttpServer server;
    const double speed = QByteArray(argv[2]).toDouble();
    QList<LiveStream *> channels;
    for (int i = 3; i < argc; ++i)
        channels << new LiveStream(server, fiveMegabits(QString::fromUtf8(argv[i]), speed));
    for (LiveStream *channel : std::as_const(channels))
        std::printf("%s %s\n", qPrintable(channel->tsUrl()), qPrintable(channel->hlsUrl()));
    std::fflush(stdout);
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    // Commands on standard input: "hang <n>" hangs channel n's open connections.
    for (;;) {
        const QByteArray line = in.readLine().trimmed();
        if (line.isEmpty() && in.atEnd())
            break;
        const QList<QByteArray> words = line.split(' ');
        if (words.value(0) == "hang")
            channels.value(words.value(1).toInt())->hangOpenConnections();
        else if (words.value(0) == "clock")
            std::printf("%.4f\n", channels.value(words.value(1).toInt())->streamSeconds()),
                std::fflush(stdout);
    }
    qDeleteAll(channels);
    std::_Exit(0);
}

// The parent's view of the child.
class Server
{
public:
    Server(const char *program, double speed, const QStringList &names)
    {
        QStringList args = { QStringLiteral("--serve"), QString::number(speed) };
        args << names;
        m_process.start(QString::fromLocal8Bit(program), args);
        for (int i = 0; i < names.size(); ++i) {
            while (!m_process.canReadLine()) {
                if (!m_process.waitForReadyRead(60000)) {
                    std::fprintf(stderr, "the channel server did not start\n");
                    std::exit(1);
                }
            }
            const QList<QByteArray> urls = m_process.readLine().trimmed().split(' ');
            ts << QString::fromUtf8(urls.value(0));
            hls << QString::fromUtf8(urls.value(1));
        }
    }
    ~Server()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }
    void hang(int channel) { m_process.write("hang " + QByteArray::number(channel) + "\n"); }
    // A channel's clock: seconds of programme broadcast so far.
    double clock(int channel = 0)
    {
        m_process.write("clock " + QByteArray::number(channel) + "\n");
        while (!m_process.canReadLine())
            m_process.waitForReadyRead(1000);
        return m_process.readLine().trimmed().toDouble();
    }
    qint64 pid() const { return m_process.processId(); }

    QStringList ts;
    QStringList hls;

private:
    QProcess m_process;
};

inline double rssMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

} // namespace LiveChannels
