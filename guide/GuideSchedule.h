#pragma once

#include "guide/GuideStore.h"

#include <QDateTime>
#include <memory>

// One channel's programmes in one guide: what a channel row, the banner or
// the grid asks. Cheap to copy; keeps its guide alive while held. An empty
// schedule (no guide matched) answers with nothing.
class GuideSchedule
{
public:
    GuideSchedule() = default;
    GuideSchedule(std::shared_ptr<const GuideStore> store, int channel);

    bool isEmpty() const { return !m_store || m_store->programmeCount(m_channel) == 0; }
    const GuideStore *store() const { return m_store.get(); }
    int channel() const { return m_channel; }
    QString channelId() const;

    int count() const { return m_store ? m_store->programmeCount(m_channel) : 0; }
    GuideProgramme programme(int index) const { return m_store->programme(m_channel, index); }
    const GuideStore::Programme &record(int index) const { return m_store->record(m_channel, index); }
    QString title(int index) const { return m_store->title(m_channel, index); }
    int indexAt(qint64 when) const { return m_store ? m_store->programmeAt(m_channel, when) : -1; }
    int firstEndingAfter(qint64 when) const
    {
        return m_store ? m_store->firstEndingAfter(m_channel, when) : 0;
    }

    NowNext nowNext(qint64 when, GuideDetail detail = GuideDetail::Full) const;
    // What is on at now and what follows until the end of now's day, local time.
    QVector<GuideProgramme> restOfDay(const QDateTime &now) const;

    bool operator==(const GuideSchedule &o) const { return m_store == o.m_store && m_channel == o.m_channel; }
    bool operator!=(const GuideSchedule &o) const { return !(*this == o); }

private:
    std::shared_ptr<const GuideStore> m_store;
    int m_channel = -1;
};
