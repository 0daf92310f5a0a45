#include "guide/GuideStoreBuilder.h"

#include <algorithm>

GuideStoreBuilder::GuideStoreBuilder(qint64 windowStart, qint64 windowEnd, GuideReadReport &report)
    : m_windowStart(windowStart)
    , m_windowEnd(windowEnd)
    , m_report(report)
{
}

quint32 GuideStoreBuilder::text(QStringView value)
{
    if (value.isEmpty())
        return StringPool::Empty;
    if (m_parts.strings.byteSize() + value.size() * 3 > MaxTextBytes) {
        ++m_report.textsCut;
        return StringPool::Empty;
    }
    return m_parts.strings.add(value);
}

int GuideStoreBuilder::channelIndex(QStringView id) const
{
    return m_byId.value(id.toString(), -1);
}

int GuideStoreBuilder::addChannel(QStringView id, const QStringList &names, QStringView icon, bool wanted)
{
    int index = channelIndex(id);
    if (index < 0) {
        if (int(m_channels.size()) >= MaxChannels) {
            ++m_report.pastLimit;
            return -1;
        }
        index = int(m_channels.size());
        m_byId.insert(id.toString(), index);
        PendingChannel channel;
        channel.id = text(id);
        channel.wanted = wanted;
        m_channels.push_back(std::move(channel));
        ++m_report.channelsSeen;
    }
    PendingChannel &channel = m_channels[size_t(index)];
    channel.wanted = channel.wanted || wanted;
    if (channel.icon == StringPool::Empty)
        channel.icon = text(icon);
    for (const QString &name : names) {
        const quint32 pooled = text(name);
        if (pooled == StringPool::Empty || channel.names.size() >= MaxNamesPerChannel)
            continue;
        if (std::find(channel.names.begin(), channel.names.end(), pooled) == channel.names.end())
            channel.names.push_back(pooled);
    }
    return index;
}

void GuideStoreBuilder::addProgramme(
    int channel, qint64 start, qint64 stop, const GuideStore::Programme &texts)
{
    if (start >= m_windowEnd || (stop != NoStop && stop <= m_windowStart)) {
        ++m_report.programmesOutsideWindow;
        return;
    }
    if (stop != NoStop && stop <= start) {
        ++m_report.badProgrammes;
        return;
    }
    if (m_programmes >= MaxProgrammes) {
        ++m_report.pastLimit;
        return;
    }
    PendingChannel &held = m_channels[size_t(channel)];
    GuideStore::Programme programme = texts;
    programme.start = start;
    programme.stop = stop;
    if (!held.programmes.empty() && held.programmes.back().start > start)
        held.sorted = false;
    held.programmes.push_back(programme);
    ++m_programmes;
}

void GuideStoreBuilder::settle(PendingChannel &channel, std::vector<GuideStore::Programme> &out)
{
    std::vector<GuideStore::Programme> &list = channel.programmes;
    if (!channel.sorted) {
        // Stable: of two programmes at one start, the one read first stays.
        std::stable_sort(list.begin(), list.end(),
            [](const GuideStore::Programme &a, const GuideStore::Programme &b) { return a.start < b.start; });
    }
    for (size_t i = 0; i < list.size(); ++i) {
        GuideStore::Programme p = list[i];
        size_t next = i + 1;
        while (next < list.size() && list[next].start == p.start) {
            ++m_report.duplicates;
            ++next;
        }
        const bool hasNext = next < list.size();
        if (p.stop == NoStop)
            p.stop = hasNext ? list[next].start : p.start + OpenEndedLength;
        else if (hasNext && p.stop > list[next].start) {
            p.stop = list[next].start;
            ++m_report.overlapsCut;
        }
        i = next - 1;
        if (p.stop <= m_windowStart || p.start >= m_windowEnd) {
            ++m_report.programmesOutsideWindow;
            continue;
        }
        out.push_back(p);
    }
    std::vector<GuideStore::Programme>().swap(list);
}

std::unique_ptr<GuideStore> GuideStoreBuilder::finish()
{
    m_parts.programmes.reserve(size_t(m_programmes));
    for (PendingChannel &pending : m_channels) {
        GuideStore::Channel channel;
        channel.id = pending.id;
        channel.icon = pending.icon;
        channel.flags = pending.wanted ? GuideStore::WasWanted : 0;
        channel.firstName = quint32(m_parts.names.size());
        channel.nameCount = quint32(pending.names.size());
        m_parts.names.insert(m_parts.names.end(), pending.names.begin(), pending.names.end());
        channel.firstProgramme = quint32(m_parts.programmes.size());
        settle(pending, m_parts.programmes);
        channel.programmeCount = quint32(m_parts.programmes.size()) - channel.firstProgramme;
        if (channel.programmeCount > 0)
            ++m_report.channelsKept;
        m_parts.channels.push_back(channel);
    }
    m_channels.clear();
    m_byId.clear();
    m_report.programmesKept = int(m_parts.programmes.size());
    m_parts.programmes.shrink_to_fit();
    return GuideStore::fromParts(std::move(m_parts));
}
