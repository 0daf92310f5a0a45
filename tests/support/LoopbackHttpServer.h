#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <memory>

// A small HTTP server on 127.0.0.1 for tests. It serves on threads of its own
// (one acceptor, one per connection), so a test whose GUI thread blocks or
// waits is still served. Every answer carries "Connection: close".
//
// Length modes (the Content-Length header against the body actually sent):
//   Correct    Content-Length = body size
//   Missing    no Content-Length; the body ends when the connection closes
//   Short      Content-Length = body size / 2 (the server sends more than announced)
//   Long       Content-Length = body size * 2 + 10 (the connection closes early)
//   Malformed  "Content-Length: abc"
// Unknown paths answer 404. The destructor stops everything, endless and
// stalled answers included.
class LoopbackHttpServer
{
public:
    // What a body producer writes through, on the connection's own thread.
    class BodyWriter
    {
    public:
        virtual ~BodyWriter() = default;
        // False once the peer has gone or the server is stopping.
        virtual bool write(const char *data, qint64 size) = 0;
        // Waits ms (or until stopping); false once stopping.
        virtual bool wait(int ms) = 0;
    };

    struct Response {
        int status = 200;
        QByteArray contentType = "application/octet-stream";
        QByteArray body;
        enum class Length { Correct, Missing, Short, Long, Malformed } length = Length::Correct;
        QByteArray location; // Location header for 3xx
        bool endless = false; // repeat body for ever (no Content-Length)
        int chunkBytes = 0; // 0: write at once; else write in chunks of this size
        int chunkDelayMs = 0; // pause between chunks (drip)
        qint64 stallAfterBytes = -1; // stop sending after this many body bytes, keep the connection open
        QList<QPair<QByteArray, QByteArray>> headers; // extra headers
        // When set, the body is whatever this writes for the request target
        // (path and query), with no Content-Length; the connection closes when
        // it returns: a generated live stream.
        std::function<void(const QByteArray &target, BodyWriter &)> produce;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer &) = delete;
    LoopbackHttpServer &operator=(const LoopbackHttpServer &) = delete;

    quint16 port() const;
    QString url(const QString &path) const; // "http://127.0.0.1:<port><path>"
    void setResponse(const QString &path, const Response &r); // thread-safe
    QList<QByteArray> requests() const; // raw request heads, in order
    int connectionCount() const;
    static quint16 unusedPort(); // nothing listens there (refused)

    struct Private;

private:
    std::unique_ptr<Private> d;
};
