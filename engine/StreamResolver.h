#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

// Looks at an http(s) address before the player sees it: fetches a bounded
// prefix of the body (redirects followed) on a network worker and decides by
// its content whether it is an ASX or "[Reference]" playlist. Media is never
// downloaded here: once the first bytes say "not a playlist" the transfer is
// dropped and the player streams the address itself. The GUI thread never
// waits for the network.
class StreamResolver : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 maxPrefixBytes = 1 << 20;
    static constexpr int defaultTimeoutMs = 10000;

    enum class Failure {
        Unreachable, // refused, not found, an HTTP error status, no answer within the timeout
        CertificateRefused, // the server's certificate did not verify
    };

    explicit StreamResolver(QObject *parent = nullptr);
    ~StreamResolver() override;

    // http and https addresses are looked at; anything else goes to the player as it stands.
    static bool wantsResolving(const QString &address);

    // Starts looking at `address`. A resolution still running is abandoned
    // and never reported. Exactly one of the signals follows, never inside
    // this call. Certificates are checked unless acceptInvalidCertificates.
    void resolve(const QString &address, bool acceptInvalidCertificates = false);
    void abort();
    bool isBusy() const { return bool(m_job); }
    // Longest wait for the connection and for the next byte before giving up.
    void setTimeout(int ms) { m_timeoutMs = ms; }

    struct Job;

signals:
    // The body is a playlist; `entries` may be empty (a playlist with nothing in it).
    void playlistFound(const QString &address, const QStringList &entries);
    // Not a playlist, or the server speaks something we do not read: let the player open it.
    void notPlaylist(const QString &address);
    void failed(const QString &address, StreamResolver::Failure why);

private:
    std::shared_ptr<Job> m_job;
    int m_timeoutMs = defaultTimeoutMs;
};
