#include "guide/GuideImporter.h"

#include "base/Logging.h"
#include "guide/XmlTvReader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace
{

// Stops the reading when asked and reports progress, a few times a second at most.
class Progress : public GuideReadObserver
{
public:
    Progress(
        GuideImporter *importer, QString guideId, qint64 total, std::shared_ptr<std::atomic<bool>> cancelled)
        : m_importer(importer)
        , m_guideId(std::move(guideId))
        , m_total(total)
        , m_cancelled(std::move(cancelled))
    {
        m_clock.start();
    }

    bool keepGoing(qint64 bytesRead) override
    {
        if (m_cancelled->load())
            return false;
        if (m_clock.elapsed() >= 200) {
            m_clock.restart();
            QMetaObject::invokeMethod(m_importer, "progress", Qt::QueuedConnection, Q_ARG(QString, m_guideId),
                Q_ARG(qint64, bytesRead), Q_ARG(qint64, m_total));
        }
        return true;
    }

private:
    GuideImporter *m_importer;
    QString m_guideId;
    qint64 m_total;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QElapsedTimer m_clock;
};

GuideImportResult readGuide(
    GuideImporter *importer, const GuideImportJob &job, const std::shared_ptr<std::atomic<bool>> &cancelled)
{
    GuideImportResult result;
    result.guideId = job.guideId;
    QFile file(job.sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error
            = QStringLiteral("Não foi possível abrir o guia %1: %2").arg(job.sourcePath, file.errorString());
        return result;
    }
    result.stamp = GuideImporter::stampOf(job.sourcePath, job.offsetHours, job.now);
    Progress progress(importer, job.guideId, file.size(), cancelled);
    GuideReadOptions options;
    options.now = job.now;
    options.offsetHours = job.offsetHours;
    options.wanted = job.wanted;
    XmlTvReader::Result read = XmlTvReader::read(&file, options, &progress);
    result.report = read.report;
    result.error = read.report.error;
    if (read.report.cancelled || read.store->channelCount() == 0)
        return result;
    if (!job.storePath.isEmpty()) {
        QString why;
        if (!GuideCache::write(*read.store, result.stamp, job.storePath, &why))
            qCWarning(lumiGuide) << "guide cache not written:" << job.storePath << why;
    }
    result.store = std::move(read.store);
    return result;
}

} // namespace

GuideImporter::GuideImporter(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<GuideImportResult>();
    m_pool.setMaxThreadCount(1);
}

GuideImporter::~GuideImporter()
{
    for (const Running &running : qAsConst(m_running))
        running.cancelled->store(true);
    m_pool.clear();
    m_pool.waitForDone();
}

GuideCacheStamp GuideImporter::stampOf(const QString &path, int offsetHours, qint64 now)
{
    const QFileInfo info(path);
    GuideCacheStamp stamp;
    stamp.builtAt = now;
    stamp.offsetHours = offsetHours;
    stamp.sourceSize = info.exists() ? info.size() : -1;
    stamp.sourceModifiedMs = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
    return stamp;
}

std::shared_ptr<std::atomic<bool>> GuideImporter::track(const QString &guideId, quint64 *serial)
{
    cancel(guideId);
    Running running;
    running.cancelled = std::make_shared<std::atomic<bool>>(false);
    running.serial = ++m_serial;
    *serial = running.serial;
    m_running.insert(guideId, running);
    return running.cancelled;
}

void GuideImporter::cancel(const QString &guideId)
{
    const auto found = m_running.constFind(guideId);
    if (found != m_running.constEnd())
        found->cancelled->store(true);
    m_running.remove(guideId);
}

void GuideImporter::deliver(quint64 serial, GuideImportResult result)
{
    // A job replaced or cancelled since says nothing.
    const auto found = m_running.constFind(result.guideId);
    if (found == m_running.constEnd() || found->serial != serial)
        return;
    m_running.remove(result.guideId);
    emit finished(result);
}

void GuideImporter::import(const GuideImportJob &job)
{
    quint64 serial = 0;
    const std::shared_ptr<std::atomic<bool>> cancelled = track(job.guideId, &serial);
    m_pool.start([this, job, cancelled, serial] {
        GuideImportResult result;
        result.guideId = job.guideId;
        if (!cancelled->load())
            result = readGuide(this, job, cancelled);
        QMetaObject::invokeMethod(
            this, [this, serial, result] { deliver(serial, result); }, Qt::QueuedConnection);
    });
}

void GuideImporter::loadCache(const QString &guideId, const QString &storePath)
{
    quint64 serial = 0;
    const std::shared_ptr<std::atomic<bool>> cancelled = track(guideId, &serial);
    m_pool.start([this, guideId, storePath, cancelled, serial] {
        GuideImportResult result;
        result.guideId = guideId;
        result.fromCache = true;
        if (!cancelled->load()) {
            GuideCache::Loaded loaded = GuideCache::read(storePath);
            if (!loaded.store && QFile::exists(storePath))
                qCInfo(lumiGuide) << "guide cache refused:" << storePath << loaded.error;
            result.store = std::move(loaded.store);
            result.stamp = loaded.stamp;
            result.error = loaded.error;
        }
        QMetaObject::invokeMethod(
            this, [this, serial, result] { deliver(serial, result); }, Qt::QueuedConnection);
    });
}
