#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QNetworkAccessManager;
class QNetworkReply;

// Looks at an http(s) address before the player sees it: fetches a bounded
// prefix of the body (redirects followed) and decides by its content whether
// it is an ASX or "[Reference]" playlist. Media is never downloaded here: once
// the first bytes say "not a playlist" the fetch is dropped and the player
// streams the address itself. Runs on the GUI thread without blocking it.
class StreamResolver : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 maxPrefixBytes = 1 << 20;
    static constexpr int defaultTimeoutMs = 10000;

    explicit StreamResolver(QObject *parent = nullptr);
    ~StreamResolver() override;

    // http and https addresses are looked at; anything else goes to the player as it stands.
    static bool wantsResolving(const QString &address);

    // Starts looking at `address`. A resolution still running is abandoned
    // and never reported. Exactly one of the signals follows, never inside this call.
    void resolve(const QString &address);
    void abort();
    bool isBusy() const { return !m_reply.isNull(); }
    // Longest wait for the next byte before giving up.
    void setTimeout(int ms) { m_timeoutMs = ms; }

signals:
    // The body is a playlist; `entries` may be empty (a playlist with nothing in it).
    void playlistFound(const QString &address, const QStringList &entries);
    // Not a playlist, or the server speaks something we do not read: let the player open it.
    void notPlaylist(const QString &address);
    // Refused, not found, an HTTP error status or no answer within the timeout.
    void failed(const QString &address);

private:
    enum class Verdict { Undecided, Playlist, NotPlaylist, Failed };

    void onReadyRead();
    void onFinished();
    void conclude(Verdict verdict, const QStringList &entries = {});
    bool httpError() const;

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    QString m_address;
    QByteArray m_prefix;
    int m_timeoutMs = defaultTimeoutMs;
};
