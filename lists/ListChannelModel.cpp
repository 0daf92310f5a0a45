#include "lists/ListChannelModel.h"

#include "base/PlainText.h"
#include "lists/ChannelNameRules.h"

#include <QHash>
#include <algorithm>
#include <utility>

ListChannelModel::ListChannelModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void ListChannelModel::PackedStrings::clear()
{
    text.clear();
    ends.clear();
}

void ListChannelModel::PackedStrings::append(QStringView string)
{
    text += string;
    ends.append(quint32(text.size()));
}

void ListChannelModel::PackedStrings::squeeze()
{
    text.squeeze();
    ends.squeeze();
}

QStringView ListChannelModel::PackedStrings::at(int row) const
{
    const quint32 start = row == 0 ? 0 : ends.at(row - 1);
    return QStringView(text).sliced(start, ends.at(row) - start);
}

void ListChannelModel::setChannels(const ListChannels &channels)
{
    setChannels(MergedChannels(channels));
}

void ListChannelModel::setChannels(const MergedChannels &channels)
{
    using Field = ListChannels::Field;
    beginResetModel();
    m_channels = channels;
    const ListChannels &entries = channels.entries();
    const int count = channels.size();
    m_searchKeys.clear();
    m_groupSetOf.clear();
    m_groupSets.clear();
    m_groupSetOf.reserve(count);
    m_searchKeys.ends.reserve(count);
    m_offAir = QBitArray(count);
    QHash<QString, int> setOfGroups; // group-titles as written, joined -> their groups' set
    QHash<QString, QString> keyOfGroup; // group -> its folded key, for the sort
    for (int c = 0; c < count; ++c) {
        QString searched;
        QString groupTitles;
        QStringList names;
        for (const int e : channels.sources(c)) {
            const QString name = entries.field(e, Field::Name);
            if (!names.contains(name)) {
                names.append(name);
                // Words never span two names: the separator is no letter of a word.
                if (!searched.isEmpty())
                    searched += QLatin1String(" | ");
                searched += ChannelNameRules::folded(name);
            }
            const QString group = entries.field(e, Field::Group);
            if (!group.isEmpty() && !groupTitles.split(u';').contains(group)) {
                if (!groupTitles.isEmpty())
                    groupTitles += u';';
                groupTitles += group;
            }
        }
        m_searchKeys.append(searched);
        auto found = setOfGroups.constFind(groupTitles);
        if (found == setOfGroups.constEnd()) {
            QStringList groups;
            for (const QStringView part : QStringView(groupTitles).split(u';')) {
                const QString group = part.trimmed().toString();
                if (group.isEmpty() || groups.contains(group))
                    continue;
                groups.append(group);
                if (!keyOfGroup.contains(group))
                    keyOfGroup.insert(group, ChannelNameRules::folded(group));
            }
            m_groupSets.append(groups);
            found = setOfGroups.insert(groupTitles, int(m_groupSets.size()) - 1);
        }
        m_groupSetOf.append(*found);
    }
    m_searchKeys.squeeze();
    m_groups = keyOfGroup.keys();
    std::sort(m_groups.begin(), m_groups.end(), [&keyOfGroup](const QString &a, const QString &b) {
        const QString &ka = keyOfGroup[a];
        const QString &kb = keyOfGroup[b];
        return ka != kb ? ka < kb : a < b;
    });
    order();
    findFavouriteAliases();
    endResetModel();
}

void ListChannelModel::order()
{
    const int count = m_channels.size();
    m_order.clear();
    m_order.reserve(count);
    for (int pass = 0; pass < 2; ++pass)
        for (int c = 0; c < count; ++c)
            if (m_offAir.testBit(c) == (pass == 1))
                m_order.append(c);
    m_rowOf.resize(count);
    for (int row = 0; row < count; ++row)
        m_rowOf[m_order[row]] = row;
}

void ListChannelModel::setHealth(const QHash<QString, SourceHealth> &health)
{
    QBitArray offAir(m_channels.size());
    for (int c = 0; c < m_channels.size(); ++c)
        offAir.setBit(c, SourceRanking::isOffAir(m_channels.entries(), m_channels.sources(c), health));
    if (offAir == m_offAir)
        return;
    // Rows move: a reset is cheaper for a view of many thousands than moves one by one.
    beginResetModel();
    m_offAir = offAir;
    order();
    endResetModel();
}

void ListChannelModel::setFavourites(const QSet<QString> &identities)
{
    if (identities == m_favourites)
        return;
    m_favourites = identities;
    findFavouriteAliases();
    if (m_channels.size() > 0)
        emit dataChanged(index(0), index(m_channels.size() - 1), { FavouriteRole });
}

void ListChannelModel::findFavouriteAliases()
{
    m_favouriteAliasChannels = channelsOfAliases(m_favourites);
}

QSet<int> ListChannelModel::channelsOfAliases(const QSet<QString> &identities) const
{
    QSet<int> channels;
    const QHash<QString, int> &aliases = m_channels.aliases();
    for (const QString &identity : identities) {
        const auto found = aliases.constFind(identity);
        if (found != aliases.constEnd())
            channels.insert(*found);
    }
    return channels;
}

QString ListChannelModel::identity(int row) const
{
    return m_channels.key(channelAt(row));
}

int ListChannelModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_channels.size();
}

QVariant ListChannelModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    using Field = ListChannels::Field;
    const int channel = channelAt(index.row());
    const int entry = m_channels.firstEntry(channel);
    const ListChannels &entries = m_channels.entries();
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return entries.field(entry, Field::Title);
    case Qt::ToolTipRole:
        return PlainText::tooltip(entries.field(entry, Field::Name));
    case NameRole:
        return entries.field(entry, Field::Name);
    case TagsRole:
        return entries.tags(entry);
    case GroupRole:
        return entries.field(entry, Field::Group);
    case AddressRole:
        return entries.field(entry, Field::Address);
    case LogoRole:
        // The first source with a logo lends it to the row.
        for (const int source : m_channels.sources(channel)) {
            const QString logo = entries.field(source, Field::Logo);
            if (!logo.isEmpty())
                return logo;
        }
        return QString();
    case StatusRole:
        return entries.field(entry, Field::Status);
    case UserAgentRole:
        return entries.field(entry, Field::UserAgent);
    case ReferrerRole:
        return entries.field(entry, Field::Referrer);
    case IdentityRole:
        return m_channels.key(channel);
    case FavouriteRole:
        return !m_favourites.isEmpty()
            && (m_favouriteAliasChannels.contains(channel) || m_favourites.contains(m_channels.key(channel)));
    case SourceCountRole:
        return m_channels.sourceCount(channel);
    case OffAirRole:
        return m_offAir.testBit(channel);
    default:
        return {};
    }
}

QHash<int, QByteArray> ListChannelModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert({ { TitleRole, "title" }, { NameRole, "name" }, { TagsRole, "tags" }, { GroupRole, "group" },
        { AddressRole, "address" }, { LogoRole, "logo" }, { StatusRole, "status" },
        { UserAgentRole, "userAgent" }, { ReferrerRole, "referrer" }, { IdentityRole, "identity" },
        { FavouriteRole, "favourite" }, { SourceCountRole, "sourceCount" }, { OffAirRole, "offAir" } });
    return names;
}
