#include "tests/support/LiveStream.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <vector>

namespace
{

constexpr int packetSize = 188;
constexpr int64_t ptsWrap = int64_t(1) << 33;

// One segment of the clip: its TS packets and, per PID, how many of them
// carry a payload (each advances that PID's continuity counter).
struct Segment {
    QByteArray packets;
    std::array<uint8_t, 8192> payloadCount {};
};

int64_t readTimestamp(const uint8_t *p)
{
    return (int64_t((p[0] >> 1) & 7) << 30) | (int64_t(p[1]) << 22) | (int64_t(p[2] >> 1) << 15)
        | (int64_t(p[3]) << 7) | int64_t(p[4] >> 1);
}

void writeTimestamp(uint8_t *p, int64_t ts)
{
    p[0] = uint8_t((p[0] & 0xF1) | (((ts >> 30) & 7) << 1));
    p[1] = uint8_t(ts >> 22);
    p[2] = uint8_t(((ts >> 15) & 0x7F) << 1 | 1);
    p[3] = uint8_t(ts >> 7);
    p[4] = uint8_t((ts & 0x7F) << 1 | 1);
}

// Shifts the PCR, PTS and DTS of one TS packet by offset (90 kHz) and sets its
// continuity counter.
void retimePacket(uint8_t *p, int64_t offset, std::array<uint8_t, 8192> &counters)
{
    if (p[0] != 0x47)
        return;
    const int pid = ((p[1] & 0x1F) << 8) | p[2];
    const bool unitStart = p[1] & 0x40;
    const int control = (p[3] >> 4) & 3;
    int payload = 4;
    if (control & 2) {
        const int length = p[4];
        if (length > 0 && (p[5] & 0x10) && length >= 7) {
            uint8_t *pcr = p + 6;
            int64_t base = (int64_t(pcr[0]) << 25) | (int64_t(pcr[1]) << 17) | (int64_t(pcr[2]) << 9)
                | (int64_t(pcr[3]) << 1) | (pcr[4] >> 7);
            base = (base + offset) % ptsWrap;
            pcr[0] = uint8_t(base >> 25);
            pcr[1] = uint8_t(base >> 17);
            pcr[2] = uint8_t(base >> 9);
            pcr[3] = uint8_t(base >> 1);
            pcr[4] = uint8_t((pcr[4] & 0x7F) | ((base & 1) << 7));
        }
        payload += 1 + length;
    }
    if (control & 1) {
        p[3] = uint8_t((p[3] & 0xF0) | (counters[size_t(pid)] & 0x0F));
        ++counters[size_t(pid)];
    }
    if (!unitStart || !(control & 1) || payload + 14 > packetSize)
        return;
    uint8_t *pes = p + payload;
    if (pes[0] != 0 || pes[1] != 0 || pes[2] != 1 || pes[3] < 0xC0)
        return;
    const int flags = pes[7] >> 6;
    if (flags & 2)
        writeTimestamp(pes + 9, (readTimestamp(pes + 9) + offset) % ptsWrap);
    if (flags == 3 && payload + 19 <= packetSize)
        writeTimestamp(pes + 14, (readTimestamp(pes + 14) + offset) % ptsWrap);
}

QByteArray playlistText(qint64 first, qint64 last, int segmentSeconds, const QByteArray &name)
{
    QByteArray text = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:" + QByteArray::number(segmentSeconds)
        + "\n#EXT-X-MEDIA-SEQUENCE:" + QByteArray::number(first) + "\n";
    for (qint64 n = first; n <= last; ++n)
        text += "#EXTINF:" + QByteArray::number(segmentSeconds) + ".000,\n" + name
            + "/seg.ts?n=" + QByteArray::number(n) + "\n";
    return text;
}

} // namespace

struct LiveStream::State {
    std::vector<Segment> segments;
    std::array<uint32_t, 8192> clipPayloads {}; // per PID, over the whole clip
    int segmentSeconds = 1;
    double speed = 1;
    qint64 clipBytes = 0;
    QElapsedTimer clock;
    std::atomic<bool> stalled { false };
    std::atomic<bool> dead { false };
    std::atomic<bool> closing { false };
    std::atomic<int> generation { 0 }; // connections of an older one hang

    double now() const { return double(clock.nsecsElapsed()) / 1e9 * speed; }
    double clipSeconds() const { return double(segments.size() * size_t(segmentSeconds)); }

    // Segment n of the endless programme, retimed for its loop, with the
    // continuity counters every earlier packet of the programme left.
    QByteArray segment(qint64 n) const
    {
        const qint64 count = qint64(segments.size());
        const qint64 loop = n / count;
        const Segment &s = segments[size_t(n % count)];
        std::array<uint8_t, 8192> counters {};
        for (size_t pid = 0; pid < counters.size(); ++pid) {
            uint64_t before = uint64_t(loop) * clipPayloads[pid];
            for (qint64 i = 0; i < n % count; ++i)
                before += segments[size_t(i)].payloadCount[pid];
            counters[pid] = uint8_t(before & 0x0F);
        }
        QByteArray out = s.packets;
        const int64_t offset = int64_t(std::llround(double(loop) * clipSeconds() * 90000));
        auto *data = reinterpret_cast<uint8_t *>(out.data());
        for (qsizetype at = 0; at + packetSize <= out.size(); at += packetSize)
            retimePacket(data + at, offset, counters);
        return out;
    }

    // Waits while stalled; false when the connection should close.
    bool holdWhileStalled(LoopbackHttpServer::BodyWriter &writer) const
    {
        while (stalled.load() && !dead.load() && !closing.load())
            if (!writer.wait(10))
                return false;
        return !dead.load() && !closing.load();
    }

    void sendTs(LoopbackHttpServer::BodyWriter &writer) const
    {
        const int born = generation.load();
        qint64 n = qint64(now()) / segmentSeconds;
        while (!dead.load() && !closing.load()) {
            const QByteArray bytes = segment(n);
            const qsizetype packets = bytes.size() / packetSize;
            qsizetype sent = 0;
            bool skipped = false;
            while (sent < packets) {
                while (generation.load() != born && !dead.load() && !closing.load())
                    if (!writer.wait(20))
                        return;
                if (stalled.load()) {
                    if (!holdWhileStalled(writer))
                        return;
                    // What was broadcast meanwhile is lost: go on at the live edge.
                    const qint64 live = qint64(now()) / segmentSeconds;
                    if (live > n) {
                        n = live;
                        skipped = true;
                        break;
                    }
                }
                if (dead.load() || closing.load())
                    return;
                const double into = now() - double(n * segmentSeconds);
                const qsizetype due = std::min<qsizetype>(
                    packets, qsizetype(std::ceil(into / segmentSeconds * double(packets))));
                if (due > sent) {
                    if (!writer.write(bytes.constData() + sent * packetSize, (due - sent) * packetSize))
                        return;
                    sent = due;
                } else if (!writer.wait(4)) {
                    return;
                }
            }
            if (!skipped)
                ++n;
        }
    }

    // Enough segments in the window for a client that reloads once a real
    // target duration while the clock runs `speed` times faster.
    qint64 windowSegments() const { return 4 + qint64(std::ceil(speed * 3)); }

    void sendPlaylist(LoopbackHttpServer::BodyWriter &writer, const QByteArray &name) const
    {
        if (!holdWhileStalled(writer))
            return;
        const qint64 last = qint64(now()) / segmentSeconds - 1;
        if (last < 0) {
            writer.wait(int(1000 * segmentSeconds / speed));
            return sendPlaylist(writer, name);
        }
        const QByteArray text
            = playlistText(std::max<qint64>(0, last - windowSegments() + 1), last, segmentSeconds, name);
        writer.write(text.constData(), text.size());
    }

    void sendSegment(LoopbackHttpServer::BodyWriter &writer, const QByteArray &target) const
    {
        const qint64 n = QUrlQuery(QString::fromLatin1(target.mid(target.indexOf('?') + 1)))
                             .queryItemValue(QStringLiteral("n"))
                             .toLongLong();
        if (!holdWhileStalled(writer) || n < 0 || n > qint64(now()) / segmentSeconds)
            return;
        const QByteArray bytes = segment(n);
        writer.write(bytes.constData(), bytes.size());
    }
};

LiveStream::LiveStream(LoopbackHttpServer &server, const Options &options)
    : m_server(server)
    , m_state(std::make_shared<State>())
{
    QTemporaryDir dir;
    if ((options.segmentSeconds * options.clipSegments) % 4 != 0)
        qFatal("LiveStream: the clip must last a multiple of 4 s");
    const int seconds = options.segmentSeconds * options.clipSegments;
    const QString rate = QStringLiteral("%1k").arg(options.bitrateKbps);
    const QStringList args = { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
        QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
        QStringLiteral("-i"),
        QStringLiteral("testsrc2=size=%1x%2:rate=%3:duration=%4")
            .arg(options.width)
            .arg(options.height)
            .arg(options.fps)
            .arg(seconds),
        QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        // 32 kHz sound in 32 ms frames fits a clip of whole 4 s exactly, its
        // first frame being the encoder's priming: the loop neither overlaps nor gaps.
        QStringLiteral("sine=frequency=440:sample_rate=32000:duration=%1").arg(seconds - 0.032),
        QStringLiteral("-vf"),
        QStringLiteral(
            "drawtext=text='%{n} %{pts\\:hms}':fontsize=%1:fontcolor=white:box=1:boxcolor=black:x=8:y=8")
            .arg(std::max(12, options.height / 8)),
        QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
        QStringLiteral("ultrafast"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
        QStringLiteral("-b:v"), rate, QStringLiteral("-minrate"), rate, QStringLiteral("-maxrate"), rate,
        QStringLiteral("-bufsize"), rate, QStringLiteral("-x264-params"), QStringLiteral("nal-hrd=cbr"),
        QStringLiteral("-g"), QString::number(options.fps * options.segmentSeconds),
        QStringLiteral("-keyint_min"), QString::number(options.fps * options.segmentSeconds),
        QStringLiteral("-sc_threshold"), QStringLiteral("0"), QStringLiteral("-c:a"), QStringLiteral("aac"),
        QStringLiteral("-b:a"), QStringLiteral("64k"), QStringLiteral("-f"), QStringLiteral("hls"),
        QStringLiteral("-hls_time"), QString::number(options.segmentSeconds),
        QStringLiteral("-hls_list_size"), QStringLiteral("0"), QStringLiteral("-hls_segment_filename"),
        dir.filePath(QStringLiteral("seg%d.ts")), dir.filePath(QStringLiteral("clip.m3u8")) };
    if (!dir.isValid() || QProcess::execute(QStringLiteral("ffmpeg"), args) != 0)
        qFatal("LiveStream: ffmpeg could not make the clip");
    for (int i = 0;; ++i) {
        QFile file(dir.filePath(QStringLiteral("seg%1.ts").arg(i)));
        if (!file.open(QIODevice::ReadOnly))
            break;
        Segment segment;
        segment.packets = file.readAll();
        const auto *data = reinterpret_cast<const uint8_t *>(segment.packets.constData());
        for (qsizetype at = 0; at + packetSize <= segment.packets.size(); at += packetSize) {
            const int pid = ((data[at + 1] & 0x1F) << 8) | data[at + 2];
            if ((data[at + 3] >> 4) & 1)
                ++segment.payloadCount[size_t(pid)];
        }
        for (size_t pid = 0; pid < m_state->clipPayloads.size(); ++pid)
            m_state->clipPayloads[pid] += segment.payloadCount[pid];
        m_state->clipBytes += segment.packets.size();
        m_state->segments.push_back(std::move(segment));
    }
    if (int(m_state->segments.size()) != options.clipSegments)
        qFatal("LiveStream: ffmpeg made %d segments, not %d", int(m_state->segments.size()),
            options.clipSegments);
    m_state->segmentSeconds = options.segmentSeconds;
    m_state->speed = options.speed;
    m_name = options.name;
    m_state->clock.start();
    serve(true);
}

LiveStream::~LiveStream()
{
    m_state->closing.store(true);
    serve(false);
}

void LiveStream::serve(bool alive)
{
    using Response = LoopbackHttpServer::Response;
    if (!alive) {
        Response gone;
        gone.status = 503;
        gone.contentType = "text/plain";
        gone.body = "Service Unavailable";
        for (const char *path : { "/live.ts", "/live.m3u8", "/seg.ts" })
            m_server.setResponse(m_name + QLatin1String(path), gone);
        return;
    }
    const std::shared_ptr<State> state = m_state;
    const QByteArray name = m_name.toUtf8();
    Response ts;
    ts.contentType = "video/mp2t";
    ts.produce
        = [state](const QByteArray &, LoopbackHttpServer::BodyWriter &writer) { state->sendTs(writer); };
    m_server.setResponse(m_name + QLatin1String("/live.ts"), ts);
    Response playlist;
    playlist.contentType = "application/vnd.apple.mpegurl";
    playlist.produce = [state, name](const QByteArray &, LoopbackHttpServer::BodyWriter &writer) {
        state->sendPlaylist(writer, name);
    };
    m_server.setResponse(m_name + QLatin1String("/live.m3u8"), playlist);
    Response segment;
    segment.contentType = "video/mp2t";
    segment.produce = [state](const QByteArray &target, LoopbackHttpServer::BodyWriter &writer) {
        state->sendSegment(writer, target);
    };
    m_server.setResponse(m_name + QLatin1String("/seg.ts"), segment);
}

QString LiveStream::tsUrl() const
{
    return m_server.url(m_name + QLatin1String("/live.ts"));
}

QString LiveStream::hlsUrl() const
{
    return m_server.url(m_name + QLatin1String("/live.m3u8"));
}

void LiveStream::setStalled(bool stalled)
{
    m_state->stalled.store(stalled);
}

void LiveStream::hangOpenConnections()
{
    ++m_state->generation;
}

void LiveStream::kill()
{
    m_state->dead.store(true);
    serve(false);
}

void LiveStream::revive()
{
    m_state->dead.store(false);
    serve(true);
}

double LiveStream::streamSeconds() const
{
    return m_state->now();
}

double LiveStream::speed() const
{
    return m_state->speed;
}

double LiveStream::bytesPerSecond() const
{
    return double(m_state->clipBytes) / m_state->clipSeconds();
}

double LiveStream::clipSeconds() const
{
    return m_state->clipSeconds();
}
