#include "lists/ChannelSources.h"

#include "lists/BuiltInChannelMatcher.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"

#include <QSet>
#include <algorithm>

ChannelSources::ChannelSources(ChannelListRegistry &registry, ChannelListLibrary &library,
    const QString &choicesPath, const QString &resultsFolder, const SourceCheckLimits &limits,
    QObject *parent)
    : QObject(parent)
    , m_registry(registry)
    , m_library(library)
    , m_choices(choicesPath)
    , m_results(resultsFolder.isEmpty() ? ChannelListRegistry::cacheFolder() : resultsFolder)
    , m_checker(nullptr, limits)
{
    connect(&m_results, &SourceCheckResults::changed, this, &ChannelSources::healthChanged);
    connect(&m_choices, &SourceChoices::changed, this, &ChannelSources::healthChanged);
    connect(&m_checker, &SourceChecker::checked, this, [this](const SourceProbe &probe, SourceHealth health) {
        m_results.record(probe.listId, probe.address, health);
    });
    // Results are written when a check ends, not only a moment after the last one.
    connect(&m_checker, &SourceChecker::finished, &m_results, &SourceCheckResults::save);
    connect(&m_registry, &ChannelListRegistry::listsChanged, this, &ChannelSources::syncResultsWithRegistry);
    syncResultsWithRegistry();
}

ChannelSources::~ChannelSources()
{
    m_checker.cancel();
    m_results.save();
}

void ChannelSources::syncResultsWithRegistry()
{
    QSet<QString> present;
    for (const ChannelListSource &list : m_registry.lists()) {
        present.insert(list.id);
        if (!m_loadedResults.contains(list.id)) {
            m_loadedResults.insert(list.id);
            m_results.load(list.id);
        }
    }
    for (const QString &id : QSet<QString>(m_loadedResults)) {
        // channels.m3u comes and goes with its file; its results stay for when it is back.
        if (present.contains(id) || id == ChannelListRegistry::ownListId())
            continue;
        m_loadedResults.remove(id);
        m_results.forget(id);
    }
}

void ChannelSources::update()
{
    ListChannels all;
    m_listIds.clear();
    m_listEnds.clear();
    for (const ChannelListSource &list : m_registry.lists()) {
        all += m_library.channels(list.id);
        m_listIds.append(list.id);
        m_listEnds.append(all.size());
    }
    all += m_extra;
    m_channels = MergedChannels(all);
    emit channelsChanged();
}

void ChannelSources::setExtraChannels(const ListChannels &extra)
{
    m_extra = extra;
    update();
}

QString ChannelSources::listOf(int entry) const
{
    const auto end = std::upper_bound(m_listEnds.cbegin(), m_listEnds.cend(), qsizetype(entry));
    return end == m_listEnds.cend() ? QString() : m_listIds.at(end - m_listEnds.cbegin());
}

int ChannelSources::channelOf(const ListChannel &entry) const
{
    const int byKey = m_channels.channelOfKey(MergedChannels::keyOf(entry));
    if (byKey >= 0) {
        for (const int e : m_channels.sources(byKey))
            if (m_channels.entries().field(e, ListChannels::Address) == entry.address)
                return byKey;
    }
    // An entry that joined by its name; looked for field by field.
    const ListChannels &entries = m_channels.entries();
    for (int e = 0; e < entries.size(); ++e)
        if (entries.field(e, ListChannels::Address) == entry.address && entries.at(e) == entry)
            return m_channels.channelOfEntry(e);
    return -1;
}

QVector<ListChannel> ChannelSources::rankedSources(int channel) const
{
    QVector<ListChannel> sources;
    if (channel < 0 || channel >= m_channels.size())
        return sources;
    const QString preferred = m_choices.preferred(m_channels.key(channel));
    for (const int e : SourceRanking::ranked(m_channels, channel, health(), preferred))
        sources.append(m_channels.entries().at(e));
    return sources;
}

QVector<ListChannel> ChannelSources::ranked(const QVector<ListChannel> &entries) const
{
    // The channels the entries belong to, the one holding most of them first:
    // its kept choice leads, and the others' sources follow the same rule.
    QHash<int, int> held;
    QVector<int> channels;
    for (const ListChannel &entry : entries) {
        const int channel = channelOf(entry);
        if (channel < 0)
            continue;
        if (!held.contains(channel))
            channels.append(channel);
        ++held[channel];
    }
    std::stable_sort(channels.begin(), channels.end(), [&held](int a, int b) { return held[a] > held[b]; });
    ListChannels pool;
    QSet<QString> seen;
    auto add = [&pool, &seen](const ListChannel &entry) {
        if (seen.contains(entry.address) || pool.size() >= BuiltInChannelMatcher::MaxSources)
            return;
        seen.insert(entry.address);
        pool.append(entry);
    };
    for (const ListChannel &entry : entries)
        add(entry);
    for (const int channel : std::as_const(channels))
        for (const int e : m_channels.sources(channel))
            add(m_channels.entries().at(e));
    const QString preferred
        = channels.isEmpty() ? QString() : m_choices.preferred(m_channels.key(channels.first()));
    QVector<int> members(pool.size());
    for (int i = 0; i < members.size(); ++i)
        members[i] = i;
    QVector<ListChannel> result;
    for (const int i : SourceRanking::ranked(pool, members, health(), preferred))
        result.append(pool.at(i));
    return result;
}

bool ChannelSources::isOffAir(int channel) const
{
    return SourceRanking::isOffAir(m_channels.entries(), m_channels.sources(channel), health());
}

void ChannelSources::notePlayedWell(const QString &channelKey, const QString &address)
{
    m_choices.setPreferred(channelKey, address);
}

void ChannelSources::moveToTop(int channel, const QString &address)
{
    if (channel >= 0 && channel < m_channels.size())
        m_choices.setPreferred(m_channels.key(channel), address);
}

SourceProbe ChannelSources::probeOf(int entry) const
{
    using Field = ListChannels::Field;
    const ListChannels &entries = m_channels.entries();
    SourceProbe probe;
    probe.listId = listOf(entry);
    probe.address = entries.field(entry, Field::Address);
    probe.userAgent = entries.field(entry, Field::UserAgent);
    probe.referrer = entries.field(entry, Field::Referrer);
    probe.acceptInvalidCertificates = m_registry.list(probe.listId).acceptInvalidCertificates;
    return probe;
}

void ChannelSources::checkEntries(const QVector<int> &entries)
{
    QVector<SourceProbe> probes;
    probes.reserve(entries.size());
    for (const int e : entries)
        probes.append(probeOf(e));
    m_checker.check(probes);
}

void ChannelSources::checkList(const QString &listId)
{
    const qsizetype at = m_listIds.indexOf(listId);
    if (at < 0)
        return;
    QVector<int> entries;
    for (qsizetype e = at == 0 ? 0 : m_listEnds[at - 1]; e < m_listEnds[at]; ++e)
        entries.append(int(e));
    checkEntries(entries);
}

void ChannelSources::checkAll()
{
    QVector<int> entries(int(m_channels.entries().size()));
    for (int e = 0; e < entries.size(); ++e)
        entries[e] = e;
    checkEntries(entries);
}

void ChannelSources::checkChannels(const QStringList &keys)
{
    QVector<int> entries;
    for (const QString &key : keys) {
        const int channel = m_channels.channelOfKey(key);
        if (channel >= 0)
            entries += m_channels.sources(channel);
    }
    checkEntries(entries);
}

bool ChannelSources::checkDaily(const QStringList &keys, const QDateTime &now)
{
    const QDateTime last = m_choices.lastDailyCheck();
    if (keys.isEmpty() || (last.isValid() && last.secsTo(now) < DailyCheckSecs && last <= now))
        return false;
    m_choices.setLastDailyCheck(now);
    checkChannels(keys);
    return true;
}
