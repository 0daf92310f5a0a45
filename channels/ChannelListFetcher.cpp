#include "channels/ChannelListFetcher.h"

#include "base/BoundedRead.h"
#include "channels/CurlTransfer.h"
#include "channels/ListAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>

namespace
{

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
    TransferCancel cancel;
};

namespace
{

QString curlError(CURLcode code, const ChannelListRequest &request)
{
    const QString host = ListAddress::hostOf(request.address);
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
        return tooLarge(request.maxBytes);
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

ChannelListResult download(ChannelListFetcher::Job &job)
{
    const ChannelListRequest &request = job.request;
    CurlTransfer transfer(request.address,
        { request.maxBytes, request.connectTimeoutMs, request.stallTimeoutMs, request.totalTimeoutMs },
        job.cancel);
    if (!request.etag.isEmpty())
        transfer.addHeader("If-None-Match: " + request.etag);
    if (!request.lastModified.isEmpty())
        transfer.addHeader("If-Modified-Since: " + request.lastModified.toLatin1());
    QByteArray etag;
    QString lastModified;
    transfer.setHeaderHandler([&](const QByteArray &line) {
        // Each answer of a redirect chain starts again; the last one counts.
        if (line.startsWith("HTTP/")) {
            etag.clear();
            lastModified.clear();
            return;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "etag")
            etag = value;
        else if (name == "last-modified")
            lastModified = QString::fromLatin1(value);
    });

    QString error;
    switch (transfer.run()) {
    case CurlTransfer::End::Finished:
        break;
    case CurlTransfer::End::Cancelled:
        error = QString::fromUtf8("Atualização cancelada.");
        break;
    case CurlTransfer::End::Stalled:
        error = QString::fromUtf8("O servidor %1 parou de responder.")
                    .arg(ListAddress::hostOf(request.address));
        break;
    case CurlTransfer::End::TimedOut:
        error = QString::fromUtf8("A lista demorou demais para chegar.");
        break;
    case CurlTransfer::End::TooLarge:
        error = tooLarge(request.maxBytes);
        break;
    case CurlTransfer::End::Failed:
        error = transfer.multiError().isEmpty()
            ? curlError(transfer.code(), request)
            : QString::fromUtf8("Falha ao baixar a lista (%1).").arg(transfer.multiError());
        break;
    }
    const long status = transfer.status();
    if (!error.isEmpty()) {
        ChannelListResult result = failed(error);
        result.httpStatus = int(status);
        return result;
    }

    const QByteArray &body = transfer.body();
    ChannelListResult result;
    result.httpStatus = int(status);
    result.etag = etag;
    result.lastModified = lastModified;
    if (status == 304) {
        result.outcome = ChannelListResult::Outcome::NotModified;
        return result;
    }
    if (status < 200 || status > 299) {
        result.error = statusText(int(status));
        return result;
    }
    result.bytes = body.size();
    result.list = M3uListReader::parse(body, request.address);
    // An error page or an empty answer must not replace a good copy.
    if (result.list.channels.isEmpty()) {
        result.list = M3uList();
        result.error = QString::fromUtf8("O conteúdo recebido não é uma lista de canais.");
        return result;
    }
    if (!request.cachePath.isEmpty()) {
        QFileInfo(request.cachePath).dir().mkpath(QStringLiteral("."));
        QSaveFile file(request.cachePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit()) {
            result.list = M3uList();
            result.error = QString::fromUtf8("Não foi possível guardar a lista em %1: %2")
                               .arg(request.cachePath, file.errorString());
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
    job->owner = this;
    job->relay = new QObject; // on our thread, so the result is handed over here
    m_job = job;
    CurlTransfer::startWorker([job]() mutable {
        const ChannelListResult result
            = job->kind == Job::Kind::Read ? readFile(job->path, job->request.address) : download(*job);
        QObject *relay = job->relay;
        QMetaObject::invokeMethod(
            relay,
            [job, result] {
                job->relay->deleteLater();
                if (job->owner)
                    job->owner->complete(job, result);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ChannelListFetcher::cancel()
{
    if (!m_job)
        return;
    m_job->cancel.cancel();
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
    // Not read(MaxBytes + 1), which allocates the whole bound for every list.
    const QByteArray bytes = readBounded(file, M3uListReader::MaxBytes);
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
    return CurlTransfer::runningWorkers();
}
