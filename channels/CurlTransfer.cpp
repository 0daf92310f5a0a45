#include "channels/CurlTransfer.h"

#include <QUrl>
#include <algorithm>
#include <chrono>
#include <cstdlib>
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

} // namespace

void TransferCancel::cancel()
{
    m_cancelled.store(true);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_multi)
        curl_multi_wakeup(m_multi);
}

void TransferCancel::attach(CURLM *multi)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_multi = multi;
}

CurlTransfer::CurlTransfer(const QString &address, const TransferLimits &limits, TransferCancel &cancel)
    : m_address(address)
    , m_limits(limits)
    , m_cancel(cancel)
{
}

size_t CurlTransfer::onHeader(char *data, size_t size, size_t count, void *self)
{
    auto *t = static_cast<CurlTransfer *>(self);
    const size_t bytes = size * count;
    t->m_lastActivity = Clock::now();
    if (t->m_onHeader)
        t->m_onHeader(QByteArray(data, qsizetype(bytes)).trimmed());
    return bytes;
}

size_t CurlTransfer::onBody(char *data, size_t size, size_t count, void *self)
{
    auto *t = static_cast<CurlTransfer *>(self);
    const size_t bytes = size * count;
    t->m_lastActivity = Clock::now();
    if (t->m_cancel.isCancelled())
        return 0;
    if (t->m_body.size() + qint64(bytes) > t->m_limits.maxBytes) {
        t->m_tooLarge = true;
        return 0;
    }
    t->m_body.append(data, qsizetype(bytes));
    return bytes;
}

CurlTransfer::End CurlTransfer::run()
{
    CURLM *multi = curl_multi_init();
    CURL *easy = curl_easy_init();
    if (!multi || !easy) {
        if (easy)
            curl_easy_cleanup(easy);
        if (multi)
            curl_multi_cleanup(multi);
        m_multiError = QString::fromUtf8("libcurl não iniciou");
        return End::Failed;
    }
    const QByteArray url = QUrl(m_address).toEncoded();
    curl_easy_setopt(easy, CURLOPT_URL, url.constData()); // libcurl copies option strings
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, MaxRedirects);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, ""); // every encoding this libcurl decodes
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(std::max(1, m_limits.connectTimeoutMs)));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(m_limits.maxBytes));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Lumivortex TV/" LUMI_VERSION);
    curl_slist *headers = nullptr;
    for (const QByteArray &line : std::as_const(m_extraHeaders))
        headers = curl_slist_append(headers, line.constData());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_multi_add_handle(multi, easy);
    m_cancel.attach(multi);

    const Clock::time_point start = Clock::now();
    m_lastActivity = start;
    const int stallMs = std::max(1, m_limits.stallTimeoutMs);
    const int totalMs = std::max(1, m_limits.totalTimeoutMs);
    End end = End::Finished;
    bool stopped = false;
    for (;;) {
        int running = 0;
        const CURLMcode multiCode = curl_multi_perform(multi, &running);
        if (multiCode != CURLM_OK) {
            m_multiError = QString::fromLatin1(curl_multi_strerror(multiCode));
            end = End::Failed;
            stopped = true;
            break;
        }
        if (running == 0) {
            int left = 0;
            while (CURLMsg *message = curl_multi_info_read(multi, &left)) {
                if (message->msg == CURLMSG_DONE)
                    m_code = message->data.result;
            }
            break;
        }
        stopped = true;
        if (m_cancel.isCancelled()) {
            end = End::Cancelled;
            break;
        }
        const qint64 silent = msSince(m_lastActivity);
        if (silent >= stallMs) {
            end = End::Stalled;
            break;
        }
        const qint64 elapsed = msSince(start);
        if (elapsed >= totalMs) {
            end = End::TimedOut;
            break;
        }
        stopped = false;
        const qint64 wait = std::min<qint64>({ 500, stallMs - silent, totalMs - elapsed });
        curl_multi_poll(multi, nullptr, 0, int(std::max<qint64>(1, wait)), nullptr);
    }
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &m_status);
    m_cancel.attach(nullptr);
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    curl_slist_free_all(headers);

    if (stopped)
        return end;
    if (m_cancel.isCancelled())
        return End::Cancelled;
    if (m_tooLarge)
        return End::TooLarge;
    return m_code == CURLE_OK ? End::Finished : End::Failed;
}

void CurlTransfer::startWorker(std::function<void()> work)
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
    g_workers.fetch_add(1);
    std::thread([work = std::move(work)]() mutable {
        work();
        work = nullptr; // whatever it holds goes before the count says the worker is gone
        g_workers.fetch_sub(1);
    }).detach();
}

int CurlTransfer::runningWorkers()
{
    return g_workers.load();
}
