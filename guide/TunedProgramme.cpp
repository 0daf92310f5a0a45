#include "guide/TunedProgramme.h"

#include "base/SafeCall.h"
#include "guide/GuideLibrary.h"

#include <QDateTime>
#include <algorithm>

namespace
{
// A timer's interval is an int of milliseconds: a far boundary is reached in steps.
constexpr qint64 LongestWaitSeconds = 6 * 3600;
} // namespace

TunedProgramme::TunedProgramme(const GuideLibrary &library, QObject *parent)
    : QObject(parent)
    , m_library(library)
{
    m_boundary.setParent(this);
    m_boundary.setObjectName(QStringLiteral("TunedProgrammeTimer"));
    m_boundary.setSingleShot(true);
    connect(&m_boundary, &QTimer::timeout, this, [this] { safeCall([this] { boundaryReached(); }); });
    connect(&m_library, &GuideLibrary::schedulesChanged, this, [this] {
        safeCall([this] {
            if (!hasChannel())
                return;
            rematch();
            emit changed();
        });
    });
}

qint64 TunedProgramme::now() const
{
    return m_fixedNow > 0 ? m_fixedNow : QDateTime::currentSecsSinceEpoch();
}

void TunedProgramme::setChannel(const GuideChannelQuery &channel, const QString &name)
{
    m_channel = channel.hasKeys ? channel : channel.keyed();
    m_name = name;
    rematch();
    emit changed();
}

void TunedProgramme::clear()
{
    if (!hasChannel())
        return;
    m_channel = {};
    m_name.clear();
    m_schedule = {};
    m_boundary.stop();
    emit changed();
}

void TunedProgramme::rematch()
{
    m_schedule = m_library.schedule(m_channel);
    arm();
}

NowNext TunedProgramme::nowNext() const
{
    return m_schedule.nowNext(now());
}

QString TunedProgramme::programmeOnNow() const
{
    return m_schedule.nowNext(now(), GuideDetail::Titles).now.title;
}

void TunedProgramme::arm()
{
    m_boundary.stop();
    const qint64 when = now();
    const NowNext nowNext = m_schedule.nowNext(when, GuideDetail::Titles);
    qint64 at = 0;
    if (nowNext.now.isValid())
        at = nowNext.now.stop;
    else if (nowNext.next.isValid())
        at = nowNext.next.start;
    if (at <= when)
        return;
    m_boundary.start(int(std::min(at - when, LongestWaitSeconds) * 1000));
}

void TunedProgramme::boundaryReached()
{
    arm();
    emit changed();
}
