#pragma once

#include "game/GameWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// Reads and presses the game window's controls by their names, and records
// the texts it would show in message boxes.
class GameWindowProbe
{
public:
    explicit GameWindowProbe(GamePorts ports)
        : window(ports)
    {
        window.setMessageSink([this](const QString &text) { messages << text; });
    }

    template <typename T = QWidget> T *control(const char *name)
    {
        T *found = window.findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QAbstractButton *button(const char *name) { return control<QAbstractButton>(name); }
    QAbstractButton *cell(int n)
    {
        return button(QStringLiteral("SpeedButton%1").arg(n).toLatin1().constData());
    }
    QString text(const char *name) { return control<QLabel>(name)->text(); }
    QString caption(int n) { return cell(n)->text(); }
    QString status() { return text("Label15"); }
    QString connection() { return text("Label13"); }
    QString ownScore() { return text("Label4"); }
    QString peerScore() { return text("Label6"); }
    QLineEdit *serverAddress() { return control<QLineEdit>("Edit1"); }
    QTcpServer *server() { return control<QTcpServer>("ServerSocket1"); }
    QTcpSocket *client() { return control<QTcpSocket>("ClientSocket1"); }
    // The server's accepted connection (a child of its listening socket).
    QTcpSocket *acceptedConnection()
    {
        const auto sockets = server()->findChildren<QTcpSocket *>();
        return sockets.isEmpty() ? nullptr : sockets.first();
    }

    QString board()
    {
        QString cells;
        for (int n = 1; n <= 9; ++n)
            cells += caption(n).isEmpty() ? QStringLiteral(".") : caption(n);
        return cells;
    }
    // "1" for each cell the user can click, "." otherwise.
    QString openCells()
    {
        QString cells;
        for (int n = 1; n <= 9; ++n)
            cells += cell(n)->isEnabled() ? QLatin1Char('1') : QLatin1Char('.');
        return cells;
    }
    bool rolesSelectable()
    {
        auto *server = control<QRadioButton>("RadioButton1");
        auto *client = control<QRadioButton>("RadioButton2");
        return server->isEnabled() && client->isEnabled() && !server->isChecked() && !client->isChecked();
    }

    void chooseServer() { button("RadioButton1")->click(); }
    void chooseClientAndConnect(const QString &address)
    {
        button("RadioButton2")->click();
        serverAddress()->setText(address);
        button("SpeedButton10")->click();
    }

    GameWindow window;
    QStringList messages;
};

// A port nobody listens on right now.
inline quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("no free port");
    return probe.serverPort();
}
