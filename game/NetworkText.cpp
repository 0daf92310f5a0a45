#include "game/NetworkText.h"

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

QString listenFailureText(QAbstractSocket::SocketError error, quint16 port)
{
    QString text = QStringLiteral("Não foi possível aguardar conexões na porta %1: %2")
                       .arg(port)
                       .arg(socketErrorText(error));
    if (port < 1024 && error == QAbstractSocket::SocketAccessError) {
        text += QStringLiteral("\nNo Linux, portas abaixo de 1024 são privilegiadas: só um programa com "
                               "permissão de administrador pode usá-las. Peça ao adversário para ser o "
                               "Servidor.");
    }
    return text;
}

QString localAddressText()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}
