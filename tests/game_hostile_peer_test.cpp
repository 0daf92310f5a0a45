#include "game/GameWindow.h"
#include "tests/support/GameWindowProbe.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace
{
const QString YourTurn = QStringLiteral("Sua Vez");
const QString PeerTurn = QStringLiteral("Vez do Adversário");
const QString PeerLeft = QStringLiteral("Adversário desconectou.");
const QString Connected = QStringLiteral("Conectado a 127.0.0.1");

// Writes bytes from a raw socket and waits until they have left it.
bool sendRaw(QTcpSocket &socket, const QByteArray &bytes)
{
    socket.write(bytes);
    return QTest::qWaitFor([&socket] { return socket.bytesToWrite() == 0; });
}

// Waits for the next size bytes the window sent.
QByteArray readRaw(QTcpSocket &socket, qint64 size = 2)
{
    if (!QTest::qWaitFor([&socket, size] { return socket.bytesAvailable() >= size; }))
        return socket.readAll();
    return socket.read(size);
}
} // namespace

// The game window against a peer that is not a copy of the program: a raw
// socket that sends what it likes, splits, joins, floods and drops.
class GameHostilePeerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void garbageAndUnexpectedMessagesChangeNothing();
    void messagesSplitOverReadsTakeEffectOnceComplete();
    void moveAndNewGameInOneReadBothTakeEffect();
    void floodDoesNotStopTheGame();
    void secondClientIsRefused();
    void droppedConnectionMidGameIsNoticed();
    void serverDroppingTheClientIsNoticed();

private:
    // A game window as server, with the raw socket as its client; the server
    // has made its first move, so the raw client is to play.
    bool serverAwaitingRawMove();

    std::unique_ptr<GameWindowProbe> m_game;
    std::unique_ptr<QTcpSocket> m_raw;
};

void GameHostilePeerTest::init()
{
    m_game = std::make_unique<GameWindowProbe>(quint16(0));
    m_raw = std::make_unique<QTcpSocket>();
}

void GameHostilePeerTest::cleanup()
{
    m_raw.reset();
    m_game.reset();
}

bool GameHostilePeerTest::serverAwaitingRawMove()
{
    m_game->chooseServer();
    if (!m_game->server()->isListening())
        return false;
    m_raw->connectToHost(QHostAddress::LocalHost, m_game->server()->serverPort());
    if (!QTest::qWaitFor([this] { return m_game->connection() == Connected; }))
        return false;
    m_game->cell(5)->click();
    return readRaw(*m_raw) == "X5" && m_game->status() == PeerTurn;
}

void GameHostilePeerTest::garbageAndUnexpectedMessagesChangeNothing()
{
    QVERIFY(serverAwaitingRawMove());
    // Garbage, the server's own mark, a taken cell, a "New" in mid-game, a
    // lower-case move: none of it may open the board or mark a cell.
    QVERIFY(sendRaw(*m_raw, QByteArray("hello\0\xff\r\nX1O5Newo2O0", 20)));
    // Then a valid move, and straight after it a second one out of turn.
    QVERIFY(sendRaw(*m_raw, "O1O2"));
    QTRY_COMPARE(m_game->caption(1), QStringLiteral("O"));
    QCOMPARE(m_game->board(), QStringLiteral("O...X...."));
    QCOMPARE(m_game->status(), YourTurn);
    QCOMPARE(m_game->openCells(), QStringLiteral(".111.1111"));
    QVERIFY(m_game->messages.isEmpty());

    m_game->cell(9)->click();
    QCOMPARE(readRaw(*m_raw), QByteArray("X9"));
    QVERIFY(sendRaw(*m_raw, "O3"));
    QTRY_COMPARE(m_game->caption(3), QStringLiteral("O"));
    QCOMPARE(m_game->board(), QStringLiteral("O.O.X...X"));
}

void GameHostilePeerTest::messagesSplitOverReadsTakeEffectOnceComplete()
{
    QVERIFY(serverAwaitingRawMove());
    QTcpSocket *accepted = m_game->acceptedConnection();
    QVERIFY(accepted);
    // The window reads before this spy hears the signal.
    QSignalSpy reads(accepted, &QIODevice::readyRead);
    QVERIFY(sendRaw(*m_raw, "O"));
    QVERIFY(reads.wait());
    QCOMPARE(m_game->board(), QStringLiteral("....X...."));
    QCOMPARE(m_game->status(), PeerTurn);
    QVERIFY(sendRaw(*m_raw, "7"));
    QTRY_COMPARE(m_game->caption(7), QStringLiteral("O"));
    QCOMPARE(m_game->status(), YourTurn);
}

void GameHostilePeerTest::moveAndNewGameInOneReadBothTakeEffect()
{
    // Here the raw socket is the server and the window its client.
    QTcpServer rawServer;
    QVERIFY(rawServer.listen(QHostAddress::LocalHost, 0));
    GameWindowProbe game(rawServer.serverPort());
    game.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
    QVERIFY(rawServer.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> server(rawServer.nextPendingConnection());
    QTRY_COMPARE(game.connection(), Connected);

    for (const auto &[x, o] : { std::pair { "X1", 4 }, std::pair { "X2", 5 } }) {
        QVERIFY(sendRaw(*server, x));
        QTRY_COMPARE(game.status(), YourTurn);
        game.cell(o)->click();
        QCOMPARE(readRaw(*server), QByteArray("O") + QByteArray::number(o));
    }
    QVERIFY(sendRaw(*server, "X3New"));
    QTRY_COMPARE(game.peerScore(), QStringLiteral("1"));
    QCOMPARE(game.ownScore(), QStringLiteral("0"));
    QCOMPARE(game.status(), PeerTurn);
    QCOMPARE(game.board(), QStringLiteral("........."));
    QCOMPARE(game.openCells(), QStringLiteral("........."));
    QVERIFY(!game.button("SpeedButton12")->isEnabled());
    // The next game goes on.
    QVERIFY(sendRaw(*server, "X9"));
    QTRY_COMPARE(game.caption(9), QStringLiteral("X"));
}

void GameHostilePeerTest::floodDoesNotStopTheGame()
{
    QVERIFY(serverAwaitingRawMove());
    QTcpSocket *accepted = m_game->acceptedConnection();
    QVERIFY(accepted);
    // What Qt may buffer for the window is bounded, whatever the peer sends.
    QVERIFY(accepted->readBufferSize() > 0);
    QVERIFY(accepted->readBufferSize() <= 64 * 1024);

    QByteArray flood(1 << 20, 'z');
    for (qsizetype i = 0; i < flood.size(); i += 7)
        flood[i] = 'N';
    m_raw->write(flood);
    m_raw->write("O1");
    QTRY_COMPARE_WITH_TIMEOUT(m_game->caption(1), QStringLiteral("O"), 20000);
    QCOMPARE(m_game->board(), QStringLiteral("O...X...."));
    QCOMPARE(m_game->status(), YourTurn);
    m_game->cell(2)->click();
    QCOMPARE(readRaw(*m_raw), QByteArray("X2"));
}

void GameHostilePeerTest::secondClientIsRefused()
{
    QVERIFY(serverAwaitingRawMove());
    QTcpSocket intruder;
    intruder.connectToHost(QHostAddress::LocalHost, m_game->server()->serverPort());
    QTRY_COMPARE(intruder.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(m_game->connection(), Connected);
    QCOMPARE(m_game->status(), PeerTurn);
    QCOMPARE(m_game->openCells(), QStringLiteral("........."));
    QCOMPARE(m_game->server()->findChildren<QTcpSocket *>().size(), 1);

    // The first client still plays.
    QVERIFY(sendRaw(*m_raw, "O2"));
    QTRY_COMPARE(m_game->caption(2), QStringLiteral("O"));
    m_game->cell(3)->click();
    QCOMPARE(readRaw(*m_raw), QByteArray("X3"));
}

void GameHostilePeerTest::droppedConnectionMidGameIsNoticed()
{
    QVERIFY(serverAwaitingRawMove());
    QVERIFY(sendRaw(*m_raw, "O1"));
    QTRY_COMPARE(m_game->status(), YourTurn);
    m_raw->abort();
    QTRY_COMPARE(m_game->connection(), PeerLeft);
    QCOMPARE(m_game->status(), PeerLeft);
    QCOMPARE(m_game->openCells(), QStringLiteral("........."));
    QVERIFY(m_game->rolesSelectable());
    QVERIFY(!m_game->server()->isListening());
    QVERIFY(m_game->messages.isEmpty());

    // The window keeps working: serve again and play with a new client.
    m_raw = std::make_unique<QTcpSocket>();
    QVERIFY(serverAwaitingRawMove());
    QCOMPARE(m_game->board(), QStringLiteral("....X...."));
}

void GameHostilePeerTest::serverDroppingTheClientIsNoticed()
{
    QTcpServer rawServer;
    QVERIFY(rawServer.listen(QHostAddress::LocalHost, 0));
    GameWindowProbe game(rawServer.serverPort());
    game.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
    QVERIFY(rawServer.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> server(rawServer.nextPendingConnection());
    QTRY_COMPARE(game.connection(), Connected);
    QVERIFY(sendRaw(*server, "X5"));
    QTRY_COMPARE(game.status(), YourTurn);
    server->disconnectFromHost();
    QTRY_COMPARE(game.connection(), PeerLeft);
    QCOMPARE(game.status(), PeerLeft);
    QCOMPARE(game.openCells(), QStringLiteral("........."));
    QVERIFY(game.rolesSelectable());
    QVERIFY(game.messages.isEmpty());
    // A move with no connection sends nothing and fails nothing.
    game.window.playCell(1);
    QCOMPARE(game.board(), QStringLiteral("........."));
}

QTEST_MAIN(GameHostilePeerTest)
#include "game_hostile_peer_test.moc"
