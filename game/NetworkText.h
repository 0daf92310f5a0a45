#pragma once

#include "game/GamePorts.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The socket layer's errors in the program's language.
QString socketErrorText(QAbstractSocket::SocketError error);

// What the server side is told when it cannot listen on port; ports below
// 1024 need privileges on Linux, so refusals there come with that hint.
QString listenFailureText(QAbstractSocket::SocketError error, quint16 port);

// Why the client's attempt to reach address failed, in words the user can act
// on; ports are those it tried.
QString connectFailureText(
    QAbstractSocket::SocketError error, const QString &address, const GamePorts &ports);

// One IPv4 address of a network interface of this machine.
struct InterfaceAddress {
    QString interface;
    QString address;
};

// "Meu IP :" and its tooltip: the address the opponent can most likely reach,
// and the machine's other addresses as "interface: address".
struct OwnAddresses {
    QString shown;
    QStringList others;
};

// The first address of the interface that carries the IPv4 default route (the
// lowest metric in routeTable, the text of /proc/net/route): a container or
// VPN bridge listed first is not where the opponent comes from. Without a
// default route the first candidate; without candidates "127.0.0.1".
OwnAddresses pickOwnAddresses(const QByteArray &routeTable, const QList<InterfaceAddress> &candidates);

// The same for this machine: its non-loopback IPv4 addresses of interfaces that are up.
OwnAddresses ownAddresses();
QString localAddressText();
