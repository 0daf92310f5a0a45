#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <chrono>
#include <curl/curl.h>
#include <functional>
#include <mutex>

// Stops a running transfer from another thread: the flag is checked between
// polls, and the wakeup ends the poll at once instead of at its timeout.
class TransferCancel
{
public:
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

private:
    friend class CurlTransfer;
    void attach(CURLM *multi);

    std::atomic<bool> m_cancelled { false };
    std::mutex m_mutex; // guards m_multi against the wakeup during cleanup
    CURLM *m_multi = nullptr;
};

struct TransferLimits {
    qint64 maxBytes = 0; // counted after decompression, so a small gzip bomb is refused as well
    int connectTimeoutMs = 15000;
    int stallTimeoutMs = 30000; // the server sent nothing for this long
    int totalTimeoutMs = 5 * 60 * 1000;
};

// One GET over HTTP/1.1 or HTTPS with libcurl, on the calling thread (a worker):
// http(s) only, redirects included, every encoding libcurl decodes, the limits
// above. Used by the channel-list fetcher and the logo cache.
class CurlTransfer
{
public:
    enum class End {
        Finished, // an answer came: see status() and body()
        Cancelled,
        Stalled,
        TimedOut,
        TooLarge,
        Failed, // code() or multiError() says why
    };

    CurlTransfer(const QString &address, const TransferLimits &limits, TransferCancel &cancel);

    void addHeader(const QByteArray &line) { m_extraHeaders.append(line); }
    // Each header line of each answer, trimmed; a redirect's answers come too.
    void setHeaderHandler(std::function<void(const QByteArray &line)> handler)
    {
        m_onHeader = std::move(handler);
    }

    End run();

    long status() const { return m_status; }
    const QByteArray &body() const { return m_body; }
    CURLcode code() const { return m_code; }
    QString multiError() const { return m_multiError; }

    // Runs work on a detached thread counted by runningWorkers(). libcurl is set up
    // before the first, and the program's exit waits a moment for workers left.
    static void startWorker(std::function<void()> work);
    static int runningWorkers();

private:
    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onBody(char *data, size_t size, size_t count, void *self);

    QString m_address;
    TransferLimits m_limits;
    TransferCancel &m_cancel;
    QList<QByteArray> m_extraHeaders;
    std::function<void(const QByteArray &)> m_onHeader;
    QByteArray m_body;
    bool m_tooLarge = false;
    long m_status = 0;
    CURLcode m_code = CURLE_OK;
    QString m_multiError;
    std::chrono::steady_clock::time_point m_lastActivity;
};
