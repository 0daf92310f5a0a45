#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTime>

// When the sleep timer stops playback. Matching only the formatted second of
// each tick missed the stop whenever a tick came late or was skipped, and fired
// twice when two ticks fell in that second; here a sleep time crossed by the
// interval between two ticks fires exactly once.
class SleepSchedule
{
public:
    // Longest gap between two ticks still taken as timer lateness. A longer one
    // is a clock change or a resume from suspend: the computer must not stop
    // (or power off) because the sleep time passed while it slept.
    static constexpr qint64 MaxTickGapMs = 5000;

    SleepSchedule(bool armed, QTime at)
        : m_armed(armed)
        , m_at(at)
    {
    }

    // True when armed and the time of day falls in (previous, current]. False
    // when a moment or the time is invalid, the clock went backwards, or the
    // ticks are more than MaxTickGapMs apart.
    bool isDueBetween(const QDateTime &previous, const QDateTime &current) const;

    // The choices of the sleep-time list: "00:00:00" to "23:45:00" every 15 minutes.
    static QStringList timesOfDay();
    // Reads one of those texts ("hh:mm:ss"); an invalid QTime for anything else.
    static QTime parseTime(const QString &text);

private:
    bool m_armed;
    QTime m_at;
};
