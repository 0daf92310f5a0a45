#pragma once

#include "game/GameBoard.h"
#include "game/GameCodec.h"

#include <QAbstractSocket>
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
    // port is where the server listens and the client connects; the program
    // plays on 23, tests pass a free loopback port (0 lets the server pick).
    explicit GameWindow(quint16 port = 23, QWidget *parent = nullptr);
    ~GameWindow() override;

    // Centres the window on the desktop and shows it (not modally).
    void showCentred();

    // Receives every text the window would show in a message box; an empty
    // sink restores the real (non-blocking) boxes.
    using MessageSink = std::function<void(const QString &text)>;
    void setMessageSink(MessageSink sink);

    const GameBoard &board() const { return m_board; }

    // Handlers, named after their controls; public so they can be pressed.
    void FormShow();
    void FormClose();
    void RadioButton1Click(); // "Sou Servidor."
    void RadioButton2Click(); // "Sou Cliente."
    void SpeedButton10Click(); // "Conectar"
    void SpeedButton11Click(); // "?"
    void SpeedButton12Click(); // "Novo Jogo!"
    void CellClick(int cell); // SpeedButton1..9

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void ClientSocket1Connecting();
    void ClientSocket1Connect();
    void ClientSocket1Error(QAbstractSocket::SocketError error);
    void ServerSocket1Accept();

    // The side in play and the connection it talks on (none while idle,
    // listening or connecting).
    GameSide side() const;
    QTcpSocket *connection() const;
    void send(const GameMessage &message);
    void readConnection(QTcpSocket *socket);
    void receive(const GameMessage &message);
    void connectionLost(QTcpSocket *socket);
    void abandonConnectAttempt();
    void endSession();
    void setSetupLocked(bool locked);
    void setServerAddressEditable(bool editable);
    void uncheckRoles();
    void refreshBoard();
    void showMessage(const QString &text);

    const quint16 m_port;
    GameBoard m_board;
    GameCodec m_codec;
    MessageSink m_messageSink;

    QTcpSocket *ClientSocket1 = nullptr;
    QTcpServer *ServerSocket1 = nullptr;
    // The server's accepted connection; a second client is refused.
    QPointer<QTcpSocket> m_peer;
    bool m_clientInPlay = false;
    // The address of the attempt under way and the status shown before it,
    // to return to when the attempt is abandoned.
    QString m_attemptAddress;
    QString m_statusBeforeConnect;

    std::array<FlatButton *, GameBoard::CellCount> m_cells {};
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    QLabel *Label12 = nullptr;
    QLabel *Label13 = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *Label15 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    FlatButton *SpeedButton10 = nullptr;
    FlatButton *SpeedButton11 = nullptr;
    FlatButton *SpeedButton12 = nullptr;
};
