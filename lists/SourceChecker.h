#pragma once

#include "lists/SourceAnswers.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>
#include <deque>
#include <memory>

class TransferCancel;

// One source to check: its address and what its list says to send with it.
struct SourceProbe {
    QString listId;
    QString address;
    QString userAgent;
    QString referrer;
    bool acceptInvalidCertificates = false;
};

struct SourceCheckLimits {
    int maxConnections = 4;
    // Between two requests to one server (host and port), whichever source they are for.
    int hostIntervalMs = 1000;
    int connectTimeoutMs = 6000;
    int answerTimeoutMs = 8000; // the first bytes must arrive within this
};

// Checks sources in the background, politely: at most four connections at a
// time, one request at a time to any one server and a second between its
// answer and the next request. Each source is
// asked for its first bytes; an HLS playlist is read and its first segment
// (through a variant of a master playlist) is asked for its first bytes too,
// each of those requests in its turn. A source plays when those bytes arrive;
// it is dead when refused, not found or silent, blocked on 403 and 451, and
// needs a login on 401 and 407. Streams of other protocols (rtmp, rtsp, udp
// …) cannot be asked this way and stay unknown. The transfers run on the
// network layer's workers; the GUI thread only schedules, with a timer armed
// only while a server makes the queue wait.
class SourceChecker : public QObject
{
    Q_OBJECT

public:
    explicit SourceChecker(QObject *parent = nullptr, const SourceCheckLimits &limits = {});
    ~SourceChecker() override;

    // Adds the sources to the check (an address already in it is asked once)
    // and starts it when idle.
    void check(const QVector<SourceProbe> &probes);
    // Stops the check: no result of a request still running is given.
    void cancel();
    bool isRunning() const { return m_total > 0; }
    int doneCount() const { return m_done; }
    int totalCount() const { return m_total; }
    const SourceCheckLimits &limits() const { return m_limits; }

signals:
    void checked(const SourceProbe &probe, SourceHealth health);
    void progress(int done, int total);
    void finished(bool cancelled);

private:
    struct Job {
        SourceProbe probe; // the first list's: what to send
        QString origin; // the source's address
        QString url; // what this step asks
        QString server;
        int step = 0;
        bool screened = false; // its address passed the rule
    };
    struct Step {
        bool cancelled = false;
        SourceHealth health = SourceHealth::Unknown;
        QString next; // not empty: the playlist leads on to this address
    };

    static Step run(const Job &job, TransferCancel &cancel, const SourceCheckLimits &limits);
    void pump();
    void start(Job job);
    void stepDone(Job job, const Step &step, int generation);
    void conclude(const Job &job, SourceHealth health);

    SourceCheckLimits m_limits;
    std::deque<Job> m_pending;
    QHash<QString, qint64> m_serverFreeAt; // ms on m_clock
    QSet<QString> m_busyServers; // a request to it is running
    QHash<QString, QVector<SourceProbe>> m_probes; // address -> the lists that hold it, in this check
    QVector<std::shared_ptr<TransferCancel>> m_running;
    QElapsedTimer m_clock;
    QTimer m_wait;
    int m_done = 0;
    int m_total = 0;
    int m_generation = 0;
};
