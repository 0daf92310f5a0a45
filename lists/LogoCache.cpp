#include "lists/LogoCache.h"

#include "lists/ListAddress.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>
#include <QPointer>
#include <QStandardPaths>
#include <algorithm>
#include <deque>
#include <mutex>
#include <vector>

namespace
{

// A logo never needs more; a tiny file that claims a huge picture is refused
// before it is decoded.
constexpr int MaxSourceSide = 4096;

QImage fitted(QImage image, const QSize &tile)
{
    if (image.isNull())
        return image;
    if (image.width() > tile.width() || image.height() > tile.height())
        image = image.scaled(tile, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage decoded(const QByteArray &bytes, const QSize &tile)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxSourceSide || size.height() > MaxSourceSide)
        return QImage();
    return fitted(reader.read(), tile);
}

} // namespace

struct LogoCache::Shared {
    LogoCacheSettings settings;
    std::unique_ptr<LogoDiskCache> disk;
    std::mutex mutex;
    std::deque<QString> queue; // newest first
    std::vector<TransferCancel *> running;
    int workers = 0;
    bool closed = false;
    QObject *relay = nullptr; // lives on the owner's thread; whoever sees the last worker go deletes it
    QPointer<LogoCache> owner; // the owner's thread only

    QImage load(const QString &address, TransferCancel &cancel) const;
    static void work(const std::shared_ptr<Shared> &shared);
};

QImage LogoCache::Shared::load(const QString &address, TransferCancel &cancel) const
{
    const QString fileName = fileNameOf(address);
    const QImage stored = disk->read(fileName);
    if (!stored.isNull())
        return stored;
    TransferRequest request;
    request.url = TransferRequest::encodedUrl(address);
    request.limits = settings.limits;
    Transfer transfer(request, cancel);
    QByteArray body;
    transfer.onHead = [](const TransferHead &head) { return head.status >= 200 && head.status <= 299; };
    transfer.onBody = [&body](const char *data, qint64 size) {
        body.append(data, qsizetype(size));
        return true;
    };
    if (transfer.run() != Transfer::End::Finished)
        return QImage();
    const QImage image = decoded(body, settings.tileSize);
    if (image.isNull())
        return image;
    disk->store(fileName, image);
    return image;
}

void LogoCache::Shared::work(const std::shared_ptr<Shared> &shared)
{
    for (;;) {
        QString address;
        TransferCancel cancel;
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            if (shared->closed || shared->queue.empty()) {
                --shared->workers;
                if (shared->closed && shared->workers == 0)
                    shared->relay->deleteLater();
                return;
            }
            address = shared->queue.front();
            shared->queue.pop_front();
            shared->running.push_back(&cancel);
        }
        const QImage image = shared->load(address, cancel);
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->running.erase(std::find(shared->running.begin(), shared->running.end(), &cancel));
        if (shared->closed)
            continue;
        QMetaObject::invokeMethod(
            shared->relay,
            [shared, address, image] {
                if (shared->owner)
                    shared->owner->deliver(address, image);
            },
            Qt::QueuedConnection);
    }
}

LogoCache::LogoCache(const LogoCacheSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_shared(std::make_shared<Shared>())
{
    m_shared->settings = settings;
    if (settings.folder.isEmpty())
        m_shared->settings.folder = defaultFolder();
    m_shared->disk = std::make_unique<LogoDiskCache>(m_shared->settings.folder, settings.diskBytes);
    m_shared->relay = new QObject;
    m_shared->owner = this;
    m_memory.setMaxCost(std::max(1, settings.memoryEntries));
}

LogoCache::~LogoCache()
{
    // Not waited for: running transfers stop at once, and the last worker to
    // leave deletes the relay, so nothing it posts reaches this object.
    std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->closed = true;
    m_shared->queue.clear();
    for (TransferCancel *cancel : m_shared->running)
        cancel->cancel();
    if (m_shared->workers == 0)
        delete m_shared->relay;
}

QImage LogoCache::logo(const QString &address)
{
    if (address.isEmpty())
        return QImage();
    if (const QImage *held = m_memory.object(address))
        return *held;
    if (m_pending.contains(address) || m_failed.contains(address))
        return QImage();
    if (!ListAddress::isRemote(address)) {
        m_failed.insert(address);
        return QImage();
    }
    m_pending.insert(address);
    bool startWorker = false;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->queue.push_front(address);
        while (int(m_shared->queue.size()) > std::max(1, m_settings.maxQueued)) {
            m_pending.remove(m_shared->queue.back());
            m_shared->queue.pop_back();
        }
        if (m_shared->workers < std::max(1, m_settings.maxTransfers)) {
            ++m_shared->workers;
            startWorker = true;
        }
    }
    if (startWorker)
        TransferWorkers::start([shared = m_shared] { Shared::work(shared); });
    return QImage();
}

void LogoCache::deliver(const QString &address, const QImage &image)
{
    m_pending.remove(address);
    if (image.isNull()) {
        m_failed.insert(address);
        emit logoFailed(address);
        return;
    }
    m_memory.insert(address, new QImage(image));
    emit logoArrived(address);
}

QString LogoCache::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/logos");
}

QString LogoCache::fileNameOf(const QString &address)
{
    return QString::fromLatin1(QCryptographicHash::hash(address.toUtf8(), QCryptographicHash::Sha1).toHex())
        + QStringLiteral(".png");
}
