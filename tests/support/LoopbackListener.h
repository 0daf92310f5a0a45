#pragma once

#include <QtGlobal>
#include <netinet/in.h>

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
