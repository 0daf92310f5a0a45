#pragma once

#include "lists/ChannelListFetcher.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ListChannels.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QVector>
#include <optional>

// The channels of every list in a registry, kept current without ever
// blocking the GUI thread: on start each list is shown from what is on disk
// (a remote list's cached copy, a local list's file), and remote lists older
// than twelve hours are then refreshed in the background. A failed refresh
// keeps the channels held and records the error; it never empties a list.
// All lists together hold at most maxChannels: a list that would take them
// past it (the one added, or at start the one read last) is refused with a
// message, and the lists held stay as they are.
class ChannelListLibrary : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxChannels = 250000;

    explicit ChannelListLibrary(
        ChannelListRegistry *registry, QObject *parent = nullptr, int maxChannels = MaxChannels);
    ~ChannelListLibrary() override;

    // Reads every list; lists added to the registry later are read when added.
    void start(const QDateTime &now = QDateTime::currentDateTimeUtc());
    // Remote lists past their age, not already busy, are refreshed.
    void refreshStale(const QDateTime &now = QDateTime::currentDateTimeUtc());
    // A remote list asks its publisher now (conditionally when a copy is held);
    // a local list is read again. False when the list is busy or unknown.
    bool refresh(const QString &id);

    ListChannels channels(const QString &id) const;
    // Every list's channels, in the registry's order (channels.m3u first);
    // shares what the library holds, so it costs nothing.
    ListChannels allChannels() const;
    bool isBusy(const QString &id) const;
    // The guide addresses the list's "#EXTM3U" line names; nothing until a
    // copy of the list was read.
    std::optional<QStringList> guideAddresses(const QString &id) const;
    // The stream addresses of the lists marked "aceitar certificados inválidos".
    QSet<QString> addressesAcceptingInvalidCertificates() const;

    // The request a refresh of list would send: validators only when a copy is held.
    ChannelListRequest requestFor(const ChannelListSource &list) const;

signals:
    void channelsChanged(const QString &id);
    void refreshFailed(const QString &id, const QString &error);
    void busyChanged(const QString &id, bool busy);

private:
    struct Held {
        ChannelListFetcher *fetcher = nullptr;
        ListChannels channels;
        QStringList guideAddresses;
        bool haveCopy = false;
        bool readingCopy = false; // the job running reads the cached copy
        bool refreshAfterRead = false;
    };

    Held &held(const QString &id);
    void syncWithRegistry();
    void readCopy(const ChannelListSource &list, bool refreshAfter);
    bool startFetch(const ChannelListSource &list);
    void finished(const QString &id, const ChannelListResult &result);
    // Why a list of count channels may not be held beside the others; empty when it may.
    QString overTheBound(const QString &id, qsizetype count) const;

    ChannelListRegistry *m_registry;
    const int m_maxChannels;
    QHash<QString, Held> m_held;
    bool m_started = false;
    QDateTime m_startedAt;
};
