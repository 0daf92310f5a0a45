#include "guide/GuideGridModel.h"

#include "lists/ChannelNameRules.h"
#include "lists/ChannelPicks.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>

namespace
{
// Child indexes carry their channel row + 1; top-level rows carry 0.
constexpr quintptr TopLevel = 0;
} // namespace

GuideGridModel::GuideGridModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_now(QDateTime::currentSecsSinceEpoch())
{
}

QVector<GuideGridChannel> GuideGridModel::rowsFor(const QVector<ListChannel> &entries,
    const QVector<int> &listOrders, const QSet<QString> &favourites, const GuideMatcher &matcher)
{
    QVector<GuideGridChannel> rows;
    QHash<QString, int> rowOf;
    for (int i = 0; i < entries.size(); ++i) {
        const ListChannel &entry = entries[i];
        const QString identity = ChannelPicks::identityOf(entry);
        const auto seen = rowOf.constFind(identity);
        GuideGridChannel fresh;
        // The same channel in another list shows once, in each of its groups.
        GuideGridChannel &row = seen == rowOf.constEnd() ? fresh : rows[*seen];
        for (const QStringView part : QStringView(entry.group).split(u';')) {
            const QString group = part.trimmed().toString();
            if (!group.isEmpty() && !row.groups.contains(group))
                row.groups.append(group);
        }
        if (seen != rowOf.constEnd())
            continue;
        rowOf.insert(identity, int(rows.size()));
        row.identity = identity;
        row.entry = entry;
        row.title = entry.title.isEmpty() ? entry.name : entry.title;
        row.favourite = favourites.contains(row.identity);
        row.listOrder = listOrders.value(i);
        row.schedule = matcher.match(GuideChannelQuery::forEntry(entry));
        rows.append(row);
    }
    return rows;
}

void GuideGridModel::setChannels(const QVector<GuideGridChannel> &channels)
{
    m_channels = channels;
    // Favourites first, then in the lists' order, then as given.
    std::stable_sort(
        m_channels.begin(), m_channels.end(), [](const GuideGridChannel &a, const GuideGridChannel &b) {
            return std::make_pair(!a.favourite, a.listOrder) < std::make_pair(!b.favourite, b.listOrder);
        });
    m_searchKeys.clear();
    QHash<QString, QString> groupKeys;
    for (const GuideGridChannel &channel : qAsConst(m_channels)) {
        m_searchKeys.append(ChannelNameRules::folded(channel.title));
        for (const QString &group : channel.groups)
            groupKeys.insert(group, ChannelNameRules::folded(group));
    }
    m_groups = groupKeys.keys();
    std::sort(m_groups.begin(), m_groups.end(), [&groupKeys](const QString &a, const QString &b) {
        return std::make_pair(groupKeys[a], a) < std::make_pair(groupKeys[b], b);
    });
    if (!m_groups.contains(m_group))
        m_group.clear();
    refilter();
}

void GuideGridModel::setGroup(const QString &group)
{
    if (group == m_group)
        return;
    m_group = group;
    refilter();
}

void GuideGridModel::setSearchText(const QString &text)
{
    const QStringList words = ChannelNameRules::folded(text).split(u' ', Qt::SkipEmptyParts);
    if (words == m_words)
        return;
    m_words = words;
    refilter();
}

void GuideGridModel::refilter()
{
    beginResetModel();
    m_shown.clear();
    for (int i = 0; i < m_channels.size(); ++i) {
        if (!m_group.isEmpty() && !m_channels[i].groups.contains(m_group))
            continue;
        const QString &key = m_searchKeys[i];
        if (std::all_of(
                m_words.cbegin(), m_words.cend(), [&key](const QString &word) { return key.contains(word); }))
            m_shown.append(i);
    }
    endResetModel();
}

void GuideGridModel::setNow(qint64 now)
{
    if (now == m_now)
        return;
    m_now = now;
    emit nowChanged(now);
}

QString GuideGridModel::clock(qint64 when)
{
    return QDateTime::fromSecsSinceEpoch(when).toLocalTime().toString(QStringLiteral("HH:mm"));
}

QString GuideGridModel::accessibleName(int row, int programme) const
{
    const GuideGridChannel &c = channel(row);
    const GuideStore::Programme &p = c.schedule.record(programme);
    return QStringLiteral("%1, %2 a %3, %4")
        .arg(c.title, clock(p.start), clock(p.stop), c.schedule.title(programme));
}

QModelIndex GuideGridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < m_shown.size() ? createIndex(row, 0, TopLevel) : QModelIndex();
    if (parent.internalId() != TopLevel || row >= rowCount(parent))
        return {};
    return createIndex(row, 0, quintptr(parent.row()) + 1);
}

QModelIndex GuideGridModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == TopLevel)
        return {};
    return createIndex(int(child.internalId() - 1), 0, TopLevel);
}

int GuideGridModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_shown.size());
    if (parent.internalId() != TopLevel || parent.row() >= m_shown.size())
        return 0;
    return channel(parent.row()).schedule.count();
}

int GuideGridModel::columnCount(const QModelIndex &) const
{
    return 1;
}

Qt::ItemFlags GuideGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable
        | (index.internalId() == TopLevel ? Qt::NoItemFlags : Qt::ItemNeverHasChildren);
}

QVariant GuideGridModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (index.internalId() == TopLevel) {
        const GuideGridChannel &c = channel(index.row());
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return c.title;
        case TunableRole:
            return true;
        case FavouriteRole:
            return c.favourite;
        case IdentityRole:
            return c.identity;
        default:
            return {};
        }
    }
    const int row = int(index.internalId() - 1);
    const GuideSchedule &schedule = channel(row).schedule;
    const GuideStore::Programme &p = schedule.record(index.row());
    const auto text = [&schedule](quint32 id) { return schedule.store()->text(id); };
    switch (role) {
    case Qt::DisplayRole:
        return text(p.title);
    case Qt::AccessibleTextRole:
        return accessibleName(row, index.row());
    case StartRole:
        return p.start;
    case StopRole:
        return p.stop;
    case OnNowRole:
    case TunableRole:
        return p.start <= m_now && m_now < p.stop;
    case SubTitleRole:
        return text(p.subTitle);
    case DescriptionRole:
        return text(p.description);
    case CategoriesRole:
        return schedule.programme(index.row()).categories;
    case EpisodeRole:
        return text(p.episode);
    case RatingRole:
        return text(p.rating);
    default:
        return {};
    }
}
