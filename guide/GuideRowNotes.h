#pragma once

#include "guide/GuideSchedule.h"
#include "lists/ChannelRowNotes.h"

#include <QHash>
#include <QTimer>

class GuideLibrary;

// The guide's words for the rows of "Canais": the programme on now with its
// times and how far it has run, the next one in the tooltip. Schedules are
// matched once per channel and kept until the guides change. The clock only
// ticks while rows are asked for: a row painted arms one wake-up at the next
// minute, so a hidden window costs nothing.
class GuideRowNotes : public ChannelRowNotes
{
    Q_OBJECT

public:
    explicit GuideRowNotes(const GuideLibrary &library, QObject *parent = nullptr);

    ChannelRowNote noteFor(const ListChannel &channel) const override;
    bool hasNotes() const override;

    GuideSchedule scheduleFor(const ListChannel &channel) const;
    // Seconds since 1970 UTC; the machine's clock unless fixed (tests).
    qint64 now() const;
    void fixNow(qint64 now) { m_fixedNow = now; }
    bool isClockArmed() const { return m_clock.isActive(); }
    // The wake-up: the minute has turned.
    void clockTurned();

private:
    const GuideLibrary &m_library;
    mutable QHash<QString, GuideSchedule> m_schedules;
    mutable QTimer m_clock;
    qint64 m_fixedNow = 0;
};
