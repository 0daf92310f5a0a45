#pragma once

#include "channels/Channel.h"
#include "guide/GuideFetcher.h"
#include "lists/BuiltInChannelMatcher.h"

#include <QObject>
#include <QSet>
#include <QTimer>
#include <QVector>

class ChannelListLibrary;
class ChannelListRegistry;
class GuideLibrary;
class GuideRegistry;
struct GuideSourceEntry;

// Where the guides come from and what they are for: the guides the channel
// lists' headers name follow the lists, remote guides are fetched when the
// library asks (on start, hourly checks of their age, "Atualizar agora") and
// handed back to it, and the library learns every list channel and built-in
// channel it should find programmes for.
class GuideFeed : public QObject
{
    Q_OBJECT

public:
    static constexpr int RefreshCheckMs = 60 * 60 * 1000;
    // At start, how long the channels wait for the lists still being read.
    static constexpr int WaitForListsMs = 15000;

    GuideFeed(GuideLibrary &library, GuideRegistry &registry, ChannelListRegistry &lists,
        ChannelListLibrary &listLibrary, QObject *parent = nullptr);

    // Starts the library: caches first, then fetches of stale guides.
    void start();
    // The built-in channels, with the list entries each plays (the first first).
    void setBuiltIns(const QVector<Channel> &channels, const BuiltInSources &sources);
    // A remote guide is fetched now, a local one read again. False when unknown.
    bool refresh(const QString &guideId);
    // Fetching or reading.
    bool isBusy(const QString &guideId) const;
    qint64 bytesReceived(const QString &guideId) const { return m_fetcher.bytesReceived(guideId); }

    // The checks of the guides' age, hourly while the program runs.
    QTimer &refreshTimer() { return m_refreshTimer; }

signals:
    void busyChanged(const QString &guideId, bool busy);

private:
    void fetch(const GuideSourceEntry &guide);
    void fetched(const GuideFetchResult &result);
    void followListHeader(const QString &listId);
    void forgetRemovedLists();
    void dropRemovedGuides();
    void tellChannels();

    GuideLibrary &m_library;
    GuideRegistry &m_registry;
    ChannelListRegistry &m_lists;
    ChannelListLibrary &m_listLibrary;
    GuideFetcher m_fetcher;
    QVector<Channel> m_builtIns;
    BuiltInSources m_builtInSources;
    QSet<QString> m_fetching;
    QTimer m_refreshTimer;
    QTimer m_channelsLater; // coalesces the changes of several lists into one pass
    QTimer m_waitingForLists;
    quint64 m_channelsSerial = 0;
    bool m_channelsTold = false;
    bool m_started = false;
};
