#include "engine/StreamResolver.h"

#include "engine/PlaylistParser.h"
#include "net/Transfer.h"

#include <QUrl>

namespace
{

// A playlist that has not arrived in this long never will.
constexpr int kTotalTimeoutMs = 60000;

struct Verdict {
    enum class Kind { Playlist, NotPlaylist, Failed, Abandoned } kind = Kind::NotPlaylist;
    QStringList entries;
    StreamResolver::Failure failure = StreamResolver::Failure::Unreachable;
};

Verdict failedFor(StreamResolver::Failure why)
{
    Verdict verdict;
    verdict.kind = Verdict::Kind::Failed;
    verdict.failure = why;
    return verdict;
}

Verdict read(const QByteArray &prefix, const QUrl &base)
{
    Verdict verdict;
    if (const auto entries = PlaylistParser::parse(prefix, base)) {
        verdict.kind = Verdict::Kind::Playlist;
        verdict.entries = *entries;
    }
    return verdict;
}

} // namespace

struct StreamResolver::Job {
    TransferCancel cancel;
    QString address;

    // On the worker.
    Verdict look(const TransferRequest &request);
};

Verdict StreamResolver::Job::look(const TransferRequest &request)
{
    Transfer transfer(request, cancel);
    QByteArray prefix;
    QUrl base(address, QUrl::TolerantMode);
    bool errorStatus = false;
    transfer.onHead = [&](const TransferHead &head) {
        base = QUrl::fromEncoded(head.url);
        errorStatus = head.status >= 400;
        return !errorStatus;
    };
    transfer.onBody = [&](const char *data, qint64 size) {
        prefix.append(data, qsizetype(size));
        return PlaylistParser::sniff(prefix) != PlaylistParser::Sniff::NotPlaylist;
    };
    using End = Transfer::End;
    switch (transfer.run()) {
    case End::Finished:
    case End::TooLarge: // too big for a playlist: read what we have, else the player decides
        return read(prefix, base);
    case End::Stopped:
        return errorStatus ? failedFor(Failure::Unreachable) : Verdict();
    case End::ConnectionLost:
        return prefix.isEmpty() ? failedFor(Failure::Unreachable) : read(prefix, base);
    case End::CertificateRefused:
        return failedFor(Failure::CertificateRefused);
    case End::Cancelled:
        return { Verdict::Kind::Abandoned, {}, Failure::Unreachable };
    case End::Stalled:
    case End::TimedOut:
    case End::NoAnswer:
    case End::HostNotFound:
    case End::ConnectionRefused:
    case End::SecureConnectionFailed:
    case End::ProtocolRefused:
    case End::TooManyRedirects:
        return failedFor(Failure::Unreachable);
    case End::BadEncoding:
    case End::Failed:
        break;
    }
    // A server libcurl cannot talk to may still be one the player can: let it try.
    return Verdict();
}

StreamResolver::StreamResolver(QObject *parent)
    : QObject(parent)
{
}

StreamResolver::~StreamResolver()
{
    abort();
}

bool StreamResolver::wantsResolving(const QString &address)
{
    const QString scheme = QUrl(address, QUrl::TolerantMode).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

void StreamResolver::resolve(const QString &address, bool acceptInvalidCertificates)
{
    abort();
    TransferRequest request;
    request.url = TransferRequest::encodedUrl(address);
    request.acceptInvalidCertificates = acceptInvalidCertificates;
    request.limits = { maxPrefixBytes, m_timeoutMs, m_timeoutMs, kTotalTimeoutMs };
    auto job = std::make_shared<Job>();
    job->address = address;
    m_job = job;
    TransferWorkers::startFor(this, [this, job, request]() -> std::function<void()> {
        const Verdict verdict = job->look(request);
        return [this, job, verdict] {
            if (m_job != job || verdict.kind == Verdict::Kind::Abandoned)
                return;
            m_job.reset();
            // Last: a receiver may start the next resolution from its slot.
            switch (verdict.kind) {
            case Verdict::Kind::Playlist:
                emit playlistFound(job->address, verdict.entries);
                break;
            case Verdict::Kind::NotPlaylist:
                emit notPlaylist(job->address);
                break;
            case Verdict::Kind::Failed:
                emit failed(job->address, verdict.failure);
                break;
            case Verdict::Kind::Abandoned:
                break;
            }
        };
    });
}

void StreamResolver::abort()
{
    if (m_job) {
        m_job->cancel.cancel();
        m_job.reset();
    }
}
