#pragma once

#include "guide/GuideCache.h"
#include "guide/GuideReadReport.h"
#include "guide/GuideStore.h"
#include "guide/WantedChannels.h"

#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>

// A guide to read from its XML file.
struct GuideImportJob {
    QString guideId;
    QString sourcePath; // the guide file: the user's own or the network layer's downloaded copy
    QString storePath; // where the store is cached; empty: not cached
    int offsetHours = 0;
    WantedChannels wanted;
    qint64 now = 0; // seconds since 1970 UTC
};

// What a reading (or a cache load) gave.
struct GuideImportResult {
    QString guideId;
    bool fromCache = false;
    std::shared_ptr<const GuideStore> store; // null when nothing usable came of it
    GuideReadReport report; // readings only
    GuideCacheStamp stamp; // what the store was made from
    QString error; // why there is no store (Portuguese), or the reading's note
};

// Reads guides and loads their caches on a worker thread of its own, one at
// a time (a big guide is memory and a core), and hands each result to the GUI
// thread by a queued call. Destroying it stops the reading under way at the
// next chunk and waits for it: a worker never reaches a dead importer.
class GuideImporter : public QObject
{
    Q_OBJECT

public:
    explicit GuideImporter(QObject *parent = nullptr);
    ~GuideImporter() override;

    // A second call for a guide already busy replaces the first: that one is stopped.
    void import(const GuideImportJob &job);
    void loadCache(const QString &guideId, const QString &storePath);
    void cancel(const QString &guideId);
    bool isBusy(const QString &guideId) const { return m_running.contains(guideId); }
    bool isIdle() const { return m_running.isEmpty(); }

    // The stamp a reading of path with that offset leaves (size and time of the file).
    static GuideCacheStamp stampOf(const QString &path, int offsetHours, qint64 now = 0);

signals:
    void progress(const QString &guideId, qint64 bytesRead, qint64 bytesTotal);
    void finished(const GuideImportResult &result);

private:
    struct Running {
        std::shared_ptr<std::atomic<bool>> cancelled;
        quint64 serial = 0;
    };
    std::shared_ptr<std::atomic<bool>> track(const QString &guideId, quint64 *serial);
    void deliver(quint64 serial, GuideImportResult result);

    QThreadPool m_pool;
    QHash<QString, Running> m_running;
    quint64 m_serial = 0;
};

Q_DECLARE_METATYPE(GuideImportResult)
