#include "lists/SourceRanking.h"

#include "lists/ChannelNameRules.h"

#include <algorithm>

namespace
{

bool isStatus(const QString &status, const char *word)
{
    return status.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// "Not 24/7", "not 24-7", "Not 24x7".
bool isPartTimeTag(const QString &folded)
{
    return folded.contains(QLatin1String("24/7")) || folded.contains(QLatin1String("24-7"))
        || folded.contains(QLatin1String("24x7"));
}

bool isBlockedTag(const QString &folded)
{
    return folded.startsWith(QLatin1String("geo")) || folded == QLatin1String("offline")
        || folded == QLatin1String("timeout");
}

} // namespace

SourceRanking::Tier SourceRanking::tierOf(const QString &status, const QStringList &tags, SourceHealth health)
{
    switch (health) {
    case SourceHealth::Playing:
        return Online;
    case SourceHealth::Dead:
        return FoundDead;
    case SourceHealth::Blocked:
    case SourceHealth::NeedsLogin:
        return Hindered;
    case SourceHealth::Unknown:
        break;
    }
    Tier tier = NotSaid;
    if (isStatus(status, "online"))
        tier = Online;
    else if (!status.isEmpty())
        tier = Hindered; // "blocked", "timeout", "error", "offline"
    for (const QString &tag : tags) {
        const QString folded = ChannelNameRules::folded(tag);
        if (isBlockedTag(folded))
            tier = std::max(tier, Hindered);
        else if (isPartTimeTag(folded))
            tier = std::max(tier, PartTime);
    }
    return tier;
}

QVector<int> SourceRanking::ranked(const ListChannels &entries, QVector<int> members,
    const QHash<QString, SourceHealth> &health, const QString &preferred)
{
    using Field = ListChannels::Field;
    struct Place {
        int entry;
        int rank;
    };
    QVector<Place> places;
    places.reserve(members.size());
    for (const int entry : members) {
        const QString address = entries.field(entry, Field::Address);
        const int rank = !preferred.isEmpty() && address == preferred
            ? -1
            : tierOf(entries.field(entry, Field::Status), entries.tags(entry),
                health.value(address, SourceHealth::Unknown));
        places.append({ entry, rank });
    }
    std::stable_sort(places.begin(), places.end(), [](const Place &a, const Place &b) {
        return a.rank != b.rank ? a.rank < b.rank : a.entry < b.entry;
    });
    for (int i = 0; i < places.size(); ++i)
        members[i] = places[i].entry;
    return members;
}

QVector<int> SourceRanking::ranked(const MergedChannels &channels, int channel,
    const QHash<QString, SourceHealth> &health, const QString &preferred)
{
    return ranked(channels.entries(), channels.sources(channel), health, preferred);
}

bool SourceRanking::isOffAir(
    const ListChannels &entries, const QVector<int> &members, const QHash<QString, SourceHealth> &health)
{
    if (members.isEmpty() || health.isEmpty())
        return false;
    for (const int entry : members) {
        const SourceHealth h
            = health.value(entries.field(entry, ListChannels::Address), SourceHealth::Unknown);
        if (h == SourceHealth::Unknown || h == SourceHealth::Playing)
            return false;
    }
    return true;
}
