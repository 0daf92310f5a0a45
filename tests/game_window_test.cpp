#include "game/GameWindow.h"
#include "game/NetworkText.h"
#include "tests/support/GameWindowProbe.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <linux/capability.h>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
const QString YourTurn = QStringLiteral("Sua Vez");
const QString PeerTurn = QStringLiteral("Vez do Adversário");
const QString Won = QStringLiteral("Você ganhou! \\o/");
const QString Lost = QStringLiteral("Você perdeu! :(");
const QString Draw = QStringLiteral("Velha!!!");
const QString PeerLeft = QStringLiteral("Adversário desconectou.");
const QString Connected = QStringLiteral("Conectado a 127.0.0.1");

// Ports below 1024 refused to this thread, as to an ordinary user, also when
// the tests run as root.
class OrdinaryUser
{
public:
    OrdinaryUser()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
        reduced[CAP_TO_INDEX(CAP_NET_BIND_SERVICE)].effective &= ~CAP_TO_MASK(CAP_NET_BIND_SERVICE);
        m_changed = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~OrdinaryUser()
    {
        if (m_changed)
            syscall(SYS_capset, &m_header, m_saved);
    }

private:
    __user_cap_header_struct m_header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2] {};
    bool m_changed = false;
};

// A port below 1024 that nobody on this machine listens on.
quint16 unusedPrivilegedPort()
{
    for (quint16 port = 1023; port > 900; --port) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (!probe.waitForConnected(2000) && probe.error() == QAbstractSocket::ConnectionRefusedError)
            return port;
    }
    qFatal("no unused port below 1024");
}

// Two game windows of one process, server and client, on loopback ports.
struct GamePair {
    explicit GamePair(GamePorts ports = freeLoopbackPort())
        : port(ports.usual)
        , server(ports)
        , client(ports)
    {
    }

    bool connect()
    {
        server.chooseServer();
        client.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
        return QTest::qWaitFor(
            [this] { return server.connection() == Connected && client.connection() == Connected; });
    }

    // The side whose turn it is clicks cell; true once the other side shows it.
    bool move(int cell)
    {
        const bool serverMoves = server.status() == YourTurn;
        GameWindowProbe &mover = serverMoves ? server : client;
        GameWindowProbe &other = serverMoves ? client : server;
        const QString mark = serverMoves ? QStringLiteral("X") : QStringLiteral("O");
        mover.cell(cell)->click();
        return mover.caption(cell) == mark && QTest::qWaitFor([&] { return other.caption(cell) == mark; });
    }

    bool play(const QList<int> &cells)
    {
        for (int cell : cells) {
            if (!move(cell))
                return false;
        }
        return true;
    }

    const quint16 port;
    GameWindowProbe server;
    GameWindowProbe client;
};
} // namespace

class GameWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void controlsCarryTheirNamesAndTexts_data();
    void controlsCarryTheirNamesAndTexts();
    void newWindowIsIdle();
    void showCentredCentresAndFillsOwnAddress();
    void helpButtonExplainsBothRoles();
    void connectingLocksSetupOnBothSides();
    void wholeGamesAreDecidedAlikeOnBothSides_data();
    void wholeGamesAreDecidedAlikeOnBothSides();
    void bothPressingNewGameAtOnceCountsOnce();
    void moveRightAfterSimultaneousNewGameStaysInStep();
    void unusableAddressIsRefused_data();
    void unusableAddressIsRefused();
    void retargetingAnAttemptAbandonsItInsteadOfEndingTheProgram();
    void ordinaryUsersPlayOnTheFallbackPort_data();
    void ordinaryUsersPlayOnTheFallbackPort();
    void pressingConnectAgainWithTheSameAddressChangesNothing();
    void failedConnectionClosesTheWindow();
    void refusedListeningIsExplainedAndWindowStaysUsable();
    void peerLeavingMidGameIsNoticed();
    void closingAfterAResultKeepsNewGameWhichThenSendsNothing();
    void rolesCanBeChosenAgainAfterASession();
};

void GameWindowTest::controlsCarryTheirNamesAndTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const QList<QPair<const char *, QString>> controls {
        { "Label1", QStringLiteral("JOGO DA VOVÓ") },
        { "Label2", QStringLiteral("Vitórias") },
        { "Label3", QStringLiteral("Você") },
        { "Label4", QStringLiteral("0") },
        { "Label5", QStringLiteral("x") },
        { "Label6", QStringLiteral("0") },
        { "Label7", QStringLiteral("Adversário") },
        { "Label8", QStringLiteral("ver 1.0") },
        { "Label9", QStringLiteral("Configuração") },
        { "Label10", QStringLiteral("IP do Servidor:") },
        { "Label11", QStringLiteral("Meu IP :") },
        { "Label12", QStringLiteral("Status") },
        { "Label13", QStringLiteral("Aguardando Conexão") },
        { "Label14", QStringLiteral("Jogo") },
        { "Label15", QString() },
        { "RadioButton1", QStringLiteral("Sou Servidor.") },
        { "RadioButton2", QStringLiteral("Sou Cliente.") },
        { "SpeedButton10", QStringLiteral("Conectar") },
        { "SpeedButton11", QStringLiteral("?") },
        { "SpeedButton12", QStringLiteral("Novo Jogo!") },
        { "Edit1", QString() },
        { "Edit2", QString() },
    };
    for (const auto &control : controls)
        QTest::newRow(control.first) << QString::fromLatin1(control.first) << control.second;
    for (int n = 1; n <= 9; ++n)
        QTest::addRow("SpeedButton%d", n) << QStringLiteral("SpeedButton%1").arg(n) << QString();
}

void GameWindowTest::controlsCarryTheirNamesAndTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    GameWindow window(0);
    QWidget *control = window.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QString shown;
    if (auto *label = qobject_cast<QLabel *>(control))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        shown = button->text();
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        shown = edit->text();
    QCOMPARE(shown, text);
}

void GameWindowTest::newWindowIsIdle()
{
    GameWindowProbe game(0);
    QCOMPARE(game.window.windowTitle(), QStringLiteral("Lumivortex Games!"));
    QCOMPARE(game.window.size(), QSize(425, 297));
    QVERIFY(game.rolesSelectable());
    QVERIFY(!game.control("Edit1")->isEnabled());
    QVERIFY(!game.control("Label10")->isEnabled());
    QVERIFY(!game.button("SpeedButton10")->isEnabled());
    QVERIFY(!game.button("SpeedButton12")->isEnabled());
    QVERIFY(game.button("SpeedButton11")->isEnabled());
    QCOMPARE(game.button("SpeedButton11")->toolTip(), QStringLiteral("Qq eu faço?????"));
    QVERIFY(game.control<QLineEdit>("Edit2")->isReadOnly());
    QCOMPARE(game.board(), QStringLiteral("........."));
    QCOMPARE(game.openCells(), QStringLiteral("........."));
    QCOMPARE(game.cell(5)->geometry(), QRect(296, 96, 49, 49));
    QCOMPARE(game.cell(9)->geometry(), QRect(352, 152, 49, 49));
    QVERIFY(!game.server()->isListening());
    QCOMPARE(game.client()->state(), QAbstractSocket::UnconnectedState);
}

void GameWindowTest::showCentredCentresAndFillsOwnAddress()
{
    GameWindowProbe game(0);
    QVERIFY(game.window.isHidden());
    game.window.showCentred();
    QVERIFY(game.window.isVisible());
    QCOMPARE(game.control<QLineEdit>("Edit2")->text(), localAddressText());
    const QRect area = game.window.screen()->availableGeometry();
    const QPoint offset = game.window.geometry().center() - area.center();
    QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2,
        qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

void GameWindowTest::helpButtonExplainsBothRoles()
{
    GameWindowProbe game(0);
    game.button("SpeedButton11")->click();
    QCOMPARE(game.messages.size(), 1);
    QCOMPARE(game.messages.first().split(QLatin1Char('\n')),
        QStringList({ QStringLiteral("Para jogar seu adversário deverá ter a versão 0.9.16 ou superior do "
                                     "Lumivortex."),
            QStringLiteral("Caso decida ser o Servidor (X) você so precisa aguardar a conexão do "
                           "adversário."),
            QStringLiteral("Caso seja Cliente (O) você deve digitar o IP do Servidor(Adversário) e "
                           "conectar-se a ele.") }));
}

void GameWindowTest::connectingLocksSetupOnBothSides()
{
    GamePair pair;
    pair.server.chooseServer();
    QVERIFY(pair.server.server()->isListening());
    QVERIFY(!pair.server.control("Edit1")->isEnabled());
    QVERIFY(!pair.server.button("SpeedButton10")->isEnabled());

    pair.client.button("RadioButton2")->click();
    QVERIFY(pair.client.control("Edit1")->isEnabled());
    QVERIFY(pair.client.control("Label10")->isEnabled());
    QVERIFY(pair.client.button("SpeedButton10")->isEnabled());
    pair.client.serverAddress()->setText(QStringLiteral("127.0.0.1"));
    pair.client.button("SpeedButton10")->click();
    QCOMPARE(pair.client.connection(), QStringLiteral("Conectando..."));

    QTRY_COMPARE(pair.server.connection(), Connected);
    QTRY_COMPARE(pair.client.connection(), Connected);
    QCOMPARE(pair.server.status(), YourTurn);
    QCOMPARE(pair.client.status(), PeerTurn);
    QCOMPARE(pair.server.openCells(), QStringLiteral("111111111"));
    QCOMPARE(pair.client.openCells(), QStringLiteral("........."));
    for (GameWindowProbe *side : { &pair.server, &pair.client }) {
        QVERIFY(!side->button("RadioButton1")->isEnabled());
        QVERIFY(!side->button("RadioButton2")->isEnabled());
        QVERIFY(!side->control("Edit1")->isEnabled());
        QVERIFY(!side->control("Label10")->isEnabled());
        QVERIFY(!side->button("SpeedButton10")->isEnabled());
    }
    QVERIFY(pair.server.messages.isEmpty());
    QVERIFY(pair.client.messages.isEmpty());
}

void GameWindowTest::wholeGamesAreDecidedAlikeOnBothSides_data()
{
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("serverResult");
    QTest::addColumn<QString>("clientResult");
    QTest::addColumn<QString>("serverWins"); // own x peer, after the next game starts
    QTest::addColumn<QString>("clientWins");
    QTest::newRow("server wins the top row") << QList<int> { 1, 4, 2, 5, 3 } << QStringLiteral("XXXOO....")
                                             << Won << Lost << QStringLiteral("1x0") << QStringLiteral("0x1");
    QTest::newRow("client wins the middle column")
        << QList<int> { 1, 2, 3, 5, 9, 8 } << QStringLiteral("XOX.O..OX") << Lost << Won
        << QStringLiteral("0x1") << QStringLiteral("1x0");
    QTest::newRow("ninth mark completes a line")
        << QList<int> { 1, 2, 3, 4, 5, 6, 8, 7, 9 } << QStringLiteral("XOXOXOOXX") << Won << Lost
        << QStringLiteral("1x0") << QStringLiteral("0x1");
    QTest::newRow("full board without a line")
        << QList<int> { 1, 2, 3, 5, 8, 7, 4, 6, 9 } << QStringLiteral("XOXXOOOXX") << Draw << Draw
        << QStringLiteral("0x0") << QStringLiteral("0x0");
}

void GameWindowTest::wholeGamesAreDecidedAlikeOnBothSides()
{
    QFETCH(QList<int>, moves);
    QFETCH(QString, board);
    QFETCH(QString, serverResult);
    QFETCH(QString, clientResult);
    QFETCH(QString, serverWins);
    QFETCH(QString, clientWins);

    GamePair pair;
    QVERIFY(pair.connect());
    QVERIFY(pair.play(moves));
    QCOMPARE(pair.server.board(), board);
    QCOMPARE(pair.client.board(), board);
    QCOMPARE(pair.server.status(), serverResult);
    QCOMPARE(pair.client.status(), clientResult);
    for (GameWindowProbe *side : { &pair.server, &pair.client }) {
        QCOMPARE(side->openCells(), QStringLiteral("........."));
        QVERIFY(side->button("SpeedButton12")->isEnabled());
        QCOMPARE(side->ownScore() + QLatin1Char('x') + side->peerScore(), QStringLiteral("0x0"));
    }

    // Whoever presses "Novo Jogo!", both count the game and the server opens.
    pair.client.button("SpeedButton12")->click();
    QTRY_COMPARE(pair.server.status(), YourTurn);
    QCOMPARE(pair.client.status(), PeerTurn);
    QCOMPARE(pair.server.ownScore() + QLatin1Char('x') + pair.server.peerScore(), serverWins);
    QCOMPARE(pair.client.ownScore() + QLatin1Char('x') + pair.client.peerScore(), clientWins);
    QCOMPARE(pair.server.board(), QStringLiteral("........."));
    QCOMPARE(pair.client.board(), QStringLiteral("........."));
    QCOMPARE(pair.server.openCells(), QStringLiteral("111111111"));
    QCOMPARE(pair.client.openCells(), QStringLiteral("........."));
    QVERIFY(!pair.server.button("SpeedButton12")->isEnabled());
    QVERIFY(!pair.client.button("SpeedButton12")->isEnabled());

    // And the next game runs on.
    QVERIFY(pair.play({ 5, 1 }));
    QCOMPARE(pair.server.board(), QStringLiteral("O...X...."));
}

void GameWindowTest::bothPressingNewGameAtOnceCountsOnce()
{
    GamePair pair;
    QVERIFY(pair.connect());
    QVERIFY(pair.play({ 1, 4, 2, 5, 3 }));
    // Both press before either "New" has arrived.
    pair.server.button("SpeedButton12")->click();
    pair.client.button("SpeedButton12")->click();
    // Each move is read after the "New" its sender had sent before it.
    QVERIFY(pair.play({ 9, 1 }));
    QCOMPARE(pair.server.ownScore(), QStringLiteral("1"));
    QCOMPARE(pair.server.peerScore(), QStringLiteral("0"));
    QCOMPARE(pair.client.ownScore(), QStringLiteral("0"));
    QCOMPARE(pair.client.peerScore(), QStringLiteral("1"));
    QCOMPARE(pair.server.status(), YourTurn);
    QCOMPARE(pair.client.status(), PeerTurn);
    QCOMPARE(pair.server.board(), QStringLiteral("O.......X"));
    QCOMPARE(pair.client.board(), pair.server.board());
}

void GameWindowTest::moveRightAfterSimultaneousNewGameStaysInStep()
{
    GamePair pair;
    QVERIFY(pair.connect());
    QVERIFY(pair.play({ 1, 4, 2, 5, 3 }));
    pair.server.button("SpeedButton12")->click();
    pair.server.cell(5)->click(); // before the client's own "New" reaches it
    pair.client.button("SpeedButton12")->click();
    QTRY_COMPARE(pair.client.caption(5), QStringLiteral("X"));
    QVERIFY(pair.move(1));
    QCOMPARE(pair.server.board(), QStringLiteral("O...X...."));
    QCOMPARE(pair.client.board(), pair.server.board());
    QCOMPARE(pair.server.status(), YourTurn);
    QCOMPARE(pair.server.ownScore(), QStringLiteral("1"));
    QCOMPARE(pair.client.peerScore(), QStringLiteral("1"));
}

void GameWindowTest::unusableAddressIsRefused_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("ownAddress");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("own address") << QStringLiteral("192.168.0.7") << QStringLiteral("192.168.0.7");
    QTest::newRow("not numeric") << QStringLiteral("servidor") << QString();
    QTest::newRow("out of range") << QStringLiteral("300.1.1.1") << QString();
    QTest::newRow("IPv6") << QStringLiteral("::1") << QString();
}

void GameWindowTest::unusableAddressIsRefused()
{
    QFETCH(QString, address);
    QFETCH(QString, ownAddress);
    GameWindowProbe game(freeLoopbackPort());
    game.control<QLineEdit>("Edit2")->setText(ownAddress);
    game.chooseClientAndConnect(address);
    QCOMPARE(game.messages, QStringList { QStringLiteral("IP invalido!") });
    QCOMPARE(game.client()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(game.connection(), QStringLiteral("Aguardando Conexão"));
    QVERIFY(game.button("SpeedButton10")->isEnabled());
}

void GameWindowTest::retargetingAnAttemptAbandonsItInsteadOfEndingTheProgram()
{
    QTcpServer listener;
    QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
    GameWindowProbe game(listener.serverPort());
    game.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
    QCOMPARE(game.connection(), QStringLiteral("Conectando..."));
    game.serverAddress()->setText(QStringLiteral("127.0.0.2"));
    game.button("SpeedButton10")->click();
    QCOMPARE(game.messages,
        QStringList {
            QStringLiteral("A tentativa de conexão com 127.0.0.1 foi interrompida porque o endereço "
                           "mudou. Clique em \"Conectar\" para conectar a 127.0.0.2.") });
    QCOMPARE(game.client()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(game.connection(), QStringLiteral("Aguardando Conexão"));
    QVERIFY(game.control<QRadioButton>("RadioButton2")->isChecked());
    QVERIFY(game.button("RadioButton1")->isEnabled());
    QVERIFY(game.control("Edit1")->isEnabled());
    QVERIFY(game.button("SpeedButton10")->isEnabled());

    // The window still connects, and nothing of the abandoned attempt turns up.
    game.serverAddress()->setText(QStringLiteral("127.0.0.1"));
    game.button("SpeedButton10")->click();
    QTRY_COMPARE(game.connection(), Connected);
    QCOMPARE(game.messages.size(), 1);
}

void GameWindowTest::ordinaryUsersPlayOnTheFallbackPort_data()
{
    QTest::addColumn<bool>("usualPortRefused");
    QTest::newRow("usual port below 1024, refused") << true;
    QTest::newRow("usual port open, fallback taken by another program") << false;
}

void GameWindowTest::ordinaryUsersPlayOnTheFallbackPort()
{
    QFETCH(bool, usualPortRefused);
    const OrdinaryUser user;
    QTcpServer other;
    GamePorts ports(usualPortRefused ? unusedPrivilegedPort() : freeLoopbackPort(), 0);
    if (usualPortRefused) {
        QTcpServer probe;
        QVERIFY(!probe.listen(QHostAddress::AnyIPv4, ports.usual));
        QCOMPARE(probe.serverError(), QAbstractSocket::SocketAccessError);
        ports.fallback = freeLoopbackPort();
    } else {
        // A peer that hosts on the usual port is reached there first.
        QVERIFY(other.listen(QHostAddress::AnyIPv4, 0));
        ports.fallback = other.serverPort();
    }
    const quint16 hosted = usualPortRefused ? ports.fallback : ports.usual;

    GamePair pair(ports);
    pair.server.chooseServer();
    QVERIFY(pair.server.server()->isListening());
    QCOMPARE(pair.server.connection(), QStringLiteral("Aguardando Conexão na porta %1").arg(hosted));
    pair.client.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(pair.client.connection(), Connected);
    QTRY_COMPARE(pair.server.connection(), Connected);
    QCOMPARE(pair.client.client()->peerPort(), hosted);
    QVERIFY(!other.hasPendingConnections());
    QVERIFY(pair.server.messages.isEmpty());
    QVERIFY(pair.client.messages.isEmpty());
    QVERIFY(pair.play({ 5, 1 }));
}

void GameWindowTest::pressingConnectAgainWithTheSameAddressChangesNothing()
{
    GamePair pair;
    pair.server.chooseServer();
    pair.client.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
    QVERIFY(pair.client.client()->state() != QAbstractSocket::UnconnectedState);
    pair.client.button("SpeedButton10")->click();
    QVERIFY(pair.client.messages.isEmpty());
    QTRY_COMPARE(pair.client.connection(), Connected);
    QTRY_COMPARE(pair.server.connection(), Connected);
    QVERIFY(pair.client.messages.isEmpty());
}

void GameWindowTest::failedConnectionClosesTheWindow()
{
    QTcpServer first;
    QTcpServer second;
    QVERIFY(first.listen(QHostAddress::LocalHost, 0) && second.listen(QHostAddress::LocalHost, 0));
    const GamePorts ports(first.serverPort(), second.serverPort());
    first.close();
    second.close();
    GameWindowProbe game(ports);
    game.window.show();
    game.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(game.connection(), QStringLiteral("Erro na conexão."));
    // Both ports were tried; one box says who refused and where.
    QCOMPARE(game.messages,
        QStringList {
            QStringLiteral("Erro na conexão.\nO computador 127.0.0.1 recusou a conexão: nele ninguém "
                           "aguarda como Servidor nas portas %1 e %2.")
                .arg(ports.usual)
                .arg(ports.fallback) });
    QVERIFY(game.window.isHidden());
    QVERIFY(game.rolesSelectable());
    QVERIFY(!game.control("Edit1")->isEnabled());
    QVERIFY(!game.button("SpeedButton10")->isEnabled());
}

void GameWindowTest::refusedListeningIsExplainedAndWindowStaysUsable()
{
    QTcpServer squatter;
    QVERIFY(squatter.listen(QHostAddress::AnyIPv4, 0));
    GameWindowProbe game(squatter.serverPort());
    game.chooseServer();
    QCOMPARE(game.messages.size(), 1);
    QVERIFY2(game.messages.first().contains(QStringLiteral("A porta já está em uso por outro programa.")),
        qPrintable(game.messages.first()));
    QVERIFY(!game.server()->isListening());
    QVERIFY(game.rolesSelectable());

    // The window stays usable: the other role, then this one again once free.
    game.button("RadioButton2")->click();
    QVERIFY(game.button("SpeedButton10")->isEnabled());
    squatter.close();
    game.chooseServer();
    QVERIFY(game.server()->isListening());
    QCOMPARE(game.messages.size(), 1);
}

void GameWindowTest::peerLeavingMidGameIsNoticed()
{
    GamePair pair;
    QVERIFY(pair.connect());
    QVERIFY(pair.play({ 5, 1 }));
    QCOMPARE(pair.server.status(), YourTurn);
    pair.client.window.close();

    QTRY_COMPARE(pair.server.connection(), PeerLeft);
    QCOMPARE(pair.server.status(), PeerLeft);
    QCOMPARE(pair.server.openCells(), QStringLiteral("........."));
    QVERIFY(pair.server.rolesSelectable());
    QVERIFY(!pair.server.server()->isListening());
    QVERIFY(pair.server.messages.isEmpty());
    // With nothing to send on, "Novo Jogo!" and the cells do nothing.
    pair.server.window.startNewGame();
    pair.server.window.playCell(3);
    QCOMPARE(pair.server.board(), QStringLiteral("........."));
    QCOMPARE(pair.server.status(), PeerLeft);

    // The side that closed keeps its last connection text; its board is reset.
    QCOMPARE(pair.client.connection(), Connected);
    QCOMPARE(pair.client.board(), QStringLiteral("........."));
    QVERIFY(pair.client.rolesSelectable());
}

void GameWindowTest::closingAfterAResultKeepsNewGameWhichThenSendsNothing()
{
    GamePair pair;
    QVERIFY(pair.connect());
    QVERIFY(pair.play({ 1, 4, 2, 5, 3 }));
    pair.client.window.close();
    QTRY_COMPARE(pair.server.connection(), PeerLeft);
    // A finished game is still shown and counted on "Novo Jogo!" by both.
    for (GameWindowProbe *side : { &pair.server, &pair.client }) {
        QCOMPARE(side->board(), QStringLiteral("........."));
        QCOMPARE(side->ownScore(), QStringLiteral("0"));
        QVERIFY(side->button("SpeedButton12")->isEnabled());
        side->button("SpeedButton12")->click();
        QVERIFY(!side->button("SpeedButton12")->isEnabled());
        QCOMPARE(side->openCells(), QStringLiteral("........."));
    }
    QCOMPARE(pair.server.status(), Won);
    QCOMPARE(pair.server.ownScore(), QStringLiteral("1"));
    QCOMPARE(pair.client.status(), Lost);
    QCOMPARE(pair.client.peerScore(), QStringLiteral("1"));
    QVERIFY(pair.server.messages.isEmpty());
    QVERIFY(pair.client.messages.isEmpty());
}

void GameWindowTest::rolesCanBeChosenAgainAfterASession()
{
    GamePair pair;
    QVERIFY(pair.connect());
    QVERIFY(pair.play({ 1, 4, 2, 5, 3 }));
    pair.server.window.close();
    QTRY_COMPARE(pair.client.connection(), PeerLeft);
    QVERIFY(pair.client.rolesSelectable());
    QVERIFY(pair.server.rolesSelectable());

    // The same two windows, roles swapped.
    GameWindowProbe &server = pair.client;
    GameWindowProbe &client = pair.server;
    server.chooseServer();
    client.chooseClientAndConnect(QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(client.connection(), Connected);
    QTRY_COMPARE(server.connection(), Connected);
    QCOMPARE(server.status(), YourTurn);
    QCOMPARE(client.status(), PeerTurn);
    QCOMPARE(client.ownScore(), QStringLiteral("0"));
    server.cell(5)->click();
    QCOMPARE(server.caption(5), QStringLiteral("X"));
    QTRY_COMPARE(client.caption(5), QStringLiteral("X"));
    QCOMPARE(client.status(), YourTurn);
}

QTEST_MAIN(GameWindowTest)
#include "game_window_test.moc"
