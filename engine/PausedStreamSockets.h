#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>

// A paused live channel still receives into its buffer, but nothing reads it
// in a hurry. A live server sends a few kilobytes at a time, and libmpv's
// reader wakes for each piece (some 75 times a second at 5 Mb/s), which is
// most of what a paused channel costs. While paused, the kernel is asked to
// wake that reader only once about a second of the stream has arrived (a
// socket's low-water mark).
//
// libmpv gives no hold on its sockets, so they are told apart from every
// other socket of the process (the network layer's, the game's) by a send
// buffer of an odd size that ffmpeg sets on the connections of the streams
// libmpv opens. A player only sends its requests: the size changes nothing
// else.
namespace PausedStreamSockets
{

inline constexpr int tagBytes = 65533;

// For libmpv's stream-lavf-o list: "send_buffer_size=65533".
QByteArray ffmpegTagOption();

// The low-water mark for a stream arriving at bytesPerSecond: a second of it,
// at most 1 MiB; 0 (not worth it) under 4 KiB a second.
int lowWaterFor(double bytesPerSecond);

// Sets the low-water mark of every tagged TCP socket of the process (1 is the
// kernel's own: wake for every byte); returns how many were set.
int setLowWater(int bytes);

} // namespace PausedStreamSockets

// Keeps the mark fitted to what arrives while paused. A channel that turns to
// a still slate may send a tenth of its usual rate: unread bytes waiting under
// the mark would look like a dead server to ffmpeg's network timeout (10 s),
// which ends the stream and what was kept. So every few seconds the mark is
// set again from the bytes the buffer gained, and to 1 when it gained none.
class PausedReadBatching : public QObject
{
    Q_OBJECT

public:
    explicit PausedReadBatching(int checkMs = 3000, QObject *parent = nullptr);

    // bytesKept: the buffer's size, read at each check.
    void start(double bytesPerSecond, std::function<qint64()> bytesKept);
    void stop();

private:
    void check();

    QTimer m_timer;
    std::function<qint64()> m_bytesKept;
    qint64 m_lastBytes = 0;
};
