#include "guide/GuideStore.h"

#include "guide/GuideKeys.h"

#include <algorithm>

namespace
{

bool fail(QString *why, const char *text)
{
    if (why)
        *why = QString::fromUtf8(text);
    return false;
}

bool validParts(const GuideStore::Parts &parts, QString *why)
{
    const quint32 strings = parts.strings.count();
    auto textOk = [strings](quint32 id) { return id < strings; };
    for (const quint32 name : parts.names) {
        if (!textOk(name))
            return fail(why, "a name outside the texts");
    }
    quint64 nextName = 0;
    quint64 nextProgramme = 0;
    for (const GuideStore::Channel &channel : parts.channels) {
        if (!textOk(channel.id) || !textOk(channel.icon) || parts.strings.utf8(channel.id).isEmpty())
            return fail(why, "a channel with a bad text or no id");
        if (channel.flags & ~GuideStore::WasWanted
            || (channel.programmeCount && !(channel.flags & GuideStore::WasWanted)))
            return fail(why, "a channel with bad flags");
        if (channel.firstName != nextName || channel.firstProgramme != nextProgramme)
            return fail(why, "channels out of order");
        nextName += channel.nameCount;
        nextProgramme += channel.programmeCount;
        if (nextName > parts.names.size() || nextProgramme > parts.programmes.size())
            return fail(why, "a channel points past the end");
        const GuideStore::Programme *first = parts.programmes.data() + channel.firstProgramme;
        for (quint32 i = 0; i < channel.programmeCount; ++i) {
            const GuideStore::Programme &p = first[i];
            if (p.stop <= p.start || (i > 0 && p.start < first[i - 1].stop))
                return fail(why, "programmes out of order or overlapping");
            for (const quint32 id :
                { p.title, p.subTitle, p.description, p.categories, p.episode, p.rating, p.icon }) {
                if (!textOk(id))
                    return fail(why, "a programme with a bad text");
            }
        }
    }
    if (nextName != parts.names.size() || nextProgramme != parts.programmes.size())
        return fail(why, "names or programmes left over");
    return true;
}

} // namespace

std::unique_ptr<GuideStore> GuideStore::fromParts(Parts parts, QString *why)
{
    if (!validParts(parts, why))
        return nullptr;
    auto store = std::make_unique<GuideStore>();
    store->m_parts = std::move(parts);
    store->m_parts.strings.finish();
    const Parts &held = store->m_parts;
    store->m_byId.reserve(qsizetype(held.channels.size()));
    bool any = false;
    for (int i = 0; i < int(held.channels.size()); ++i) {
        const Channel &channel = held.channels[size_t(i)];
        // The first of two channels with one id keeps it, as it kept its programmes.
        const QString id = held.strings.text(channel.id);
        const QString key = GuideKeys::idKey(id);
        if (!store->m_byId.contains(key))
            store->m_byId.insert(key, i);
        const QString feedKey = id.trimmed().toCaseFolded();
        if (!store->m_byFeedId.contains(feedKey))
            store->m_byFeedId.insert(feedKey, i);
        store->m_idKeys.append(key);
        QStringList nameKeys;
        for (const QString &name : QStringList { id } + store->displayNames(i)) {
            const QString nameKey = GuideKeys::nameKey(name);
            if (!nameKey.isEmpty() && !nameKeys.contains(nameKey))
                nameKeys.append(nameKey);
        }
        store->m_nameKeys.append(nameKeys);
        if (channel.programmeCount == 0)
            continue;
        const qint64 start = held.programmes[channel.firstProgramme].start;
        const qint64 stop = held.programmes[channel.firstProgramme + channel.programmeCount - 1].stop;
        store->m_firstStart = any ? std::min(store->m_firstStart, start) : start;
        store->m_lastStop = any ? std::max(store->m_lastStop, stop) : stop;
        any = true;
    }
    return store;
}

QString GuideStore::channelId(int channel) const
{
    return text(m_parts.channels.at(size_t(channel)).id);
}

QStringList GuideStore::displayNames(int channel) const
{
    const Channel &c = m_parts.channels.at(size_t(channel));
    QStringList names;
    names.reserve(c.nameCount);
    for (quint32 i = 0; i < c.nameCount; ++i)
        names.append(text(m_parts.names[c.firstName + i]));
    return names;
}

QString GuideStore::channelIcon(int channel) const
{
    return text(m_parts.channels.at(size_t(channel)).icon);
}

bool GuideStore::wasWanted(int channel) const
{
    return m_parts.channels.at(size_t(channel)).flags & WasWanted;
}

bool GuideStore::missesWanted(const WantedChannels &wanted) const
{
    for (int i = 0; i < channelCount(); ++i) {
        if (!wasWanted(i) && wanted.wantsKeys(m_idKeys[i], m_nameKeys[i]))
            return true;
    }
    return false;
}

int GuideStore::findChannel(QStringView id) const
{
    const int exact = m_byFeedId.value(id.trimmed().toString().toCaseFolded(), -1);
    return exact >= 0 ? exact : m_byId.value(GuideKeys::idKey(id), -1);
}

int GuideStore::programmeCount(int channel) const
{
    if (channel < 0 || channel >= channelCount())
        return 0;
    return int(m_parts.channels[size_t(channel)].programmeCount);
}

const GuideStore::Programme &GuideStore::record(int channel, int index) const
{
    const Channel &c = m_parts.channels.at(size_t(channel));
    Q_ASSERT(index >= 0 && quint32(index) < c.programmeCount);
    return m_parts.programmes[c.firstProgramme + quint32(index)];
}

GuideProgramme GuideStore::programme(int channel, int index, GuideDetail detail) const
{
    const Programme &p = record(channel, index);
    GuideProgramme out;
    out.start = p.start;
    out.stop = p.stop;
    out.title = text(p.title);
    if (detail == GuideDetail::Titles)
        return out;
    out.subTitle = text(p.subTitle);
    out.description = text(p.description);
    const QString categories = text(p.categories);
    if (!categories.isEmpty())
        out.categories = categories.split(QChar(CategorySeparator));
    out.episode = text(p.episode);
    out.rating = text(p.rating);
    out.icon = text(p.icon);
    return out;
}

QString GuideStore::title(int channel, int index) const
{
    return text(record(channel, index).title);
}

int GuideStore::firstEndingAfter(int channel, qint64 when) const
{
    const int count = programmeCount(channel);
    if (count == 0)
        return 0;
    const Programme *first = &record(channel, 0);
    // Sorted and never overlapping, so stops are sorted too.
    const Programme *found = std::upper_bound(
        first, first + count, when, [](qint64 t, const Programme &p) { return t < p.stop; });
    return int(found - first);
}

int GuideStore::programmeAt(int channel, qint64 when) const
{
    const int index = firstEndingAfter(channel, when);
    if (index >= programmeCount(channel) || record(channel, index).start > when)
        return -1;
    return index;
}

NowNext GuideStore::nowNext(int channel, qint64 when, GuideDetail detail) const
{
    NowNext result;
    const int count = programmeCount(channel);
    int index = firstEndingAfter(channel, when);
    if (index >= count)
        return result;
    if (record(channel, index).start <= when)
        result.now = programme(channel, index++, detail);
    if (index < count)
        result.next = programme(channel, index, detail);
    return result;
}

QVector<GuideProgramme> GuideStore::between(int channel, qint64 when, qint64 until) const
{
    QVector<GuideProgramme> result;
    const int count = programmeCount(channel);
    for (int i = firstEndingAfter(channel, when); i < count && record(channel, i).start < until; ++i)
        result.append(programme(channel, i));
    return result;
}
