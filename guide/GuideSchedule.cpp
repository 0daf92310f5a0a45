#include "guide/GuideSchedule.h"

GuideSchedule::GuideSchedule(std::shared_ptr<const GuideStore> store, int channel)
    : m_store(std::move(store))
    , m_channel(channel)
{
    if (!m_store || channel < 0 || channel >= m_store->channelCount()) {
        m_store.reset();
        m_channel = -1;
    }
}

QString GuideSchedule::channelId() const
{
    return m_store ? m_store->channelId(m_channel) : QString();
}

NowNext GuideSchedule::nowNext(qint64 when, GuideDetail detail) const
{
    return m_store ? m_store->nowNext(m_channel, when, detail) : NowNext();
}

QVector<GuideProgramme> GuideSchedule::restOfDay(const QDateTime &now) const
{
    if (!m_store)
        return {};
    const QDateTime local = now.toLocalTime();
    const qint64 dayEnd = local.date().addDays(1).startOfDay().toSecsSinceEpoch();
    return m_store->between(m_channel, now.toSecsSinceEpoch(), dayEnd);
}
