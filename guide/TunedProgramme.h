#pragma once

#include "guide/GuideMatcher.h"
#include "guide/GuideSchedule.h"

#include <QObject>
#include <QTimer>

class GuideLibrary;

// What is on the channel being watched, for the banner on the video and the
// desktop's media controls. It wakes once when the programme on now ends (or
// the next one starts), never more: nothing runs while nothing is tuned.
class TunedProgramme : public QObject
{
    Q_OBJECT

public:
    explicit TunedProgramme(const GuideLibrary &library, QObject *parent = nullptr);

    // name: as the window title says it, after "Lumivortex TV - ".
    void setChannel(const GuideChannelQuery &channel, const QString &name);
    void clear();
    bool hasChannel() const { return !m_name.isEmpty(); }
    QString channelName() const { return m_name; }
    const GuideSchedule &schedule() const { return m_schedule; }
    NowNext nowNext() const;
    // The title of the programme on now; empty when none is known.
    QString programmeOnNow() const;

    // Seconds since 1970 UTC; the machine's clock unless fixed (tests).
    qint64 now() const;
    void fixNow(qint64 now) { m_fixedNow = now; }
    bool isWaking() const { return m_boundary.isActive(); }
    // The programme on now ended or the next began.
    void boundaryReached();

signals:
    // Another channel, other guides, or another programme on now.
    void changed();

private:
    void rematch();
    void arm();

    const GuideLibrary &m_library;
    GuideChannelQuery m_channel;
    QString m_name;
    GuideSchedule m_schedule;
    QTimer m_boundary;
    qint64 m_fixedNow = 0;
};
