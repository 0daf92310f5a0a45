#pragma once

#include "channels/ListChannel.h"

#include <QAbstractListModel>
#include <QSet>
#include <QStringList>
#include <QVector>

// List channels as a flat model, for the channel window's list and its
// filter (ListChannelFilter). The display text is the name without tags;
// the tags, group, address and the rest are roles. Search keys are folded
// once, when the channels are set, so filtering stays cheap.
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

    void setChannels(const QVector<ListChannel> &channels);
    // Identities shown as favourites (FavouriteRole).
    void setFavourites(const QSet<QString> &identities);

    const ListChannel &channel(int row) const { return m_channels.at(row); }
    // Every group named by a channel (group-title values split at ';'), sorted
    // ignoring case and accents.
    QStringList groups() const { return m_groups; }

    // For the filter: the folded name, the identity, the groups of a row.
    const QString &searchKey(int row) const { return m_rows.at(row).searchKey; }
    const QString &identity(int row) const { return m_rows.at(row).identity; }
    const QStringList &groupsOf(int row) const { return m_rows.at(row).groups; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Row {
        QString searchKey;
        QString identity;
        QStringList groups;
    };

    QVector<ListChannel> m_channels;
    QVector<Row> m_rows;
    QStringList m_groups;
    QSet<QString> m_favourites;
};
