#pragma once

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>

class BrowserWindow;
class QSocketNotifier;

// What the player asks of the browser window running in its own process: one
// JSON object a line on the browser process's standard input.
namespace BrowserCommands
{
QByteArray showCentredAt(const QPoint &centre);
QByteArray selectVideosMode();
QByteArray selectLyricsMode();
// Opens the window at centre when hidden, then searches the lyrics for text.
QByteArray searchLyricsFor(const QString &text, const QPoint &centre);

// Carries out one line on the window; false for a line that is no command.
bool apply(BrowserWindow &window, const QByteArray &line);
} // namespace BrowserCommands

// Reads the player's commands from a file descriptor (standard input in the
// browser process) and carries them out on the window. End of input means the
// player has gone, whether it quit or crashed.
class BrowserCommandReader : public QObject
{
    Q_OBJECT

public:
    BrowserCommandReader(int fd, BrowserWindow &window, QObject *parent = nullptr);

signals:
    void inputClosed();

private:
    void readAvailable();

    int m_fd;
    BrowserWindow &m_window;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_pending;
};
