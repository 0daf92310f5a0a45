#include "lists/LogoDiskCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <vector>

LogoDiskCache::LogoDiskCache(const QString &folder, qint64 maxBytes)
    : m_folder(folder)
    , m_maxBytes(std::max<qint64>(0, maxBytes))
{
}

bool LogoDiskCache::isCacheFileName(const QString &fileName)
{
    // A SHA-1 in hex and ".png", as LogoCache::fileNameOf makes them.
    if (fileName.size() != 44 || !fileName.endsWith(QLatin1String(".png")))
        return false;
    return std::all_of(fileName.begin(), fileName.begin() + 40,
        [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'); });
}

QImage LogoDiskCache::read(const QString &fileName)
{
    if (!isCacheFileName(fileName))
        return QImage();
    const QString path = m_folder + QLatin1Char('/') + fileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    QImage image;
    image.load(&file, "PNG");
    // The time of last use is what the trim goes by.
    if (!image.isNull())
        file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return image;
}

void LogoDiskCache::store(const QString &fileName, const QImage &image)
{
    if (!isCacheFileName(fileName) || image.isNull())
        return;
    const QString path = m_folder + QLatin1Char('/') + fileName;
    std::lock_guard<std::mutex> lock(m_mutex);
    countOnce();
    const qint64 before = QFileInfo(path).size();
    QDir().mkpath(m_folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return;
    m_bytes += QFileInfo(path).size() - before;
    if (m_bytes > m_maxBytes)
        trim();
}

qint64 LogoDiskCache::bytesHeld()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    countOnce();
    return m_bytes;
}

// Counted on the first store, on a worker: a full folder holds tens of
// thousands of files.
void LogoDiskCache::countOnce()
{
    if (m_counted)
        return;
    m_counted = true;
    m_bytes = 0;
    const QFileInfoList files = QDir(m_folder).entryInfoList({ QStringLiteral("*.png") }, QDir::Files);
    for (const QFileInfo &info : files) {
        if (isCacheFileName(info.fileName()))
            m_bytes += info.size();
    }
}

void LogoDiskCache::trim()
{
    struct Held {
        QString path;
        qint64 size;
        QDateTime used;
    };
    std::vector<Held> held;
    m_bytes = 0;
    const QFileInfoList files = QDir(m_folder).entryInfoList({ QStringLiteral("*.png") }, QDir::Files);
    for (const QFileInfo &info : files) {
        if (!isCacheFileName(info.fileName()))
            continue;
        held.push_back({ info.filePath(), info.size(), info.lastModified() });
        m_bytes += info.size();
    }
    std::sort(held.begin(), held.end(), [](const Held &a, const Held &b) { return a.used < b.used; });
    // Down to nine tenths, so the next few logos do not trim again.
    const qint64 target = m_maxBytes - m_maxBytes / 10;
    for (const Held &file : held) {
        if (m_bytes <= target)
            break;
        if (QFile::remove(file.path))
            m_bytes -= file.size;
    }
}
