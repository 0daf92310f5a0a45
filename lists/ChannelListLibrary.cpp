#include "lists/ChannelListLibrary.h"

#include <QFile>
#include <QLocale>
#include <QSet>

ChannelListLibrary::ChannelListLibrary(ChannelListRegistry *registry, QObject *parent, int maxChannels)
    : QObject(parent)
    , m_registry(registry)
    , m_maxChannels(maxChannels)
{
    connect(registry, &ChannelListRegistry::listsChanged, this, &ChannelListLibrary::syncWithRegistry);
}

// The fetchers are children: deleting them cancels their workers, which then
// reach nothing of ours.
ChannelListLibrary::~ChannelListLibrary() = default;

ChannelListLibrary::Held &ChannelListLibrary::held(const QString &id)
{
    Held &h = m_held[id];
    if (!h.fetcher) {
        h.fetcher = new ChannelListFetcher(this);
        connect(h.fetcher, &ChannelListFetcher::finished, this,
            [this, id](const ChannelListResult &result) { finished(id, result); });
    }
    return h;
}

void ChannelListLibrary::start(const QDateTime &now)
{
    m_started = true;
    for (const ChannelListSource &list : m_registry->lists()) {
        if (isBusy(list.id))
            continue;
        held(list.id);
        if (!list.isRemote())
            readCopy(list, false);
        else if (QFile::exists(m_registry->cachePath(list.id)))
            readCopy(list, list.needsRefresh(now));
        else
            startFetch(list);
    }
}

void ChannelListLibrary::refreshStale(const QDateTime &now)
{
    for (const ChannelListSource &list : m_registry->lists()) {
        if (list.needsRefresh(now) && !isBusy(list.id))
            startFetch(list);
    }
}

bool ChannelListLibrary::refresh(const QString &id)
{
    const ChannelListSource list = m_registry->list(id);
    if (list.id.isEmpty() || isBusy(id))
        return false;
    if (list.isRemote())
        return startFetch(list);
    readCopy(list, false);
    return isBusy(id);
}

ListChannels ChannelListLibrary::channels(const QString &id) const
{
    return m_held.value(id).channels;
}

ListChannels ChannelListLibrary::allChannels() const
{
    ListChannels all;
    for (const ChannelListSource &list : m_registry->lists())
        all += m_held.value(list.id).channels;
    return all;
}

QSet<QString> ChannelListLibrary::addressesAcceptingInvalidCertificates() const
{
    QSet<QString> addresses;
    for (const ChannelListSource &list : m_registry->lists())
        if (list.acceptInvalidCertificates)
            for (const ListChannel &channel : m_held.value(list.id).channels)
                addresses.insert(channel.address);
    return addresses;
}

std::optional<QStringList> ChannelListLibrary::guideAddresses(const QString &id) const
{
    const auto found = m_held.constFind(id);
    if (found == m_held.constEnd() || !found->haveCopy)
        return std::nullopt;
    return found->guideAddresses;
}

bool ChannelListLibrary::isBusy(const QString &id) const
{
    const auto found = m_held.constFind(id);
    return found != m_held.constEnd() && found->fetcher && found->fetcher->isRunning();
}

ChannelListRequest ChannelListLibrary::requestFor(const ChannelListSource &list) const
{
    ChannelListRequest request;
    request.address = list.address;
    request.cachePath = m_registry->cachePath(list.id);
    // Without a copy in hand, "not modified" would leave the list empty.
    if (m_held.value(list.id).haveCopy) {
        request.etag = list.etag;
        request.lastModified = list.lastModified;
    }
    return request;
}

void ChannelListLibrary::readCopy(const ChannelListSource &list, bool refreshAfter)
{
    Held &h = held(list.id);
    h.readingCopy = true;
    h.refreshAfterRead = refreshAfter;
    const QString path = list.isRemote() ? m_registry->cachePath(list.id) : list.address;
    if (h.fetcher->read(path, list.address))
        emit busyChanged(list.id, true);
}

bool ChannelListLibrary::startFetch(const ChannelListSource &list)
{
    Held &h = held(list.id);
    h.readingCopy = false;
    if (!h.fetcher->fetch(requestFor(list)))
        return false;
    emit busyChanged(list.id, true);
    return true;
}

void ChannelListLibrary::finished(const QString &id, const ChannelListResult &result)
{
    const ChannelListSource list = m_registry->list(id);
    if (list.id.isEmpty())
        return;
    Held &h = held(id);
    using Outcome = ChannelListResult::Outcome;
    const QString over
        = result.outcome == Outcome::Updated ? overTheBound(id, result.list.channels.size()) : QString();
    if (h.readingCopy) {
        h.readingCopy = false;
        if (!over.isEmpty()) {
            m_registry->recordFailure(id, over);
            emit refreshFailed(id, over);
        } else if (result.outcome == Outcome::Updated) {
            h.channels = result.list.channels;
            h.guideAddresses = result.list.guideAddresses;
            h.haveCopy = true;
            if (!list.isRemote())
                m_registry->recordRead(id, int(h.channels.size()));
            emit channelsChanged(id);
        } else if (!list.isRemote()) {
            m_registry->recordFailure(id, result.error);
            emit refreshFailed(id, result.error);
        }
        // An unreadable cached copy is fetched again, without validators.
        if (list.isRemote() && (h.refreshAfterRead || !h.haveCopy)) {
            h.refreshAfterRead = false;
            if (startFetch(list))
                return;
        }
        emit busyChanged(id, false);
        return;
    }

    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!over.isEmpty()) {
        m_registry->recordFailure(id, over);
        emit refreshFailed(id, over);
    } else if (result.outcome == Outcome::Updated) {
        h.channels = result.list.channels;
        h.guideAddresses = result.list.guideAddresses;
        h.haveCopy = true;
        m_registry->recordRefresh(id, now, result.etag, result.lastModified, int(h.channels.size()));
        emit channelsChanged(id);
    } else if (result.outcome == Outcome::NotModified && h.haveCopy) {
        m_registry->recordRefresh(id, now, result.etag.isEmpty() ? list.etag : result.etag,
            result.lastModified.isEmpty() ? list.lastModified : result.lastModified, int(h.channels.size()));
    } else {
        const QString error = result.outcome == Outcome::NotModified
            ? QString::fromUtf8("O servidor não enviou a lista (respondeu 304 sem ter sido perguntado).")
            : result.error;
        m_registry->recordFailure(id, error);
        emit refreshFailed(id, error);
    }
    emit busyChanged(id, false);
}

QString ChannelListLibrary::overTheBound(const QString &id, qsizetype count) const
{
    qsizetype others = 0;
    for (auto it = m_held.constBegin(); it != m_held.constEnd(); ++it) {
        if (it.key() != id)
            others += it->channels.size();
    }
    if (others + count <= m_maxChannels)
        return {};
    const QLocale locale = QLocale::system();
    return QString::fromUtf8(
        "A lista não foi aberta: com os seus %1 canais, as listas passariam de %2 canais, "
        "o máximo que o programa guarda. Remova outra lista ou escolha uma menor.")
        .arg(locale.toString(count), locale.toString(m_maxChannels));
}

void ChannelListLibrary::syncWithRegistry()
{
    QSet<QString> present;
    for (const ChannelListSource &list : m_registry->lists())
        present.insert(list.id);
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        const QString id = it.key();
        delete it->fetcher;
        const bool hadChannels = !it->channels.isEmpty();
        it = m_held.erase(it);
        if (hadChannels)
            emit channelsChanged(id);
    }
    if (!m_started)
        return;
    for (const ChannelListSource &list : m_registry->lists()) {
        if (m_held.contains(list.id))
            continue;
        if (list.isRemote())
            startFetch(list);
        else
            readCopy(list, false);
    }
}
