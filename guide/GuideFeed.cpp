#include "guide/GuideFeed.h"

#include "base/SafeCall.h"
#include "guide/GuideLibrary.h"
#include "guide/GuideRegistry.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "net/Transfer.h"

#include <QFile>
#include <QSet>

GuideFeed::GuideFeed(GuideLibrary &library, GuideRegistry &registry, ChannelListRegistry &lists,
    ChannelListLibrary &listLibrary, QObject *parent)
    : QObject(parent)
    , m_library(library)
    , m_registry(registry)
    , m_lists(lists)
    , m_listLibrary(listLibrary)
{
    connect(&m_library, &GuideLibrary::fetchNeeded, this,
        [this](const GuideSourceEntry &guide) { safeCall([&] { fetch(guide); }); });
    connect(&m_fetcher, &GuideFetcher::finished, this,
        [this](const GuideFetchResult &result) { safeCall([&] { fetched(result); }); });
    connect(&m_fetcher, &GuideFetcher::busyChanged, this, &GuideFeed::busyChanged);
    connect(&m_library, &GuideLibrary::busyChanged, this, &GuideFeed::busyChanged);
    connect(&m_listLibrary, &ChannelListLibrary::channelsChanged, this, [this](const QString &listId) {
        safeCall([&] {
            followListHeader(listId);
            m_channelsLater.start();
        });
    });
    connect(&m_lists, &ChannelListRegistry::listsChanged, this, [this] {
        safeCall([this] {
            forgetRemovedLists();
            m_channelsLater.start();
        });
    });
    // Which list names a guide decides which guide its channels try first.
    connect(&m_registry, &GuideRegistry::guidesChanged, this, [this] {
        safeCall([this] {
            dropRemovedGuides();
            m_channelsLater.start();
        });
    });
    m_channelsLater.setSingleShot(true);
    m_channelsLater.setInterval(0);
    connect(&m_channelsLater, &QTimer::timeout, this, [this] { safeCall([this] { tellChannels(); }); });
    connect(&m_listLibrary, &ChannelListLibrary::busyChanged, this, [this] {
        if (!m_channelsTold)
            m_channelsLater.start();
    });
    m_waitingForLists.setSingleShot(true);
    m_waitingForLists.setInterval(WaitForListsMs);
    connect(&m_waitingForLists, &QTimer::timeout, &m_channelsLater, qOverload<>(&QTimer::start));
    m_refreshTimer.setObjectName(QStringLiteral("GuideRefreshTimer"));
    m_refreshTimer.setInterval(RefreshCheckMs);
    connect(
        &m_refreshTimer, &QTimer::timeout, this, [this] { safeCall([this] { m_library.refreshStale(); }); });
}

void GuideFeed::start()
{
    if (m_started)
        return;
    m_started = true;
    forgetRemovedLists();
    for (const ChannelListSource &list : m_lists.lists())
        followListHeader(list.id);
    m_waitingForLists.start();
    m_library.start();
    m_refreshTimer.start();
    m_channelsLater.start();
}

void GuideFeed::setBuiltIns(const QVector<Channel> &channels, const BuiltInSources &sources)
{
    m_builtIns = channels;
    m_builtInSources = sources;
    m_channelsLater.start();
}

bool GuideFeed::refresh(const QString &guideId)
{
    return m_library.refresh(guideId);
}

bool GuideFeed::isBusy(const QString &guideId) const
{
    return m_fetcher.isBusy(guideId) || m_library.isBusy(guideId);
}

void GuideFeed::fetch(const GuideSourceEntry &guide)
{
    GuideFetchRequest request;
    request.guideId = guide.id;
    request.address = guide.address;
    request.copyPath = m_registry.copyPath(guide.id);
    // Without a copy in hand, "not modified" would leave the guide empty.
    if (QFile::exists(request.copyPath)) {
        request.etag = guide.etag;
        request.lastModified = guide.lastModified;
    }
    if (m_fetcher.fetch(request))
        m_fetching.insert(guide.id);
}

void GuideFeed::fetched(const GuideFetchResult &result)
{
    m_fetching.remove(result.guideId);
    const GuideSourceEntry guide = m_registry.guide(result.guideId);
    if (guide.id.isEmpty()) {
        // Removed while it downloaded: its copy goes with it.
        QFile::remove(m_registry.copyPath(result.guideId));
        return;
    }
    switch (result.outcome) {
    case GuideFetchResult::Outcome::Updated:
        m_library.importDownloaded(guide.id, result.etag, result.lastModified);
        break;
    case GuideFetchResult::Outcome::NotModified: {
        // The copy held is the publisher's: it counts as refreshed now.
        GuideReadSummary summary;
        summary.when = QDateTime::currentDateTimeUtc();
        summary.channelCount = guide.channelCount;
        summary.programmeCount = guide.programmeCount;
        summary.firstStart = guide.firstStart;
        summary.lastStop = guide.lastStop;
        m_registry.recordRead(guide.id, summary);
        if (!result.etag.isEmpty() || !result.lastModified.isEmpty())
            m_registry.recordFetch(guide.id, result.etag.isEmpty() ? guide.etag : result.etag,
                result.lastModified.isEmpty() ? guide.lastModified : result.lastModified);
        break;
    }
    case GuideFetchResult::Outcome::Failed:
        m_library.downloadFailed(guide.id, result.error);
        break;
    }
}

void GuideFeed::followListHeader(const QString &listId)
{
    if (m_lists.list(listId).id.isEmpty()) {
        m_registry.setListGuides(listId, {});
        return;
    }
    // A list not read yet (or unreadable) keeps the guides it named before.
    if (const std::optional<QStringList> addresses = m_listLibrary.guideAddresses(listId))
        m_registry.setListGuides(listId, *addresses);
}

void GuideFeed::forgetRemovedLists()
{
    QSet<QString> present;
    for (const ChannelListSource &list : m_lists.lists())
        present.insert(list.id);
    QSet<QString> gone;
    for (const GuideSourceEntry &guide : m_registry.guides())
        for (const QString &listId : guide.lists)
            if (!present.contains(listId))
                gone.insert(listId);
    for (const QString &listId : std::as_const(gone))
        m_registry.setListGuides(listId, {});
}

void GuideFeed::dropRemovedGuides()
{
    QSet<QString> present;
    for (const GuideSourceEntry &guide : m_registry.guides())
        present.insert(guide.id);
    // A download of a guide removed would only be thrown away.
    const QSet<QString> fetching = m_fetching;
    for (const QString &id : fetching)
        if (!present.contains(id))
            m_fetcher.cancel(id);
}

void GuideFeed::tellChannels()
{
    if (!m_started)
        return; // start() tells them
    // At start the lists come in one by one: one telling for all of them
    // spares a big guide a reading for each.
    if (!m_channelsTold && m_waitingForLists.isActive()) {
        for (const ChannelListSource &list : m_lists.lists())
            if (m_listLibrary.isBusy(list.id))
                return;
    }
    m_channelsTold = true;
    QHash<QString, QStringList> guidesOfList;
    for (const GuideSourceEntry &guide : m_registry.guides())
        for (const QString &listId : guide.lists)
            guidesOfList[listId].append(guide.id);
    struct Source {
        ListChannels entries; // shared, never changed: safe on the worker
        QStringList ownGuides;
    };
    QVector<Source> sources;
    for (const ChannelListSource &list : m_lists.lists())
        sources.append({ m_listLibrary.channels(list.id), guidesOfList.value(list.id) });
    const QVector<Channel> builtIns = m_builtIns;
    const BuiltInSources builtInSources = m_builtInSources;
    const quint64 serial = ++m_channelsSerial;
    // Keying a hundred thousand channels takes the better part of a second: not on the GUI thread.
    TransferWorkers::startFor(
        this, [this, serial, sources, builtIns, builtInSources]() -> std::function<void()> {
            auto channels = std::make_shared<QVector<GuideChannelQuery>>();
            for (const Source &source : sources) {
                channels->reserve(channels->size() + source.entries.size());
                for (qsizetype i = 0; i < source.entries.size(); ++i)
                    channels->append(GuideChannelQuery::forEntry(source.entries.at(i), source.ownGuides));
            }
            for (const Channel &channel : builtIns) {
                const QVector<ListChannel> plays = builtInSources.value(channel.control);
                channels->append(
                    GuideChannelQuery::forBuiltIn(channel, plays.isEmpty() ? nullptr : &plays.first()));
            }
            return [this, serial, channels] {
                // A later telling is on its way: this one is already stale.
                if (serial == m_channelsSerial)
                    safeCall([&] { m_library.setChannels(*channels); });
            };
        });
}
