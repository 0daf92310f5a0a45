#pragma once

#include <QAbstractSocket>
#include <QString>

// The socket layer's errors in the program's language.
QString socketErrorText(QAbstractSocket::SocketError error);

// What the server side is told when it cannot listen on port; ports below
// 1024 need privileges on Linux, so refusals there come with that hint.
QString listenFailureText(QAbstractSocket::SocketError error, quint16 port);

// The first IPv4 address of this machine that is not a loopback one, in
// dotted form, or "127.0.0.1" when there is none.
QString localAddressText();
