#include "tests/support/LoopbackTlsProxy.h"

#include "tests/support/LoopbackListener.h"

#include <QFile>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <list>
#include <mutex>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <set>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace
{

QString tlsFixture(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("LUMI_FIXTURE_DIR")) + QStringLiteral("/tls/") + name;
}

} // namespace

struct LoopbackTlsProxy::Private {
    quint16 plainPort = 0;
    LoopbackListener listener { "LoopbackTlsProxy" };
    SSL_CTX *ctx = nullptr;
    std::atomic<bool> stopping { false };

    std::mutex mutex;
    std::set<int> open; // sockets of running connections, shut down to end them
    std::list<std::thread> threads;
    std::thread acceptor;

    void acceptLoop();
    void serve(int client);
    void relay(SSL *ssl, int client, int plain);
};

void LoopbackTlsProxy::Private::acceptLoop()
{
    for (;;) {
        pollfd fds[2] = { { listener.listenFd(), POLLIN, 0 }, { listener.wakeFd(), POLLIN, 0 } };
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (stopping.load())
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        const int fd = ::accept4(listener.listenFd(), nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard<std::mutex> lock(mutex);
        open.insert(fd);
        threads.emplace_back([this, fd] {
            serve(fd);
            std::lock_guard<std::mutex> done(mutex);
            open.erase(fd);
            ::close(fd);
        });
    }
}

void LoopbackTlsProxy::Private::serve(int client)
{
    // A client that never speaks must not hold the thread past the test.
    const timeval timeout { 10, 0 };
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    SSL *ssl = SSL_new(ctx);
    SSL_set_fd(ssl, client);
    if (SSL_accept(ssl) == 1) {
        const int plain = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in addr = LoopbackListener::address(plainPort);
        if (plain >= 0 && ::connect(plain, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) == 0) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                open.insert(plain);
            }
            relay(ssl, client, plain);
            std::lock_guard<std::mutex> lock(mutex);
            open.erase(plain);
        }
        if (plain >= 0)
            ::close(plain);
    }
    SSL_free(ssl);
}

void LoopbackTlsProxy::Private::relay(SSL *ssl, int client, int plain)
{
    char buffer[16384];
    bool clientOpen = true;
    for (;;) {
        if (!clientOpen || SSL_pending(ssl) == 0) {
            pollfd fds[3] = { { plain, POLLIN, 0 }, { listener.wakeFd(), POLLIN, 0 },
                { client, short(clientOpen ? POLLIN : 0), 0 } };
            if (::poll(fds, 3, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (stopping.load())
                return;
            if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
                const ssize_t n = ::recv(plain, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    SSL_shutdown(ssl);
                    return;
                }
                if (SSL_write(ssl, buffer, int(n)) <= 0)
                    return;
            }
            if (!clientOpen || !(fds[2].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
        }
        const int n = SSL_read(ssl, buffer, sizeof buffer);
        if (n <= 0) {
            // The client is done sending; the answer may still be on its way.
            clientOpen = false;
            ::shutdown(plain, SHUT_WR);
            continue;
        }
        if (::send(plain, buffer, size_t(n), MSG_NOSIGNAL) != n)
            return;
    }
}

LoopbackTlsProxy::LoopbackTlsProxy(quint16 plainPort, Certificate certificate)
    : d(std::make_unique<Private>())
{
    // A client that goes mid-write must not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    d->plainPort = plainPort;
    const char *name = certificate == Certificate::Trusted ? "server"
        : certificate == Certificate::SelfSigned           ? "selfsigned"
                                                           : "othername";
    const QByteArray cert = QFile::encodeName(tlsFixture(QString::fromLatin1(name) + QStringLiteral(".pem")));
    const QByteArray key = QFile::encodeName(tlsFixture(QString::fromLatin1(name) + QStringLiteral(".key")));
    d->ctx = SSL_CTX_new(TLS_server_method());
    if (!d->ctx || SSL_CTX_use_certificate_chain_file(d->ctx, cert.constData()) != 1
        || SSL_CTX_use_PrivateKey_file(d->ctx, key.constData(), SSL_FILETYPE_PEM) != 1)
        throw std::runtime_error("LoopbackTlsProxy: cannot load " + cert.toStdString());

    d->acceptor = std::thread([this] { d->acceptLoop(); });
}

LoopbackTlsProxy::~LoopbackTlsProxy()
{
    d->stopping.store(true);
    d->listener.stop();
    d->acceptor.join();
    {
        // Wakes connections blocked in a read or a write.
        std::lock_guard<std::mutex> lock(d->mutex);
        for (const int fd : d->open)
            ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread &thread : d->threads)
        thread.join();
    SSL_CTX_free(d->ctx);
}

quint16 LoopbackTlsProxy::port() const
{
    return d->listener.port();
}

QString LoopbackTlsProxy::url(const QString &path) const
{
    return QStringLiteral("https://127.0.0.1:%1%2").arg(d->listener.port()).arg(path);
}

QString LoopbackTlsProxy::testCaFile()
{
    return tlsFixture(QStringLiteral("ca.pem"));
}
