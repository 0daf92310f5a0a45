#include "game/NetworkText.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTest>

Q_DECLARE_METATYPE(InterfaceAddress)

class GameNetworkTextTest : public QObject
{
    Q_OBJECT

private slots:
    void socketErrorsReadInPortuguese_data();
    void socketErrorsReadInPortuguese();
    void unknownErrorKeepsItsCode();
    void refusedPrivilegedPortExplainsWhy_data();
    void refusedPrivilegedPortExplainsWhy();
    void ownAddressIsAnIPv4OfThisMachine();
    void ownAddressIsThatOfTheDefaultRoute_data();
    void ownAddressIsThatOfTheDefaultRoute();
    void failedConnectionSaysWhatHappened_data();
    void failedConnectionSaysWhatHappened();
};

void GameNetworkTextTest::socketErrorsReadInPortuguese_data()
{
    QTest::addColumn<QAbstractSocket::SocketError>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("refused") << QAbstractSocket::ConnectionRefusedError
                             << QStringLiteral("A conexão foi recusada.");
    QTest::newRow("closed") << QAbstractSocket::RemoteHostClosedError
                            << QStringLiteral("O outro computador fechou a conexão.");
    QTest::newRow("access") << QAbstractSocket::SocketAccessError << QStringLiteral("Permissão negada.");
    QTest::newRow("in use") << QAbstractSocket::AddressInUseError
                            << QStringLiteral("A porta já está em uso por outro programa.");
    QTest::newRow("timeout") << QAbstractSocket::SocketTimeoutError
                             << QStringLiteral("O tempo de espera esgotou.");
    QTest::newRow("network") << QAbstractSocket::NetworkError << QStringLiteral("Erro na rede.");
}

void GameNetworkTextTest::socketErrorsReadInPortuguese()
{
    QFETCH(QAbstractSocket::SocketError, error);
    QFETCH(QString, text);
    QCOMPARE(socketErrorText(error), text);
}

void GameNetworkTextTest::unknownErrorKeepsItsCode()
{
    QCOMPARE(socketErrorText(QAbstractSocket::ProxyConnectionRefusedError),
        QStringLiteral("Erro de rede desconhecido (código %1).")
            .arg(int(QAbstractSocket::ProxyConnectionRefusedError)));
}

void GameNetworkTextTest::refusedPrivilegedPortExplainsWhy_data()
{
    QTest::addColumn<QAbstractSocket::SocketError>("error");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("hint");
    QTest::newRow("23 refused") << QAbstractSocket::SocketAccessError << 23 << true;
    QTest::newRow("23 in use") << QAbstractSocket::AddressInUseError << 23 << false;
    QTest::newRow("2300 refused") << QAbstractSocket::SocketAccessError << 2300 << false;
}

void GameNetworkTextTest::refusedPrivilegedPortExplainsWhy()
{
    QFETCH(QAbstractSocket::SocketError, error);
    QFETCH(int, port);
    QFETCH(bool, hint);
    const QString text = listenFailureText(error, quint16(port));
    QVERIFY2(text.startsWith(QStringLiteral("Não foi possível aguardar conexões na porta %1: %2")
                                 .arg(port)
                                 .arg(socketErrorText(error))),
        qPrintable(text));
    QCOMPARE(text.contains(QStringLiteral("portas abaixo de 1024 são privilegiadas")), hint);
}

void GameNetworkTextTest::ownAddressIsAnIPv4OfThisMachine()
{
    const QString text = localAddressText();
    const QHostAddress address(text);
    QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
    QCOMPARE(address.toString(), text);
    if (text != QStringLiteral("127.0.0.1")) {
        QVERIFY(!address.isLoopback());
        QVERIFY(QNetworkInterface::allAddresses().contains(address));
    } else {
        for (const QHostAddress &own : QNetworkInterface::allAddresses())
            QVERIFY2(own.protocol() != QAbstractSocket::IPv4Protocol || own.isLoopback(),
                qPrintable(own.toString()));
    }
}

void GameNetworkTextTest::ownAddressIsThatOfTheDefaultRoute_data()
{
    const QByteArray header
        = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    const QList<InterfaceAddress> bridgeFirst { { QStringLiteral("docker0"), QStringLiteral("172.17.0.1") },
        { QStringLiteral("eth0"), QStringLiteral("192.168.0.7") },
        { QStringLiteral("tun0"), QStringLiteral("10.8.0.2") } };
    QTest::addColumn<QByteArray>("routes");
    QTest::addColumn<QList<InterfaceAddress>>("candidates");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("others");
    QTest::newRow("bridge listed first")
        << header
            + "docker0\t0000FEAC\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n"
              "eth0\t00000000\t0100A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        << bridgeFirst << QStringLiteral("192.168.0.7")
        << QStringList { QStringLiteral("docker0: 172.17.0.1"), QStringLiteral("tun0: 10.8.0.2") };
    QTest::newRow("lowest metric wins")
        << header
            + "eth0\t00000000\t0100A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
              "tun0\t00000000\t0100080A\t0003\t0\t0\t50\t00000000\t0\t0\t0\n"
        << bridgeFirst << QStringLiteral("10.8.0.2")
        << QStringList { QStringLiteral("docker0: 172.17.0.1"), QStringLiteral("eth0: 192.168.0.7") };
    QTest::newRow("route that is down")
        << header + "eth0\t00000000\t0100A8C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n"
        << bridgeFirst << QStringLiteral("172.17.0.1")
        << QStringList { QStringLiteral("eth0: 192.168.0.7"), QStringLiteral("tun0: 10.8.0.2") };
    QTest::newRow("no route table") << QByteArray() << bridgeFirst.mid(1) << QStringLiteral("192.168.0.7")
                                    << QStringList { QStringLiteral("tun0: 10.8.0.2") };
    QTest::newRow("no address") << header << QList<InterfaceAddress>() << QStringLiteral("127.0.0.1")
                                << QStringList();
}

void GameNetworkTextTest::ownAddressIsThatOfTheDefaultRoute()
{
    QFETCH(QByteArray, routes);
    QFETCH(QList<InterfaceAddress>, candidates);
    QFETCH(QString, shown);
    QFETCH(QStringList, others);
    const OwnAddresses own = pickOwnAddresses(routes, candidates);
    QCOMPARE(own.shown, shown);
    QCOMPARE(own.others, others);
}

void GameNetworkTextTest::failedConnectionSaysWhatHappened_data()
{
    QTest::addColumn<QAbstractSocket::SocketError>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("refused") << QAbstractSocket::ConnectionRefusedError
                             << QStringLiteral(
                                    "O computador 10.0.0.5 recusou a conexão: nele ninguém aguarda como "
                                    "Servidor nas portas 23 e 2323.");
    QTest::newRow("unreachable") << QAbstractSocket::NetworkError
                                 << QStringLiteral("O computador 10.0.0.5 não pode ser alcançado desta rede. "
                                                   "Confira o endereço e a conexão.");
    QTest::newRow("no answer") << QAbstractSocket::SocketTimeoutError
                               << QStringLiteral(
                                      "O computador 10.0.0.5 não respondeu. Confira o endereço e se um "
                                      "firewall bloqueia a conexão nas portas 23 e 2323.");
    QTest::newRow("other") << QAbstractSocket::SocketResourceError
                           << QStringLiteral("O sistema não tem recursos para abrir mais conexões.");
}

void GameNetworkTextTest::failedConnectionSaysWhatHappened()
{
    QFETCH(QAbstractSocket::SocketError, error);
    QFETCH(QString, text);
    QCOMPARE(connectFailureText(error, QStringLiteral("10.0.0.5"), GamePorts()), text);
}

QTEST_GUILESS_MAIN(GameNetworkTextTest)
#include "game_network_text_test.moc"
