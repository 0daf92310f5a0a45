#include "engine/PausedStreamSockets.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <utility>

namespace PausedStreamSockets
{

namespace
{

int intOption(int fd, int name)
{
    int value = 0;
    socklen_t size = sizeof value;
    return getsockopt(fd, SOL_SOCKET, name, &value, &size) == 0 ? value : -1;
}

bool isTagged(int fd)
{
    struct stat status = {};
    if (fstat(fd, &status) != 0 || !S_ISSOCK(status.st_mode))
        return false;
    const int domain = intOption(fd, SO_DOMAIN);
    // Linux reports twice the size asked for (its own bookkeeping).
    return (domain == AF_INET || domain == AF_INET6) && intOption(fd, SO_TYPE) == SOCK_STREAM
        && intOption(fd, SO_SNDBUF) == 2 * tagBytes;
}

} // namespace

QByteArray ffmpegTagOption()
{
    return "send_buffer_size=" + QByteArray::number(tagBytes);
}

int lowWaterFor(double bytesPerSecond)
{
    if (!(bytesPerSecond >= 4096))
        return 0;
    return int(std::min(bytesPerSecond, 1024.0 * 1024));
}

int setLowWater(int bytes)
{
    DIR *fds = opendir("/proc/self/fd");
    if (!fds)
        return 0;
    const int own = dirfd(fds);
    int set = 0;
    while (const dirent *entry = readdir(fds)) {
        char *end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == own || !isTagged(int(fd)))
            continue;
        if (setsockopt(int(fd), SOL_SOCKET, SO_RCVLOWAT, &bytes, sizeof bytes) == 0)
            ++set;
    }
    closedir(fds);
    return set;
}

} // namespace PausedStreamSockets

PausedReadBatching::PausedReadBatching(int checkMs, QObject *parent)
    : QObject(parent)
{
    m_timer.setInterval(checkMs);
    connect(&m_timer, &QTimer::timeout, this, &PausedReadBatching::check);
}

// Started even without a first figure or a tagged connection yet: the
// checks fit the mark to what arrives, and find a connection opened later.
void PausedReadBatching::start(double bytesPerSecond, std::function<qint64()> bytesKept)
{
    m_bytesKept = std::move(bytesKept);
    m_lastBytes = m_bytesKept();
    PausedStreamSockets::setLowWater(std::max(1, PausedStreamSockets::lowWaterFor(bytesPerSecond)));
    m_timer.start();
}

void PausedReadBatching::stop()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    PausedStreamSockets::setLowWater(1);
}

// Set at each check, not only on a change: a connection opened again while
// paused is a new socket.
void PausedReadBatching::check()
{
    const qint64 bytes = m_bytesKept();
    const double perSecond = double(bytes - m_lastBytes) * 1000 / m_timer.interval();
    m_lastBytes = bytes;
    PausedStreamSockets::setLowWater(std::max(1, PausedStreamSockets::lowWaterFor(perSecond)));
}
