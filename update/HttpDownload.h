#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Host, port and path of an "http://" address, split the way the download
// component always has: the scheme is dropped whatever its case, the first "/"
// ends the host. An explicit port after the host is honoured.
struct HttpUrlParts {
    bool valid = false;
    QString host; // without the port; IPv6 literals keep their brackets
    quint16 port = 80;
    QString path; // from the first "/" on
};

// Fetches one URL over HTTP/1.0 into a local file on a worker thread of its
// own (the network layer's transfer), one transfer at a time. Properties are copied when a transfer
// starts; progress and the outcome are handed to the thread that owns the
// component and run there while the worker waits.
//
// Outcome: OnDoneFile only for a 2xx answer whose body matches its
// Content-Length (or is empty when there is none); everything else - no
// connection, an error status, a short or overlong body, a malformed length, the
// byte limit, a stall, Cancel - ends in OnError.
class HttpDownload : public QObject
{
    Q_OBJECT

public:
    using TOnProgressEvent = std::function<void(QObject *Sender, qint64 TotalSize, qint64 Readed)>;
    using TOnDoneFileEvent = std::function<void(QObject *Sender, const QString &FileName, qint64 FileSize)>;
    using TNotifyEvent = std::function<void(QObject *Sender)>;

    struct Settings {
        QString AcceptTypes = QStringLiteral("*/*");
        QString Agent = QStringLiteral("Selvaric HTTPGet");
        bool BinaryData = false;
        QString URL;
        bool UseCache = false;
        QString FileName;
        QString UserName;
        QString Password;
        QString PostQuery;
        QString Referer;
        qint64 MaxBytes = 0; // 0: no limit of the instance's own
        int StallTimeoutMs = 30000; // a server silent this long fails the transfer
        int ProgressIntervalMs = 50; // least time between two OnProgress calls; 0: every block
    };

    explicit HttpDownload(QObject *parent = nullptr);
    ~HttpDownload() override;

    QString AcceptTypes() const { return m_settings.AcceptTypes; }
    void setAcceptTypes(const QString &value) { m_settings.AcceptTypes = value; }
    QString Agent() const { return m_settings.Agent; }
    void setAgent(const QString &value) { m_settings.Agent = value; }
    bool BinaryData() const { return m_settings.BinaryData; }
    void setBinaryData(bool value) { m_settings.BinaryData = value; }
    QString URL() const { return m_settings.URL; }
    void setURL(const QString &value) { m_settings.URL = value; }
    bool UseCache() const { return m_settings.UseCache; }
    void setUseCache(bool value) { m_settings.UseCache = value; }
    QString FileName() const { return m_settings.FileName; }
    void setFileName(const QString &value) { m_settings.FileName = value; }
    QString UserName() const { return m_settings.UserName; }
    void setUserName(const QString &value) { m_settings.UserName = value; }
    QString Password() const { return m_settings.Password; }
    void setPassword(const QString &value) { m_settings.Password = value; }
    QString PostQuery() const { return m_settings.PostQuery; }
    void setPostQuery(const QString &value) { m_settings.PostQuery = value; }
    QString Referer() const { return m_settings.Referer; }
    void setReferer(const QString &value) { m_settings.Referer = value; }
    bool WaitThread() const { return m_waitThread; }
    void setWaitThread(bool value) { m_waitThread = value; }
    qint64 MaxBytes() const { return m_settings.MaxBytes; }
    void setMaxBytes(qint64 value) { m_settings.MaxBytes = value; }
    int StallTimeoutMs() const { return m_settings.StallTimeoutMs; }
    void setStallTimeoutMs(int value) { m_settings.StallTimeoutMs = value; }
    int ProgressIntervalMs() const { return m_settings.ProgressIntervalMs; }
    void setProgressIntervalMs(int value) { m_settings.ProgressIntervalMs = value; }

    // Called on the owner's thread. OnProgress after blocks written (at most one
    // call per ProgressIntervalMs, and always for the last block), OnDoneFile
    // once on success, OnError once on failure. Sender is the component.
    TOnProgressEvent OnProgress;
    TOnDoneFileEvent OnDoneFile;
    TNotifyEvent OnError;

    // Starts a transfer; does nothing while one runs. With WaitThread it returns
    // once the transfer has ended, dispatching events meanwhile.
    void StartDownload();
    // Asks the running transfer to stop; it then ends in OnError. Returns at once.
    void Cancel();

    bool isRunning() const { return bool(m_job); }
    // The file the running transfer writes to; empty when idle.
    QString runningFileName() const;
    // Why the last transfer failed, for logs and tests; empty after a success.
    QString lastError() const { return m_lastError; }
    // Whether the last transfer created (or emptied) its file; a failure before
    // the answer's headers leaves any earlier file of that name alone.
    bool lastCreatedFile() const { return m_lastCreatedFile; }

    static HttpUrlParts splitUrl(const QString &url);
    // Workers still alive in the process, including those of destroyed components.
    static int runningWorkers();

    struct Job;

private:
    void complete(const std::shared_ptr<Job> &job, bool success, qint64 announced, bool createdFile,
        const QString &error);

    Settings m_settings;
    bool m_waitThread = false;
    std::shared_ptr<Job> m_job;
    QString m_lastError;
    bool m_lastCreatedFile = false;
};
