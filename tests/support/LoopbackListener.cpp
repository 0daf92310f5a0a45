#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

LoopbackListener::LoopbackListener(const char *owner)
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

LoopbackListener::~LoopbackListener()
{
    ::close(m_listenFd);
    ::close(m_wakeRead);
    ::close(m_wakeWrite);
}

void LoopbackListener::stop()
{
    const char byte = 'q';
    while (::write(m_wakeWrite, &byte, 1) < 0 && errno == EINTR) { }
}

sockaddr_in LoopbackListener::address(quint16 port)
{
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

quint16 LoopbackListener::boundPort(int fd)
{
    sockaddr_in addr {};
    socklen_t len = sizeof addr;
    if (::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        return 0;
    return ntohs(addr.sin_port);
}
