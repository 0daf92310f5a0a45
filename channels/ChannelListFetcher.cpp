#include "channels/ChannelListFetcher.h"

#include "channels/ListAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <curl/curl.h>
#include <mutex>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

constexpr long MaxRedirects = 10;
std::atomic<int> g_workers { 0 };
std::once_flag g_curlInit;

qint64 msSince(Clock::time_point then)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count();
}

ChannelListResult failed(const QString &error)
{
    ChannelListResult result;
    result.error = error;
    return result;
}

QString tooLarge(qint64 maxBytes)
{
    return QString::fromUtf8("A lista passa de %1 MiB e não foi baixada.")
        .arg(double(maxBytes) / (1 << 20), 0, 'g', 3);
}

QString statusText(int status)
{
    return QString::fromUtf8("O servidor respondeu com o código %1.").arg(status);
}

} // namespace

struct ChannelListFetcher::Job {
    enum class Kind { Fetch, Read } kind = Kind::Fetch;
    ChannelListRequest request;
    QString path; // Read
    QPointer<ChannelListFetcher> owner; // the owner's thread only
    QObject *relay = nullptr; // lives on the owner's thread until the result is handed over
    std::atomic<bool> cancelled { false };
    std::mutex multiMutex; // guards multi against cancel()'s wakeup during cleanup
    CURLM *multi = nullptr;
};

namespace
{

class Download
{
public:
    Download(ChannelListFetcher::Job &job)
        : m_job(job)
        , m_request(job.request)
    {
    }

    ChannelListResult run();

private:
    void configure(CURL *easy, curl_slist **headers);
    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onBody(char *data, size_t size, size_t count, void *self);
    QString curlError(CURLcode code) const;

    ChannelListFetcher::Job &m_job;
    const ChannelListRequest &m_request;
    QByteArray m_body;
    QByteArray m_etag;
    QString m_lastModified;
    bool m_tooLarge = false;
    Clock::time_point m_lastActivity;
};

void Download::configure(CURL *easy, curl_slist **headers)
{
    const QByteArray url = QUrl(m_request.address).toEncoded();
    curl_easy_setopt(easy, CURLOPT_URL, url.constData()); // libcurl copies option strings
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, MaxRedirects);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, ""); // every encoding this libcurl decodes
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(std::max(1, m_request.connectTimeoutMs)));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_request.maxBytes));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Lumivortex TV/" LUMI_VERSION);
    if (!m_request.etag.isEmpty())
        *headers = curl_slist_append(*headers, ("If-None-Match: " + m_request.etag).constData());
    if (!m_request.lastModified.isEmpty())
        *headers = curl_slist_append(
            *headers, ("If-Modified-Since: " + m_request.lastModified.toLatin1()).constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, *headers);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Download::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Download::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
}

size_t Download::onHeader(char *data, size_t size, size_t count, void *self)
{
    auto *d = static_cast<Download *>(self);
    const size_t bytes = size * count;
    d->m_lastActivity = Clock::now();
    const QByteArray line = QByteArray(data, qsizetype(bytes)).trimmed();
    // Each answer of a redirect chain starts again; the last one counts.
    if (line.startsWith("HTTP/")) {
        d->m_etag.clear();
        d->m_lastModified.clear();
        return bytes;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return bytes;
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "etag")
        d->m_etag = value;
    else if (name == "last-modified")
        d->m_lastModified = QString::fromLatin1(value);
    return bytes;
}

size_t Download::onBody(char *data, size_t size, size_t count, void *self)
{
    auto *d = static_cast<Download *>(self);
    const size_t bytes = size * count;
    d->m_lastActivity = Clock::now();
    if (d->m_job.cancelled.load())
        return 0;
    // Counted after decompression, so a small gzip bomb is refused as well.
    if (d->m_body.size() + qint64(bytes) > d->m_request.maxBytes) {
        d->m_tooLarge = true;
        return 0;
    }
    d->m_body.append(data, qsizetype(bytes));
    return bytes;
}

QString Download::curlError(CURLcode code) const
{
    const QString host = ListAddress::hostOf(m_request.address);
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return QString::fromUtf8("Servidor não encontrado: %1.").arg(host);
    case CURLE_COULDNT_CONNECT:
        return QString::fromUtf8("Não foi possível conectar a %1.").arg(host);
    case CURLE_OPERATION_TIMEDOUT:
        return QString::fromUtf8("O servidor %1 não respondeu a tempo.").arg(host);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
        return QString::fromUtf8("Falha na conexão segura com %1.").arg(host);
    case CURLE_TOO_MANY_REDIRECTS:
        return QString::fromUtf8("Redirecionamentos demais ao buscar a lista.");
    case CURLE_UNSUPPORTED_PROTOCOL:
        return QString::fromUtf8("A lista foi redirecionada para um endereço que não é http nem https.");
    case CURLE_FILESIZE_EXCEEDED:
        return tooLarge(m_request.maxBytes);
    case CURLE_BAD_CONTENT_ENCODING:
        return QString::fromUtf8("A lista chegou com uma compressão inválida.");
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
        return QString::fromUtf8("A conexão caiu antes do fim da lista.");
    default:
        return QString::fromUtf8("Falha ao baixar a lista (%1).")
            .arg(QString::fromLatin1(curl_easy_strerror(code)));
    }
}

ChannelListResult Download::run()
{
    CURLM *multi = curl_multi_init();
    CURL *easy = curl_easy_init();
    if (!multi || !easy) {
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);
        return failed(QString::fromUtf8("Falha ao baixar a lista (libcurl não iniciou)."));
    }
    curl_slist *headers = nullptr;
    configure(easy, &headers);
    curl_multi_add_handle(multi, easy);
    {
        std::lock_guard<std::mutex> lock(m_job.multiMutex);
        m_job.multi = multi;
    }

    const Clock::time_point start = Clock::now();
    m_lastActivity = start;
    const int stallMs = std::max(1, m_request.stallTimeoutMs);
    const int totalMs = std::max(1, m_request.totalTimeoutMs);
    QString error;
    bool done = false;
    CURLcode code = CURLE_OK;
    while (!done) {
        int running = 0;
        const CURLMcode multiCode = curl_multi_perform(multi, &running);
        if (multiCode != CURLM_OK) {
            error = QString::fromUtf8("Falha ao baixar a lista (%1).")
                        .arg(QString::fromLatin1(curl_multi_strerror(multiCode)));
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg *message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE)
                    code = message->data.result;
            }
            done = true;
            break;
        }
        if (m_job.cancelled.load()) {
            error = QString::fromUtf8("Atualização cancelada.");
            break;
        }
        const qint64 silent = msSince(m_lastActivity);
        if (silent >= stallMs) {
            error = QString::fromUtf8("O servidor %1 parou de responder.")
                        .arg(ListAddress::hostOf(m_request.address));
            break;
        }
        const qint64 elapsed = msSince(start);
        if (elapsed >= totalMs) {
            error = QString::fromUtf8("A lista demorou demais para chegar.");
            break;
        }
        const qint64 wait = std::min<qint64>({ 500, stallMs - silent, totalMs - elapsed });
        curl_multi_poll(multi, nullptr, 0, int(std::max<qint64>(1, wait)), nullptr);
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    {
        std::lock_guard<std::mutex> lock(m_job.multiMutex);
        m_job.multi = nullptr;
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    curl_slist_free_all(headers);

    if (error.isEmpty() && m_job.cancelled.load())
        error = QString::fromUtf8("Atualização cancelada.");
    if (error.isEmpty() && m_tooLarge)
        error = tooLarge(m_request.maxBytes);
    if (error.isEmpty() && done && code != CURLE_OK)
        error = curlError(code);
    if (!error.isEmpty()) {
        ChannelListResult result = failed(error);
        result.httpStatus = int(status);
        return result;
    }

    ChannelListResult result;
    result.httpStatus = int(status);
    result.etag = m_etag;
    result.lastModified = m_lastModified;
    if (status == 304) {
        result.outcome = ChannelListResult::Outcome::NotModified;
        return result;
    }
    if (status < 200 || status > 299) {
        result.error = statusText(int(status));
        return result;
    }
    result.bytes = m_body.size();
    result.list = M3uListReader::parse(m_body, m_request.address);
    // An error page or an empty answer must not replace a good copy.
    if (result.list.channels.isEmpty()) {
        result.list = M3uList();
        result.error = QString::fromUtf8("O conteúdo recebido não é uma lista de canais.");
        return result;
    }
    if (!m_request.cachePath.isEmpty()) {
        QFileInfo(m_request.cachePath).dir().mkpath(QStringLiteral("."));
        QSaveFile file(m_request.cachePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(m_body) != m_body.size() || !file.commit()) {
            result.list = M3uList();
            result.error = QString::fromUtf8("Não foi possível guardar a lista em %1: %2")
                               .arg(m_request.cachePath, file.errorString());
            return result;
        }
    }
    result.outcome = ChannelListResult::Outcome::Updated;
    return result;
}

} // namespace

ChannelListFetcher::ChannelListFetcher(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<ChannelListResult>();
}

ChannelListFetcher::~ChannelListFetcher()
{
    // Not waited for: the worker stops at its next checkpoint, and its result,
    // finding no owner, reaches nothing of ours.
    cancel();
}

bool ChannelListFetcher::fetch(const ChannelListRequest &request)
{
    if (m_job || !ListAddress::isRemote(request.address))
        return false;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Fetch;
    job->request = request;
    return startJob(job);
}

bool ChannelListFetcher::read(const QString &path, const QString &baseAddress)
{
    if (m_job)
        return false;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Read;
    job->path = path;
    job->request.address = baseAddress;
    return startJob(job);
}

bool ChannelListFetcher::startJob(const std::shared_ptr<Job> &job)
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
    job->owner = this;
    job->relay = new QObject; // on our thread, so the result is handed over here
    m_job = job;
    g_workers.fetch_add(1);
    std::thread([job = job]() mutable {
        const ChannelListResult result
            = job->kind == Job::Kind::Read ? readFile(job->path, job->request.address) : Download(*job).run();
        QObject *relay = job->relay;
        QMetaObject::invokeMethod(
            relay,
            [job, result] {
                job->relay->deleteLater();
                if (job->owner)
                    job->owner->complete(job, result);
            },
            Qt::QueuedConnection);
        job.reset();
        g_workers.fetch_sub(1);
    }).detach();
    return true;
}

void ChannelListFetcher::cancel()
{
    if (!m_job)
        return;
    m_job->cancelled.store(true);
    std::lock_guard<std::mutex> lock(m_job->multiMutex);
    if (m_job->multi)
        curl_multi_wakeup(m_job->multi);
}

void ChannelListFetcher::complete(const std::shared_ptr<Job> &job, const ChannelListResult &result)
{
    if (m_job != job)
        return;
    m_job.reset(); // first, so a slot may start the next job
    emit finished(result);
}

ChannelListResult ChannelListFetcher::readFile(const QString &path, const QString &baseAddress)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failed(QString::fromUtf8("O arquivo %1 não existe.").arg(path));
    // A pipe would block the open, a device never ends: only plain files are read.
    if (!info.isFile())
        return failed(QString::fromUtf8("%1 não é um arquivo comum.").arg(path));
    const QString large
        = QString::fromUtf8("O arquivo %1 passa de %2 MiB.").arg(path).arg(M3uListReader::MaxBytes >> 20);
    if (info.size() > M3uListReader::MaxBytes)
        return failed(large);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QString::fromUtf8("Não foi possível ler %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.read(M3uListReader::MaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return failed(QString::fromUtf8("Não foi possível ler %1: %2").arg(path, file.errorString()));
    if (bytes.size() > M3uListReader::MaxBytes)
        return failed(large);
    ChannelListResult result;
    result.bytes = bytes.size();
    result.list = M3uListReader::parse(bytes, baseAddress);
    if (result.list.channels.isEmpty()) {
        result.list = M3uList();
        result.error = QString::fromUtf8("Nenhum canal encontrado em %1.").arg(path);
        return result;
    }
    result.outcome = ChannelListResult::Outcome::Updated;
    return result;
}

int ChannelListFetcher::runningWorkers()
{
    return g_workers.load();
}
