#include "update/HttpDownload.h"

#include "net/Transfer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <algorithm>
#include <chrono>
#include <cstring>

namespace
{

using Clock = std::chrono::steady_clock;

// The component has always read the body in blocks of 1025 bytes; each block is
// one cancel checkpoint and one progress step.
constexpr qint64 kBlockSize = 1025;
// A server that keeps the connection open after the whole announced body is
// given this long to show excess bytes before the body counts as complete.
constexpr int kCompleteGraceMs = 1000;
constexpr int kMaxRedirects = 10;

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

struct HttpDownload::Job {
    Settings settings;
    TOnProgressEvent onProgress; // the handler assigned when the transfer started
    HttpDownload *owner = nullptr; // owner's thread only; cleared when the component goes
    QObject *relay = nullptr; // lives on the owner's thread; deleted by the completion
    TransferCancel cancel;

    // Runs on the owner's thread (Job may reach HttpDownload's private parts).
    static void finish(const std::shared_ptr<Job> &job, bool success, qint64 announced, bool createdFile,
        const QString &error)
    {
        job->relay->deleteLater();
        if (job->owner)
            job->owner->complete(job, success, announced, createdFile, error);
    }
};

namespace
{

class Worker
{
public:
    explicit Worker(std::shared_ptr<HttpDownload::Job> job)
        : m_job(std::move(job))
        , m_s(m_job->settings)
    {
    }

    void run()
    {
        const bool success = !m_job->cancel.isCancelled() && perform();
        if (m_job->cancel.isCancelled())
            fail(QStringLiteral("cancelled"));
        const auto job = m_job;
        const qint64 announced = m_announced < 0 ? 0 : m_announced;
        const QString error = m_error;
        const bool createdFile = m_createdFile;
        QMetaObject::invokeMethod(
            job->relay,
            [job, success, announced, createdFile, error] {
                HttpDownload::Job::finish(job, success, announced, createdFile, error);
            },
            Qt::BlockingQueuedConnection);
    }

private:
    bool perform();
    TransferRequest request(const HttpUrlParts &parts) const;
    bool headArrived(const TransferHead &head);
    bool writeBody(const char *data, qint64 size);
    void handOverProgress();
    void fail(const QString &why)
    {
        if (m_error.isEmpty())
            m_error = why;
    }

    std::shared_ptr<HttpDownload::Job> m_job;
    const HttpDownload::Settings &m_s;
    Transfer *m_transfer = nullptr; // while perform() runs
    QFile m_file;
    bool m_createdFile = false;

    qint64 m_announced = -1;
    bool m_finalHeaders = false;
    qint64 m_total = 0;
    Clock::time_point m_lastProgress;
    bool m_progressPending = false;
    QString m_error;
};

TransferRequest Worker::request(const HttpUrlParts &parts) const
{
    TransferRequest r;
    r.url = "http://" + escapeForUrl(parts.host) + ':' + QByteArray::number(parts.port)
        + escapeForUrl(parts.path);
    r.http10 = true;
    r.decodeContent = false; // the file gets the body as the server sent it
    // We read to the end of the connection and judge the length ourselves, so a
    // body that runs past its Content-Length is seen, not silently cut.
    r.readToClose = true;
    r.maxRedirects = kMaxRedirects;
    r.userAgent = m_s.Agent.toUtf8();
    r.referrer = m_s.Referer.toUtf8();
    r.userName = m_s.UserName.toUtf8();
    r.password = m_s.Password.toUtf8();
    r.headers.append("Accept: " + m_s.AcceptTypes.toUtf8());
    if (!m_s.UseCache) {
        r.headers.append("Cache-Control: no-cache");
        r.headers.append("Pragma: no-cache");
    }
    if (!m_s.PostQuery.isEmpty()) {
        r.postBody = m_s.PostQuery.toUtf8();
        r.headers.append("Content-Type: application/x-www-form-urlencoded");
    }
    const int stallMs = std::max(1, m_s.StallTimeoutMs);
    r.limits = { std::max<qint64>(0, m_s.MaxBytes), stallMs, stallMs, 0 };
    return r;
}

bool Worker::perform()
{
    const HttpUrlParts parts = HttpDownload::splitUrl(m_s.URL);
    if (!parts.valid) {
        fail(QStringLiteral("not an http address: ") + m_s.URL);
        return false;
    }
    Transfer transfer(request(parts), m_job->cancel);
    transfer.onHead = [this](const TransferHead &head) { return headArrived(head); };
    transfer.onBody = [this](const char *data, qint64 size) { return writeBody(data, size); };
    m_transfer = &transfer;
    m_lastProgress = Clock::now() - std::chrono::hours(1);
    const Transfer::End end = transfer.run();
    m_transfer = nullptr;

    if (m_file.isOpen()) {
        if (!m_file.flush())
            fail(QStringLiteral("cannot write %1: %2").arg(m_s.FileName, m_file.errorString()));
        m_file.close();
    }
    if (m_progressPending && !m_job->cancel.isCancelled())
        handOverProgress();

    switch (end) {
    case Transfer::End::Finished:
    case Transfer::End::Stopped: // our own handlers said why
        break;
    case Transfer::End::Cancelled:
        fail(QStringLiteral("cancelled"));
        break;
    case Transfer::End::TooLarge:
        fail(QStringLiteral("body passes the limit of %1 bytes").arg(m_s.MaxBytes));
        break;
    default:
        fail(transfer.errorText());
        break;
    }
    if (m_error.isEmpty() && !m_finalHeaders)
        fail(QStringLiteral("no answer"));
    if (m_error.isEmpty() && m_total != std::max<qint64>(0, m_announced)) {
        fail(m_announced < 0 ? QStringLiteral("a body of %1 bytes without Content-Length").arg(m_total)
                             : QStringLiteral("%1 of %2 announced bytes").arg(m_total).arg(m_announced));
    }
    return m_error.isEmpty();
}

bool Worker::headArrived(const TransferHead &head)
{
    m_finalHeaders = true;
    if (head.status < 200 || head.status > 299) {
        fail(QStringLiteral("HTTP status %1").arg(head.status));
        return false;
    }
    const QList<QByteArray> lengths = head.values("content-length");
    for (const QByteArray &text : lengths) {
        qint64 value = 0;
        if (!parseLength(text, &value) || (m_announced >= 0 && m_announced != value)) {
            fail(QStringLiteral("malformed Content-Length"));
            return false;
        }
        m_announced = value;
    }
    if (m_announced < 0 && m_s.BinaryData) {
        fail(QStringLiteral("no Content-Length"));
        return false;
    }
    m_file.setFileName(m_s.FileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(QStringLiteral("cannot create %1: %2").arg(m_s.FileName, m_file.errorString()));
        return false;
    }
    m_createdFile = true;
    if (m_announced == 0)
        m_transfer->finishWhenQuietFor(kCompleteGraceMs);
    return true;
}

bool Worker::writeBody(const char *data, qint64 size)
{
    const int interval = std::max(0, m_s.ProgressIntervalMs);
    for (qint64 offset = 0; offset < size; offset += kBlockSize) {
        if (m_job->cancel.isCancelled()) {
            fail(QStringLiteral("cancelled"));
            return false;
        }
        const qint64 block = std::min(kBlockSize, size - offset);
        // Never keep more than was announced.
        const qint64 room = m_announced >= 0 ? std::min(block, m_announced - m_total) : block;
        if (room > 0 && m_file.write(data + offset, room) != room) {
            fail(QStringLiteral("cannot write %1: %2").arg(m_s.FileName, m_file.errorString()));
            return false;
        }
        m_total += std::max<qint64>(0, room);
        if (room < block) {
            fail(QStringLiteral("body runs past its Content-Length of %1").arg(m_announced));
            return false;
        }
        if (m_job->onProgress) {
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
    if (m_announced >= 0 && m_total == m_announced)
        m_transfer->finishWhenQuietFor(kCompleteGraceMs);
    return true;
}

void Worker::handOverProgress()
{
    m_progressPending = false;
    m_lastProgress = Clock::now();
    const auto job = m_job;
    const qint64 total = m_announced < 0 ? 0 : m_announced;
    const qint64 readed = m_total;
    QMetaObject::invokeMethod(
        job->relay,
        [job, total, readed] {
            if (job->owner && job->onProgress)
                job->onProgress(job->owner, total, readed);
        },
        Qt::BlockingQueuedConnection);
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
    if (m_job) {
        Cancel();
        m_job->owner = nullptr;
        m_job.reset();
    }
}

void HttpDownload::StartDownload()
{
    if (m_job)
        return;
    auto job = std::make_shared<Job>();
    job->settings = m_settings;
    job->onProgress = OnProgress;
    job->owner = this;
    job->relay = new QObject; // on our thread, so hand-overs run here
    m_job = job;
    TransferWorkers::start([job]() mutable {
        Worker(job).run();
        job.reset();
    });

    if (m_waitThread) {
        QPointer<HttpDownload> self(this);
        while (self && self->m_job == job)
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void HttpDownload::Cancel()
{
    if (m_job)
        m_job->cancel.cancel();
}

QString HttpDownload::runningFileName() const
{
    return m_job ? m_job->settings.FileName : QString();
}

void HttpDownload::complete(
    const std::shared_ptr<Job> &job, bool success, qint64 announced, bool createdFile, const QString &error)
{
    if (m_job != job)
        return;
    // A Cancel that came after the worker's last checkpoint still counts.
    const bool cancelled = job->cancel.isCancelled();
    const bool ok = success && !cancelled;
    m_job.reset();
    job->owner = nullptr;
    m_lastError = ok ? QString() : (cancelled ? QStringLiteral("cancelled") : error);
    m_lastCreatedFile = createdFile;
    // Cleared before the handlers run, so they may start the next transfer.
    if (ok) {
        if (OnDoneFile)
            OnDoneFile(this, job->settings.FileName, announced);
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
    return TransferWorkers::running();
}
