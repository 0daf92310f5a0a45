#include "recording/RecordingSchedule.h"

#include "base/Logging.h"
#include "recording/JsonStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUuid>
#include <algorithm>
#include <limits>

RecordingSchedule::RecordingSchedule(const QString &storePath, const WallClock &clock, QObject *parent)
    : QObject(parent)
    , m_storePath(storePath)
    , m_clock(clock)
{
    m_timer.setObjectName(QStringLiteral("recordingScheduleTimer"));
    m_timer.setSingleShot(true);
    // A start is due to the second; a coarse timer may fire 5 % late.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RecordingSchedule::fireDue);
}

void RecordingSchedule::load()
{
    const QJsonArray items = JsonStore::read(m_storePath, QStringLiteral("scheduled"));
    for (const QJsonValue &value : items) {
        const QJsonObject o = value.toObject();
        ScheduledRecording e;
        e.id = o.value(QLatin1String("id")).toString();
        e.channel = o.value(QLatin1String("channel")).toString();
        e.address = o.value(QLatin1String("address")).toString();
        e.programme = o.value(QLatin1String("programme")).toString();
        e.start = QDateTime::fromString(o.value(QLatin1String("start")).toString(), Qt::ISODate);
        e.end = QDateTime::fromString(o.value(QLatin1String("end")).toString(), Qt::ISODate);
        if (!e.id.isEmpty() && e.start.isValid() && e.end.isValid())
            m_entries << e;
    }
    // Recordings whose whole time passed while the program was closed.
    const QDateTime now = m_clock.now();
    QList<ScheduledRecording> missedOnes;
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i)
        if (m_entries[i].end <= now)
            missedOnes.prepend(m_entries.takeAt(i));
    if (!missedOnes.isEmpty()) {
        save();
        emit missed(missedOnes);
        emit entriesChanged();
    }
    fireDue();
}

bool RecordingSchedule::add(ScheduledRecording entry)
{
    if (!entry.start.isValid() || !entry.end.isValid() || entry.end <= entry.start
        || entry.end <= m_clock.now() || entry.channel.isEmpty())
        return false;
    entry.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    entry.started = false;
    m_entries << entry;
    std::sort(m_entries.begin(), m_entries.end(),
        [](const ScheduledRecording &a, const ScheduledRecording &b) { return a.start < b.start; });
    save();
    emit entriesChanged();
    fireDue();
    return true;
}

bool RecordingSchedule::addProgramme(const QString &channel, const QString &address, const QString &programme,
    const QDateTime &start, const QDateTime &end, int leadSeconds, int trailSeconds)
{
    ScheduledRecording entry;
    entry.channel = channel;
    entry.address = address;
    entry.programme = programme;
    entry.start = start.addSecs(-leadSeconds);
    entry.end = end.addSecs(trailSeconds);
    return add(entry);
}

bool RecordingSchedule::remove(const QString &id)
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].id != id)
            continue;
        m_entries.removeAt(i);
        save();
        emit entriesChanged();
        arm();
        return true;
    }
    return false;
}

void RecordingSchedule::fireDue()
{
    const QDateTime now = m_clock.now();
    // Copies: a receiver may add or remove entries.
    const QList<ScheduledRecording> entries = m_entries;
    QStringList ended;
    for (const ScheduledRecording &e : entries) {
        if (e.end <= now) {
            ended << e.id;
            if (e.started)
                emit endDue(e);
            else
                emit missed({ e });
        } else if (!e.started && e.start <= now) {
            for (ScheduledRecording &mine : m_entries)
                if (mine.id == e.id)
                    mine.started = true;
            emit startDue(e);
        }
    }
    if (!ended.isEmpty()) {
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                            [&](const ScheduledRecording &e) { return ended.contains(e.id); }),
            m_entries.end());
        save();
        emit entriesChanged();
    }
    arm();
}

void RecordingSchedule::arm()
{
    const QDateTime now = m_clock.now();
    qint64 next = std::numeric_limits<qint64>::max();
    for (const ScheduledRecording &e : std::as_const(m_entries))
        next = std::min(next, now.msecsTo(e.started ? e.end : e.start));
    if (next == std::numeric_limits<qint64>::max()) {
        m_timer.stop();
        return;
    }
    // A timer runs on the monotonic clock: a long wait is cut in pieces so a
    // change of the wall clock (a suspended laptop) is seen within an hour.
    constexpr qint64 longest = 60 * 60 * 1000;
    m_timer.start(int(std::clamp<qint64>(next, 0, longest)));
}

void RecordingSchedule::save() const
{
    QJsonArray items;
    for (const ScheduledRecording &e : m_entries) {
        QJsonObject o;
        o.insert(QLatin1String("id"), e.id);
        o.insert(QLatin1String("channel"), e.channel);
        o.insert(QLatin1String("address"), e.address);
        o.insert(QLatin1String("programme"), e.programme);
        o.insert(QLatin1String("start"), e.start.toString(Qt::ISODate));
        o.insert(QLatin1String("end"), e.end.toString(Qt::ISODate));
        items << o;
    }
    JsonStore::write(m_storePath, QStringLiteral("scheduled"), items);
}
