#include "lists/SourceChecker.h"

#include "base/Logging.h"
#include "net/AddressRule.h"
#include "net/Transfer.h"

#include <QUrl>
#include <algorithm>
#include <vector>

namespace
{
// A playlist larger than this is not a live playlist anyone should play.
constexpr qint64 kMaxPlaylistBytes = 512 * 1024;
// Master playlist, variant, segment: no honest stream needs more steps.
constexpr int kMaxSteps = 4;

bool isWeb(const QString &address)
{
    return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QString serverOf(const QString &address)
{
    return AddressRule::serverOf(address).toString().toLower();
}
} // namespace

SourceChecker::SourceChecker(QObject *parent, const SourceCheckLimits &limits)
    : QObject(parent)
    , m_limits(limits)
{
    m_limits.maxConnections = std::max(1, m_limits.maxConnections);
    m_clock.start();
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, &SourceChecker::pump);
}

SourceChecker::~SourceChecker()
{
    for (const auto &cancel : std::as_const(m_running))
        cancel->cancel();
}

void SourceChecker::check(const QVector<SourceProbe> &probes)
{
    const bool wasIdle = !isRunning();
    for (const SourceProbe &probe : probes) {
        if (probe.address.isEmpty())
            continue;
        const auto known = m_probes.find(probe.address);
        if (known != m_probes.end()) {
            // The same stream in another list shares the answer.
            known->append(probe);
            continue;
        }
        m_probes.insert(probe.address, { probe });
        ++m_total;
        Job job;
        job.probe = probe;
        job.origin = probe.address;
        job.url = probe.address;
        job.server = serverOf(probe.address);
        m_pending.push_back(job);
    }
    if (wasIdle && isRunning())
        emit progress(m_done, m_total);
    pump();
}

void SourceChecker::cancel()
{
    if (!isRunning())
        return;
    ++m_generation;
    for (const auto &cancel : std::as_const(m_running))
        cancel->cancel();
    m_running.clear();
    m_pending.clear();
    m_probes.clear();
    m_busyServers.clear();
    m_wait.stop();
    m_done = 0;
    m_total = 0;
    emit finished(true);
}

void SourceChecker::pump()
{
    const qint64 now = m_clock.elapsed();
    qint64 soonest = -1;
    std::vector<Job> unaskable;
    for (auto it = m_pending.begin(); it != m_pending.end() && m_running.size() < m_limits.maxConnections;) {
        if (!it->screened) {
            if (!isWeb(it->url) || AddressRule::admitted(it->url, AddressRule::Origin::Network).isEmpty()) {
                // Nothing to ask over http: the stream stays as unknown as it was.
                unaskable.push_back(*it);
                it = m_pending.erase(it);
                continue;
            }
            it->screened = true;
        }
        if (m_busyServers.contains(it->server)) {
            ++it; // asked again once its answer is in
            continue;
        }
        const qint64 freeAt = m_serverFreeAt.value(it->server, 0);
        if (freeAt > now) {
            soonest = soonest < 0 ? freeAt : std::min(soonest, freeAt);
            ++it;
            continue;
        }
        Job job = *it;
        it = m_pending.erase(it);
        m_serverFreeAt.insert(job.server, now + m_limits.hostIntervalMs);
        m_busyServers.insert(job.server);
        start(job);
    }
    // Said once the queue is left alone: a slot may add to it.
    for (const Job &job : unaskable)
        conclude(job, SourceHealth::Unknown);
    if (m_running.size() < m_limits.maxConnections && soonest >= 0)
        m_wait.start(int(std::max<qint64>(1, soonest - now)));
    else
        m_wait.stop();
    if (isRunning() && m_pending.empty() && m_running.isEmpty()) {
        m_probes.clear();
        m_serverFreeAt.clear();
        m_busyServers.clear();
        m_done = 0;
        m_total = 0;
        emit finished(false);
    }
}

void SourceChecker::start(Job job)
{
    auto cancel = std::make_shared<TransferCancel>();
    m_running.append(cancel);
    const int generation = m_generation;
    const SourceCheckLimits limits = m_limits;
    TransferWorkers::startFor(this, [this, job, cancel, limits, generation]() -> std::function<void()> {
        const Step step = run(job, *cancel, limits);
        return [this, job, step, cancel, generation] {
            m_running.removeOne(cancel);
            stepDone(job, step, generation);
        };
    });
}

void SourceChecker::stepDone(Job job, const Step &step, int generation)
{
    if (generation != m_generation || step.cancelled)
        return;
    // A server is asked again a full interval after it answered, so that
    // however late a request reached it, the next never follows too closely.
    m_busyServers.remove(job.server);
    qint64 &freeAt = m_serverFreeAt[job.server];
    freeAt = std::max(freeAt, m_clock.elapsed() + m_limits.hostIntervalMs);
    if (!step.next.isEmpty() && job.step + 1 < kMaxSteps) {
        // The playlist's next request waits its turn like any other, ahead of new sources.
        job.url = step.next;
        job.server = serverOf(step.next);
        job.screened = false;
        ++job.step;
        m_pending.push_front(job);
    } else {
        conclude(job, step.next.isEmpty() ? step.health : SourceHealth::Dead);
    }
    pump();
}

void SourceChecker::conclude(const Job &job, SourceHealth health)
{
    ++m_done;
    const QVector<SourceProbe> probes = m_probes.value(job.origin);
    for (const SourceProbe &probe : probes)
        emit checked(probe, health);
    emit progress(m_done, m_total);
}

SourceChecker::Step SourceChecker::run(
    const Job &job, TransferCancel &cancel, const SourceCheckLimits &limits)
{
    const SourceProbe &probe = job.probe;
    TransferRequest get;
    get.url = TransferRequest::encodedUrl(job.url);
    if (!probe.userAgent.isEmpty())
        get.userAgent = probe.userAgent.toUtf8();
    get.referrer = probe.referrer.toUtf8();
    get.acceptInvalidCertificates = probe.acceptInvalidCertificates;
    // Redirects are followed by the transfer: a stream that moves is still one source.
    get.maxRedirects = 3;
    get.limits.maxBytes = kMaxPlaylistBytes;
    get.limits.connectTimeoutMs = limits.connectTimeoutMs;
    get.limits.stallTimeoutMs = limits.answerTimeoutMs;
    get.limits.totalTimeoutMs = limits.answerTimeoutMs + limits.connectTimeoutMs;
    Transfer transfer(get, cancel);
    QByteArray contentType;
    QString answered = job.url;
    QByteArray body;
    bool playlist = false;
    transfer.onHead = [&](const TransferHead &head) {
        contentType = head.value("content-type");
        answered = QString::fromUtf8(head.url);
        return head.status >= 200 && head.status < 300;
    };
    transfer.onBody = [&](const char *data, qint64 size) {
        body.append(data, qsizetype(size));
        if (playlist)
            return true;
        // "#EXTM3U" may arrive a few bytes at a time.
        if (body.size() < 16 && !contentType.toLower().contains("mpegurl")
            && QByteArray("#EXTM3U").startsWith(body))
            return true;
        playlist = SourceAnswers::looksLikePlaylist(body, contentType);
        return playlist; // a stream's first bytes are all we ask
    };
    const Transfer::End end = transfer.run();
    Step step;
    if (end == Transfer::End::Cancelled) {
        step.cancelled = true;
        return step;
    }
    const int status = transfer.status();
    const bool answeredWhole = end == Transfer::End::Finished || end == Transfer::End::Stopped;
    if (!answeredWhole || status < 200 || status >= 300) {
        step.health = answeredWhole ? SourceAnswers::classified(status, false) : SourceHealth::Dead;
        if (!answeredWhole)
            qCDebug(lumiLists) << "source check:" << Transfer::nameOf(end) << transfer.errorText();
        return step;
    }
    if (!playlist && !(body.size() > 0 && SourceAnswers::looksLikePlaylist(body, contentType))) {
        step.health = SourceAnswers::classified(status, !body.isEmpty());
        return step;
    }
    step.next = SourceAnswers::nextInPlaylist(body, answered);
    if (step.next.isEmpty()) {
        step.health = SourceHealth::Dead; // a playlist naming nothing plays nothing
    } else if (!isWeb(step.next)) {
        // A segment by another protocol: the playlist answered, the rest cannot be asked.
        step.next.clear();
        step.health = SourceHealth::Unknown;
    }
    return step;
}
