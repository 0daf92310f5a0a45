#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// The time of day, put in place by tests.
class WallClock
{
public:
    virtual ~WallClock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};

// A recording asked for ahead of time: a channel from start to end.
struct ScheduledRecording {
    QString id;
    QString channel;
    QString address; // the channel's source when it was scheduled
    QString programme; // from the guide; empty when set by hand
    QDateTime start;
    QDateTime end;
    bool started = false; // its start has been handed on
};

// The scheduled recordings, kept across runs in a readable JSON file. One
// timer, armed for the next start or end to come, fires at that moment (no
// ticking in between); a start that passed while the program was closed is
// reported once, when the schedule is read: missed if its end has passed
// too, otherwise handed on at once to record what is left.
class RecordingSchedule : public QObject
{
    Q_OBJECT

public:
    // Guide programmes are recorded from a little before to a little after,
    // as their times are often off.
    static constexpr int defaultLeadSeconds = 2 * 60;
    static constexpr int defaultTrailSeconds = 5 * 60;

    RecordingSchedule(const QString &storePath, const WallClock &clock, QObject *parent = nullptr);

    // Reads the stored schedule and arms the timer: starts that are already
    // due are handed on (startDue) and those missed reported (missed). Call it
    // once the receivers are connected.
    void load();

    const QList<ScheduledRecording> &entries() const { return m_entries; }
    // Adds a recording by hand; false when the end is not after the start or has passed.
    bool add(ScheduledRecording entry);
    // A guide programme, with the lead and trail around its times.
    bool addProgramme(const QString &channel, const QString &address, const QString &programme,
        const QDateTime &start, const QDateTime &end, int leadSeconds = defaultLeadSeconds,
        int trailSeconds = defaultTrailSeconds);
    bool remove(const QString &id);

    // The timer that fires at the next start or end (for tests: its interval says when).
    QTimer &timer() { return m_timer; }
    // What the timer runs: hands on every start and end that is due now, then re-arms.
    void fireDue();

signals:
    void startDue(const ScheduledRecording &entry);
    void endDue(const ScheduledRecording &entry);
    void missed(const QList<ScheduledRecording> &entries);
    void entriesChanged();

private:
    void arm();
    void save() const;

    const QString m_storePath;
    const WallClock &m_clock;
    QList<ScheduledRecording> m_entries;
    QTimer m_timer;
};
