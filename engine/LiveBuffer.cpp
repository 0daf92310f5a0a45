#include "engine/LiveBuffer.h"

#include "base/Logging.h"
#include "engine/FreeSpace.h"
#include "engine/MpvLibrary.h"
#include "engine/MpvNames.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>

namespace
{

// libmpv keeps about 1 MB of packet records in memory per minute of a 5 Mb/s
// stream even with the packets on disk; twice that leaves room for denser ones.
constexpr qint64 recordBytesPerMinute = 2 << 20;
constexpr qint64 leastRecordBytes = 32 << 20;
// The newest second is not shown at once: a seek there would wait for packets.
constexpr double liveMargin = 1.0;
constexpr int boundsCheckMs = 2000;

QByteArray propertyText(const MpvLibrary &lib, mpv_handle *mpv, const char *name)
{
    mpv_node node {};
    if (lib.getProperty(mpv, name, MPV_FORMAT_NODE, &node) < 0)
        return {};
    QByteArray text;
    if (node.format == MPV_FORMAT_INT64)
        text = QByteArray::number(qlonglong(node.u.int64));
    else if (node.format == MPV_FORMAT_DOUBLE)
        text = QByteArray::number(node.u.double_, 'f', 3);
    else if (node.format == MPV_FORMAT_STRING)
        text = node.u.string;
    lib.freeNodeContents(&node);
    return text;
}

} // namespace

LiveBuffer::LiveBuffer(const MpvLibrary &lib, mpv_handle *mpv, QObject *parent)
    : QObject(parent)
    , m_lib(lib)
    , m_mpv(mpv)
{
    m_boundsTimer.setObjectName(QStringLiteral("liveBufferBoundsTimer"));
    m_boundsTimer.setInterval(boundsCheckMs);
    connect(&m_boundsTimer, &QTimer::timeout, this, &LiveBuffer::checkBounds);
    m_defaultMaxBytes = propertyText(lib, mpv, MpvNames::demuxerMaxBytes);
    m_defaultBackBytes = propertyText(lib, mpv, MpvNames::demuxerMaxBackBytes);
    m_defaultCacheSecs = propertyText(lib, mpv, MpvNames::cacheSecs);
}

void LiveBuffer::setSettings(const LiveBufferSettings &settings)
{
    m_settings = settings;
    m_settings.seconds = std::max(settings.seconds, 10);
}

QString LiveBuffer::folder() const
{
    if (!m_settings.folder.isEmpty())
        return m_settings.folder;
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/live-buffer");
}

void LiveBuffer::mediaLoaded(bool live)
{
    if (!live || !m_settings.enabled)
        return;
    const QString dir = folder();
    if (!QDir().mkpath(dir)) {
        qCWarning(lumiEngine) << "live buffer: cannot make" << dir;
        return;
    }
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Set while the stream plays: libmpv opens its cache file then, and files
    // (which never get here) keep the cache they always had.
    const qint64 records = std::max(leastRecordBytes, recordBytesPerMinute * m_settings.seconds / 60);
    setString(MpvNames::cacheDir, QFile::encodeName(dir));
    setString(MpvNames::cacheSecs, QByteArray::number(m_settings.seconds));
    setString(MpvNames::demuxerMaxBytes, QByteArray::number(records));
    setString(MpvNames::demuxerMaxBackBytes, QByteArray::number(records));
    setString(MpvNames::cacheOnDisk, MpvNames::yes);
    m_active = true;
    m_boundsTimer.start();
    emit activeChanged(true);
}

void LiveBuffer::mediaUnloaded()
{
    if (!m_active)
        return;
    m_active = false;
    m_boundsTimer.stop();
    // libmpv closes (and so frees) the cache file with the media.
    setString(MpvNames::cacheOnDisk, MpvNames::no);
    setString(MpvNames::cacheSecs, m_defaultCacheSecs);
    setString(MpvNames::demuxerMaxBytes, m_defaultMaxBytes);
    setString(MpvNames::demuxerMaxBackBytes, m_defaultBackBytes);
    emit activeChanged(false);
}

qint64 LiveBuffer::diskBytes() const
{
    if (!m_active)
        return 0;
    mpv_node node {};
    if (m_lib.getProperty(m_mpv, MpvNames::demuxerCacheState, MPV_FORMAT_NODE, &node) < 0)
        return 0;
    qint64 bytes = 0;
    if (node.format == MPV_FORMAT_NODE_MAP)
        for (int i = 0; i < node.u.list->num; ++i)
            if (qstrcmp(node.u.list->keys[i], MpvNames::fileCacheBytes) == 0
                && node.u.list->values[i].format == MPV_FORMAT_INT64)
                bytes = node.u.list->values[i].u.int64;
    m_lib.freeNodeContents(&node);
    return bytes;
}

void LiveBuffer::checkBounds()
{
    if (!m_active)
        return;
    const qint64 bytes = diskBytes();
    const FreeSpace fileSystem;
    const qint64 free = (m_settings.freeSpace ? *m_settings.freeSpace : fileSystem).freeBytes(folder());
    qint64 limit = m_settings.maxBytes;
    if (free >= 0)
        limit = std::min(limit, bytes + free - m_settings.keepFreeBytes);
    if (bytes < limit)
        return;
    qCInfo(lumiEngine) << "live buffer: file at its bound," << bytes << "bytes; renewing";
    emit renewed();
    emit renewalNeeded();
}

bool LiveBuffer::getDouble(const char *name, double &value) const
{
    return m_lib.getProperty(m_mpv, name, MPV_FORMAT_DOUBLE, &value) >= 0;
}

void LiveBuffer::setString(const char *name, const QByteArray &value)
{
    if (value.isEmpty() || m_lib.setPropertyString(m_mpv, name, value.constData()) < 0)
        qCInfo(lumiEngine) << "live buffer: libmpv refused" << name << value;
}

bool LiveBuffer::window(double &oldest, double &newest) const
{
    if (!m_active || !getDouble(MpvNames::demuxerCacheTime, newest))
        return false;
    oldest = newest;
    mpv_node node {};
    if (m_lib.getProperty(m_mpv, MpvNames::demuxerCacheState, MPV_FORMAT_NODE, &node) < 0)
        return false;
    // The range that holds the newest packets; older ranges (after a seek
    // outside the cache) cannot be reached without a gap.
    if (node.format == MPV_FORMAT_NODE_MAP)
        for (int i = 0; i < node.u.list->num; ++i) {
            if (qstrcmp(node.u.list->keys[i], MpvNames::seekableRanges) != 0
                || node.u.list->values[i].format != MPV_FORMAT_NODE_ARRAY)
                continue;
            const mpv_node_list *ranges = node.u.list->values[i].u.list;
            for (int r = 0; r < ranges->num; ++r) {
                if (ranges->values[r].format != MPV_FORMAT_NODE_MAP)
                    continue;
                double start = 0, end = 0;
                const mpv_node_list *range = ranges->values[r].u.list;
                for (int k = 0; k < range->num; ++k) {
                    if (range->values[k].format != MPV_FORMAT_DOUBLE)
                        continue;
                    if (qstrcmp(range->keys[k], "start") == 0)
                        start = range->values[k].u.double_;
                    else if (qstrcmp(range->keys[k], "end") == 0)
                        end = range->values[k].u.double_;
                }
                if (end >= newest - liveEdgeSeconds) {
                    oldest = std::min(oldest, start);
                    newest = std::min(newest, end);
                }
            }
        }
    m_lib.freeNodeContents(&node);
    oldest = std::max(oldest, newest - double(m_settings.seconds));
    return true;
}

double LiveBuffer::secondsBehindLive() const
{
    double newest = 0, position = 0;
    if (!m_active || !getDouble(MpvNames::demuxerCacheTime, newest)
        || !getDouble(MpvNames::timePos, position))
        return 0;
    return std::max(0.0, newest - position);
}

double LiveBuffer::secondsAvailable() const
{
    double oldest = 0, newest = 0;
    return window(oldest, newest) ? std::max(0.0, newest - oldest) : 0;
}

void LiveBuffer::seekTo(double position)
{
    double oldest = 0, newest = 0;
    if (!window(oldest, newest))
        return;
    double target = std::clamp(position, oldest, std::max(oldest, newest - liveMargin));
    m_lib.setProperty(m_mpv, MpvNames::timePos, MPV_FORMAT_DOUBLE, &target);
}

void LiveBuffer::seekBehindLive(double seconds)
{
    double newest = 0;
    if (m_active && getDouble(MpvNames::demuxerCacheTime, newest))
        seekTo(newest - std::max(0.0, seconds));
}

void LiveBuffer::seekBy(double delta)
{
    double position = 0;
    if (m_active && getDouble(MpvNames::timePos, position))
        seekTo(position + delta);
}

bool LiveBuffer::saveKept(const QString &path)
{
    double oldest = 0, newest = 0;
    if (!window(oldest, newest) || newest <= oldest)
        return false;
    const QByteArray from = QByteArray::number(oldest, 'f', 3);
    const QByteArray to = QByteArray::number(newest, 'f', 3);
    const QByteArray file = QFile::encodeName(path);
    const char *args[] = { MpvNames::dumpCache, from.constData(), to.constData(), file.constData(), nullptr };
    const quint64 cookie = ++m_nextCookie;
    if (m_lib.commandAsync(m_mpv, cookie, args) < 0)
        return false;
    m_saving.insert(cookie, path);
    return true;
}

void LiveBuffer::commandReplied(quint64 cookie, int error)
{
    const QString path = m_saving.take(cookie);
    if (!path.isEmpty())
        emit saved(path, error >= 0);
}
