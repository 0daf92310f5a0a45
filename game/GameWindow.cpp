#include "game/GameWindow.h"

#include "game/NetworkText.h"
#include "widgets/FlatButton.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTcpServer>
#include <QTcpSocket>

namespace
{
const QString WaitingText = QStringLiteral("Aguardando Conexão");
const QString ConnectingText = QStringLiteral("Conectando...");
const QString ConnectedText = QStringLiteral("Conectado a ");
const QString ConnectionErrorText = QStringLiteral("Erro na conexão.");
const QString InvalidAddressText = QStringLiteral("IP invalido!");
const QString PeerLeftText = QStringLiteral("Adversário desconectou.");

// Bytes taken from a connection per read: together with the codec's own
// bound this is all a peer can make the window hold.
constexpr qint64 ReadChunk = 4096;

QLabel *makeLabel(
    const QString &name, const QString &text, QWidget *parent, int left, int top, int width, int height = 16)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(left, top, width, height);
    return label;
}

void setBold(QWidget *widget, int pixelSize = 0)
{
    QFont font = widget->font();
    font.setBold(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    widget->setFont(font);
}

// The peer's address in dotted form, also when the socket reports it as an
// IPv4-mapped IPv6 address.
QString dottedAddress(const QHostAddress &address)
{
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4).toString() : address.toString();
}
} // namespace

GameWindow::GameWindow(GamePorts ports, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_ports(ports)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Lumivortex Games!"));
    setFixedSize(425, 297);
    // A side window: closing it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();

    m_client = new QTcpSocket(this);
    m_client->setObjectName(QStringLiteral("ClientSocket1"));
    m_client->setReadBufferSize(ReadChunk);
    connect(m_client, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::ConnectingState)
            clientConnecting();
    });
    connect(m_client, &QAbstractSocket::connected, this, &GameWindow::clientConnected);
    connect(m_client, &QAbstractSocket::errorOccurred, this, &GameWindow::clientFailed);
    connect(m_client, &QIODevice::readyRead, this, [this] { readConnection(m_client); });
    connect(m_client, &QAbstractSocket::disconnected, this, [this] { connectionLost(m_client); });

    m_server = new QTcpServer(this);
    m_server->setObjectName(QStringLiteral("ServerSocket1"));
    connect(m_server, &QTcpServer::newConnection, this, &GameWindow::acceptPeers);

    refreshBoard();
}

GameWindow::~GameWindow()
{
    // The sockets are children and die after this window's own part: keep
    // their last signals from reaching it.
    m_client->disconnect(this);
    m_server->disconnect(this);
    if (m_peer)
        m_peer->disconnect(this);
}

void GameWindow::createControls()
{
    QLabel *title = makeLabel(QStringLiteral("Label1"), QStringLiteral("JOGO DA VOVÓ"), this, 8, 6, 160, 26);
    QFont titleFont(QStringLiteral("Courier New"));
    titleFont.setStyleHint(QFont::TypeWriter);
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QLabel *version = makeLabel(QStringLiteral("Label8"), QStringLiteral("ver 1.0"), this, 164, 14, 40);
    QFont smallFont = version->font();
    smallFont.setPixelSize(10);
    version->setFont(smallFont);

    auto *help = new FlatButton(QStringLiteral("SpeedButton11"), QStringLiteral("?"), this, 206, 6, 22, 22);
    help->setAutoRaise(true);
    help->setToolTip(QStringLiteral("Qq eu faço?????"));
    help->setAccessibleLabel(help->toolTip());
    connect(help, &QAbstractButton::clicked, this, &GameWindow::showHelp);

    QLabel *setupCaption
        = makeLabel(QStringLiteral("Label9"), QStringLiteral("Configuração"), this, 8, 40, 150);
    setBold(setupCaption);
    m_serverRole = new QRadioButton(QStringLiteral("Sou Servidor."), this);
    m_serverRole->setObjectName(QStringLiteral("RadioButton1"));
    m_serverRole->setGeometry(16, 58, 150, 18);
    m_clientRole = new QRadioButton(QStringLiteral("Sou Cliente."), this);
    m_clientRole->setObjectName(QStringLiteral("RadioButton2"));
    m_clientRole->setGeometry(16, 78, 150, 18);
    // The handlers act only on the button that becomes checked.
    connect(m_serverRole, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked)
            becomeServer();
    });
    connect(m_clientRole, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked)
            becomeClient();
    });

    makeLabel(QStringLiteral("Label11"), QStringLiteral("Meu IP :"), this, 16, 106, 60);
    m_ownAddress = new QLineEdit(this);
    m_ownAddress->setObjectName(QStringLiteral("Edit2"));
    m_ownAddress->setGeometry(80, 102, 142, 22);
    m_ownAddress->setReadOnly(true);
    QPalette facePalette = m_ownAddress->palette();
    facePalette.setColor(QPalette::Base, facePalette.color(QPalette::Button));
    m_ownAddress->setPalette(facePalette);

    m_serverAddressCaption
        = makeLabel(QStringLiteral("Label10"), QStringLiteral("IP do Servidor:"), this, 16, 130, 150);
    m_serverAddress = new QLineEdit(this);
    m_serverAddress->setObjectName(QStringLiteral("Edit1"));
    m_serverAddress->setGeometry(16, 148, 130, 22);
    m_connect
        = new FlatButton(QStringLiteral("SpeedButton10"), QStringLiteral("Conectar"), this, 152, 146, 70, 26);
    connect(m_connect, &QAbstractButton::clicked, this, &GameWindow::connectToPeer);
    setServerAddressEditable(false);

    QLabel *statusCaption = makeLabel(QStringLiteral("Label12"), QStringLiteral("Status"), this, 8, 182, 150);
    setBold(statusCaption);
    m_connectionText = makeLabel(QStringLiteral("Label13"), WaitingText, this, 16, 200, 214);
    QLabel *gameCaption = makeLabel(QStringLiteral("Label14"), QStringLiteral("Jogo"), this, 8, 226, 150);
    setBold(gameCaption);
    m_gameStatus = makeLabel(QStringLiteral("Label15"), QString(), this, 16, 244, 214, 18);
    setBold(m_gameStatus);

    for (int cell = 1; cell <= GameBoard::CellCount; ++cell) {
        const int column = (cell - 1) % 3;
        const int row = (cell - 1) / 3;
        auto *button = new FlatButton(QStringLiteral("SpeedButton%1").arg(cell), QString(), this,
            240 + 56 * column, 40 + 56 * row, 49, 49);
        setBold(button, 24);
        // A locked cell still shows its mark plainly, not greyed out.
        QPalette palette = button->palette();
        palette.setColor(
            QPalette::Disabled, QPalette::ButtonText, palette.color(QPalette::Active, QPalette::ButtonText));
        button->setPalette(palette);
        button->setAccessibleLabel(QStringLiteral("Casa %1: vazia").arg(cell));
        connect(button, &QAbstractButton::clicked, this, [this, cell] { playCell(cell); });
        m_cells[cell - 1] = button;
    }

    QLabel *winsCaption
        = makeLabel(QStringLiteral("Label2"), QStringLiteral("Vitórias"), this, 240, 210, 161);
    winsCaption->setAlignment(Qt::AlignHCenter);
    setBold(winsCaption);
    makeLabel(QStringLiteral("Label3"), QStringLiteral("Você"), this, 240, 230, 34);
    m_ownWins = makeLabel(QStringLiteral("Label4"), QString(), this, 274, 230, 24);
    m_ownWins->setAlignment(Qt::AlignRight);
    QLabel *versus = makeLabel(QStringLiteral("Label5"), QStringLiteral("x"), this, 300, 230, 12);
    versus->setAlignment(Qt::AlignHCenter);
    m_peerWins = makeLabel(QStringLiteral("Label6"), QString(), this, 314, 230, 24);
    makeLabel(QStringLiteral("Label7"), QStringLiteral("Adversário"), this, 340, 230, 80);

    m_newGame = new FlatButton(
        QStringLiteral("SpeedButton12"), QStringLiteral("Novo Jogo!"), this, 270, 256, 100, 28);
    connect(m_newGame, &QAbstractButton::clicked, this, &GameWindow::startNewGame);
}

void GameWindow::showCentred()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

void GameWindow::setMessageSink(MessageSink sink)
{
    m_messageSink = std::move(sink);
}

void GameWindow::showMessage(const QString &text)
{
    if (m_messageSink) {
        m_messageSink(text);
        return;
    }
    // Not exec(): a nested event loop would run socket handlers under the box.
    auto *box = new QMessageBox(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void GameWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showOwnAddress();
}

void GameWindow::closeEvent(QCloseEvent *event)
{
    endSession();
    event->accept();
}

void GameWindow::showOwnAddress()
{
    const OwnAddresses own = ownAddresses();
    m_ownAddress->setText(own.shown);
    m_ownAddress->setToolTip(own.others.isEmpty()
            ? QString()
            : QStringLiteral("Outros endereços deste computador:\n") + own.others.join(QLatin1Char('\n')));
}

void GameWindow::becomeServer()
{
    setServerAddressEditable(false);
    // A pending connection attempt would make this window both server and client.
    abandonConnectAttempt();
    if (m_server->isListening())
        return;
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    quint16 refusedPort = m_ports.usual;
    for (const quint16 port : { m_ports.usual, m_ports.fallback }) {
        if (m_server->listen(QHostAddress::AnyIPv4, port)) {
            m_connectionText->setText(
                WaitingText + QStringLiteral(" na porta %1").arg(m_server->serverPort()));
            return;
        }
        error = m_server->serverError();
        refusedPort = port;
    }
    // Unchecked again, so the user can retry or choose the client role.
    uncheckRoles();
    showMessage(listenFailureText(error, refusedPort));
}

void GameWindow::becomeClient()
{
    m_server->close();
    if (m_connectionText->text().startsWith(WaitingText))
        m_connectionText->setText(WaitingText);
    setServerAddressEditable(true);
}

void GameWindow::connectToPeer()
{
    const QString address = m_serverAddress->text();
    if (address.isEmpty() || m_ownAddress->text() == address) {
        showMessage(InvalidAddressText);
        return;
    }
    if (m_clientInPlay)
        return;
    if (attemptUnderWay()) {
        if (address.compare(m_attemptAddress, Qt::CaseInsensitive) == 0)
            return;
        // Re-targeting a running attempt used to end the program; now the
        // attempt is dropped and the window is as it was before "Conectar".
        const QString abandoned = m_attemptAddress;
        abandonConnectAttempt();
        showMessage(QStringLiteral("A tentativa de conexão com %1 foi interrompida porque o endereço mudou. "
                                   "Clique em \"Conectar\" para conectar a %2.")
                        .arg(abandoned, address));
        return;
    }
    QHostAddress host;
    if (!host.setAddress(address) || host.protocol() != QAbstractSocket::IPv4Protocol) {
        showMessage(InvalidAddressText);
        return;
    }
    m_attemptAddress = address;
    m_attemptHost = host;
    m_attemptPort = m_ports.usual;
    m_statusBeforeConnect = m_connectionText->text();
    m_codec.clear();
    m_client->connectToHost(m_attemptHost, m_attemptPort);
}

void GameWindow::showHelp()
{
    showMessage(
        QStringLiteral("Para jogar seu adversário deverá ter a versão 0.9.16 ou superior do Lumivortex.\n"
                       "Caso decida ser o Servidor (X) você so precisa aguardar a conexão do "
                       "adversário.\n"
                       "Caso seja Cliente (O) você deve digitar o IP do Servidor(Adversário) e "
                       "conectar-se a ele."));
}

void GameWindow::startNewGame()
{
    if (!m_board.isNewGameEnabled())
        return;
    const GameSide current = side();
    if (current != GameSide::None)
        send(GameMessage::newGame());
    m_board.startNewGame(current);
    refreshBoard();
}

void GameWindow::playCell(int cell)
{
    const GameSide current = side();
    if (current == GameSide::None || !m_board.isCellEnabled(cell))
        return;
    send(GameMessage::move(ownMarkOf(current), cell));
    m_board.localMove(cell, ownMarkOf(current));
    refreshBoard();
}

void GameWindow::clientConnecting()
{
    m_connectionText->setText(ConnectingText);
}

void GameWindow::clientConnected()
{
    m_clientInPlay = true;
    m_connectionText->setText(ConnectedText + dottedAddress(m_client->peerAddress()));
    m_board.setStatus(GameStatus::PeerTurn);
    setSetupLocked(true);
    m_board.setAllCellsEnabled(false);
    refreshBoard();
}

void GameWindow::clientFailed(QAbstractSocket::SocketError error)
{
    // Once in play a broken connection is reported by disconnected().
    if (m_clientInPlay)
        return;
    const bool worthRetrying
        = error == QAbstractSocket::ConnectionRefusedError || error == QAbstractSocket::SocketTimeoutError;
    if (worthRetrying && m_attemptPort == m_ports.usual && m_ports.hasFallback()) {
        // A peer without privileges hosts on the fallback port. The socket
        // cannot reconnect from inside its own error signal.
        m_attemptPort = m_ports.fallback;
        m_retryQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_retryQueued)
                    return;
                m_retryQueued = false;
                m_client->connectToHost(m_attemptHost, m_attemptPort);
            },
            Qt::QueuedConnection);
        return;
    }
    m_connectionText->setText(ConnectionErrorText);
    const QString address = m_attemptAddress;
    endSession();
    hide();
    // One box with the reason, in place of the socket layer's own numbered one.
    showMessage(ConnectionErrorText + QLatin1Char('\n') + connectFailureText(error, address, m_ports));
}

void GameWindow::acceptPeers()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_peer) {
            // A second client used to take over the board; it is turned away.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_peer = socket;
        m_codec.clear();
        socket->setReadBufferSize(ReadChunk);
        connect(socket, &QIODevice::readyRead, this, [this, socket] { readConnection(socket); });
        connect(socket, &QAbstractSocket::disconnected, this, [this, socket] { connectionLost(socket); });
        m_connectionText->setText(ConnectedText + dottedAddress(socket->peerAddress()));
        m_board.setStatus(GameStatus::YourTurn);
        setSetupLocked(true);
        m_board.setAllCellsEnabled(true);
        refreshBoard();
    }
}

GameSide GameWindow::side() const
{
    if (m_peer && m_peer->state() == QAbstractSocket::ConnectedState)
        return GameSide::Server;
    if (m_clientInPlay && m_client->state() == QAbstractSocket::ConnectedState)
        return GameSide::Client;
    return GameSide::None;
}

QTcpSocket *GameWindow::connection() const
{
    if (m_peer)
        return m_peer;
    return m_clientInPlay ? m_client : nullptr;
}

void GameWindow::send(const GameMessage &message)
{
    QTcpSocket *socket = connection();
    if (socket && socket->state() == QAbstractSocket::ConnectedState)
        socket->write(GameCodec::encode(message));
}

void GameWindow::readConnection(QTcpSocket *socket)
{
    char chunk[ReadChunk];
    while (socket == connection() && socket->bytesAvailable() > 0) {
        const qint64 size = socket->read(chunk, sizeof chunk);
        if (size <= 0)
            break;
        m_codec.feed(QByteArrayView(chunk, size), [this, socket](const GameMessage &message) {
            if (socket == connection())
                receive(message);
        });
    }
}

void GameWindow::receive(const GameMessage &message)
{
    const GameSide current = side();
    if (current == GameSide::None)
        return;
    // Unexpected messages (the own mark, a taken cell, a move out of turn, a
    // "New" in mid-game) change nothing, not even which cells are enabled.
    if (message.kind == GameMessage::Kind::NewGame) {
        if (!m_board.acceptsNewGame())
            return;
        m_board.startNewGame(current);
    } else {
        if (message.mark != peerMarkOf(current) || !m_board.acceptsPeerMove(message.cell))
            return;
        m_board.peerMove(message.cell, message.mark);
    }
    m_board.checkGameResult(ownMarkOf(current));
    refreshBoard();
}

void GameWindow::connectionLost(QTcpSocket *socket)
{
    if (socket != connection())
        return;
    endSession();
    m_connectionText->setText(PeerLeftText);
    if (m_board.status() == GameStatus::YourTurn || m_board.status() == GameStatus::PeerTurn)
        m_board.setStatus(PeerLeftText);
    refreshBoard();
}

bool GameWindow::attemptUnderWay() const
{
    return !m_clientInPlay && (m_retryQueued || m_client->state() != QAbstractSocket::UnconnectedState);
}

void GameWindow::abandonConnectAttempt()
{
    if (!attemptUnderWay())
        return;
    m_retryQueued = false;
    {
        const QSignalBlocker blocker(m_client);
        m_client->abort();
    }
    m_attemptAddress.clear();
    m_connectionText->setText(m_statusBeforeConnect);
}

void GameWindow::endSession()
{
    m_clientInPlay = false;
    m_retryQueued = false;
    m_attemptAddress.clear();
    if (m_client->state() != QAbstractSocket::UnconnectedState) {
        const QSignalBlocker blocker(m_client);
        m_client->abort();
    }
    if (m_peer) {
        QTcpSocket *peer = m_peer;
        m_peer = nullptr;
        peer->disconnect(this);
        peer->abort();
        peer->deleteLater();
    }
    if (m_server->isListening() && m_connectionText->text().startsWith(WaitingText))
        m_connectionText->setText(WaitingText);
    m_server->close();
    m_codec.clear();
    uncheckRoles();
    setSetupLocked(false);
    setServerAddressEditable(false);
    m_board.resetBoardOnClose();
    refreshBoard();
}

void GameWindow::setSetupLocked(bool locked)
{
    m_serverRole->setEnabled(!locked);
    m_clientRole->setEnabled(!locked);
    if (locked)
        setServerAddressEditable(false);
}

void GameWindow::setServerAddressEditable(bool editable)
{
    m_serverAddressCaption->setEnabled(editable);
    m_serverAddress->setEnabled(editable);
    // Window colour while it can be typed in, button face otherwise.
    QPalette palette = m_serverAddress->palette();
    palette.setColor(QPalette::Base, this->palette().color(editable ? QPalette::Base : QPalette::Button));
    m_serverAddress->setPalette(palette);
    m_connect->setEnabled(editable);
}

void GameWindow::uncheckRoles()
{
    // Exclusive radio buttons refuse to be unchecked; lift that for a moment.
    for (QRadioButton *button : { m_serverRole, m_clientRole }) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
}

void GameWindow::refreshBoard()
{
    for (int cell = 1; cell <= GameBoard::CellCount; ++cell) {
        FlatButton *button = m_cells[cell - 1];
        button->setText(m_board.caption(cell));
        button->setEnabled(m_board.isCellEnabled(cell));
        // A screen reader hears the mark, as the eye sees it.
        const QString mark = m_board.caption(cell);
        button->setAccessibleLabel(
            QStringLiteral("Casa %1: %2").arg(cell).arg(mark.isEmpty() ? QStringLiteral("vazia") : mark));
    }
    m_gameStatus->setText(m_board.status());
    m_ownWins->setText(QString::number(m_board.ownWins()));
    m_peerWins->setText(QString::number(m_board.peerWins()));
    m_newGame->setEnabled(m_board.isNewGameEnabled());
}
