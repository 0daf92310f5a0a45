#pragma once

#include "engine/FreeSpace.h"
#include "engine/RecordingSource.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

struct StreamRecorderSettings {
    // Recording stops before the disk would have less than this free.
    qint64 minimumFreeBytes = qint64(1) << 30;
    // No packet for this long: the connection is taken for dead and opened
    // again (HLS, which arrives a segment at a time, waits three times as long).
    int stallMs = 2000;
    // Pause between two failed tries to open the source.
    int retryMs = 500;
    const FreeSpace *freeSpace = nullptr; // null: the file system's own figure
    // The number of the first part written (2 when part 1 comes from elsewhere).
    int firstPart = 1;
};

// Records a live stream into MPEG-TS files without re-encoding: libavformat
// reads the source and remuxes its packets on a worker thread of its own, so
// a recording depends on nothing that plays. It outlives the stream's
// troubles: a connection that stalls or ends is opened again, and a source
// switch (the channel's next address) goes on in the same file, the
// timestamps running on from where they stopped, so the file plays as one
// programme with the interruption cut out. A source whose kind of streams
// differs (another codec, another number of tracks) goes on in a numbered
// part. Packets the source sends again after a reconnection (HLS repeats its
// last segments) are written once.
//
// Files are created, never overwritten: a name that exists makes the part
// take the next free number. Every call is made on the GUI thread; the
// signals arrive there.
class StreamRecorder : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Stopped, // stop() was called
        DiskFull, // the disk would have dropped under the minimum free space
        WriteFailed, // the file could not be created or written
    };
    Q_ENUM(Outcome)

    // path: the first file to create ("Canal 2025-01-31 20h00.ts"); later
    // parts are "Canal 2025-01-31 20h00 (parte 2).ts".
    StreamRecorder(
        const QString &path, const StreamRecorderSettings &settings = {}, QObject *parent = nullptr);
    // Stops and waits for the worker (at most the time one read takes to be interrupted).
    ~StreamRecorder() override;

    // Starts recording source. False (and nothing starts) when the address
    // rule refuses the address, or when already started.
    bool start(const RecordingSource &source);
    // Goes on from another source of the same channel; the current
    // connection is dropped at once. False when the address is refused (the
    // recording goes on from the old source).
    bool switchSource(const RecordingSource &source);
    // Ends the recording: what was received is written and the file closed.
    // finished() follows once the worker has ended.
    void stop();

    bool isRunning() const { return m_running; }
    // The files written so far, first part first.
    QStringList files() const;
    qint64 bytesWritten() const { return m_bytes.load(); }
    // Seconds of programme in the files.
    double secondsWritten() const { return double(m_micros.load()) / 1e6; }
    // Seconds lost to interruptions so far: the wall time between the last
    // packet written before each and the first after it (an upper bound: what
    // a source sends again after a reconnection is not counted off).
    double secondsLost() const { return double(m_lostMicros.load()) / 1e6; }

    struct Worker;

signals:
    // A new file was created (the first one as well).
    void partStarted(const QString &path);
    // The source stopped sending; it is being opened again.
    void interrupted();
    // Packets flow again after an interruption that cost `lost` seconds.
    void resumed(double lost);
    // At most once a second while packets are written.
    void progressed();
    // The recording has ended; the files are closed.
    void finished(StreamRecorder::Outcome outcome);

private:
    void onWorkerEnded(Outcome outcome);

    const QString m_path;
    const StreamRecorderSettings m_settings;
    std::shared_ptr<Worker> m_worker;
    std::thread m_thread;
    bool m_running = false;
    bool m_started = false;
    std::atomic<qint64> m_bytes { 0 };
    std::atomic<qint64> m_micros { 0 };
    std::atomic<qint64> m_lostMicros { 0 };
    mutable std::mutex m_filesMutex;
    QStringList m_files;
};
