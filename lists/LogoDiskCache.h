#pragma once

#include <QImage>
#include <QString>
#include <mutex>

// The logos kept on disk between runs, one small PNG each, in a folder of
// their own. Bounded: when a new logo takes the folder past its bound, the
// logos used longest ago go first until it holds nine tenths of the bound. A
// logo read counts as used now. Only files named as the cache names them are
// counted or removed. Safe to use from several workers at once.
class LogoDiskCache
{
public:
    static constexpr qint64 DefaultMaxBytes = 50 * 1024 * 1024;

    LogoDiskCache(const QString &folder, qint64 maxBytes = DefaultMaxBytes);

    // The logo stored under fileName (LogoCache::fileNameOf), or a null image.
    QImage read(const QString &fileName);
    // Stores it (atomically), then trims the folder when it passed its bound.
    void store(const QString &fileName, const QImage &image);

    // The bytes of the cache's own files, as last counted (for tests and diagnostics).
    qint64 bytesHeld();

    static bool isCacheFileName(const QString &fileName);

private:
    void countOnce();
    void trim();

    const QString m_folder;
    const qint64 m_maxBytes;
    std::mutex m_mutex;
    bool m_counted = false;
    qint64 m_bytes = 0;
};
