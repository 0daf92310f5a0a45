#include "guide/GuideMatcher.h"

#include "channels/ChannelCatalogue.h"
#include "guide/GuideKeys.h"
#include "lists/ChannelPicks.h"

GuideChannelQuery GuideChannelQuery::forEntry(const ListChannel &entry, const QStringList &ownGuides)
{
    GuideChannelQuery query;
    query.identity = ChannelPicks::identityOf(entry);
    query.tvgId = entry.tvgId;
    for (const QString &name : { entry.title, entry.name, entry.tvgName }) {
        if (!name.isEmpty() && !query.names.contains(name))
            query.names.append(name);
    }
    query.ownGuides = ownGuides;
    return query.keyed();
}

GuideChannelQuery GuideChannelQuery::keyed() const
{
    GuideChannelQuery query = *this;
    query.hasKeys = true;
    query.idKey = tvgId.trimmed().isEmpty() ? QString() : GuideKeys::idKey(tvgId);
    query.feedIdKey = tvgId.trimmed().toCaseFolded();
    query.nameKeys.clear();
    for (const QString &name : names) {
        const QString key = GuideKeys::nameKey(name);
        if (!key.isEmpty() && !query.nameKeys.contains(key))
            query.nameKeys.append(key);
    }
    return query;
}

GuideChannelQuery GuideChannelQuery::forBuiltIn(
    const Channel &channel, const ListChannel *plays, const QStringList &ownGuides)
{
    GuideChannelQuery query;
    if (plays) {
        query = forEntry(*plays, ownGuides);
    } else {
        for (const QString &name :
            { channel.isMenuItem() ? channel.caption : channel.tooltip, channel.titleSuffix }) {
            if (!name.isEmpty() && !query.names.contains(name))
                query.names.append(name);
        }
    }
    query.identity = GuideChoices::builtInIdentity(channel.control);
    return query.keyed();
}

void GuideMatcher::setGuides(const QVector<GuideSource> &guides)
{
    m_guides = guides;
    m_byId.clear();
    m_byName.clear();
    for (int g = 0; g < m_guides.size(); ++g) {
        const GuideStore *store = m_guides[g].store.get();
        if (!store)
            continue;
        for (int c = 0; c < store->channelCount(); ++c) {
            m_byId[store->idKey(c)].append({ g, c });
            for (const QString &key : store->nameKeys(c))
                m_byName[key].append({ g, c });
        }
    }
}

GuideSchedule GuideMatcher::best(const QVector<Ref> *refs, const GuideChannelQuery &channel) const
{
    if (!refs || refs->isEmpty())
        return {};
    // The entry's own feed first, then its own guides, then channels with
    // programmes; then guide order.
    const Ref *pick = nullptr;
    int pickRank = 8;
    for (const Ref &ref : *refs) {
        const GuideSource &guide = m_guides[ref.guide];
        const bool otherFeed = !channel.feedIdKey.isEmpty()
            && guide.store->channelId(ref.channel).trimmed().toCaseFolded() != channel.feedIdKey;
        const int rank = (otherFeed ? 4 : 0) + (channel.ownGuides.contains(guide.id) ? 0 : 2)
            + (guide.store->programmeCount(ref.channel) ? 0 : 1);
        if (rank < pickRank) {
            pick = &ref;
            pickRank = rank;
        }
    }
    return GuideSchedule(m_guides[pick->guide].store, pick->channel);
}

GuideSchedule GuideMatcher::chosen(const GuideChoices::Choice &choice, bool *resolved) const
{
    *resolved = true;
    if (choice.isNone())
        return {};
    for (const GuideSource &guide : m_guides) {
        if (guide.id == choice.guideId && guide.store)
            return GuideSchedule(guide.store, guide.store->findChannel(choice.channelId));
    }
    // The chosen guide is gone: the automatic match stands in until it is back.
    *resolved = false;
    return {};
}

GuideSchedule GuideMatcher::match(const GuideChannelQuery &channel) const
{
    const auto choice = m_choices.constFind(channel.identity);
    if (choice != m_choices.constEnd()) {
        bool resolved = false;
        GuideSchedule schedule = chosen(*choice, &resolved);
        if (resolved)
            return schedule;
    }
    if (!channel.hasKeys)
        return match(channel.keyed());
    if (!channel.idKey.isEmpty()) {
        const auto found = m_byId.constFind(channel.idKey);
        if (found != m_byId.constEnd())
            return best(&*found, channel);
    }
    for (const QString &key : channel.nameKeys) {
        const auto found = m_byName.constFind(key);
        if (found != m_byName.constEnd())
            return best(&*found, channel);
    }
    return {};
}

QString GuideMatcher::guideOf(const GuideSchedule &schedule) const
{
    for (const GuideSource &guide : m_guides) {
        if (guide.store.get() == schedule.store())
            return guide.id;
    }
    return {};
}

WantedChannels GuideMatcher::wanted(
    const QVector<GuideChannelQuery> &channels, const QHash<QString, GuideChoices::Choice> &choices)
{
    WantedChannels wanted;
    for (const GuideChannelQuery &query : channels) {
        const GuideChannelQuery channel = query.hasKeys ? query : query.keyed();
        wanted.addIdKey(channel.idKey);
        for (const QString &key : channel.nameKeys)
            wanted.addNameKey(key);
    }
    for (const GuideChoices::Choice &choice : choices) {
        if (!choice.isNone())
            wanted.addId(choice.channelId);
    }
    return wanted;
}
