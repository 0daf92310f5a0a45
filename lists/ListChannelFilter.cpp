#include "lists/ListChannelFilter.h"

#include "lists/ChannelNameRules.h"
#include "lists/ListChannelModel.h"

ListChannelFilter::ListChannelFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{
}

void ListChannelFilter::setSourceModel(QAbstractItemModel *model)
{
    m_channels = qobject_cast<const ListChannelModel *>(model);
    QSortFilterProxyModel::setSourceModel(model);
}

void ListChannelFilter::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    const QStringList words = ChannelNameRules::folded(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words == m_words)
        return;
    m_words = words;
    invalidateFilter();
}

void ListChannelFilter::showAll()
{
    m_group.clear();
    setIdentities({});
    m_recentRank.clear();
    setScope(Scope::All);
}

void ListChannelFilter::showGroup(const QString &group)
{
    m_group = group;
    setIdentities({});
    m_recentRank.clear();
    setScope(Scope::Group);
}

void ListChannelFilter::setIdentities(const QSet<QString> &identities)
{
    m_identities = identities;
    m_identityHashes.clear();
    for (const QString &identity : identities)
        m_identityHashes.insert(qHash(identity));
}

void ListChannelFilter::showFavourites(const QSet<QString> &identities)
{
    m_group.clear();
    setIdentities(identities);
    m_recentRank.clear();
    setScope(Scope::Favourites);
}

void ListChannelFilter::showRecents(const QStringList &identities)
{
    m_group.clear();
    m_recentRank.clear();
    for (int i = 0; i < identities.size(); ++i) {
        if (!m_recentRank.contains(identities[i]))
            m_recentRank.insert(identities[i], i);
    }
    setIdentities(QSet<QString>(identities.cbegin(), identities.cend()));
    setScope(Scope::Recents);
}

void ListChannelFilter::setScope(Scope scope)
{
    m_scope = scope;
    invalidateFilter();
    // Recents read most recent first; everything else keeps the lists' order.
    sort(scope == Scope::Recents ? 0 : -1);
}

bool ListChannelFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (!m_channels || sourceParent.isValid())
        return false;
    switch (m_scope) {
    case Scope::All:
        break;
    case Scope::Group:
        if (!m_channels->groupsOf(sourceRow).contains(m_group))
            return false;
        break;
    case Scope::Favourites:
    case Scope::Recents:
        // By hash first: making every row's identity would cost a hitch.
        if (!m_identityHashes.contains(m_channels->identityHash(sourceRow))
            || !m_identities.contains(m_channels->identity(sourceRow)))
            return false;
        break;
    }
    const QStringView key = m_channels->searchKey(sourceRow);
    for (const QString &word : m_words) {
        if (!key.contains(word))
            return false;
    }
    return true;
}

bool ListChannelFilter::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    if (m_scope != Scope::Recents || !m_channels)
        return left.row() < right.row();
    const int a = m_recentRank.value(m_channels->identity(left.row()), INT_MAX);
    const int b = m_recentRank.value(m_channels->identity(right.row()), INT_MAX);
    return a != b ? a < b : left.row() < right.row();
}
