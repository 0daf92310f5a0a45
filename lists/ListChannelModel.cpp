#include "lists/ListChannelModel.h"

#include "base/PlainText.h"
#include "lists/ChannelNameRules.h"
#include "lists/ChannelPicks.h"

#include <QHash>
#include <algorithm>

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
    using Field = ListChannels::Field;
    beginResetModel();
    m_channels = channels;
    m_searchKeys.clear();
    m_identityHashes.clear();
    m_groupSetOf.clear();
    m_groupSets.clear();
    m_groupSetOf.reserve(channels.size());
    m_searchKeys.ends.reserve(channels.size());
    m_identityHashes.reserve(channels.size());
    QHash<QString, int> setOfTitle; // group-title as written -> its groups' set
    QHash<QString, QString> keyOfGroup; // group -> its folded key, for the sort
    for (int row = 0; row < channels.size(); ++row) {
        const QString name = channels.field(row, Field::Name);
        m_searchKeys.append(ChannelNameRules::folded(name));
        m_identityHashes.append(qHash(ChannelPicks::identityOf(
            channels.field(row, Field::TvgId), name, channels.field(row, Field::Address))));
        const QString groupTitle = channels.field(row, Field::Group);
        auto found = setOfTitle.constFind(groupTitle);
        if (found == setOfTitle.constEnd()) {
            QStringList groups;
            for (const QStringView part : QStringView(groupTitle).split(u';')) {
                const QString group = part.trimmed().toString();
                if (group.isEmpty() || groups.contains(group))
                    continue;
                groups.append(group);
                if (!keyOfGroup.contains(group))
                    keyOfGroup.insert(group, ChannelNameRules::folded(group));
            }
            m_groupSets.append(groups);
            found = setOfTitle.insert(groupTitle, int(m_groupSets.size()) - 1);
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

QString ListChannelModel::identity(int row) const
{
    using Field = ListChannels::Field;
    return ChannelPicks::identityOf(m_channels.field(row, Field::TvgId), m_channels.field(row, Field::Name),
        m_channels.field(row, Field::Address));
}

int ListChannelModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_channels.size());
}

QVariant ListChannelModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    using Field = ListChannels::Field;
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return m_channels.field(row, Field::Title);
    case Qt::ToolTipRole:
        return PlainText::tooltip(m_channels.field(row, Field::Name));
    case NameRole:
        return m_channels.field(row, Field::Name);
    case TagsRole:
        return m_channels.tags(row);
    case GroupRole:
        return m_channels.field(row, Field::Group);
    case AddressRole:
        return m_channels.field(row, Field::Address);
    case LogoRole:
        return m_channels.field(row, Field::Logo);
    case StatusRole:
        return m_channels.field(row, Field::Status);
    case UserAgentRole:
        return m_channels.field(row, Field::UserAgent);
    case ReferrerRole:
        return m_channels.field(row, Field::Referrer);
    case IdentityRole:
        return identity(row);
    case FavouriteRole:
        return !m_favourites.isEmpty() && m_favourites.contains(identity(row));
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
