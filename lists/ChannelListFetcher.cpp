#include "lists/ChannelListFetcher.h"

#include "base/BoundedRead.h"
#include "lists/ListAddress.h"
#include "net/Transfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    TransferCancel cancel;
};

namespace
{

QString failureText(Transfer::End end, const Transfer &transfer, const ChannelListRequest &request)
{
    const QString connection = Transfer::connectionFailureText(end, ListAddress::hostOf(request.address));
    if (!connection.isEmpty())
        return connection;
    using End = Transfer::End;
    switch (end) {
    case End::TimedOut:
        return QString::fromUtf8("A lista demorou demais para chegar.");
    case End::TooLarge:
        return tooLarge(request.maxBytes);
    case End::TooManyRedirects:
        return QString::fromUtf8("Redirecionamentos demais ao buscar a lista.");
    case End::ProtocolRefused:
        return QString::fromUtf8("A lista foi redirecionada para um endereço que não é http nem https, "
                                 "ou de https para http.");
    case End::BadEncoding:
        return QString::fromUtf8("A lista chegou com uma compressão inválida.");
    case End::ConnectionLost:
        return QString::fromUtf8("A conexão caiu antes do fim da lista.");
    default:
        break;
    }
    return QString::fromUtf8("Falha ao baixar a lista (%1).").arg(transfer.errorText());
}

ChannelListResult download(ChannelListFetcher::Job &job)
{
    const ChannelListRequest &request = job.request;
    TransferRequest get;
    get.url = TransferRequest::encodedUrl(request.address);
    get.limits
        = { request.maxBytes, request.connectTimeoutMs, request.stallTimeoutMs, request.totalTimeoutMs };
    if (!request.etag.isEmpty())
        get.headers.append("If-None-Match: " + request.etag);
    if (!request.lastModified.isEmpty())
        get.headers.append("If-Modified-Since: " + request.lastModified.toLatin1());
    Transfer transfer(get, job.cancel);
    QByteArray etag;
    QString lastModified;
    QByteArray body;
    transfer.onHead = [&](const TransferHead &head) {
        etag = head.value("etag");
        lastModified = QString::fromLatin1(head.value("last-modified"));
        return true;
    };
    transfer.onBody = [&](const char *data, qint64 size) {
        body.append(data, qsizetype(size));
        return true;
    };
    const Transfer::End end = transfer.run();
    const int status = transfer.status();
    if (end != Transfer::End::Finished) {
        ChannelListResult result = failed(failureText(end, transfer, request));
        result.httpStatus = status;
        return result;
    }

    ChannelListResult result;
    result.httpStatus = status;
    result.etag = etag;
    result.lastModified = lastModified;
    if (status == 304) {
        result.outcome = ChannelListResult::Outcome::NotModified;
        return result;
    }
    if (status < 200 || status > 299) {
        result.error = statusText(status);
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
    m_job = job;
    TransferWorkers::startFor(this, [this, job]() -> std::function<void()> {
        const ChannelListResult result
            = job->kind == Job::Kind::Read ? readFile(job->path, job->request.address) : download(*job);
        return [this, job, result] { complete(job, result); };
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
    return TransferWorkers::running();
}
