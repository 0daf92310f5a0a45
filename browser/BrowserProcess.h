#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QProcess;
class QWidget;

// The player's side of the browser window, which runs in a process of its own
// (the same program started with browserProcessArgument()): the web engine and
// its GL driver never enter the player, their memory is returned when the
// window closes, and a page that crashes ends only that process. The process
// starts the first time the window is asked for and ends when the window
// closes or this object goes.
class BrowserProcess : public QObject
{
    Q_OBJECT

public:
    // program and arguments start the browser process; by default this very
    // program with browserProcessArgument().
    explicit BrowserProcess(QObject *parent = nullptr);
    BrowserProcess(const QString &program, const QStringList &arguments, QObject *parent = nullptr);
    ~BrowserProcess() override;

    static QString browserProcessArgument() { return QStringLiteral("--browser-process"); }

    // The entry points of the main window, as BrowserWindow has them.
    void showCentredOn(QWidget *mainWindow);
    void selectVideosMode();
    void selectLyricsMode();
    void searchLyricsFor(const QString &nowPlayingText);

    bool isRunning() const;
    // 0 when not running.
    qint64 processId() const;
    // Ends the browser process: its window closes, its memory is returned.
    void end();

signals:
    void ended();

private:
    void send(const QByteArray &command);
    QWidget *mainWindow() const;

    QString m_program;
    QStringList m_arguments;
    QProcess *m_process = nullptr;
    QPointer<QWidget> m_mainWindow;
};
