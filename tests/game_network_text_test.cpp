#include "game/NetworkText.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTest>

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

QTEST_GUILESS_MAIN(GameNetworkTextTest)
#include "game_network_text_test.moc"
