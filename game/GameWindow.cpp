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
const QString InternalErrorText = QStringLiteral("Erro interno.");
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

GameWindow::GameWindow(quint16 port, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_port(port)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Lumivortex Games!"));
    setFixedSize(425, 297);
    // A side window: closing it never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();

    ClientSocket1 = new QTcpSocket(this);
    ClientSocket1->setObjectName(QStringLiteral("ClientSocket1"));
    ClientSocket1->setReadBufferSize(ReadChunk);
    connect(ClientSocket1, &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::ConnectingState)
            ClientSocket1Connecting();
    });
    connect(ClientSocket1, &QAbstractSocket::connected, this, &GameWindow::ClientSocket1Connect);
    connect(ClientSocket1, &QAbstractSocket::errorOccurred, this, &GameWindow::ClientSocket1Error);
    connect(ClientSocket1, &QIODevice::readyRead, this, [this] { readConnection(ClientSocket1); });
    connect(ClientSocket1, &QAbstractSocket::disconnected, this, [this] { connectionLost(ClientSocket1); });

    ServerSocket1 = new QTcpServer(this);
    ServerSocket1->setObjectName(QStringLiteral("ServerSocket1"));
    connect(ServerSocket1, &QTcpServer::newConnection, this, &GameWindow::ServerSocket1Accept);

    refreshBoard();
}

GameWindow::~GameWindow()
{
    // The sockets are children and die after this window's own part: keep
    // their last signals from reaching it.
    ClientSocket1->disconnect(this);
    ServerSocket1->disconnect(this);
    if (m_peer)
        m_peer->disconnect(this);
}

void GameWindow::createControls()
{
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("JOGO DA VOVÓ"), this, 8, 6, 160, 26);
    QFont titleFont(QStringLiteral("Courier New"));
    titleFont.setStyleHint(QFont::TypeWriter);
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    Label8 = makeLabel(QStringLiteral("Label8"), QStringLiteral("ver 1.0"), this, 164, 14, 40);
    QFont smallFont = Label8->font();
    smallFont.setPixelSize(10);
    Label8->setFont(smallFont);

    SpeedButton11
        = new FlatButton(QStringLiteral("SpeedButton11"), QStringLiteral("?"), this, 206, 6, 22, 22);
    SpeedButton11->setAutoRaise(true);
    SpeedButton11->setToolTip(QStringLiteral("Qq eu faço?????"));
    SpeedButton11->setAccessibleLabel(SpeedButton11->toolTip());
    connect(SpeedButton11, &QAbstractButton::clicked, this, &GameWindow::SpeedButton11Click);

    Label9 = makeLabel(QStringLiteral("Label9"), QStringLiteral("Configuração"), this, 8, 40, 150);
    setBold(Label9);
    RadioButton1 = new QRadioButton(QStringLiteral("Sou Servidor."), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(16, 58, 150, 18);
    RadioButton2 = new QRadioButton(QStringLiteral("Sou Cliente."), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(16, 78, 150, 18);
    // The handlers act only on the button that becomes checked.
    connect(RadioButton1, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked)
            RadioButton1Click();
    });
    connect(RadioButton2, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked)
            RadioButton2Click();
    });

    Label11 = makeLabel(QStringLiteral("Label11"), QStringLiteral("Meu IP :"), this, 16, 106, 60);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(80, 102, 142, 22);
    Edit2->setReadOnly(true);
    QPalette facePalette = Edit2->palette();
    facePalette.setColor(QPalette::Base, facePalette.color(QPalette::Button));
    Edit2->setPalette(facePalette);

    Label10 = makeLabel(QStringLiteral("Label10"), QStringLiteral("IP do Servidor:"), this, 16, 130, 150);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(16, 148, 130, 22);
    SpeedButton10
        = new FlatButton(QStringLiteral("SpeedButton10"), QStringLiteral("Conectar"), this, 152, 146, 70, 26);
    connect(SpeedButton10, &QAbstractButton::clicked, this, &GameWindow::SpeedButton10Click);
    setServerAddressEditable(false);

    Label12 = makeLabel(QStringLiteral("Label12"), QStringLiteral("Status"), this, 8, 182, 150);
    setBold(Label12);
    Label13 = makeLabel(QStringLiteral("Label13"), WaitingText, this, 16, 200, 214);
    Label14 = makeLabel(QStringLiteral("Label14"), QStringLiteral("Jogo"), this, 8, 226, 150);
    setBold(Label14);
    Label15 = makeLabel(QStringLiteral("Label15"), QString(), this, 16, 244, 214, 18);
    setBold(Label15);

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
        button->setAccessibleLabel(QStringLiteral("Casa %1").arg(cell));
        connect(button, &QAbstractButton::clicked, this, [this, cell] { CellClick(cell); });
        m_cells[cell - 1] = button;
    }

    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Vitórias"), this, 240, 210, 161);
    Label2->setAlignment(Qt::AlignHCenter);
    setBold(Label2);
    Label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("Você"), this, 240, 230, 34);
    Label4 = makeLabel(QStringLiteral("Label4"), QString(), this, 274, 230, 24);
    Label4->setAlignment(Qt::AlignRight);
    Label5 = makeLabel(QStringLiteral("Label5"), QStringLiteral("x"), this, 300, 230, 12);
    Label5->setAlignment(Qt::AlignHCenter);
    Label6 = makeLabel(QStringLiteral("Label6"), QString(), this, 314, 230, 24);
    Label7 = makeLabel(QStringLiteral("Label7"), QStringLiteral("Adversário"), this, 340, 230, 80);

    SpeedButton12 = new FlatButton(
        QStringLiteral("SpeedButton12"), QStringLiteral("Novo Jogo!"), this, 270, 256, 100, 28);
    connect(SpeedButton12, &QAbstractButton::clicked, this, &GameWindow::SpeedButton12Click);
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
    FormShow();
}

void GameWindow::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void GameWindow::FormShow()
{
    Edit2->setText(localAddressText());
}

void GameWindow::FormClose()
{
    endSession();
}

void GameWindow::RadioButton1Click()
{
    setServerAddressEditable(false);
    // A pending connection attempt would make this window both server and client.
    abandonConnectAttempt();
    if (!ServerSocket1->isListening() && !ServerSocket1->listen(QHostAddress::AnyIPv4, m_port)) {
        const QAbstractSocket::SocketError error = ServerSocket1->serverError();
        // Unchecked again, so the user can retry or choose the client role.
        uncheckRoles();
        showMessage(listenFailureText(error, m_port));
    }
}

void GameWindow::RadioButton2Click()
{
    ServerSocket1->close();
    setServerAddressEditable(true);
}

void GameWindow::SpeedButton10Click()
{
    const QString address = Edit1->text();
    if (address.isEmpty() || Edit2->text() == address) {
        showMessage(InvalidAddressText);
        return;
    }
    if (ClientSocket1->state() != QAbstractSocket::UnconnectedState) {
        if (address.compare(m_attemptAddress, Qt::CaseInsensitive) == 0)
            return;
        // Re-targeting a running attempt used to end the program; now the
        // attempt is dropped and the window is as it was before "Conectar".
        abandonConnectAttempt();
        showMessage(InternalErrorText);
        return;
    }
    QHostAddress host;
    if (!host.setAddress(address) || host.protocol() != QAbstractSocket::IPv4Protocol) {
        showMessage(InvalidAddressText);
        return;
    }
    m_attemptAddress = address;
    m_statusBeforeConnect = Label13->text();
    m_codec.clear();
    ClientSocket1->connectToHost(host, m_port);
}

void GameWindow::SpeedButton11Click()
{
    showMessage(
        QStringLiteral("Para jogar seu adversário deverá ter a versão 0.9.16 ou superior do Lumivortex.\n"
                       "Caso decida ser o Servidor (X) você so precisa aguardar a conexão do "
                       "adversário.\n"
                       "Caso seja Cliente (O) você deve digitar o IP do Servidor(Adversário) e "
                       "conectar-se a ele."));
}

void GameWindow::SpeedButton12Click()
{
    if (!m_board.isNewGameEnabled())
        return;
    const GameSide current = side();
    if (current != GameSide::None)
        send(GameMessage::newGame());
    m_board.startNewGame(current);
    refreshBoard();
}

void GameWindow::CellClick(int cell)
{
    const GameSide current = side();
    if (current == GameSide::None || !m_board.isCellEnabled(cell))
        return;
    send(GameMessage::move(ownMarkOf(current), cell));
    m_board.localMove(cell, ownMarkOf(current));
    refreshBoard();
}

void GameWindow::ClientSocket1Connecting()
{
    Label13->setText(ConnectingText);
}

void GameWindow::ClientSocket1Connect()
{
    m_clientInPlay = true;
    Label13->setText(ConnectedText + dottedAddress(ClientSocket1->peerAddress()));
    m_board.setStatus(GameStatus::PeerTurn);
    setSetupLocked(true);
    m_board.setAllCellsEnabled(false);
    refreshBoard();
}

void GameWindow::ClientSocket1Error(QAbstractSocket::SocketError error)
{
    // Once in play a broken connection is reported by disconnected().
    if (m_clientInPlay)
        return;
    Label13->setText(ConnectionErrorText);
    endSession();
    hide();
    // One box with the reason, in place of the socket layer's own numbered one.
    showMessage(ConnectionErrorText + QLatin1Char('\n') + socketErrorText(error));
}

void GameWindow::ServerSocket1Accept()
{
    while (QTcpSocket *socket = ServerSocket1->nextPendingConnection()) {
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
        Label13->setText(ConnectedText + dottedAddress(socket->peerAddress()));
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
    if (m_clientInPlay && ClientSocket1->state() == QAbstractSocket::ConnectedState)
        return GameSide::Client;
    return GameSide::None;
}

QTcpSocket *GameWindow::connection() const
{
    if (m_peer)
        return m_peer;
    return m_clientInPlay ? ClientSocket1 : nullptr;
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
    Label13->setText(PeerLeftText);
    if (m_board.status() == GameStatus::YourTurn || m_board.status() == GameStatus::PeerTurn)
        m_board.setStatus(PeerLeftText);
    refreshBoard();
}

void GameWindow::abandonConnectAttempt()
{
    if (m_clientInPlay || ClientSocket1->state() == QAbstractSocket::UnconnectedState)
        return;
    {
        const QSignalBlocker blocker(ClientSocket1);
        ClientSocket1->abort();
    }
    Label13->setText(m_statusBeforeConnect);
}

void GameWindow::endSession()
{
    m_clientInPlay = false;
    if (ClientSocket1->state() != QAbstractSocket::UnconnectedState) {
        const QSignalBlocker blocker(ClientSocket1);
        ClientSocket1->abort();
    }
    if (m_peer) {
        QTcpSocket *peer = m_peer;
        m_peer = nullptr;
        peer->disconnect(this);
        peer->abort();
        peer->deleteLater();
    }
    ServerSocket1->close();
    m_codec.clear();
    uncheckRoles();
    setSetupLocked(false);
    setServerAddressEditable(false);
    m_board.resetBoardOnClose();
    refreshBoard();
}

void GameWindow::setSetupLocked(bool locked)
{
    RadioButton1->setEnabled(!locked);
    RadioButton2->setEnabled(!locked);
    if (locked)
        setServerAddressEditable(false);
}

void GameWindow::setServerAddressEditable(bool editable)
{
    Label10->setEnabled(editable);
    Edit1->setEnabled(editable);
    // Window colour while it can be typed in, button face otherwise.
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Base, this->palette().color(editable ? QPalette::Base : QPalette::Button));
    Edit1->setPalette(palette);
    SpeedButton10->setEnabled(editable);
}

void GameWindow::uncheckRoles()
{
    // Exclusive radio buttons refuse to be unchecked; lift that for a moment.
    for (QRadioButton *button : { RadioButton1, RadioButton2 }) {
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
    }
    Label15->setText(m_board.status());
    Label4->setText(QString::number(m_board.ownWins()));
    Label6->setText(QString::number(m_board.peerWins()));
    SpeedButton12->setEnabled(m_board.isNewGameEnabled());
}
