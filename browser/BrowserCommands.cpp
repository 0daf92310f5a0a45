#include "browser/BrowserCommands.h"

#include "browser/BrowserWindow.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <cerrno>
#include <unistd.h>

namespace
{

QByteArray line(const QJsonObject &command)
{
    return QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n';
}

// A null centre is a main window the player does not know: the window opens where it was.
QJsonObject withCentre(QJsonObject command, const QPoint &centre)
{
    if (centre.isNull())
        return command;
    command.insert(QStringLiteral("x"), centre.x());
    command.insert(QStringLiteral("y"), centre.y());
    return command;
}

void showCentred(BrowserWindow &window, const QJsonObject &command)
{
    if (command.contains(QStringLiteral("x")))
        window.showCentredAt(
            { command.value(QStringLiteral("x")).toInt(), command.value(QStringLiteral("y")).toInt() });
    else
        window.showCentredOn(nullptr);
}

const QString Command = QStringLiteral("command");

} // namespace

QByteArray BrowserCommands::showCentredAt(const QPoint &centre)
{
    return line(withCentre({ { Command, QStringLiteral("show") } }, centre));
}

QByteArray BrowserCommands::selectVideosMode()
{
    return line({ { Command, QStringLiteral("videos") } });
}

QByteArray BrowserCommands::selectLyricsMode()
{
    return line({ { Command, QStringLiteral("lyrics") } });
}

QByteArray BrowserCommands::searchLyricsFor(const QString &text, const QPoint &centre)
{
    return line(withCentre(
        { { Command, QStringLiteral("searchLyrics") }, { QStringLiteral("text"), text } }, centre));
}

bool BrowserCommands::apply(BrowserWindow &window, const QByteArray &text)
{
    const QJsonObject command = QJsonDocument::fromJson(text).object();
    const QString name = command.value(Command).toString();
    if (name == QLatin1String("show")) {
        showCentred(window, command);
    } else if (name == QLatin1String("videos")) {
        window.selectVideosMode();
    } else if (name == QLatin1String("lyrics")) {
        window.selectLyricsMode();
    } else if (name == QLatin1String("searchLyrics")) {
        // A window already open stays where the user put it.
        if (!window.isVisible())
            showCentred(window, command);
        window.searchLyricsFor(command.value(QStringLiteral("text")).toString());
    } else {
        return false;
    }
    return true;
}

BrowserCommandReader::BrowserCommandReader(int fd, BrowserWindow &window, QObject *parent)
    : QObject(parent)
    , m_fd(fd)
    , m_window(window)
{
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &BrowserCommandReader::readAvailable);
}

void BrowserCommandReader::readAvailable()
{
    char buffer[4096];
    const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        m_notifier->setEnabled(false);
        emit inputClosed();
        return;
    }
    m_pending.append(buffer, got);
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QByteArray command = m_pending.left(end);
        m_pending.remove(0, end + 1);
        BrowserCommands::apply(m_window, command);
    }
}
