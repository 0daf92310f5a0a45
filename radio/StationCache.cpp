#include "radio/StationCache.h"

#include "base/BoundedRead.h"
#include "base/Logging.h"
#include "net/Transfer.h"
#include "radio/StationReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <condition_variable>
#include <mutex>

// Writes run on the network layer's workers one after another; a write that
// finds a newer one queued behind it leaves the file to that one.
struct StationCache::Writer {
    std::mutex mutex;
    std::condition_variable idle;
    quint64 queued = 0; // sequence number of the latest snapshot handed over
    quint64 written = 0;
    int running = 0;
};

namespace
{
QByteArray documentOf(const QStringList &order, const QHash<QString, QJsonArray> &answers,
    const QHash<QString, QString> &times, const QByteArray &kept)
{
    QJsonArray queries;
    for (const QString &key : order) {
        QJsonObject query;
        query.insert(QLatin1String("key"), key);
        query.insert(QLatin1String("at"), times.value(key));
        query.insert(QLatin1String("stations"), answers.value(key));
        queries.append(query);
    }
    QJsonObject root;
    root.insert(QLatin1String("queries"), queries);
    root.insert(QLatin1String("kept"), QJsonDocument::fromJson(kept).array());
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}
} // namespace

QString StationCache::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/lumivortex/radio/stations.json");
}

StationCache::StationCache(const QString &path)
    : m_path(path)
    , m_writer(std::make_shared<Writer>())
{
    load();
}

StationCache::~StationCache()
{
    flush();
}

void StationCache::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = readBounded(file, StationReader::MaxBytes);
    if (bytes.isEmpty() || bytes.size() > StationReader::MaxBytes)
        return;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject()) {
        qCInfo(lumiRadio) << "radio cache unreadable, starting empty:" << m_path;
        return;
    }
    const QJsonObject root = document.object();
    for (const QJsonValue &value : root.value(QLatin1String("queries")).toArray()) {
        const QJsonObject query = value.toObject();
        Answer answer;
        answer.key = query.value(QLatin1String("key")).toString();
        answer.at = QDateTime::fromString(query.value(QLatin1String("at")).toString(), Qt::ISODate);
        answer.stations = StationReader::readStations(
            QJsonDocument(query.value(QLatin1String("stations")).toArray()).toJson(QJsonDocument::Compact));
        if (answer.key.isEmpty() || m_queries.contains(answer.key) || m_order.size() >= MaxQueries)
            continue;
        m_order << answer.key;
        m_queries.insert(answer.key, answer);
    }
    m_kept = StationReader::readStations(
        QJsonDocument(root.value(QLatin1String("kept")).toArray()).toJson(QJsonDocument::Compact));
    if (m_kept.size() > MaxKept)
        m_kept.resize(MaxKept);
}

RadioStations StationCache::results(const StationQuery &query) const
{
    return m_queries.value(query.key()).stations;
}

QDateTime StationCache::answeredAt(const StationQuery &query) const
{
    return m_queries.value(query.key()).at;
}

void StationCache::storeResults(const StationQuery &query, const RadioStations &stations, const QDateTime &at)
{
    const QString key = query.key();
    m_order.removeAll(key);
    m_order << key;
    m_queries.insert(key, Answer { key, at, stations });
    while (m_order.size() > MaxQueries)
        m_queries.remove(m_order.takeFirst());
    // A kept station takes the database's newer word on its address and name.
    for (RadioStation &kept : m_kept)
        for (const RadioStation &fresh : stations)
            if (fresh.uuid == kept.uuid)
                kept = fresh;
    save();
}

const RadioStation *StationCache::station(const QString &uuid) const
{
    for (const RadioStation &kept : m_kept)
        if (kept.uuid == uuid)
            return &kept;
    for (auto it = m_order.crbegin(); it != m_order.crend(); ++it)
        for (const RadioStation &seen : m_queries[*it].stations)
            if (seen.uuid == uuid)
                return &seen;
    return nullptr;
}

void StationCache::keep(const RadioStation &station)
{
    for (RadioStation &kept : m_kept)
        if (kept.uuid == station.uuid) {
            if (kept == station)
                return;
            kept = station;
            save();
            return;
        }
    m_kept.prepend(station);
    if (m_kept.size() > MaxKept)
        m_kept.resize(MaxKept);
    save();
}

void StationCache::save()
{
    // Snapshots share their data with ours; the worker turns them into JSON.
    QHash<QString, RadioStations> answers;
    QHash<QString, QString> times;
    for (const QString &key : std::as_const(m_order)) {
        answers.insert(key, m_queries.value(key).stations);
        times.insert(key, m_queries.value(key).at.toString(Qt::ISODate));
    }
    const QStringList order = m_order;
    const RadioStations kept = m_kept;
    const QString path = m_path;
    std::shared_ptr<Writer> writer = m_writer;
    quint64 sequence = 0;
    {
        std::lock_guard<std::mutex> lock(writer->mutex);
        sequence = ++writer->queued;
        ++writer->running;
    }
    TransferWorkers::start([=] {
        std::unique_lock<std::mutex> lock(writer->mutex);
        if (sequence == writer->queued) {
            lock.unlock();
            QHash<QString, QJsonArray> arrays;
            for (auto it = answers.cbegin(); it != answers.cend(); ++it)
                arrays.insert(
                    it.key(), QJsonDocument::fromJson(StationReader::writeStations(it.value())).array());
            const QByteArray bytes = documentOf(order, arrays, times, StationReader::writeStations(kept));
            lock.lock();
            // Written under the lock, so two writes never interleave and the newest is last.
            if (sequence > writer->written) {
                QDir().mkpath(QFileInfo(path).absolutePath());
                QSaveFile file(path);
                if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
                    qCWarning(lumiRadio) << "radio cache not written:" << path << file.errorString();
                writer->written = sequence;
            }
        }
        --writer->running;
        writer->idle.notify_all();
    });
}

void StationCache::flush()
{
    std::unique_lock<std::mutex> lock(m_writer->mutex);
    m_writer->idle.wait(lock, [this] { return m_writer->running == 0; });
}
