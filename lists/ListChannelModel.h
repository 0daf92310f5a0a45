#pragma once

#include "lists/MergedChannels.h"
#include "lists/SourceRanking.h"

#include <QAbstractListModel>
#include <QBitArray>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>

// List channels as a flat model, for the channel window's list and its
// filter (ListChannelFilter): one row per channel, however many lists and
// entries carry it (MergedChannels). A row shows its first entry: the display
// text is the name without tags; the tags, group, address and the rest are
// roles, with the number of sources and whether the channel is off the air.
// Channels found off the air come last. Search keys (every source's name)
// are folded once, when the channels are set, so filtering stays cheap; like
// the channels, they are kept packed, a string per row costing more than the row.
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
        IdentityRole, // the merged channel's key (MergedChannels::key)
        FavouriteRole, // bool
        SourceCountRole, // int
        OffAirRole, // bool: every source was checked and none plays
    };

    explicit ListChannelModel(QObject *parent = nullptr);

    void setChannels(const ListChannels &channels);
    void setChannels(const MergedChannels &channels);
    // What the checks found: off-air channels are marked and move to the end.
    void setHealth(const QHash<QString, SourceHealth> &health);
    // Identities shown as favourites (FavouriteRole): a channel's key, or the
    // identity of one of its entries from before they were merged.
    void setFavourites(const QSet<QString> &identities);

    const MergedChannels &channels() const { return m_channels; }
    // The merged channel shown in a row, and back.
    int channelAt(int row) const { return m_order.at(row); }
    int rowOf(int channel) const { return m_rowOf.value(channel, -1); }
    // The row's first entry.
    ListChannel channel(int row) const
    {
        return m_channels.entries().at(m_channels.firstEntry(channelAt(row)));
    }
    bool isOffAir(int row) const { return m_offAir.testBit(channelAt(row)); }
    // Every group named by a channel (group-title values split at ';'), sorted
    // ignoring case and accents.
    QStringList groups() const { return m_groups; }

    // For the filter: the folded name, the identity (made when asked; its
    // hash is kept, to look it up among a few without making it), the groups of a row.
    QStringView searchKey(int row) const { return m_searchKeys.at(channelAt(row)); }
    QString identity(int row) const;
    size_t identityHash(int row) const { return m_channels.keyHash(channelAt(row)); }
    // Channels holding an entry with one of these identities of its own.
    QSet<int> channelsOfAliases(const QSet<QString> &identities) const;
    const QStringList &groupsOf(int row) const { return m_groupSets.at(m_groupSetOf.at(channelAt(row))); }

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

    void order();
    void findFavouriteAliases();

    MergedChannels m_channels;
    QVector<int> m_order; // row -> channel: on the air (or unknown) first, each part in the lists' order
    QVector<int> m_rowOf; // channel -> row
    QBitArray m_offAir; // by channel
    PackedStrings m_searchKeys; // by channel
    // Channels with the same groups share one list of them.
    QVector<int> m_groupSetOf;
    QVector<QStringList> m_groupSets;
    QStringList m_groups;
    QSet<QString> m_favourites;
    QSet<int> m_favouriteAliasChannels;
};
