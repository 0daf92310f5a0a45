#include "game/NetworkText.h"

#include <QFile>
#include <QNetworkInterface>

QString socketErrorText(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("A conexão foi recusada.");
    case QAbstractSocket::RemoteHostClosedError:
        return QStringLiteral("O outro computador fechou a conexão.");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("Endereço não encontrado.");
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("Permissão negada.");
    case QAbstractSocket::SocketResourceError:
        return QStringLiteral("O sistema não tem recursos para abrir mais conexões.");
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("O tempo de espera esgotou.");
    case QAbstractSocket::NetworkError:
        return QStringLiteral("Erro na rede.");
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("A porta já está em uso por outro programa.");
    case QAbstractSocket::SocketAddressNotAvailableError:
        return QStringLiteral("Este endereço não pertence a este computador.");
    case QAbstractSocket::UnsupportedSocketOperationError:
        return QStringLiteral("Operação não suportada por este sistema.");
    default:
        break;
    }
    return QStringLiteral("Erro de rede desconhecido (código %1).").arg(static_cast<int>(error));
}

QString connectFailureText(QAbstractSocket::SocketError error, const QString &address, const GamePorts &ports)
{
    const QString portText = ports.hasFallback()
        ? QStringLiteral("nas portas %1 e %2").arg(ports.usual).arg(ports.fallback)
        : QStringLiteral("na porta %1").arg(ports.usual);
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("O computador %1 recusou a conexão: nele ninguém aguarda como Servidor %2.")
            .arg(address, portText);
    case QAbstractSocket::NetworkError:
        return QStringLiteral("O computador %1 não pode ser alcançado desta rede. Confira o endereço e a "
                              "conexão.")
            .arg(address);
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("O computador %1 não respondeu. Confira o endereço e se um firewall bloqueia "
                              "a conexão %2.")
            .arg(address, portText);
    default:
        break;
    }
    return socketErrorText(error);
}

QString listenFailureText(QAbstractSocket::SocketError error, quint16 port)
{
    QString text = QStringLiteral("Não foi possível aguardar conexões na porta %1: %2")
                       .arg(port)
                       .arg(socketErrorText(error));
    if (port < 1024 && error == QAbstractSocket::SocketAccessError)
        text += QStringLiteral("\nNo Linux, portas abaixo de 1024 são privilegiadas: só um programa com "
                               "permissão de administrador pode usá-las.");
    return text;
}

namespace
{
// The interface of the IPv4 default route with the lowest metric; empty without one.
QString defaultRouteInterface(const QByteArray &routeTable)
{
    QString best;
    qlonglong bestMetric = -1;
    const QList<QByteArray> lines = routeTable.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].simplified().split(' ');
        if (fields.size() < 8)
            continue;
        bool ok = false;
        const uint flags = fields[3].toUInt(&ok, 16);
        const bool up = ok && (flags & 0x1);
        const qlonglong metric = fields[6].toLongLong(&ok);
        if (!up || !ok || fields[1] != "00000000" || fields[7] != "00000000")
            continue;
        if (bestMetric < 0 || metric < bestMetric) {
            best = QString::fromLatin1(fields[0]);
            bestMetric = metric;
        }
    }
    return best;
}
} // namespace

OwnAddresses pickOwnAddresses(const QByteArray &routeTable, const QList<InterfaceAddress> &candidates)
{
    if (candidates.isEmpty())
        return { QStringLiteral("127.0.0.1"), {} };
    const QString routed = defaultRouteInterface(routeTable);
    qsizetype chosen = 0;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (!routed.isEmpty() && candidates[i].interface == routed) {
            chosen = i;
            break;
        }
    }
    OwnAddresses result;
    result.shown = candidates[chosen].address;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (i != chosen)
            result.others << candidates[i].interface + QStringLiteral(": ") + candidates[i].address;
    }
    return result;
}

OwnAddresses ownAddresses()
{
    QList<InterfaceAddress> candidates;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                candidates.append({ interface.name(), address.toString() });
        }
    }
    QFile routes(QStringLiteral("/proc/net/route"));
    const QByteArray routeTable = routes.open(QIODevice::ReadOnly) ? routes.read(64 * 1024) : QByteArray();
    return pickOwnAddresses(routeTable, candidates);
}

QString localAddressText()
{
    return ownAddresses().shown;
}
