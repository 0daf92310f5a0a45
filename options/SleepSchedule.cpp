#include "options/SleepSchedule.h"

namespace
{
const QString TimeFormat = QStringLiteral("hh:mm:ss");
}

bool SleepSchedule::isDueBetween(const QDateTime &previous, const QDateTime &current) const
{
    if (!m_armed || !m_at.isValid() || !previous.isValid() || !current.isValid())
        return false;
    const qint64 gap = previous.msecsTo(current);
    if (gap <= 0 || gap > MaxTickGapMs)
        return false;

    // The latest occurrence of the time not after `current`; just past
    // midnight that is on the day before.
    QDateTime latest = current;
    latest.setTime(m_at);
    if (latest > current)
        latest = latest.addDays(-1);
    return latest > previous;
}

QStringList SleepSchedule::timesOfDay()
{
    QStringList times;
    times.reserve(96);
    for (int minutes = 0; minutes < 24 * 60; minutes += 15)
        times.append(QTime(minutes / 60, minutes % 60).toString(TimeFormat));
    return times;
}

QTime SleepSchedule::parseTime(const QString &text)
{
    return QTime::fromString(text, TimeFormat);
}
