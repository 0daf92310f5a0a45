#pragma once

#include "game/GameBoard.h"
#include "game/GameCodec.h"
#include "game/GamePorts.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QRadioButton;
class QTcpServer;
class QTcpSocket;
class FlatButton;

// The network tic-tac-toe window ("Lumivortex Games!"). One side listens
// (server, "X", moves first), the other connects to it (client, "O"); each
// move and each new game goes to the peer as a short message and each side
// keeps its own board. Sockets run on the GUI thread.
class GameWindow : public QWidget
{
    Q_OBJECT

public:
    // Where the server listens and the client connects; tests pass a free
    // loopback port (0 lets the server pick).
    explicit GameWindow(GamePorts ports = {}, QWidget *parent = nullptr);
    ~GameWindow() override;

    // Centres the window on the desktop and shows it (not modally).
    void showCentred();

    // Receives every text the window would show in a message box; an empty
    // sink restores the real (non-blocking) boxes.
    using MessageSink = std::function<void(const QString &text)>;
    void setMessageSink(MessageSink sink);

    const GameBoard &board() const { return m_board; }

    // What the window's controls do; public so tests can press them.
    void becomeServer();
    void becomeClient();
    void connectToPeer();
    void showHelp();
    void startNewGame();
    void playCell(int cell);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void showOwnAddress();
    void clientConnecting();
    void clientConnected();
    void clientFailed(QAbstractSocket::SocketError error);
    void acceptPeers();

    // The side in play and the connection it talks on (none while idle,
    // listening or connecting).
    GameSide side() const;
    QTcpSocket *connection() const;
    void send(const GameMessage &message);
    void readConnection(QTcpSocket *socket);
    void receive(const GameMessage &message);
    void connectionLost(QTcpSocket *socket);
    bool attemptUnderWay() const;
    void abandonConnectAttempt();
    void endSession();
    void setSetupLocked(bool locked);
    void setServerAddressEditable(bool editable);
    void uncheckRoles();
    void refreshBoard();
    void showMessage(const QString &text);

    const GamePorts m_ports;
    GameBoard m_board;
    GameCodec m_codec;
    MessageSink m_messageSink;

    QTcpSocket *m_client = nullptr;
    QTcpServer *m_server = nullptr;
    // The server's accepted connection; a second client is refused.
    QPointer<QTcpSocket> m_peer;
    bool m_clientInPlay = false;
    // The address of the attempt under way and the status shown before it,
    // to return to when the attempt is abandoned.
    QString m_attemptAddress;
    QHostAddress m_attemptHost;
    quint16 m_attemptPort = 0;
    // The attempt on the usual port failed; the one on the fallback waits for the event loop.
    bool m_retryQueued = false;
    QString m_statusBeforeConnect;

    std::array<FlatButton *, GameBoard::CellCount> m_cells {};
    QLabel *m_serverAddressCaption = nullptr;
    QLabel *m_connectionText = nullptr;
    QLabel *m_gameStatus = nullptr;
    QLabel *m_ownWins = nullptr;
    QLabel *m_peerWins = nullptr;
    QRadioButton *m_serverRole = nullptr;
    QRadioButton *m_clientRole = nullptr;
    QLineEdit *m_serverAddress = nullptr;
    QLineEdit *m_ownAddress = nullptr;
    FlatButton *m_connect = nullptr;
    FlatButton *m_newGame = nullptr;
};
