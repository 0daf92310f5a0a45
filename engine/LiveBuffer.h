#pragma once

#include "engine/LiveRewind.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

struct MpvLibrary;
struct mpv_handle;

// Pause and rewind a live stream. While a live stream plays with the buffer
// on, what it sends is kept in libmpv's demuxer cache, written to a file in
// the per-user cache folder (deleted by the file system even if the program
// dies: it is unlinked as soon as it is made). The engine's pause then keeps
// receiving, play resumes where it paused, and the calls below move within
// what was kept. A new URL, a stop or the end of the program frees it all.
//
// libmpv writes that file append-only: forgetting old parts frees memory but
// not disk. So when the file reaches its bound (maxBytes, or keepFreeBytes
// left on the disk) the buffer is renewed: the stream is opened again at the
// live edge and starts a new, empty file (renewed() is emitted; what was kept
// is gone, which at 5 Mb/s happens after about 1 h 45 min of one channel).
//
// Calls made while no buffered live stream plays are ignored and the figures
// read 0. The player reads secondsBehindLive() on its display tick for the
// time text ("-02:35", "Ao vivo" at the edge).
class LiveBuffer : public QObject, public LiveRewind
{
    Q_OBJECT

public:
    LiveBuffer(const MpvLibrary &lib, mpv_handle *mpv, QObject *parent = nullptr);

    // Takes effect from the next live stream that loads; turning it off frees
    // the buffer of the one playing at its next load.
    void setSettings(const LiveBufferSettings &settings);
    const LiveBufferSettings &settings() const { return m_settings; }
    QString folder() const;

    bool isActive() const override { return m_active; }
    double secondsBehindLive() const override;
    // Bounded by settings().seconds.
    double secondsAvailable() const override;
    // Bytes of the buffer's file.
    qint64 diskBytes() const;

    void seekBehindLive(double seconds) override;
    void seekBy(double delta) override;

    // Writes what was kept, from the oldest picture to the newest, to path as
    // MPEG-TS (the start of a recording "from the start of the buffer"); the
    // file must exist (made empty by the caller, so no other is overwritten).
    // libmpv writes it on its own thread, holding the picture still for a
    // moment per ten minutes kept; saved() follows. False when inactive.
    bool saveKept(const QString &path);

    // For the engine: the media has loaded (live or not) / is being unloaded.
    void mediaLoaded(bool live);
    void mediaUnloaded();
    // Housekeeping, run every few seconds while active: the disk bound.
    void checkBounds();
    // The reply to a command this buffer gave libmpv.
    void commandReplied(quint64 cookie, int error);

signals:
    void activeChanged(bool active);
    // The file reached its bound: the engine must open the stream again.
    void renewalNeeded();
    // A renewal began: what was kept is gone.
    void renewed();
    // saveKept() has ended; ok is false when libmpv failed to write the file.
    void saved(const QString &path, bool ok);

private:
    bool getDouble(const char *name, double &value) const;
    void setString(const char *name, const QByteArray &value);
    // [oldest, newest] seconds of the stream's clock that can be shown.
    bool window(double &oldest, double &newest) const;
    void seekTo(double position);

    const MpvLibrary &m_lib;
    mpv_handle *m_mpv;
    LiveBufferSettings m_settings;
    bool m_active = false;
    QTimer m_boundsTimer;
    QByteArray m_defaultMaxBytes;
    QByteArray m_defaultBackBytes;
    QByteArray m_defaultCacheSecs;
    QHash<quint64, QString> m_saving; // command cookie -> file
    quint64 m_nextCookie = 0x4c42; // told apart from the engine's own (0) by being non-zero
};
