#pragma once

#include "tests/support/LoopbackHttpServer.h"

#include <QString>
#include <memory>

// A live television channel on the loopback server, for tests and benchmarks:
// one programme sent as a continuous MPEG-TS stream ("<name>/live.ts") and as
// a sliding-window HLS playlist with its segments ("<name>/live.m3u8").
//
// The picture is a test pattern with the frame number and time burnt in, made
// with ffmpeg when the stream is set up, at the bitrate asked for. The clip is
// sent in a loop with its timestamps and continuity counters rewritten, so the
// stream's clock never jumps back: a gap in what a client kept shows as a gap
// in its timestamps.
//
// The stream runs on a clock of its own that starts with the object and runs
// `speed` times faster than the wall clock (a two-hour programme in ten
// minutes): a client that joins gets the programme from the start of the
// current segment, and what the stream "broadcast" while a client was not
// reading is lost to it, as on a real channel.
class LiveStream
{
public:
    struct Options {
        QString name = QStringLiteral("/canal");
        int bitrateKbps = 1000; // video; the sound adds about 64 kb/s
        int width = 320;
        int height = 180;
        int fps = 25;
        int segmentSeconds = 1; // one picture group per segment
        int clipSegments = 4; // the clip that loops
        double speed = 1.0;
    };

    // The default channel under another path, at another speed.
    static Options named(const QString &name, double speed = 1.0)
    {
        Options options;
        options.name = name;
        options.speed = speed;
        return options;
    }

    // Makes the clip with ffmpeg (qFatal when it cannot) and starts serving.
    LiveStream(LoopbackHttpServer &server, const Options &options);
    ~LiveStream();
    LiveStream(const LiveStream &) = delete;
    LiveStream &operator=(const LiveStream &) = delete;

    QString tsUrl() const;
    QString hlsUrl() const;

    // While stalled, every connection (open or new) waits without a byte; the
    // clock runs on, and a connection that survives resumes at the live edge.
    void setStalled(bool stalled);
    // The connections open now hang for good (a connection that died
    // silently); new ones are served as usual.
    void hangOpenConnections();
    // Closes every connection; new requests answer 503 until revive().
    void kill();
    void revive();

    // Seconds of programme broadcast since the stream started (its clock).
    double streamSeconds() const;
    double speed() const;
    // Bytes per second of programme (the clip's own rate).
    double bytesPerSecond() const;
    // The clip's length, after which the picture repeats.
    double clipSeconds() const;

    struct State;

private:
    LoopbackHttpServer &m_server;
    QString m_name;
    std::shared_ptr<State> m_state;
    void serve(bool alive);
};
