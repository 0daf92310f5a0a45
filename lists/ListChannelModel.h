#pragma once

#include "lists/ListChannels.h"

#include <QAbstractListModel>
#include <QSet>
#include <QStringList>
#include <QVector>

// List channels as a flat model, for the channel window's list and its
// filter (ListChannelFilter). The display text is the name without tags;
// the tags, group, address and the rest are roles. Search keys are folded
// once, when the channels are set, so filtering stays cheap; like the
// channels, they are kept packed, a string per row costing more than the row.
class ListChannelModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        TitleRole = Qt::UserRole + 1, // QString, also Qt::DisplayRole
        NameRole, // QString, as written, tags and all (Qt::ToolTipRole: the same, shown literally)
        TagsRole, // QStringList
        GroupRole, // QString, as written ("News;Entertainment")
        AddressRole,
        LogoRole,
        StatusRole,
        UserAgentRole,
        ReferrerRole,
        IdentityRole, // ChannelPicks::identityOf
        FavouriteRole, // bool
    };

    explicit ListChannelModel(QObject *parent = nullptr);

    void setChannels(const ListChannels &channels);
    // Identities shown as favourites (FavouriteRole).
    void setFavourites(const QSet<QString> &identities);

    ListChannel channel(int row) const { return m_channels.at(row); }
    // Every group named by a channel (group-title values split at ';'), sorted
    // ignoring case and accents.
    QStringList groups() const { return m_groups; }

    // For the filter: the folded name, the identity (made when asked; its
    // hash is kept, to look it up among a few without making it), the groups of a row.
    QStringView searchKey(int row) const { return m_searchKeys.at(row); }
    QString identity(int row) const;
    size_t identityHash(int row) const { return m_identityHashes.at(row); }
    const QStringList &groupsOf(int row) const { return m_groupSets.at(m_groupSetOf.at(row)); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    // Strings of every row back to back.
    struct PackedStrings {
        QString text;
        QVector<quint32> ends;

        void clear();
        void append(QStringView string);
        void squeeze();
        QStringView at(int row) const;
    };

    ListChannels m_channels;
    PackedStrings m_searchKeys;
    QVector<size_t> m_identityHashes;
    // Rows with the same group-title share one list of its groups.
    QVector<int> m_groupSetOf;
    QVector<QStringList> m_groupSets;
    QStringList m_groups;
    QSet<QString> m_favourites;
};
