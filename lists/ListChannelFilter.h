#pragma once

#include <QHash>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStringList>

class ListChannelModel;

// What the channel window shows of a ListChannelModel: a scope (all, one
// group, "Favoritos", "Recentes") narrowed by the search text. The search
// ignores case and accents; every word typed must appear in the name.
class ListChannelFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    enum class Scope { All, Group, Favourites, Recents };

    explicit ListChannelFilter(QObject *parent = nullptr);

    // Only a ListChannelModel is filtered; any other model shows nothing.
    void setSourceModel(QAbstractItemModel *model) override;

    void setSearchText(const QString &text);
    QString searchText() const { return m_searchText; }

    void showAll();
    void showGroup(const QString &group);
    void showFavourites(const QSet<QString> &identities);
    // Most recent first, in that order.
    void showRecents(const QStringList &identities);
    Scope scope() const { return m_scope; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    void setScope(Scope scope);
    void setIdentities(const QSet<QString> &identities);

    const ListChannelModel *m_channels = nullptr;
    QString m_searchText;
    QStringList m_words; // folded
    Scope m_scope = Scope::All;
    QString m_group;
    QSet<QString> m_identities;
    QSet<size_t> m_identityHashes;
    QHash<QString, int> m_recentRank;
};
