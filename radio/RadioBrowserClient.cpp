#include "radio/RadioBrowserClient.h"

#include "base/Logging.h"
#include "net/Transfer.h"

#include <QUrl>

namespace
{
// A search answer of 100 stations is ~60 kB; a whole country's stations a few MB.
constexpr qint64 kMaxAnswerBytes = 32 * 1024 * 1024;

QString failureText(Transfer::End end, int status)
{
    using End = Transfer::End;
    switch (end) {
    case End::Finished:
        return QString::fromUtf8("A base de rádios respondeu com o código %1.").arg(status);
    case End::HostNotFound:
    case End::NoAnswer:
    case End::ConnectionRefused:
        return QString::fromUtf8("A base de rádios não está ao alcance. Verifique a conexão.");
    case End::Stalled:
    case End::TimedOut:
        return QString::fromUtf8("A base de rádios demorou demais para responder.");
    default:
        break;
    }
    return QString::fromUtf8("A base de rádios não respondeu direito (%1).")
        .arg(QString::fromLatin1(Transfer::nameOf(end)));
}
} // namespace

struct RadioBrowserClient::Job {
    QStringList servers;
    QString path;
    TransferCancel cancel;
    // Filled on the worker.
    QByteArray body;
    QString answeredBy;
    QString error;
    // Decides on the worker whether an answer is usable; an unusable one
    // sends the request to the next server.
    std::function<bool(Job &)> accept;
    RadioStations stations;
    RadioFacets facets;
    bool clickCounted = false;
};

QByteArray RadioBrowserClient::userAgent()
{
    return QByteArrayLiteral("LumivortexTV/" LUMI_VERSION);
}

RadioBrowserClient::RadioBrowserClient(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<RadioStations>();
}

RadioBrowserClient::~RadioBrowserClient()
{
    if (m_search)
        m_search->cancel.cancel();
    if (m_facets)
        m_facets->cancel.cancel();
}

void RadioBrowserClient::setServers(const QStringList &servers)
{
    m_servers = servers;
}

namespace
{
void run(RadioBrowserClient::Job &job)
{
    for (const QString &server : std::as_const(job.servers)) {
        if (job.cancel.isCancelled())
            return;
        TransferRequest get;
        get.url = TransferRequest::encodedUrl(server + job.path);
        get.userAgent = RadioBrowserClient::userAgent();
        get.limits = { kMaxAnswerBytes, 8000, 15000, 60000 };
        get.headers << "Accept: application/json";
        Transfer transfer(get, job.cancel);
        job.body.clear();
        transfer.onBody = [&job](const char *data, qint64 size) {
            job.body.append(data, qsizetype(size));
            return true;
        };
        const Transfer::End end = transfer.run();
        if (end == Transfer::End::Cancelled)
            return;
        const int status = transfer.status();
        if (end == Transfer::End::Finished && status >= 200 && status <= 299 && job.accept(job)) {
            job.answeredBy = server;
            job.error.clear();
            return;
        }
        qCInfo(lumiRadio) << "radio server" << server << "did not answer" << job.path << Transfer::nameOf(end)
                          << status << transfer.errorText();
        job.error = end == Transfer::End::Finished && status >= 200 && status <= 299
            ? QString::fromUtf8("A base de rádios mandou uma resposta que não se entende.")
            : failureText(end, status);
    }
    if (job.servers.isEmpty())
        job.error = QString::fromUtf8("Nenhum servidor da base de rádios é conhecido ainda.");
}
} // namespace

std::shared_ptr<RadioBrowserClient::Job> RadioBrowserClient::start(
    const QString &path, std::function<bool(Job &)> accept, std::function<void(Job &)> deliver)
{
    auto job = std::make_shared<Job>();
    job->servers = m_servers;
    job->path = path;
    job->accept = std::move(accept);
    TransferWorkers::startFor(this, [this, job, deliver = std::move(deliver)]() -> std::function<void()> {
        run(*job);
        if (job->cancel.isCancelled())
            return {};
        return [this, job, deliver] {
            // The server that answered goes first next time: it is likely up.
            if (!job->answeredBy.isEmpty() && m_servers.indexOf(job->answeredBy) > 0) {
                m_servers.removeAll(job->answeredBy);
                m_servers.prepend(job->answeredBy);
            }
            deliver(*job);
        };
    });
    return job;
}

void RadioBrowserClient::search(const StationQuery &query)
{
    cancelSearch();
    m_search = start(
        query.path(),
        [](Job &answer) {
            bool ok = false;
            answer.stations = StationReader::readStations(answer.body, &ok);
            answer.body.clear();
            return ok;
        },
        [this, query](Job &done) {
            if (m_search.get() != &done)
                return;
            m_search.reset();
            emit searchFinished(query, done.stations, done.error);
        });
}

void RadioBrowserClient::cancelSearch()
{
    if (m_search)
        m_search->cancel.cancel();
    m_search.reset();
}

void RadioBrowserClient::fetchFacets(Facet facet)
{
    if (m_facets)
        return; // one at a time: the window asks again when it needs the next
    const char *path = facet == Facet::Tags ? "/json/tags?order=stationcount&reverse=true&hidebroken=true"
        : facet == Facet::Languages ? "/json/languages?order=stationcount&reverse=true&hidebroken=true"
                                    : "/json/countries?order=name&hidebroken=true";
    m_facets = start(
        QString::fromLatin1(path),
        [](Job &answer) {
            bool ok = false;
            answer.facets = StationReader::readFacets(answer.body, &ok);
            answer.body.clear();
            return ok;
        },
        [this, facet](Job &done) {
            if (m_facets.get() == &done)
                m_facets.reset();
            if (done.error.isEmpty())
                emit facetsFinished(facet, done.facets);
        });
}

void RadioBrowserClient::countClick(const QString &uuid)
{
    if (uuid.isEmpty())
        return;
    start(
        QStringLiteral("/json/url/") + QString::fromLatin1(QUrl::toPercentEncoding(uuid)),
        [](Job &answer) {
            answer.clickCounted = StationReader::readClickAnswer(answer.body);
            return answer.clickCounted;
        },
        [this, uuid](Job &done) { emit clickCounted(uuid, done.clickCounted); });
}
