#pragma once

#include "lists/LogoDiskCache.h"
#include "net/Transfer.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <memory>

struct LogoCacheSettings {
    QString folder; // empty: LogoCache::defaultFolder()
    QSize tileSize { 32, 24 };
    int maxTransfers = 4;
    int memoryEntries = 300;
    int maxQueued = 200; // the oldest asks go first: their rows have likely scrolled away
    qint64 diskBytes = LogoDiskCache::DefaultMaxBytes; // the disk copies; those used longest ago go first
    TransferLimits limits { 512 * 1024, 8000, 10000, 20000 };
};

// Channel logos (tvg-logo addresses), asked for as their rows are painted.
// A few workers read each from the disk cache or fetch it over the network, decode
// it and scale it to the tile there; the owner's thread only receives the
// image. Kept in a bounded memory cache and on disk (bounded too); a logo that fails stays a
// placeholder for the rest of the run instead of being fetched again. Workers
// outlive a destroyed cache without reaching it.
class LogoCache : public QObject
{
    Q_OBJECT

public:
    explicit LogoCache(const LogoCacheSettings &settings = LogoCacheSettings(), QObject *parent = nullptr);
    ~LogoCache() override;

    // The logo, scaled to fit the tile, when it is held in memory. Otherwise a
    // null image, and the logo is asked for unless it is on its way or failed.
    QImage logo(const QString &address);
    bool hasFailed(const QString &address) const { return m_failed.contains(address); }
    QSize tileSize() const { return m_settings.tileSize; }

    // <cache>/lumivortex/logos
    static QString defaultFolder();
    // The disk copy's name: a hash of the address.
    static QString fileNameOf(const QString &address);

    struct Shared;

signals:
    void logoArrived(const QString &address);
    void logoFailed(const QString &address);

private:
    void deliver(const QString &address, const QImage &image);

    const LogoCacheSettings m_settings;
    std::shared_ptr<Shared> m_shared;
    QCache<QString, QImage> m_memory;
    QSet<QString> m_pending;
    QSet<QString> m_failed;
};
