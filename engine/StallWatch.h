#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class MpvHandle;

// Tells when a network stream has stalled: while the watch is on, it samples
// the position, and one that has not moved for long enough is reported once,
// until it moves again.
class StallWatch : public QObject
{
    Q_OBJECT

public:
    explicit StallWatch(const MpvHandle &mpv, QObject *parent = nullptr);

    // New media has loaded: no position is known yet.
    void mediaLoaded();
    // On or off; turned on, it counts from now (a pause does not count as a stall).
    void setWatching(bool watch);

signals:
    void stalled();

private:
    void sample();

    const MpvHandle &m_mpv;
    QTimer m_timer;
    QElapsedTimer m_sinceProgress; // since the position last moved, or the media loaded
    double m_lastPosition = -1; // -1 while no position is known
    bool m_stallReported = false;
};
