#include "lists/MergedChannels.h"

#include "lists/ChannelNameRules.h"

#include <QHash>
#include <algorithm>

namespace
{

QString idKey(const QString &tvgId)
{
    QString id = tvgId.trimmed();
    const qsizetype feed = id.indexOf(QLatin1Char('@'));
    if (feed >= 0)
        id.truncate(feed);
    return id.isEmpty() ? QString() : QStringLiteral("id:") + id.toLower();
}

QString nameKey(const QString &name)
{
    const QString key = ChannelNameRules::channelKey(name);
    return key.isEmpty() ? QString() : QStringLiteral("name:") + key;
}

} // namespace

QString MergedChannels::keyOf(const QString &tvgId, const QString &name, const QString &address)
{
    QString key = idKey(tvgId);
    if (key.isEmpty())
        key = nameKey(name);
    return key.isEmpty() ? QStringLiteral("address:") + address : key;
}

QString MergedChannels::keyOf(const ListChannel &entry)
{
    return keyOf(entry.tvgId, entry.name, entry.address);
}

MergedChannels::MergedChannels(const ListChannels &entries)
    : m_entries(entries)
{
    using Field = ListChannels::Field;
    const int count = int(entries.size());
    // Pass one: the channels of ids, and which id each name belongs to.
    QHash<QString, int> channelOfKey;
    QHash<QString, int> idChannelOfName; // name key -> channel of the one id carrying it, -2: several
    QVector<QString> nameKeys(count);
    m_channelOf.fill(-1, count);
    int channels = 0;
    for (int i = 0; i < count; ++i) {
        nameKeys[i] = nameKey(entries.field(i, Field::Name));
        const QString id = idKey(entries.field(i, Field::TvgId));
        if (id.isEmpty())
            continue;
        auto found = channelOfKey.constFind(id);
        if (found == channelOfKey.constEnd())
            found = channelOfKey.insert(id, channels++);
        m_channelOf[i] = *found;
        if (nameKeys[i].isEmpty())
            continue;
        const auto named = idChannelOfName.find(nameKeys[i]);
        if (named == idChannelOfName.end())
            idChannelOfName.insert(nameKeys[i], *found);
        else if (*named != *found)
            *named = -2;
    }
    // Pass two: entries without an id, by name.
    for (int i = 0; i < count; ++i) {
        if (m_channelOf[i] >= 0)
            continue;
        const QString &name = nameKeys[i];
        const int ofId = name.isEmpty() ? -1 : idChannelOfName.value(name, -1);
        if (ofId >= 0) {
            m_channelOf[i] = ofId;
            m_aliases.insert(name, ofId);
            continue;
        }
        const QString key
            = name.isEmpty() ? QStringLiteral("address:") + entries.field(i, Field::Address) : name;
        auto found = channelOfKey.constFind(key);
        if (found == channelOfKey.constEnd())
            found = channelOfKey.insert(key, channels++);
        m_channelOf[i] = *found;
    }
    nameKeys.clear();
    // Numbered by first sight, channels joined later by name would come out of
    // order; numbered by their first entry, rows keep the lists' order.
    QVector<int> firstOf(channels, count);
    for (int i = 0; i < count; ++i)
        firstOf[m_channelOf[i]] = std::min(firstOf[m_channelOf[i]], i);
    QVector<int> order(channels);
    for (int c = 0; c < channels; ++c)
        order[c] = c;
    std::sort(order.begin(), order.end(), [&firstOf](int a, int b) { return firstOf[a] < firstOf[b]; });
    QVector<int> renumbered(channels);
    for (int c = 0; c < channels; ++c)
        renumbered[order[c]] = c;
    m_keyHashes.resize(channels);
    for (auto it = channelOfKey.constBegin(); it != channelOfKey.constEnd(); ++it)
        m_keyHashes[renumbered[*it]] = qHash(it.key());
    for (int &channel : m_aliases)
        channel = renumbered[channel];
    QVector<qint32> sizes(channels, 0);
    for (int i = 0; i < count; ++i) {
        m_channelOf[i] = renumbered[m_channelOf[i]];
        ++sizes[m_channelOf[i]];
    }
    m_starts.resize(channels + 1);
    m_starts[0] = 0;
    for (int c = 0; c < channels; ++c)
        m_starts[c + 1] = m_starts[c] + sizes[c];
    m_members.resize(count);
    QVector<qint32> filled = m_starts;
    for (int i = 0; i < count; ++i)
        m_members[filled[m_channelOf[i]]++] = i;
}

QVector<int> MergedChannels::sources(int channel) const
{
    QVector<int> result;
    result.reserve(sourceCount(channel));
    for (qint32 at = m_starts[channel]; at < m_starts[channel + 1]; ++at)
        result.append(m_members[at]);
    return result;
}

QString MergedChannels::key(int channel) const
{
    using Field = ListChannels::Field;
    // A channel of an id may hold entries that joined it by name: the id is its key.
    for (qint32 at = m_starts[channel]; at < m_starts[channel + 1]; ++at) {
        const QString id = idKey(m_entries.field(m_members[at], Field::TvgId));
        if (!id.isEmpty())
            return id;
    }
    const int first = firstEntry(channel);
    return keyOf(QString(), m_entries.field(first, Field::Name), m_entries.field(first, Field::Address));
}

int MergedChannels::channelOfKey(const QString &key) const
{
    const size_t hash = qHash(key);
    for (int c = 0; c < size(); ++c)
        if (m_keyHashes[c] == hash && this->key(c) == key)
            return c;
    return m_aliases.value(key, -1);
}
