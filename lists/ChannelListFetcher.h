#pragma once

#include "lists/M3uListReader.h"

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <memory>

// What to fetch, and how patiently.
struct ChannelListRequest {
    QString address; // http(s); relative entries of the list resolve against it
    QByteArray etag; // of the copy held: sent as If-None-Match
    QString lastModified; // of the copy held: sent as If-Modified-Since
    QString cachePath; // a new copy is stored there (atomically) before it counts; empty: not stored
    qint64 maxBytes = M3uListReader::MaxBytes;
    int connectTimeoutMs = 15000;
    int stallTimeoutMs = 30000; // the server sent nothing for this long
    int totalTimeoutMs = 5 * 60 * 1000;
};

struct ChannelListResult {
    enum class Outcome {
        Updated, // a new copy: list holds it (and it is in the cache)
        NotModified, // the publisher's copy is the one held
        Failed, // error says why; whatever copy is held stays
    };
    Outcome outcome = Outcome::Failed;
    QString error; // short Portuguese, for the lists window
    M3uList list; // Updated only
    QByteArray etag; // the answer's validators, for the next request
    QString lastModified;
    int httpStatus = 0; // 0 for files and for failures before an answer
    qint64 bytes = 0; // size of the copy read (after any decompression)
};
Q_DECLARE_METATYPE(ChannelListResult)

// Fetches a channel list over HTTP/1.1 or HTTPS with the network layer (redirects, gzip,
// conditional requests, connect and stall timeouts, a size bound), or reads a
// local list, on a worker thread, and parses it there: the owner's thread only
// receives the result. One job at a time. Destroying the fetcher cancels its
// job; the worker then finishes alone and never reaches the fetcher.
class ChannelListFetcher : public QObject
{
    Q_OBJECT

public:
    explicit ChannelListFetcher(QObject *parent = nullptr);
    ~ChannelListFetcher() override;

    // False, and nothing starts, while a job runs or for an address that is not http(s).
    bool fetch(const ChannelListRequest &request);
    // Reads a local list or a cached copy; baseAddress resolves relative entries.
    // Updated, or Failed (missing, unreadable, too large, no channels).
    bool read(const QString &path, const QString &baseAddress);
    // The running job ends Failed, soon; finished still comes.
    void cancel();
    bool isRunning() const { return bool(m_job); }

    // The work of read(), on the calling thread.
    static ChannelListResult readFile(const QString &path, const QString &baseAddress);
    // Workers still alive, including those of destroyed fetchers.
    static int runningWorkers();

    struct Job;

signals:
    void finished(const ChannelListResult &result);

private:
    bool startJob(const std::shared_ptr<Job> &job);
    void complete(const std::shared_ptr<Job> &job, const ChannelListResult &result);

    std::shared_ptr<Job> m_job;
};
