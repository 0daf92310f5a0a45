#include "update/HttpDownload.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;

// The component has always read the body in blocks of 1025 bytes; each block is
// one cancel checkpoint and one progress step.
constexpr qint64 kBlockSize = 1025;
// A server that keeps the connection open after the whole announced body is
// given this long to show excess bytes before the body counts as complete.
constexpr int kCompleteGraceMs = 1000;
constexpr long kMaxRedirects = 10;

std::atomic<int> g_workers { 0 };
std::once_flag g_curlInit;

qint64 msSince(Clock::time_point then, Clock::time_point now)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - then).count();
}

// curl refuses addresses with spaces or bytes above ASCII; WinInet sent them
// as they stood, so escape only those.
QByteArray escapeForUrl(const QString &text)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7f || std::strchr("\"<>\\^`{|}", c)) {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

// Reads a Content-Length value; false when it is not a plain decimal number.
bool parseLength(const QByteArray &text, qint64 *value)
{
    const QByteArray digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 18)
        return false;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
    }
    *value = digits.toLongLong();
    return true;
}

} // namespace

struct HttpDownload::Transfer {
    Settings settings;
    TOnProgressEvent onProgress; // the handler assigned when the transfer started
    HttpDownload *owner = nullptr; // owner's thread only; cleared when the component goes
    QObject *relay = nullptr; // lives on the owner's thread; deleted by the completion
    std::atomic<bool> cancelled { false };
    std::mutex multiMutex; // guards multi against Cancel's wakeup during cleanup
    CURLM *multi = nullptr;

    // Runs on the owner's thread (Transfer may reach HttpDownload's private parts).
    static void finish(const std::shared_ptr<Transfer> &t, bool success, qint64 announced, bool createdFile,
        const QString &error)
    {
        t->relay->deleteLater();
        if (t->owner)
            t->owner->complete(t, success, announced, createdFile, error);
    }
};

namespace
{

class Worker
{
public:
    explicit Worker(std::shared_ptr<HttpDownload::Transfer> transfer)
        : m_t(std::move(transfer))
        , m_s(m_t->settings)
    {
    }

    void run()
    {
        const bool success = !m_t->cancelled.load() && perform();
        if (m_t->cancelled.load())
            fail(QStringLiteral("cancelled"));
        const auto t = m_t;
        const qint64 announced = m_announced < 0 ? 0 : m_announced;
        const QString error = m_error;
        const bool createdFile = m_createdFile;
        QMetaObject::invokeMethod(
            t->relay,
            [t, success, announced, createdFile, error] {
                HttpDownload::Transfer::finish(t, success, announced, createdFile, error);
            },
            Qt::BlockingQueuedConnection);
    }

private:
    bool perform();
    void configure(CURL *easy, curl_slist **headers, const HttpUrlParts &parts);
    bool headersEnded();
    bool writeBody(const char *data, qint64 size);
    void handOverProgress();
    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }

    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onBody(char *data, size_t size, size_t count, void *self);

    std::shared_ptr<HttpDownload::Transfer> m_t;
    const HttpDownload::Settings &m_s;
    QFile m_file;
    bool m_createdFile = false;
    QByteArray m_post;

    // The response being received; reset by every status line, since redirects
    // and interim answers come before the final one.
    int m_status = 0;
    bool m_hasLocation = false;
    qint64 m_announced = -1;
    bool m_lengthMalformed = false;
    bool m_finalHeaders = false;
    int m_redirects = 0;

    qint64 m_total = 0;
    Clock::time_point m_lastActivity;
    Clock::time_point m_lastProgress;
    bool m_progressPending = false;
    QString m_error;
};

void Worker::configure(CURL *easy, curl_slist **headers, const HttpUrlParts &parts)
{
    const QByteArray url = "http://" + escapeForUrl(parts.host) + ':' + QByteArray::number(parts.port)
        + escapeForUrl(parts.path);
    curl_easy_setopt(easy, CURLOPT_URL, url.constData()); // libcurl copies option strings
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(std::max(1, m_s.StallTimeoutMs)));
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 128L * 1024);
    // We read to the end of the connection and judge the length ourselves, so a
    // body that runs past its Content-Length is seen, not silently cut.
    curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    if (!m_s.Agent.isEmpty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, m_s.Agent.toUtf8().constData());
    if (!m_s.Referer.isEmpty())
        curl_easy_setopt(easy, CURLOPT_REFERER, m_s.Referer.toUtf8().constData());
    if (!m_s.UserName.isEmpty() || !m_s.Password.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, m_s.UserName.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, m_s.Password.toUtf8().constData());
    }

    *headers = curl_slist_append(*headers, ("Accept: " + m_s.AcceptTypes.toUtf8()).constData());
    if (!m_s.UseCache) {
        *headers = curl_slist_append(*headers, "Cache-Control: no-cache");
        *headers = curl_slist_append(*headers, "Pragma: no-cache");
    }
    if (!m_s.PostQuery.isEmpty()) {
        m_post = m_s.PostQuery.toUtf8();
        *headers = curl_slist_append(*headers, "Content-Type: application/x-www-form-urlencoded");
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(m_post.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, m_post.constData());
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, *headers);

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Worker::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Worker::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
}

bool Worker::perform()
{
    const HttpUrlParts parts = HttpDownload::splitUrl(m_s.URL);
    if (!parts.valid) {
        fail(QStringLiteral("not an http address: ") + m_s.URL);
        return false;
    }

    CURLM *multi = curl_multi_init();
    CURL *easy = curl_easy_init();
    curl_slist *headers = nullptr;
    if (!multi || !easy) {
        fail(QStringLiteral("libcurl could not start"));
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);
        return false;
    }
    configure(easy, &headers, parts);
    curl_multi_add_handle(multi, easy);
    {
        std::lock_guard<std::mutex> lock(m_t->multiMutex);
        m_t->multi = multi;
    }

    const int stallMs = std::max(1, m_s.StallTimeoutMs);
    m_lastActivity = Clock::now();
    m_lastProgress = m_lastActivity - std::chrono::hours(1);
    bool finished = false;
    bool completeWithoutClose = false;
    CURLcode result = CURLE_OK;
    Clock::time_point completeSince {};
    bool complete = false;
    for (;;) {
        int running = 0;
        const CURLMcode code = curl_multi_perform(multi, &running);
        if (code != CURLM_OK) {
            fail(QString::fromLatin1(curl_multi_strerror(code)));
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg *msg = curl_multi_info_read(multi, &left)) {
                if (msg->msg == CURLMSG_DONE)
                    result = msg->data.result;
            }
            finished = true;
            break;
        }
        if (m_t->cancelled.load()) {
            fail(QStringLiteral("cancelled"));
            break;
        }
        const Clock::time_point now = Clock::now();
        const qint64 silent = msSince(m_lastActivity, now);
        if (silent >= stallMs) {
            fail(QStringLiteral("the server sent nothing for %1 ms").arg(silent));
            break;
        }
        int timeout = int(std::min<qint64>(1000, stallMs - silent));
        if (m_finalHeaders && m_announced >= 0 && m_total == m_announced && m_error.isEmpty()) {
            if (!complete) {
                complete = true;
                completeSince = now;
            }
            const qint64 waited = msSince(completeSince, now);
            if (waited >= kCompleteGraceMs) {
                completeWithoutClose = true;
                break;
            }
            timeout = int(std::min<qint64>(timeout, kCompleteGraceMs - waited));
        } else {
            complete = false;
        }
        curl_multi_poll(multi, nullptr, 0, std::max(1, timeout), nullptr);
    }
    {
        std::lock_guard<std::mutex> lock(m_t->multiMutex);
        m_t->multi = nullptr;
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    curl_slist_free_all(headers);

    if (m_file.isOpen()) {
        if (!m_file.flush())
            fail(QStringLiteral("cannot write %1: %2").arg(m_s.FileName, m_file.errorString()));
        m_file.close();
    }
    if (m_progressPending && !m_t->cancelled.load())
        handOverProgress();

    if (finished && result != CURLE_OK)
        fail(QString::fromLatin1(curl_easy_strerror(result)));
    if (!finished && !completeWithoutClose)
        fail(QStringLiteral("transfer ended early"));
    if (m_error.isEmpty() && !m_finalHeaders)
        fail(QStringLiteral("no answer"));
    if (m_error.isEmpty() && m_total != std::max<qint64>(0, m_announced)) {
        fail(m_announced < 0 ? QStringLiteral("a body of %1 bytes without Content-Length").arg(m_total)
                             : QStringLiteral("%1 of %2 announced bytes").arg(m_total).arg(m_announced));
    }
    return m_error.isEmpty();
}

size_t Worker::onHeader(char *data, size_t size, size_t count, void *self)
{
    auto *w = static_cast<Worker *>(self);
    const size_t bytes = size * count;
    const QByteArray line = QByteArray(data, qsizetype(bytes)).trimmed();
    w->m_lastActivity = Clock::now();
    if (line.isEmpty())
        return w->headersEnded() ? bytes : 0;
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> words = line.split(' ');
        w->m_status = words.value(1).toInt();
        w->m_hasLocation = false;
        w->m_announced = -1;
        w->m_lengthMalformed = false;
        return bytes;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return bytes;
    const QByteArray name = line.left(colon).trimmed().toLower();
    if (name == "location") {
        w->m_hasLocation = true;
    } else if (name == "content-length") {
        qint64 value = 0;
        if (!parseLength(line.mid(colon + 1), &value) || (w->m_announced >= 0 && w->m_announced != value))
            w->m_lengthMalformed = true;
        else
            w->m_announced = value;
    }
    return bytes;
}

bool Worker::headersEnded()
{
    if (m_t->cancelled.load()) {
        fail(QStringLiteral("cancelled"));
        return false;
    }
    if (m_status >= 100 && m_status < 200)
        return true;
    const bool redirect
        = (m_status == 301 || m_status == 302 || m_status == 303 || m_status == 307 || m_status == 308)
        && m_hasLocation && m_redirects < kMaxRedirects;
    if (redirect) {
        ++m_redirects;
        return true;
    }
    m_finalHeaders = true;
    if (m_status < 200 || m_status > 299) {
        fail(QStringLiteral("HTTP status %1").arg(m_status));
        return false;
    }
    if (m_lengthMalformed) {
        fail(QStringLiteral("malformed Content-Length"));
        return false;
    }
    if (m_announced < 0 && m_s.BinaryData) {
        fail(QStringLiteral("no Content-Length"));
        return false;
    }
    if (m_s.MaxBytes > 0 && m_announced > m_s.MaxBytes) {
        fail(QStringLiteral("%1 bytes announced, limit %2").arg(m_announced).arg(m_s.MaxBytes));
        return false;
    }
    m_file.setFileName(m_s.FileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(QStringLiteral("cannot create %1: %2").arg(m_s.FileName, m_file.errorString()));
        return false;
    }
    m_createdFile = true;
    return true;
}

size_t Worker::onBody(char *data, size_t size, size_t count, void *self)
{
    auto *w = static_cast<Worker *>(self);
    const size_t bytes = size * count;
    return w->writeBody(data, qint64(bytes)) ? bytes : 0;
}

bool Worker::writeBody(const char *data, qint64 size)
{
    m_lastActivity = Clock::now();
    if (!m_finalHeaders || !m_file.isOpen()) {
        fail(QStringLiteral("body without headers"));
        return false;
    }
    const int interval = std::max(0, m_s.ProgressIntervalMs);
    for (qint64 offset = 0; offset < size; offset += kBlockSize) {
        if (m_t->cancelled.load()) {
            fail(QStringLiteral("cancelled"));
            return false;
        }
        qint64 block = std::min(kBlockSize, size - offset);
        // Never keep more than was announced or than the instance allows.
        qint64 room = block;
        if (m_announced >= 0)
            room = std::min(room, m_announced - m_total);
        if (m_s.MaxBytes > 0)
            room = std::min(room, m_s.MaxBytes - m_total);
        if (room > 0 && m_file.write(data + offset, room) != room) {
            fail(QStringLiteral("cannot write %1: %2").arg(m_s.FileName, m_file.errorString()));
            return false;
        }
        m_total += std::max<qint64>(0, room);
        if (room < block) {
            fail(m_announced >= 0 && m_total >= m_announced
                    ? QStringLiteral("body runs past its Content-Length of %1").arg(m_announced)
                    : QStringLiteral("body passes the limit of %1 bytes").arg(m_s.MaxBytes));
            return false;
        }
        if (m_t->onProgress) {
            m_progressPending = true;
            const Clock::time_point now = Clock::now();
            if (interval == 0 || msSince(m_lastProgress, now) >= interval) {
                if (!m_file.flush()) {
                    fail(QStringLiteral("cannot write %1: %2").arg(m_s.FileName, m_file.errorString()));
                    return false;
                }
                handOverProgress();
            }
        }
    }
    // What arrived is on disk before the next wait, as block-wise writes would leave it.
    if (!m_file.flush()) {
        fail(QStringLiteral("cannot write %1: %2").arg(m_s.FileName, m_file.errorString()));
        return false;
    }
    return true;
}

void Worker::handOverProgress()
{
    m_progressPending = false;
    m_lastProgress = Clock::now();
    const auto t = m_t;
    const qint64 total = m_announced < 0 ? 0 : m_announced;
    const qint64 readed = m_total;
    QMetaObject::invokeMethod(
        t->relay,
        [t, total, readed] {
            if (t->owner && t->onProgress)
                t->onProgress(t->owner, total, readed);
        },
        Qt::BlockingQueuedConnection);
    // Time spent waiting for the owner is not the server's silence.
    m_lastActivity = Clock::now();
}

} // namespace

HttpDownload::HttpDownload(QObject *parent)
    : QObject(parent)
{
}

HttpDownload::~HttpDownload()
{
    // The worker is not waited for: it stops at its next checkpoint and its
    // completion, finding no owner, reaches nothing of ours.
    if (m_transfer) {
        Cancel();
        m_transfer->owner = nullptr;
        m_transfer.reset();
    }
}

void HttpDownload::StartDownload()
{
    if (m_transfer)
        return;
    std::call_once(g_curlInit, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        // Workers released when the application object went are given a moment
        // to finish before static destructors run under them.
        std::atexit([] {
            for (int i = 0; i < 400 && g_workers.load() > 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
    });

    auto transfer = std::make_shared<Transfer>();
    transfer->settings = m_settings;
    transfer->onProgress = OnProgress;
    transfer->owner = this;
    transfer->relay = new QObject; // on our thread, so hand-overs run here
    m_transfer = transfer;

    g_workers.fetch_add(1);
    std::thread([transfer]() mutable {
        Worker(transfer).run();
        transfer.reset();
        g_workers.fetch_sub(1);
    }).detach();

    if (m_waitThread) {
        QPointer<HttpDownload> self(this);
        while (self && self->m_transfer == transfer)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void HttpDownload::Cancel()
{
    if (!m_transfer)
        return;
    m_transfer->cancelled.store(true);
    std::lock_guard<std::mutex> lock(m_transfer->multiMutex);
    if (m_transfer->multi)
        curl_multi_wakeup(m_transfer->multi);
}

QString HttpDownload::runningFileName() const
{
    return m_transfer ? m_transfer->settings.FileName : QString();
}

void HttpDownload::complete(const std::shared_ptr<Transfer> &transfer, bool success, qint64 announced,
    bool createdFile, const QString &error)
{
    if (m_transfer != transfer)
        return;
    // A Cancel that came after the worker's last checkpoint still counts.
    const bool ok = success && !transfer->cancelled.load();
    m_transfer.reset();
    transfer->owner = nullptr;
    m_lastError = ok ? QString() : (transfer->cancelled.load() ? QStringLiteral("cancelled") : error);
    m_lastCreatedFile = createdFile;
    // Cleared before the handlers run, so they may start the next transfer.
    if (ok) {
        if (OnDoneFile)
            OnDoneFile(this, transfer->settings.FileName, announced);
    } else if (OnError) {
        OnError(this);
    }
}

HttpUrlParts HttpDownload::splitUrl(const QString &url)
{
    HttpUrlParts parts;
    QString rest = url;
    if (rest.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        rest = rest.mid(7);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    // Without a "/" the whole text is the host and the root is asked for.
    QString host = slash < 0 ? rest : rest.left(slash);
    parts.path = slash < 0 ? QStringLiteral("/") : rest.mid(slash);

    qsizetype colon = -1;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        if (close < 0)
            return parts;
        if (close + 1 < host.size()) {
            if (host.at(close + 1) != QLatin1Char(':'))
                return parts;
            colon = close + 1;
        }
    } else {
        colon = host.indexOf(QLatin1Char(':'));
    }
    if (colon >= 0) {
        const QString portText = host.mid(colon + 1);
        bool ok = false;
        const uint port = portText.toUInt(&ok, 10);
        for (const QChar c : portText) {
            if (!c.isDigit())
                ok = false;
        }
        if (!ok || port == 0 || port > 65535)
            return parts;
        parts.port = quint16(port);
        host = host.left(colon);
    }
    // Credentials in the address are not understood; such text makes no host.
    if (host.isEmpty() || host.contains(QLatin1Char('@')) || host.contains(QLatin1Char(' ')))
        return parts;
    parts.host = host;
    parts.valid = true;
    return parts;
}

int HttpDownload::runningWorkers()
{
    return g_workers.load();
}
