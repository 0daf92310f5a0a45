#pragma once

#include <QtGlobal>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

// What the loopback test servers share: a socket listening on 127.0.0.1 (a
// port the kernel picks) and a pipe that, once stop() is called, stays
// readable, so that every poll() of the server's threads wakes and ends.
class LoopbackListener
{
public:
    explicit LoopbackListener(const char *owner); // throws std::runtime_error
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener &) = delete;
    LoopbackListener &operator=(const LoopbackListener &) = delete;

    void stop();

    int listenFd() const { return m_listenFd; }
    int wakeFd() const { return m_wakeRead; }
    quint16 port() const { return m_port; }

    static sockaddr_in address(quint16 port);
    // The port a socket is bound to; 0 when it cannot be read.
    static quint16 boundPort(int fd);

private:
    int m_listenFd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    quint16 m_port = 0;
};

inline LoopbackListener::LoopbackListener(const char *owner)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string(owner) + ": pipe failed");
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const sockaddr_in addr = address(0);
    if (m_listenFd < 0 || ::bind(m_listenFd, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(m_listenFd, 64) != 0 || (m_port = boundPort(m_listenFd)) == 0)
        throw std::runtime_error(std::string(owner) + ": cannot listen on 127.0.0.1");
}

inline LoopbackListener::~LoopbackListener()
{
    ::close(m_listenFd);
    ::close(m_wakeRead);
    ::close(m_wakeWrite);
}

inline void LoopbackListener::stop()
{
    const char byte = 'q';
    while (::write(m_wakeWrite, &byte, 1) < 0 && errno == EINTR) { }
}

inline sockaddr_in LoopbackListener::address(quint16 port)
{
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

inline quint16 LoopbackListener::boundPort(int fd)
{
    sockaddr_in addr {};
    socklen_t len = sizeof addr;
    if (::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        return 0;
    return ntohs(addr.sin_port);
}
