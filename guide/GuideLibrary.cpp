#include "guide/GuideLibrary.h"

#include "base/SafeCall.h"

#include <QFileInfo>

GuideLibrary::GuideLibrary(GuideRegistry &registry, GuideChoices &choices, QObject *parent)
    : QObject(parent)
    , m_registry(registry)
    , m_choices(choices)
{
    m_wanted = GuideMatcher::wanted({}, m_choices.all());
    connect(&m_importer, &GuideImporter::finished, this,
        [this](const GuideImportResult &result) { safeCall([&] { finished(result); }); });
    connect(&m_importer, &GuideImporter::progress, this, &GuideLibrary::progress);
    connect(&m_registry, &GuideRegistry::guidesChanged, this,
        [this] { safeCall([this] { syncWithRegistry(); }); });
    connect(&m_choices, &GuideChoices::choicesChanged, this, [this] {
        safeCall([this] {
            m_matcher.setChoices(m_choices.all());
            setChannels(m_channels); // a chosen channel may be one no reading kept
            emit schedulesChanged();
        });
    });
    m_matcher.setChoices(m_choices.all());
}

void GuideLibrary::start(const QDateTime &now)
{
    if (m_started)
        return;
    m_started = true;
    m_now = now;
    syncWithRegistry();
}

void GuideLibrary::setChannels(const QVector<GuideChannelQuery> &channels)
{
    m_channels = channels;
    m_channelsKnown = true;
    m_wanted = GuideMatcher::wanted(m_channels, m_choices.all());
    if (!m_started)
        return;
    for (const GuideSourceEntry &guide : m_registry.guides()) {
        if (!m_importer.isBusy(guide.id) && needsReading(guide))
            readFromSource(guide);
    }
}

NowNext GuideLibrary::nowNext(
    const GuideChannelQuery &channel, const QDateTime &now, GuideDetail detail) const
{
    return schedule(channel).nowNext(now.toSecsSinceEpoch(), detail);
}

bool GuideLibrary::needsReading(const GuideSourceEntry &guide) const
{
    const QString source = m_registry.sourcePath(guide.id);
    if (!m_channelsKnown || !QFileInfo(source).isFile())
        return false;
    const auto held = m_held.constFind(guide.id);
    if (held == m_held.constEnd() || !held->store)
        return true;
    const GuideCacheStamp now = GuideImporter::stampOf(source, guide.offsetHours);
    return now.sourceSize != held->stamp.sourceSize || now.sourceModifiedMs != held->stamp.sourceModifiedMs
        || guide.offsetHours != held->stamp.offsetHours || held->store->missesWanted(m_wanted);
}

void GuideLibrary::readFromSource(const GuideSourceEntry &guide)
{
    GuideImportJob job;
    job.guideId = guide.id;
    job.sourcePath = m_registry.sourcePath(guide.id);
    job.storePath = m_registry.storePath(guide.id);
    job.offsetHours = guide.offsetHours;
    job.wanted = m_wanted;
    job.now = QDateTime::currentSecsSinceEpoch();
    m_importer.import(job);
    emit busyChanged(guide.id, true);
}

void GuideLibrary::syncWithRegistry()
{
    if (!m_started)
        return;
    const QVector<GuideSourceEntry> guides = m_registry.guides();
    QSet<QString> present;
    for (const GuideSourceEntry &guide : guides) {
        present.insert(guide.id);
        const bool known = m_offsets.contains(guide.id);
        const bool offsetChanged = known && m_offsets.value(guide.id) != guide.offsetHours;
        m_offsets.insert(guide.id, guide.offsetHours);
        if (!known) {
            m_importer.loadCache(guide.id, m_registry.storePath(guide.id));
            emit busyChanged(guide.id, true);
            if (guide.needsRefresh(m_now))
                emit fetchNeeded(guide);
        } else if (offsetChanged && !m_importer.isBusy(guide.id)) {
            readFromSource(guide);
        }
    }
    bool dropped = false;
    for (auto it = m_offsets.begin(); it != m_offsets.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        if (m_importer.isBusy(it.key())) {
            m_importer.cancel(it.key());
            emit busyChanged(it.key(), false);
        }
        dropped = m_held.remove(it.key()) > 0 || dropped;
        it = m_offsets.erase(it);
    }
    if (dropped)
        rebuildMatcher();
}

bool GuideLibrary::refresh(const QString &id)
{
    const GuideSourceEntry guide = m_registry.guide(id);
    if (guide.id.isEmpty())
        return false;
    if (guide.isRemote())
        emit fetchNeeded(guide);
    else if (m_channelsKnown)
        readFromSource(guide);
    return true;
}

void GuideLibrary::refreshStale(const QDateTime &now)
{
    for (const GuideSourceEntry &guide : m_registry.guides()) {
        if (guide.needsRefresh(now) && !m_importer.isBusy(guide.id))
            emit fetchNeeded(guide);
    }
}

void GuideLibrary::importDownloaded(const QString &id, const QByteArray &etag, const QString &lastModified)
{
    const GuideSourceEntry guide = m_registry.guide(id);
    if (guide.id.isEmpty())
        return;
    m_registry.recordFetch(id, etag, lastModified);
    // Read for no channels, it would keep nothing and replace the store held;
    // the first setChannels() reads the new copy.
    if (m_channelsKnown)
        readFromSource(guide);
}

void GuideLibrary::downloadFailed(const QString &id, const QString &error)
{
    m_registry.recordFailure(id, error);
}

void GuideLibrary::finished(const GuideImportResult &result)
{
    const GuideSourceEntry guide = m_registry.guide(result.guideId);
    if (guide.id.isEmpty())
        return;
    emit busyChanged(guide.id, false);
    if (result.fromCache) {
        if (result.store)
            m_held.insert(guide.id, { result.store, result.stamp });
        if (result.store)
            rebuildMatcher();
        if (needsReading(guide))
            readFromSource(guide);
        return;
    }
    if (!result.store) {
        if (!result.report.cancelled)
            m_registry.recordFailure(guide.id, result.error);
        return;
    }
    m_held.insert(guide.id, { result.store, result.stamp });
    GuideReadSummary summary;
    summary.when = QDateTime::fromSecsSinceEpoch(result.stamp.builtAt, Qt::UTC);
    summary.channelCount = result.report.channelsKept;
    summary.programmeCount = result.report.programmesKept;
    if (result.store->totalProgrammes() > 0) {
        summary.firstStart = QDateTime::fromSecsSinceEpoch(result.store->firstStart(), Qt::UTC);
        summary.lastStop = QDateTime::fromSecsSinceEpoch(result.store->lastStop(), Qt::UTC);
    }
    summary.note = result.error;
    m_registry.recordRead(guide.id, summary);
    rebuildMatcher();
    // The offset, the file or the channels wanted may have changed while it read.
    if (needsReading(guide))
        readFromSource(guide);
}

void GuideLibrary::rebuildMatcher()
{
    QVector<GuideSource> sources;
    for (const GuideSourceEntry &guide : m_registry.guides()) {
        const auto held = m_held.constFind(guide.id);
        if (held != m_held.constEnd() && held->store)
            sources.append({ guide.id, held->store });
    }
    m_matcher.setGuides(sources);
    emit schedulesChanged();
}
