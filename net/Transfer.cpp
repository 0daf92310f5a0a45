#include "net/Transfer.h"

#include "base/Logging.h"
#include "net/TlsTrust.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <curl/curl.h>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

std::atomic<int> g_workers { 0 };
std::once_flag g_curlInit;

void initCurl()
{
    std::call_once(g_curlInit, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        // Workers left running when the program ends get a moment to finish
        // before static destructors run under them.
        std::atexit([] {
            for (int i = 0; i < 400 && g_workers.load() > 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
    });
}

qint64 msSince(Clock::time_point then, Clock::time_point now)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - then).count();
}

bool isWebScheme(const QString &scheme)
{
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0
        || scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

bool isHttps(const QUrl &url)
{
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

Transfer::End endOf(CURLcode code)
{
    using End = Transfer::End;
    switch (code) {
    case CURLE_OK:
        return End::Finished;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return End::HostNotFound;
    case CURLE_COULDNT_CONNECT:
        return End::ConnectionRefused;
    case CURLE_OPERATION_TIMEDOUT:
        return End::NoAnswer;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        return End::CertificateRefused;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_USE_SSL_FAILED:
        return End::SecureConnectionFailed;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return End::ProtocolRefused;
    case CURLE_TOO_MANY_REDIRECTS:
        return End::TooManyRedirects;
    case CURLE_FILESIZE_EXCEEDED:
        return End::TooLarge;
    case CURLE_BAD_CONTENT_ENCODING:
        return End::BadEncoding;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return End::ConnectionLost;
    default:
        return End::Failed;
    }
}

} // namespace

// --- cancel ---

void TransferCancel::cancel()
{
    m_cancelled.store(true);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_multi)
        curl_multi_wakeup(static_cast<CURLM *>(m_multi));
}

void TransferCancel::attach(void *multi)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_multi = multi;
}

// --- request and head ---

QByteArray TransferRequest::defaultUserAgent()
{
    return QByteArrayLiteral("Lumivortex TV/" LUMI_VERSION);
}

QByteArray TransferRequest::encodedUrl(const QString &address)
{
    return QUrl(address, QUrl::TolerantMode).toEncoded();
}

QByteArray TransferHead::value(const QByteArray &lowerName) const
{
    for (const auto &field : fields)
        if (field.first == lowerName)
            return field.second;
    return {};
}

QList<QByteArray> TransferHead::values(const QByteArray &lowerName) const
{
    QList<QByteArray> found;
    for (const auto &field : fields)
        if (field.first == lowerName)
            found.append(field.second);
    return found;
}

// --- the transfer ---

struct Transfer::Private {
    TransferRequest request;
    TransferCancel &cancel;
    Transfer *owner = nullptr;
    CURL *easy = nullptr;

    TransferHead head; // the answer being received
    bool headShown = false;
    bool ended = false; // a callback has decided the end
    End end = End::Finished;
    QString error;
    qint64 total = 0;
    int quietMs = 0;
    Clock::time_point lastActivity;

    Private(const TransferRequest &r, TransferCancel &c)
        : request(r)
        , cancel(c)
    {
    }

    void endWith(End why, const QString &text)
    {
        if (ended)
            return;
        ended = true;
        end = why;
        error = text;
    }
    void configure(curl_slist **headers);
    bool headEnded();
    size_t body(const char *data, size_t bytes);

    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onBody(char *data, size_t size, size_t count, void *self);
};

void Transfer::Private::configure(curl_slist **headers)
{
    CURL *e = easy;
    curl_easy_setopt(e, CURLOPT_URL, request.url.constData()); // libcurl copies option strings
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, long(std::max(0, request.maxRedirects)));
    curl_easy_setopt(
        e, CURLOPT_HTTP_VERSION, long(request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L); // a proxy's answer is not the server's
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(std::max(1, request.limits.connectTimeoutMs)));
    // Large reads keep a loopback or LAN download as fast as curl itself.
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, 128L * 1024);
    if (request.decodeContent)
        curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, ""); // every encoding this libcurl decodes
    if (request.readToClose)
        curl_easy_setopt(e, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);

    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, request.acceptInvalidCertificates ? 0L : 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, request.acceptInvalidCertificates ? 0L : 2L);
    const QByteArray caFile = TlsTrust::caFile().toLocal8Bit();
    if (!caFile.isEmpty()) {
        curl_easy_setopt(e, CURLOPT_CAINFO, caFile.constData());
        curl_easy_setopt(e, CURLOPT_CAPATH, nullptr); // that file alone
    }

    if (!request.userAgent.isEmpty())
        curl_easy_setopt(e, CURLOPT_USERAGENT, request.userAgent.constData());
    if (!request.referrer.isEmpty())
        curl_easy_setopt(e, CURLOPT_REFERER, request.referrer.constData());
    if (!request.userName.isEmpty() || !request.password.isEmpty()) {
        curl_easy_setopt(e, CURLOPT_USERNAME, request.userName.constData());
        curl_easy_setopt(e, CURLOPT_PASSWORD, request.password.constData());
    }
    if (!request.postBody.isEmpty()) {
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.postBody.size()));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, request.postBody.constData()); // not copied: kept in request
    }
    for (const QByteArray &line : std::as_const(request.headers))
        *headers = curl_slist_append(*headers, line.constData());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, *headers);

    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Private::onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Private::onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
}

size_t Transfer::Private::onHeader(char *data, size_t size, size_t count, void *self)
{
    auto *p = static_cast<Private *>(self);
    const size_t bytes = size * count;
    p->lastActivity = Clock::now();
    const QByteArray line = QByteArray(data, qsizetype(bytes)).trimmed();
    if (line.isEmpty())
        return p->headEnded() ? bytes : 0;
    // Each answer of a redirect chain, and each interim answer, starts again.
    if (line.startsWith("HTTP/") || line.startsWith("ICY ")) {
        p->head = TransferHead();
        p->head.status = line.split(' ').value(1).toInt();
        return bytes;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0)
        p->head.fields.append({ line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed() });
    return bytes;
}

bool Transfer::Private::headEnded()
{
    if (cancel.isCancelled()) {
        endWith(End::Cancelled, QStringLiteral("cancelled"));
        return false;
    }
    const int status = head.status;
    if (status >= 100 && status < 200)
        return true;
    char *current = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &current);
    const QByteArray location = head.value("location");
    if (isRedirect(status) && !location.isEmpty()) {
        // The protocol rule holds for every address of the chain; libcurl only
        // knows the schemes, not which way a redirect goes.
        const QUrl from = QUrl::fromEncoded(current ? QByteArray(current) : request.url);
        const QUrl to = from.resolved(QUrl::fromEncoded(location, QUrl::TolerantMode));
        if (!isWebScheme(to.scheme())) {
            endWith(End::ProtocolRefused, QStringLiteral("redirect to a %1 address").arg(to.scheme()));
            return false;
        }
        if (isHttps(from) && !isHttps(to) && !request.allowHttpsToHttp) {
            endWith(End::ProtocolRefused, QStringLiteral("redirect from https to http"));
            return false;
        }
        return true;
    }
    head.url = current ? QByteArray(current) : request.url;
    headShown = true;
    // An announced size is refused before any of the body comes; a coded body
    // is counted as it decodes.
    bool lengthKnown = false;
    const qint64 announced = head.value("content-length").toLongLong(&lengthKnown);
    const bool coded = request.decodeContent && !head.value("content-encoding").isEmpty()
        && head.value("content-encoding").toLower() != "identity";
    if (request.limits.maxBytes > 0 && lengthKnown && !coded && announced > request.limits.maxBytes) {
        endWith(End::TooLarge, QStringLiteral("%1 bytes announced").arg(announced));
        return false;
    }
    if (owner->onHead && !owner->onHead(head)) {
        endWith(End::Stopped, QStringLiteral("stopped after the head"));
        return false;
    }
    lastActivity = Clock::now();
    return true;
}

size_t Transfer::Private::onBody(char *data, size_t size, size_t count, void *self)
{
    return static_cast<Private *>(self)->body(data, size * count);
}

size_t Transfer::Private::body(const char *data, size_t bytes)
{
    lastActivity = Clock::now();
    if (cancel.isCancelled()) {
        endWith(End::Cancelled, QStringLiteral("cancelled"));
        return 0;
    }
    if (!headShown) {
        endWith(End::Failed, QStringLiteral("a body without a head"));
        return 0;
    }
    qint64 room = qint64(bytes);
    if (request.limits.maxBytes > 0)
        room = std::min(room, request.limits.maxBytes - total);
    if (room > 0) {
        if (owner->onBody && !owner->onBody(data, room)) {
            endWith(End::Stopped, QStringLiteral("stopped in the body"));
            return 0;
        }
        total += room;
    }
    lastActivity = Clock::now();
    if (room < qint64(bytes)) {
        endWith(End::TooLarge, QStringLiteral("the body passes %1 bytes").arg(request.limits.maxBytes));
        return 0;
    }
    return bytes;
}

Transfer::Transfer(const TransferRequest &request, TransferCancel &cancel)
    : d(std::make_unique<Private>(request, cancel))
{
    d->owner = this;
    initCurl();
}

Transfer::~Transfer() = default;

void Transfer::finishWhenQuietFor(int ms)
{
    d->quietMs = std::max(1, ms);
}

int Transfer::status() const
{
    return d->headShown ? d->head.status : 0;
}

qint64 Transfer::bodyBytes() const
{
    return d->total;
}

QString Transfer::connectionFailureText(End end, const QString &host)
{
    switch (end) {
    case End::Cancelled:
        return QString::fromUtf8("Atualização cancelada.");
    case End::Stalled:
        return QString::fromUtf8("O servidor %1 parou de responder.").arg(host);
    case End::HostNotFound:
        return QString::fromUtf8("Servidor não encontrado: %1.").arg(host);
    case End::ConnectionRefused:
        return QString::fromUtf8("Não foi possível conectar a %1.").arg(host);
    case End::NoAnswer:
        return QString::fromUtf8("O servidor %1 não respondeu a tempo.").arg(host);
    case End::CertificateRefused:
        return QString::fromUtf8("O certificado de segurança de %1 não é válido.").arg(host);
    case End::SecureConnectionFailed:
        return QString::fromUtf8("Falha na conexão segura com %1.").arg(host);
    default:
        return {};
    }
}

QString Transfer::errorText() const
{
    return d->error;
}

Transfer::End Transfer::run()
{
    const QUrl url = QUrl::fromEncoded(d->request.url, QUrl::TolerantMode);
    if (!isWebScheme(url.scheme())) {
        d->endWith(End::ProtocolRefused, QStringLiteral("not an http or https address"));
        return d->end;
    }
    CURLM *multi = curl_multi_init();
    d->easy = curl_easy_init();
    if (!multi || !d->easy) {
        if (d->easy)
            curl_easy_cleanup(d->easy);
        if (multi)
            curl_multi_cleanup(multi);
        d->easy = nullptr;
        d->endWith(End::Failed, QStringLiteral("libcurl could not start"));
        return d->end;
    }
    curl_slist *headers = nullptr;
    d->configure(&headers);
    curl_multi_add_handle(multi, d->easy);
    d->cancel.attach(multi);

    const TransferLimits &limits = d->request.limits;
    const Clock::time_point start = Clock::now();
    d->lastActivity = start;
    const int stallMs = std::max(1, limits.stallTimeoutMs);
    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        const CURLMcode code = curl_multi_perform(multi, &running);
        if (code != CURLM_OK) {
            d->endWith(End::Failed, QString::fromLatin1(curl_multi_strerror(code)));
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg *message = curl_multi_info_read(multi, &left))
                if (message->msg == CURLMSG_DONE)
                    result = message->data.result;
            break;
        }
        if (d->cancel.isCancelled()) {
            d->endWith(End::Cancelled, QStringLiteral("cancelled"));
            break;
        }
        const Clock::time_point now = Clock::now();
        const qint64 silent = msSince(d->lastActivity, now);
        const qint64 elapsed = msSince(start, now);
        if (d->quietMs > 0 && silent >= d->quietMs) {
            d->endWith(End::Finished, QString());
            break;
        }
        if (silent >= stallMs) {
            d->endWith(End::Stalled, QStringLiteral("the server sent nothing for %1 ms").arg(silent));
            break;
        }
        if (limits.totalTimeoutMs > 0 && elapsed >= limits.totalTimeoutMs) {
            d->endWith(End::TimedOut, QStringLiteral("not done after %1 ms").arg(elapsed));
            break;
        }
        qint64 wait = std::min<qint64>(1000, stallMs - silent);
        if (limits.totalTimeoutMs > 0)
            wait = std::min<qint64>(wait, limits.totalTimeoutMs - elapsed);
        if (d->quietMs > 0)
            wait = std::min<qint64>(wait, d->quietMs - silent);
        curl_multi_poll(multi, nullptr, 0, int(std::max<qint64>(1, wait)), nullptr);
    }
    d->cancel.attach(nullptr);
    curl_multi_remove_handle(multi, d->easy);
    curl_easy_cleanup(d->easy);
    d->easy = nullptr;
    curl_multi_cleanup(multi);
    curl_slist_free_all(headers);

    if (!d->ended) {
        // A cancel that came after the last callback still counts.
        if (d->cancel.isCancelled())
            d->endWith(End::Cancelled, QStringLiteral("cancelled"));
        else
            d->endWith(endOf(result),
                result == CURLE_OK ? QString() : QString::fromLatin1(curl_easy_strerror(result)));
    }
    if (d->end != End::Finished && d->end != End::Stopped && d->end != End::Cancelled)
        qCInfo(lumiNet).noquote() << "transfer of" << url.toDisplayString(QUrl::RemoveUserInfo)
                                  << "ended:" << nameOf(d->end) << d->error;
    return d->end;
}

const char *Transfer::nameOf(End end)
{
    switch (end) {
    case End::Finished:
        return "finished";
    case End::Stopped:
        return "stopped";
    case End::Cancelled:
        return "cancelled";
    case End::Stalled:
        return "stalled";
    case End::TimedOut:
        return "timed out";
    case End::TooLarge:
        return "too large";
    case End::NoAnswer:
        return "no answer";
    case End::HostNotFound:
        return "host not found";
    case End::ConnectionRefused:
        return "connection refused";
    case End::CertificateRefused:
        return "certificate refused";
    case End::SecureConnectionFailed:
        return "secure connection failed";
    case End::ProtocolRefused:
        return "protocol refused";
    case End::TooManyRedirects:
        return "too many redirects";
    case End::BadEncoding:
        return "bad content encoding";
    case End::ConnectionLost:
        return "connection lost";
    case End::Failed:
        break;
    }
    return "failed";
}

// --- workers ---

void TransferWorkers::start(std::function<void()> work)
{
    initCurl();
    g_workers.fetch_add(1);
    std::thread([work = std::move(work)]() mutable {
        work();
        work = nullptr; // whatever it holds goes before the count says the worker is gone
        g_workers.fetch_sub(1);
    }).detach();
}

namespace
{
// Lives on the owner's thread until the result has been handed over there.
struct Handover {
    QPointer<QObject> owner; // read on the owner's thread only
    QObject *relay = nullptr;
};
} // namespace

void TransferWorkers::startFor(QObject *owner, std::function<std::function<void()>()> work)
{
    auto handover = std::make_shared<Handover>();
    handover->owner = owner;
    handover->relay = new QObject;
    handover->relay->moveToThread(owner->thread());
    start([handover, work = std::move(work)] {
        std::function<void()> deliver = work();
        QObject *relay = handover->relay;
        QMetaObject::invokeMethod(
            relay,
            [handover, deliver = std::move(deliver)] {
                handover->relay->deleteLater();
                if (handover->owner && deliver)
                    deliver();
            },
            Qt::QueuedConnection);
    });
}

int TransferWorkers::running()
{
    return g_workers.load();
}
