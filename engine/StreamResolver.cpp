#include "engine/StreamResolver.h"

#include "engine/PlaylistParser.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

StreamResolver::StreamResolver(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
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

void StreamResolver::resolve(const QString &address)
{
    abort();
    m_address = address;
    m_prefix.clear();
    QNetworkRequest request(QUrl(address, QUrl::TolerantMode));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setTransferTimeout(m_timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("LumivortexTV/" LUMI_VERSION));
    // Compressed bodies would hide the first bytes we decide by.
    request.setRawHeader("Accept-Encoding", "identity");
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &StreamResolver::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &StreamResolver::onFinished);
}

void StreamResolver::abort()
{
    if (QNetworkReply *reply = m_reply.data()) {
        m_reply.clear();
        reply->disconnect(this);
        // Deleting ends the transfer quietly; abort() races with an error the
        // network thread may have queued already, and Qt complains of it.
        reply->deleteLater();
    }
}

bool StreamResolver::httpError() const
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 400;
}

void StreamResolver::onReadyRead()
{
    if (!m_reply || httpError())
        return; // an error page: wait for finished()
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 300)
        return; // the body of a redirect being followed
    m_prefix += m_reply->read(maxPrefixBytes - m_prefix.size());
    const PlaylistParser::Sniff sniff = PlaylistParser::sniff(m_prefix);
    if (sniff == PlaylistParser::Sniff::NotPlaylist) {
        conclude(Verdict::NotPlaylist);
    } else if (m_prefix.size() >= maxPrefixBytes) {
        // Too big for a playlist: read what we have, else the player decides.
        const auto entries = PlaylistParser::parse(m_prefix, m_reply->url());
        if (entries)
            conclude(Verdict::Playlist, *entries);
        else
            conclude(Verdict::NotPlaylist);
    }
}

void StreamResolver::onFinished()
{
    if (!m_reply)
        return;
    const QNetworkReply::NetworkError error = m_reply->error();
    if (httpError()) {
        conclude(Verdict::Failed);
        return;
    }
    switch (error) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::RemoteHostClosedError:
        if (!m_prefix.isEmpty() || m_reply->bytesAvailable() > 0)
            break; // a body cut short: read what came
        conclude(Verdict::Failed);
        return;
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the transfer timeout
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        conclude(Verdict::Failed);
        return;
    default:
        // A server Qt cannot talk to (an ICY status line, say) may still
        // be one the player can: let it try.
        conclude(Verdict::NotPlaylist);
        return;
    }
    m_prefix += m_reply->read(maxPrefixBytes - m_prefix.size());
    const auto entries = PlaylistParser::parse(m_prefix, m_reply->url());
    if (entries)
        conclude(Verdict::Playlist, *entries);
    else
        conclude(Verdict::NotPlaylist);
}

void StreamResolver::conclude(Verdict verdict, const QStringList &entries)
{
    const QString address = m_address;
    abort();
    m_prefix.clear();
    // Last: a receiver may start the next resolution from its slot.
    switch (verdict) {
    case Verdict::Playlist:
        emit playlistFound(address, entries);
        break;
    case Verdict::NotPlaylist:
        emit notPlaylist(address);
        break;
    case Verdict::Failed:
        emit failed(address);
        break;
    case Verdict::Undecided:
        break;
    }
}
