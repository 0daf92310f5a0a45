#include "tests/support/LoopbackHttpServer.h"

#include "tests/support/LoopbackListener.h"

#include <QHash>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <list>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace
{

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 304:
        return "Not Modified";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

} // namespace

struct LoopbackHttpServer::Private {
    LoopbackListener listener { "LoopbackHttpServer" };
    std::atomic<bool> stopping { false };
    std::atomic<int> connections { 0 };

    mutable std::mutex mutex;
    QHash<QString, Response> responses;
    QList<QByteArray> requests;

    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::mutex workersMutex;
    std::list<Worker> workers;
    std::thread acceptor;

    void acceptLoop();
    void reapFinished();
    void serve(int fd);

    // Waits for `events` on fd or for the stop signal; false once stopping or on error.
    bool waitFor(int fd, short events, int timeoutMs, bool *timedOut = nullptr) const;
    bool sendAll(int fd, const char *data, qint64 size) const;
    bool pause(int ms) const;
    void holdUntilClosed(int fd) const;
};

bool LoopbackHttpServer::Private::waitFor(int fd, short events, int timeoutMs, bool *timedOut) const
{
    if (timedOut)
        *timedOut = false;
    for (;;) {
        pollfd fds[2] = { { fd, events, 0 }, { listener.wakeFd(), POLLIN, 0 } };
        const int n = ::poll(fds, 2, timeoutMs);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (stopping.load() || (fds[1].revents & POLLIN))
            return false;
        if (n == 0) {
            if (timedOut)
                *timedOut = true;
            return false;
        }
        if (fds[0].revents & (events | POLLHUP | POLLERR))
            return true;
    }
}

bool LoopbackHttpServer::Private::pause(int ms) const
{
    if (ms <= 0)
        return !stopping.load();
    pollfd fd { listener.wakeFd(), POLLIN, 0 };
    while (::poll(&fd, 1, ms) < 0 && errno == EINTR) { }
    return !stopping.load();
}

bool LoopbackHttpServer::Private::sendAll(int fd, const char *data, qint64 size) const
{
    while (size > 0) {
        if (stopping.load())
            return false;
        const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            data += n;
            size -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, POLLOUT, -1))
                return false;
            continue;
        }
        return false; // peer gone
    }
    return true;
}

void LoopbackHttpServer::Private::holdUntilClosed(int fd) const
{
    char sink[4096];
    while (waitFor(fd, POLLIN, -1)) {
        const ssize_t n = ::recv(fd, sink, sizeof sink, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return;
    }
}

void LoopbackHttpServer::Private::serve(int fd)
{
    // Read the request head (and any body, so closing does not reset the connection).
    QByteArray buffer;
    qsizetype headEnd = -1;
    char chunk[8192];
    while (headEnd < 0) {
        if (!waitFor(fd, POLLIN, -1))
            return;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n == 0)
            return;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return;
        }
        buffer.append(chunk, n);
        headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0 && buffer.size() > 256 * 1024)
            return;
    }
    const QByteArray head = buffer.left(headEnd + 4);
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    const QByteArray method = requestLine.value(0);
    const QByteArray target = requestLine.value(1);

    qint64 requestBody = 0;
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            requestBody = line.mid(colon + 1).trimmed().toLongLong();
    }
    qint64 bodyRead = buffer.size() - (headEnd + 4);
    while (bodyRead < requestBody && bodyRead < 64 * 1024 * 1024) {
        if (!waitFor(fd, POLLIN, 5000))
            break;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            break;
        }
        bodyRead += n;
    }

    Response r;
    bool found = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.append(head);
        const QString path = QString::fromLatin1(target);
        auto it = responses.constFind(path);
        if (it == responses.constEnd()) {
            const qsizetype query = path.indexOf(QLatin1Char('?'));
            if (query >= 0)
                it = responses.constFind(path.left(query));
        }
        if (it != responses.constEnd()) {
            r = *it;
            found = true;
        }
    }
    if (!found) {
        r = Response();
        r.status = 404;
        r.contentType = "text/plain";
        r.body = "Not Found";
    }

    QByteArray answer = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + reasonPhrase(r.status) + "\r\n";
    answer += "Content-Type: " + r.contentType + "\r\n";
    if (!r.endless && !r.produce) {
        switch (r.length) {
        case Response::Length::Correct:
            answer += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
            break;
        case Response::Length::Missing:
            break;
        case Response::Length::Short:
            answer += "Content-Length: " + QByteArray::number(r.body.size() / 2) + "\r\n";
            break;
        case Response::Length::Long:
            answer += "Content-Length: " + QByteArray::number(r.body.size() * 2 + 10) + "\r\n";
            break;
        case Response::Length::Malformed:
            answer += "Content-Length: abc\r\n";
            break;
        }
    }
    if (!r.location.isEmpty())
        answer += "Location: " + r.location + "\r\n";
    for (const auto &header : std::as_const(r.headers))
        answer += header.first + ": " + header.second + "\r\n";
    answer += "Connection: close\r\n\r\n";
    if (!sendAll(fd, answer.constData(), answer.size()))
        return;

    if (method != "HEAD" && r.produce) {
        struct Writer : BodyWriter {
            const Private &server;
            int fd;
            Writer(const Private &s, int f)
                : server(s)
                , fd(f)
            {
            }
            bool write(const char *data, qint64 size) override { return server.sendAll(fd, data, size); }
            bool wait(int ms) override { return server.pause(ms); }
        } writer(*this, fd);
        r.produce(target, writer);
    } else if (method != "HEAD") {
        QByteArray body = r.body;
        if (r.endless && body.isEmpty())
            body = "x";
        if (r.endless && r.chunkBytes <= 0) {
            // Repeating a tiny body byte by byte would only measure syscalls.
            while (body.size() < 64 * 1024)
                body += body;
        }
        const qint64 limit = r.stallAfterBytes >= 0 ? r.stallAfterBytes : -1;
        qint64 sent = 0;
        qint64 offset = 0;
        bool first = true;
        for (;;) {
            if (!r.endless && offset >= body.size())
                break;
            if (limit >= 0 && sent >= limit)
                break;
            if (r.endless && offset >= body.size())
                offset = 0;
            if (!first && !pause(r.chunkDelayMs))
                return;
            first = false;
            qint64 n = body.size() - offset;
            if (r.chunkBytes > 0)
                n = std::min<qint64>(n, r.chunkBytes);
            if (limit >= 0)
                n = std::min<qint64>(n, limit - sent);
            if (!sendAll(fd, body.constData() + offset, n))
                return;
            offset += n;
            sent += n;
        }
        if (limit >= 0 && sent >= limit && (r.endless || limit < body.size())) {
            holdUntilClosed(fd);
            return;
        }
    }

    // Half-close and let the client read to the end before the socket goes.
    ::shutdown(fd, SHUT_WR);
    char sink[4096];
    bool timedOut = false;
    while (waitFor(fd, POLLIN, 2000, &timedOut)) {
        const ssize_t n = ::recv(fd, sink, sizeof sink, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            break;
    }
}

void LoopbackHttpServer::Private::reapFinished()
{
    std::lock_guard<std::mutex> lock(workersMutex);
    for (auto it = workers.begin(); it != workers.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = workers.erase(it);
        } else {
            ++it;
        }
    }
}

void LoopbackHttpServer::Private::acceptLoop()
{
    for (;;) {
        if (!waitFor(listener.listenFd(), POLLIN, -1))
            return;
        const int fd = ::accept4(listener.listenFd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        connections.fetch_add(1);
        reapFinished();
        auto done = std::make_shared<std::atomic<bool>>(false);
        std::lock_guard<std::mutex> lock(workersMutex);
        workers.push_back({ std::thread([this, fd, done] {
                               serve(fd);
                               ::close(fd);
                               done->store(true);
                           }),
            done });
    }
}

LoopbackHttpServer::LoopbackHttpServer()
    : d(std::make_unique<Private>())
{
    d->acceptor = std::thread([this] { d->acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    d->stopping.store(true);
    d->listener.stop();
    d->acceptor.join();
    std::lock_guard<std::mutex> lock(d->workersMutex);
    for (auto &worker : d->workers)
        worker.thread.join();
    d->workers.clear();
}

quint16 LoopbackHttpServer::port() const
{
    return d->listener.port();
}

QString LoopbackHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(d->listener.port()).arg(path);
}

void LoopbackHttpServer::setResponse(const QString &path, const Response &r)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->responses.insert(path, r);
}

QList<QByteArray> LoopbackHttpServer::requests() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->requests;
}

int LoopbackHttpServer::connectionCount() const
{
    return d->connections.load();
}

quint16 LoopbackHttpServer::unusedPort()
{
    // A socket bound but never listening refuses every connection, and holding it
    // for the life of the process keeps anyone else from taking the port.
    static const quint16 port = [] {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in addr = LoopbackListener::address(0);
        if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0)
            return quint16(1); // port 1 (tcpmux) is unused on any test machine
        return LoopbackListener::boundPort(fd);
    }();
    return port;
}
