#pragma once

#include "guide/GuideImporter.h"
#include "guide/GuideMatcher.h"
#include "guide/GuideRegistry.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QVector>

// Every guide's programmes, kept current without blocking the GUI thread:
// on start each guide is shown from its cached store, and read again from its
// file (a local guide, or a remote guide's downloaded copy) when the file
// changed, its time offset changed, or the channels now want some the store
// dropped. A failed reading keeps the store held and records the error.
// The one place "Canais", the banner and the grid ask what is on.
class GuideLibrary : public QObject
{
    Q_OBJECT

public:
    GuideLibrary(GuideRegistry &registry, GuideChoices &choices, QObject *parent = nullptr);

    // The channels of every list and the built-in channels: what guides keep
    // and match. Until the first call, guides show from their caches only: a
    // reading for no channels would keep nothing.
    void setChannels(const QVector<GuideChannelQuery> &channels);
    const QVector<GuideChannelQuery> &channels() const { return m_channels; }
    // Loads every guide's cache; guides added to the registry later load when added.
    void start(const QDateTime &now = QDateTime::currentDateTimeUtc());
    // A local guide is read again now; a remote one asks for a fetch
    // (fetchNeeded). False when the guide is unknown.
    bool refresh(const QString &id);
    // Asks for a fetch of every remote guide that needsRefresh().
    void refreshStale(const QDateTime &now = QDateTime::currentDateTimeUtc());
    // The network layer saved a remote guide to registry.copyPath(id): read it.
    void importDownloaded(const QString &id, const QByteArray &etag, const QString &lastModified);
    // A fetch failed: the store held stays, the error is recorded.
    void downloadFailed(const QString &id, const QString &error);

    GuideSchedule schedule(const GuideChannelQuery &channel) const { return m_matcher.match(channel); }
    NowNext nowNext(
        const GuideChannelQuery &channel, const QDateTime &now, GuideDetail detail = GuideDetail::Full) const;
    const GuideMatcher &matcher() const { return m_matcher; }
    bool isBusy(const QString &id) const { return m_importer.isBusy(id); }
    bool isIdle() const { return m_importer.isIdle(); }

signals:
    // Stores or choices changed: every schedule asked before may be stale.
    void schedulesChanged();
    void busyChanged(const QString &id, bool busy);
    void progress(const QString &id, qint64 bytesRead, qint64 bytesTotal);
    // A remote guide should be fetched into registry.copyPath(guide.id), with
    // guide.etag / guide.lastModified as validators; then importDownloaded().
    void fetchNeeded(const GuideSourceEntry &guide);

private:
    struct Held {
        std::shared_ptr<const GuideStore> store;
        GuideCacheStamp stamp;
    };

    void syncWithRegistry();
    void readFromSource(const GuideSourceEntry &guide);
    bool needsReading(const GuideSourceEntry &guide) const;
    void finished(const GuideImportResult &result);
    void rebuildMatcher();

    GuideRegistry &m_registry;
    GuideChoices &m_choices;
    GuideImporter m_importer;
    GuideMatcher m_matcher;
    QVector<GuideChannelQuery> m_channels;
    WantedChannels m_wanted;
    QHash<QString, Held> m_held;
    QHash<QString, int> m_offsets; // as last seen, to notice a change
    bool m_started = false;
    bool m_channelsKnown = false;
    QDateTime m_now;
};
