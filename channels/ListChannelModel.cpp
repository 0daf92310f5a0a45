#include "channels/ListChannelModel.h"

#include "base/PlainText.h"
#include "channels/ChannelNameRules.h"
#include "channels/ChannelPicks.h"

#include <QHash>
#include <algorithm>

ListChannelModel::ListChannelModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void ListChannelModel::setChannels(const QVector<ListChannel> &channels)
{
    beginResetModel();
    m_channels = channels;
    m_rows.clear();
    m_rows.reserve(channels.size());
    QHash<QString, QString> groupByKey;
    for (const ListChannel &channel : channels) {
        Row row;
        row.searchKey = ChannelNameRules::folded(channel.name);
        row.identity = ChannelPicks::identityOf(channel);
        for (const QStringView part : QStringView(channel.group).split(u';')) {
            const QString group = part.trimmed().toString();
            if (group.isEmpty() || row.groups.contains(group))
                continue;
            row.groups.append(group);
            if (!groupByKey.contains(group))
                groupByKey.insert(group, ChannelNameRules::folded(group));
        }
        m_rows.append(row);
    }
    m_groups = groupByKey.keys();
    std::sort(m_groups.begin(), m_groups.end(), [&groupByKey](const QString &a, const QString &b) {
        const QString &ka = groupByKey[a];
        const QString &kb = groupByKey[b];
        return ka != kb ? ka < kb : a < b;
    });
    endResetModel();
}

void ListChannelModel::setFavourites(const QSet<QString> &identities)
{
    if (identities == m_favourites)
        return;
    m_favourites = identities;
    if (!m_channels.isEmpty())
        emit dataChanged(index(0), index(int(m_channels.size()) - 1), { FavouriteRole });
}

int ListChannelModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_channels.size());
}

QVariant ListChannelModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ListChannel &c = m_channels.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return c.title;
    case Qt::ToolTipRole:
        return PlainText::tooltip(c.name);
    case NameRole:
        return c.name;
    case TagsRole:
        return c.tags;
    case GroupRole:
        return c.group;
    case AddressRole:
        return c.address;
    case LogoRole:
        return c.logo;
    case StatusRole:
        return c.status;
    case UserAgentRole:
        return c.userAgent;
    case ReferrerRole:
        return c.referrer;
    case IdentityRole:
        return m_rows.at(index.row()).identity;
    case FavouriteRole:
        return m_favourites.contains(m_rows.at(index.row()).identity);
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
        { FavouriteRole, "favourite" } });
    return names;
}
