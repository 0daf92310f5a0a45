#pragma once

#include <QString>
#include <QtGlobal>

class FreeSpace;

struct LiveBufferSettings {
    bool enabled = true;
    // How far behind live the picture may go: the options window's
    // "Guardar até N minutos da transmissão" (60 by default).
    int seconds = 60 * 60;
    // The buffer's file never grows past this, nor leaves less than
    // keepFreeBytes free on its disk.
    qint64 maxBytes = qint64(4) << 30;
    qint64 keepFreeBytes = qint64(2) << 30;
    // Empty: the per-user cache folder + "/live-buffer".
    QString folder;
    const FreeSpace *freeSpace = nullptr; // null: the file system's own figure
};

// What the transport asks of a paused or rewound live stream: whether one is
// being kept, how far behind live the picture is, and moves within what was
// kept. Every move is clamped to what was kept and never passes the live
// edge; with nothing kept the figures read 0 and the moves do nothing.
class LiveRewind
{
public:
    // Within this of the newest picture received counts as live.
    static constexpr double liveEdgeSeconds = 3.0;

    virtual ~LiveRewind() = default;

    // A live stream plays and is being kept.
    virtual bool isActive() const = 0;
    // Seconds between the picture shown and the newest one received.
    virtual double secondsBehindLive() const = 0;
    bool atLiveEdge() const { return secondsBehindLive() < liveEdgeSeconds; }
    // How far behind live one can go now.
    virtual double secondsAvailable() const = 0;
    // Shows the picture of `seconds` behind live.
    virtual void seekBehindLive(double seconds) = 0;
    // Moves by delta seconds (negative: back).
    virtual void seekBy(double delta) = 0;
    // Back to the newest picture ("Ao vivo").
    void returnToLive() { seekBehindLive(0); }
};
