#include "lists/BuiltInChannelMatcher.h"

#include "lists/ChannelNameRules.h"
#include "lists/ListAddress.h"
#include "lists/OwnChannelList.h"

#include <QSet>
#include <QVarLengthArray>
#include <algorithm>

namespace
{

void addKey(QHash<QString, QVector<int>> &byKey, const QString &name, int channel)
{
    const QString key = ChannelNameRules::matchKey(name);
    if (key.isEmpty())
        return;
    QVector<int> &channels = byKey[key];
    if (!channels.contains(channel))
        channels.append(channel);
}

struct Hit {
    int entry;
    bool later; // not online, or a web page
    bool inexact;
};

} // namespace

BuiltInChannelMatcher::BuiltInChannelMatcher(const ChannelCatalogue &catalogue)
{
    for (const Channel &channel : catalogue.channels()) {
        const int index = int(m_controls.size());
        m_controls.append(channel.control);
        m_ownAddressPlays.append(!channel.address.isEmpty() && !ListAddress::isPlaceholder(channel.address));
        m_byTitle.insert(channel.titleSuffix, index);
        addKey(m_byKey, channel.titleSuffix, index);
        // A menu item has no tooltip; its caption is what the user sees.
        addKey(m_byKey, channel.isMenuItem() ? channel.caption : channel.tooltip, index);
    }
}

bool BuiltInChannelMatcher::playsFirst(const ListChannel &entry)
{
    return playsFirst(entry.status, entry.address);
}

bool BuiltInChannelMatcher::playsFirst(const QString &status, const QString &address)
{
    return ListChannel::isOnlineStatus(status) && !ListAddress::isWebPage(address);
}

BuiltInSources BuiltInChannelMatcher::match(const ListChannels &entries) const
{
    using Field = ListChannels::Field;
    QVector<QVector<Hit>> hits(m_controls.size());
    QVarLengthArray<int, 4> channels;
    // Field by field: only the entries a channel takes are made whole.
    for (int i = 0; i < entries.size(); ++i) {
        const QString address = entries.field(i, Field::Address);
        if (address.isEmpty() || ListAddress::isPlaceholder(address))
            continue;
        channels.clear();
        const QString name = entries.field(i, Field::Name);
        const QString title = entries.field(i, Field::Title);
        const QString tvgId = entries.field(i, Field::TvgId);
        const int exact = m_byTitle.value(name, -1);
        if (exact >= 0)
            channels.append(exact);
        for (const QString &key : { ChannelNameRules::matchKey(title.isEmpty() ? name : title),
                 tvgId.isEmpty() ? QString() : ChannelNameRules::tvgIdKey(tvgId) }) {
            const auto found = key.isEmpty() ? m_byKey.constEnd() : m_byKey.constFind(key);
            if (found == m_byKey.constEnd())
                continue;
            for (const int channel : *found) {
                if (!channels.contains(channel))
                    channels.append(channel);
            }
        }
        if (channels.isEmpty())
            continue;
        const bool later = !playsFirst(entries.field(i, Field::Status), address);
        for (const int channel : channels)
            hits[channel].append({ i, later, channel != exact });
    }

    BuiltInSources result;
    for (int channel = 0; channel < hits.size(); ++channel) {
        QVector<Hit> &found = hits[channel];
        if (found.isEmpty())
            continue;
        std::stable_sort(found.begin(), found.end(), [](const Hit &a, const Hit &b) {
            return std::make_pair(a.later, a.inexact) < std::make_pair(b.later, b.inexact);
        });
        QVector<ListChannel> sources;
        QSet<QString> seen;
        for (const Hit &hit : qAsConst(found)) {
            const ListChannel entry = entries.at(hit.entry);
            if (seen.contains(entry.address))
                continue;
            seen.insert(entry.address);
            sources.append(entry);
            if (sources.size() >= MaxSources)
                break;
        }
        result.insert(m_controls[channel], sources);
    }
    return result;
}

int BuiltInChannelMatcher::channelsWithAddress(const BuiltInSources &sources) const
{
    int count = 0;
    for (int i = 0; i < m_controls.size(); ++i) {
        if (m_ownAddressPlays[i] || !sources.value(m_controls[i]).isEmpty())
            ++count;
    }
    return count;
}

QString BuiltInChannelMatcher::coverageText(int withAddress, int total)
{
    return QString::fromUtf8("%1 dos %2 canais do programa têm endereço").arg(withAddress).arg(total);
}

ChannelCatalogue BuiltInChannelMatcher::applied(
    const ChannelCatalogue &catalogue, const BuiltInSources &sources)
{
    ChannelCatalogue result = catalogue;
    for (auto it = sources.constBegin(); it != sources.constEnd(); ++it) {
        const Channel *found = result.byControl(it.key());
        if (!found || it.value().isEmpty())
            continue;
        // Copied out: the catalogue's pointers do not survive the changes below.
        const Channel channel = *found;
        QStringList addresses;
        for (const ListChannel &source : it.value())
            addresses.append(source.address);
        result.setAddress(channel.control, addresses.first());
        // The rotation runs through every address, the first included: without
        // it a channel found twice would have a list of one, which is no list,
        // and its second address would never be tried.
        if (!channel.alternateList.isEmpty())
            result.setAlternateEntries(channel.alternateList, addresses);
        else if (addresses.size() > 1)
            result.addAlternateList(channel.control, OwnChannelList::listBoxFor(channel.control), addresses);
    }
    return result;
}
