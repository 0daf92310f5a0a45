#pragma once

#include "guide/GuideMatcher.h"
#include "guide/GuideSchedule.h"
#include "lists/ListChannel.h"

#include <QAbstractItemModel>
#include <QSet>
#include <QStringList>
#include <QVector>

// A channel as a row of the guide grid.
struct GuideGridChannel {
    ListChannel entry; // what a tune plays
    QString title; // shown: the name without its tags
    QString identity; // ChannelPicks::identityOf
    QStringList groups; // group-title split at ';'
    bool favourite = false;
    int listOrder = 0; // the position of its list: rows keep the lists' order
    GuideSchedule schedule;
};

// The guide grid without widgets: channels as top-level rows (favourites
// first, then in the lists' order; narrowed to a group and by the channel
// search's folding), each with its programmes as child rows in time order.
// Times are UTC seconds; texts are shown in the machine's local time.
// Programme cells carry the accessible name "<channel>, <HH:MM> a <HH:MM>, <title>".
class GuideGridModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role {
        StartRole = Qt::UserRole + 1, // qint64, programmes
        StopRole, // qint64
        OnNowRole, // bool: the programme runs at now()
        TunableRole, // bool: a channel, or its programme on now
        SubTitleRole,
        DescriptionRole,
        CategoriesRole, // QStringList
        EpisodeRole,
        RatingRole,
        FavouriteRole, // bool, channels
        IdentityRole, // QString, channels
    };

    explicit GuideGridModel(QObject *parent = nullptr);

    // One row per channel identity, the first entry of each (the same channel
    // in two lists shows once, in the groups of both); schedules from matcher.
    static QVector<GuideGridChannel> rowsFor(const QVector<ListChannel> &entries,
        const QVector<int> &listOrders, const QSet<QString> &favourites, const GuideMatcher &matcher);

    void setChannels(const QVector<GuideGridChannel> &channels);
    // Every group named by a channel, sorted ignoring case and accents.
    QStringList groups() const { return m_groups; }
    void setGroup(const QString &group); // empty: every group
    void setSearchText(const QString &text);
    QString group() const { return m_group; }

    qint64 now() const { return m_now; }
    void setNow(qint64 now);

    int channelCount() const { return int(m_shown.size()); }
    const GuideGridChannel &channel(int row) const { return m_channels[m_shown[row]]; }
    QModelIndex channelIndex(int row) const { return index(row, 0); }
    QModelIndex programmeIndex(int row, int programme) const
    {
        return index(programme, 0, channelIndex(row));
    }
    // "Globo, 20:30 a 21:15, Jornal Nacional".
    QString accessibleName(int row, int programme) const;
    static QString clock(qint64 when); // "20:30", local time

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void nowChanged(qint64 now);

private:
    void refilter();

    QVector<GuideGridChannel> m_channels; // ordered: favourites first, then lists
    QVector<QString> m_searchKeys; // folded titles
    QVector<int> m_shown; // rows shown, into m_channels
    QStringList m_groups;
    QString m_group;
    QStringList m_words;
    qint64 m_now = 0;
};
