#include "browser/BrowserProcess.h"

#include "browser/BrowserCommands.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>

namespace
{
// Time the browser process gets to close its window on its own once its input ends.
constexpr int EndGraceMs = 3000;
} // namespace

BrowserProcess::BrowserProcess(QObject *parent)
    : BrowserProcess(QCoreApplication::applicationFilePath(), { browserProcessArgument() }, parent)
{
}

BrowserProcess::BrowserProcess(const QString &program, const QStringList &arguments, QObject *parent)
    : QObject(parent)
    , m_program(program)
    , m_arguments(arguments)
{
}

BrowserProcess::~BrowserProcess()
{
    end();
}

bool BrowserProcess::isRunning() const
{
    return m_process != nullptr && m_process->state() != QProcess::NotRunning;
}

qint64 BrowserProcess::processId() const
{
    return m_process != nullptr ? m_process->processId() : 0;
}

void BrowserProcess::end()
{
    if (m_process == nullptr)
        return;
    QProcess *process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    // End of input is the browser process's signal to quit; one that hangs is killed.
    process->closeWriteChannel();
    if (process->state() != QProcess::NotRunning && !process->waitForFinished(EndGraceMs)) {
        process->kill();
        process->waitForFinished(EndGraceMs);
    }
    delete process;
    emit ended();
}

void BrowserProcess::send(const QByteArray &command)
{
    if (!isRunning()) {
        delete m_process;
        m_process = new QProcess(this);
        // The web engine's messages reach the player's own terminal; only the input is ours.
        m_process->setProcessChannelMode(QProcess::ForwardedChannels);
        QProcess *process = m_process;
        connect(process, &QProcess::finished, this, [this, process] {
            // Closed by the user or crashed: the next request starts a new one.
            if (process != m_process)
                return;
            m_process = nullptr;
            process->deleteLater();
            emit ended();
        });
        connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart && process == m_process) {
                m_process = nullptr;
                process->deleteLater();
                emit ended();
            }
        });
        process->start(m_program, m_arguments);
    }
    // Written while the process starts, the command waits in QProcess's buffer.
    if (m_process != nullptr)
        m_process->write(command);
}

QWidget *BrowserProcess::mainWindow() const
{
    // The now-playing label is clicked on the main window, so that is the
    // active window when none has been given yet.
    return m_mainWindow != nullptr ? m_mainWindow.data() : QApplication::activeWindow();
}

void BrowserProcess::showCentredOn(QWidget *window)
{
    if (window != nullptr)
        m_mainWindow = window;
    QWidget *centreOn = mainWindow();
    send(BrowserCommands::showCentredAt(centreOn != nullptr ? centreOn->geometry().center() : QPoint()));
}

void BrowserProcess::selectVideosMode()
{
    send(BrowserCommands::selectVideosMode());
}

void BrowserProcess::selectLyricsMode()
{
    send(BrowserCommands::selectLyricsMode());
}

void BrowserProcess::searchLyricsFor(const QString &nowPlayingText)
{
    QWidget *centreOn = mainWindow();
    send(BrowserCommands::searchLyricsFor(
        nowPlayingText, centreOn != nullptr ? centreOn->geometry().center() : QPoint()));
}
