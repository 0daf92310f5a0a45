#include "guide/GuideFetcher.h"

#include "base/Logging.h"
#include "lists/ListAddress.h"
#include "net/Transfer.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <atomic>

struct GuideFetcher::Job {
    GuideFetchRequest request;
    TransferCancel cancel;
    std::atomic<qint64> received { 0 };
};

namespace
{

QString mebibytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1 << 20), 'g', 4);
}

QString failureText(Transfer::End end, const Transfer &transfer, const GuideFetchRequest &request)
{
    const QString connection = Transfer::connectionFailureText(end, ListAddress::hostOf(request.address));
    if (!connection.isEmpty())
        return connection;
    using End = Transfer::End;
    switch (end) {
    case End::TimedOut:
        return QString::fromUtf8("O guia demorou demais para chegar.");
    case End::TooLarge:
        return QString::fromUtf8("O guia passa de %1 MiB e não foi baixado.")
            .arg(mebibytes(request.maxDecodedBytes));
    case End::TooManyRedirects:
    case End::ProtocolRefused:
        return QString::fromUtf8("O guia foi redirecionado para um endereço que não pode ser seguido.");
    case End::BadEncoding:
        return QString::fromUtf8("O guia chegou com uma compressão inválida.");
    case End::ConnectionLost:
        return QString::fromUtf8("A conexão caiu antes do fim do guia.");
    default:
        break;
    }
    return QString::fromUtf8("Falha ao baixar o guia (%1).").arg(transfer.errorText());
}

// Stored compressed, the guide is bounded by its compressed size; the reader
// decodes it later under its own bound.
bool looksCompressed(const QByteArray &start)
{
    const auto byte = [&start](int i) { return i < start.size() ? quint8(start.at(i)) : 0; };
    return (byte(0) == 0x1f && byte(1) == 0x8b)
        || start.startsWith("\xFD"
                            "7zXZ")
        || (byte(0) == 0x78 && (byte(1) == 0x01 || byte(1) == 0x5e || byte(1) == 0x9c || byte(1) == 0xda));
}

// An error page answered with 200 must not replace a good copy.
bool looksLikeWebPage(const QByteArray &start)
{
    QByteArray text = start.left(512).trimmed().toLower();
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.mid(3).trimmed();
    return text.startsWith("<!doctype html") || text.startsWith("<html") || !text.startsWith("<");
}

GuideFetchResult download(GuideFetcher::Job &job)
{
    const GuideFetchRequest &request = job.request;
    GuideFetchResult result;
    result.guideId = request.guideId;
    TransferRequest get;
    get.url = TransferRequest::encodedUrl(request.address);
    get.limits = { request.maxDecodedBytes, request.connectTimeoutMs, request.stallTimeoutMs,
        request.totalTimeoutMs };
    if (!request.etag.isEmpty())
        get.headers.append("If-None-Match: " + request.etag);
    if (!request.lastModified.isEmpty())
        get.headers.append("If-Modified-Since: " + request.lastModified.toLatin1());

    QFileInfo(request.copyPath).dir().mkpath(QStringLiteral("."));
    QSaveFile file(request.copyPath);
    QByteArray start; // the first bytes, to tell what arrived
    bool compressed = false;
    bool sniffed = false;
    bool tooLarge = false;
    QString writeError;
    Transfer transfer(get, job.cancel);
    transfer.onHead = [&](const TransferHead &head) {
        result.httpStatus = head.status;
        result.etag = head.value("etag");
        result.lastModified = QString::fromLatin1(head.value("last-modified"));
        return true;
    };
    transfer.onBody = [&](const char *data, qint64 size) {
        if (result.httpStatus < 200 || result.httpStatus > 299)
            return true; // an error page: read, never stored
        if (!file.isOpen() && !file.open(QIODevice::WriteOnly)) {
            writeError = file.errorString();
            return false;
        }
        if (start.size() < 512)
            start.append(data, qsizetype(qMin<qint64>(size, 512 - start.size())));
        if (!sniffed && start.size() >= 6) {
            sniffed = true;
            compressed = looksCompressed(start);
        }
        const qint64 total = job.received.fetch_add(size) + size;
        if (compressed && total > request.maxCompressedBytes) {
            tooLarge = true;
            return false;
        }
        if (file.write(data, size) != size) {
            writeError = file.errorString();
            return false;
        }
        return true;
    };
    const Transfer::End end = transfer.run();
    if (!sniffed && !start.isEmpty())
        compressed = looksCompressed(start);
    if (tooLarge) {
        result.error = QString::fromUtf8("O guia compactado passa de %1 MiB e não foi baixado.")
                           .arg(mebibytes(request.maxCompressedBytes));
    } else if (!writeError.isEmpty()) {
        result.error = QString::fromUtf8("Não foi possível guardar o guia em %1: %2")
                           .arg(request.copyPath, writeError);
    } else if (end != Transfer::End::Finished) {
        result.error = failureText(end, transfer, request);
    } else if (result.httpStatus == 304) {
        result.outcome = GuideFetchResult::Outcome::NotModified;
        return result;
    } else if (result.httpStatus < 200 || result.httpStatus > 299) {
        result.error = QString::fromUtf8("O servidor respondeu com o código %1.").arg(result.httpStatus);
    } else if (start.isEmpty()) {
        result.error = QString::fromUtf8("O servidor enviou um guia vazio.");
    } else if (!compressed && looksLikeWebPage(start)) {
        result.error = QString::fromUtf8("O conteúdo recebido não é um guia de programação (XMLTV).");
    } else if (!file.commit()) {
        result.error = QString::fromUtf8("Não foi possível guardar o guia em %1: %2")
                           .arg(request.copyPath, file.errorString());
    } else {
        result.outcome = GuideFetchResult::Outcome::Updated;
        result.bytes = job.received.load();
        return result;
    }
    qCInfo(lumiGuide) << "guide" << request.guideId << "not fetched:" << Transfer::nameOf(end)
                      << result.httpStatus << result.error;
    return result; // the QSaveFile, never committed, leaves the copy held as it was
}

} // namespace

GuideFetcher::GuideFetcher(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<GuideFetchResult>();
}

GuideFetcher::~GuideFetcher()
{
    // Not waited for: each worker stops at its next checkpoint, and its
    // result, finding no owner, reaches nothing of ours.
    for (const std::shared_ptr<Job> &job : std::as_const(m_running))
        job->cancel.cancel();
}

bool GuideFetcher::fetch(const GuideFetchRequest &request)
{
    if (request.guideId.isEmpty() || isBusy(request.guideId) || !ListAddress::isRemote(request.address))
        return false;
    m_waiting.append(request);
    emit busyChanged(request.guideId, true);
    startWaiting();
    return true;
}

void GuideFetcher::startWaiting()
{
    while (m_running.size() < MaxRunning && !m_waiting.isEmpty()) {
        auto job = std::make_shared<Job>();
        job->request = m_waiting.takeFirst();
        m_running.insert(job->request.guideId, job);
        TransferWorkers::startFor(this, [this, job]() -> std::function<void()> {
            const GuideFetchResult result = download(*job);
            return [this, job, result] { complete(job, result); };
        });
    }
}

void GuideFetcher::cancel(const QString &guideId)
{
    if (const auto running = m_running.constFind(guideId); running != m_running.constEnd()) {
        running.value()->cancel.cancel();
        return;
    }
    for (int i = 0; i < m_waiting.size(); ++i) {
        if (m_waiting.at(i).guideId != guideId)
            continue;
        GuideFetchResult result;
        result.guideId = guideId;
        result.error = QString::fromUtf8("Atualização cancelada.");
        m_waiting.removeAt(i);
        emit busyChanged(guideId, false);
        emit finished(result);
        return;
    }
}

bool GuideFetcher::isBusy(const QString &guideId) const
{
    if (m_running.contains(guideId))
        return true;
    for (const GuideFetchRequest &request : m_waiting)
        if (request.guideId == guideId)
            return true;
    return false;
}

qint64 GuideFetcher::bytesReceived(const QString &guideId) const
{
    const auto running = m_running.constFind(guideId);
    return running == m_running.constEnd() ? 0 : running.value()->received.load();
}

void GuideFetcher::complete(const std::shared_ptr<Job> &job, const GuideFetchResult &result)
{
    const auto running = m_running.constFind(job->request.guideId);
    if (running == m_running.constEnd() || running.value() != job)
        return;
    m_running.remove(job->request.guideId);
    startWaiting();
    emit busyChanged(result.guideId, false);
    emit finished(result);
}
