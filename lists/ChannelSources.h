#pragma once

#include "lists/MergedChannels.h"
#include "lists/SourceCheckResults.h"
#include "lists/SourceChecker.h"
#include "lists/SourceChoices.h"
#include "lists/SourceRanking.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVector>
#include <memory>

class ChannelListLibrary;
class ChannelListRegistry;

// One channel, many sources: the channels of every list merged, each with its
// sources ranked (the kept choice or the last to play well first, then what
// the lists and the checks say, then the lists' order), the background check
// of the sources and its results kept with each list. "Canais", the built-in
// buttons and the tuning all take their sources from here.
class ChannelSources : public QObject
{
    Q_OBJECT

public:
    // Favourites and recents are checked by themselves once in this long.
    static constexpr qint64 DailyCheckSecs = 24 * 60 * 60;

    ChannelSources(ChannelListRegistry &registry, ChannelListLibrary &library,
        const QString &choicesPath = SourceChoices::defaultPath(), const QString &resultsFolder = QString(),
        const SourceCheckLimits &limits = {}, QObject *parent = nullptr);
    ~ChannelSources() override;

    // Merges the library's channels again (after a list changed).
    void update();
    // Entries of no list that "Canais" shows too (the stations the user keeps
    // from "Rádios"); merged after the lists, so a list's entry ranks first.
    void setExtraChannels(const ListChannels &extra);

    const MergedChannels &channels() const { return m_channels; }
    const QHash<QString, SourceHealth> &health() const { return m_results.health(); }
    SourceChoices &choices() { return m_choices; }
    SourceChecker &checker() { return m_checker; }
    SourceCheckResults &results() { return m_results; }

    // The merged channel an entry belongs to; -1 when none holds it.
    int channelOf(const ListChannel &entry) const;
    QVector<ListChannel> rankedSources(int channel) const;
    // The entries given (a built-in channel's), in the same order: the kept
    // choice of the channel holding most of them first.
    QVector<ListChannel> ranked(const QVector<ListChannel> &entries) const;
    bool isOffAir(int channel) const;
    // The list an entry of channels().entries() came from.
    QString listOf(int entry) const;

    // The source played well: it comes first next time.
    void notePlayedWell(const QString &channelKey, const QString &address);
    void moveToTop(int channel, const QString &address);

    // Starts checking (or adds to the check running).
    void checkList(const QString &listId);
    void checkAll();
    void checkChannels(const QStringList &keys);
    // Checks the given channels when the last such check is a day old; false when not due.
    bool checkDaily(const QStringList &keys, const QDateTime &now = QDateTime::currentDateTimeUtc());

signals:
    void channelsChanged();
    void healthChanged();

private:
    void syncResultsWithRegistry();
    SourceProbe probeOf(int entry) const;
    void checkEntries(const QVector<int> &entries);

    ChannelListRegistry &m_registry;
    ChannelListLibrary &m_library;
    MergedChannels m_channels;
    QStringList m_listIds; // the list of each run of entries
    QVector<qsizetype> m_listEnds; // where each list's entries end
    ListChannels m_extra;
    SourceChoices m_choices;
    SourceCheckResults m_results;
    SourceChecker m_checker;
    QSet<QString> m_loadedResults;
};
