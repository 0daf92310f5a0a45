#pragma once

#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QVector>
#include <memory>

// What to fetch for one remote guide, and how patiently.
struct GuideFetchRequest {
    static constexpr qint64 MaxCompressedBytes = qint64(300) << 20;
    static constexpr qint64 MaxDecodedBytes = qint64(2) << 30;

    QString guideId;
    QString address; // http(s)
    QByteArray etag; // of the copy held: sent as If-None-Match
    QString lastModified; // of the copy held: sent as If-Modified-Since
    QString copyPath; // replaced (atomically) only by a whole new copy
    // A guide stored compressed (gzip, xz) may be this large; a plain one, or
    // what a gzip transfer coding decodes to, maxDecodedBytes.
    qint64 maxCompressedBytes = MaxCompressedBytes;
    qint64 maxDecodedBytes = MaxDecodedBytes;
    int connectTimeoutMs = 15000;
    int stallTimeoutMs = 60000;
    int totalTimeoutMs = 60 * 60 * 1000; // a large guide on a slow line
};

struct GuideFetchResult {
    enum class Outcome {
        Updated, // a new copy is at copyPath
        NotModified, // the publisher's copy is the one held
        Failed, // error says why; the copy held stays
    };
    QString guideId;
    Outcome outcome = Outcome::Failed;
    QString error; // short Portuguese, for "Guias de programação"
    QByteArray etag; // the answer's validators, for the next request
    QString lastModified;
    int httpStatus = 0;
    qint64 bytes = 0; // stored bytes of the new copy
};
Q_DECLARE_METATYPE(GuideFetchResult)

// Downloads remote guides with the network layer (redirects, gzip transfer
// coding, conditional requests, size bounds) straight to disk on workers:
// nothing of a guide is held in memory. At most MaxRunning at once, the rest
// wait their turn. Destroying the fetcher cancels its downloads; their
// workers finish alone and reach nothing of it.
class GuideFetcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRunning = 2;

    explicit GuideFetcher(QObject *parent = nullptr);
    ~GuideFetcher() override;

    // False, and nothing is queued, for an address that is not http(s) or a
    // guide already fetching or waiting.
    bool fetch(const GuideFetchRequest &request);
    // The download ends Failed soon (a waiting one at once); finished still comes.
    void cancel(const QString &guideId);
    bool isBusy(const QString &guideId) const;
    bool isIdle() const { return m_running.isEmpty() && m_waiting.isEmpty(); }
    // Bytes received so far by a running download; 0 for any other.
    qint64 bytesReceived(const QString &guideId) const;

    struct Job;

signals:
    void busyChanged(const QString &guideId, bool busy);
    void finished(const GuideFetchResult &result);

private:
    void startWaiting();
    void complete(const std::shared_ptr<Job> &job, const GuideFetchResult &result);

    QHash<QString, std::shared_ptr<Job>> m_running;
    QVector<GuideFetchRequest> m_waiting;
};
