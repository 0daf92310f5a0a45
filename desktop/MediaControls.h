#pragma once

#include "desktop/NowPlaying.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

class MediaEngine;
class QAbstractButton;
class QLabel;
class QWidget;
struct ProgramState;

// What the desktop's controls read and press: the main window's engine, title,
// state, transport buttons and now-playing label.
struct PlayerView {
    MediaEngine *engine = nullptr;
    QWidget *window = nullptr;
    const ProgramState *state = nullptr;
    QAbstractButton *playPause = nullptr;
    QAbstractButton *stop = nullptr;
    QAbstractButton *next = nullptr;
    QAbstractButton *previous = nullptr;
    const QLabel *nowPlaying = nullptr;
};

// The desktop's media keys and player controls (MPRIS): the commands press the
// main window's own transport buttons, so every rule of those buttons holds;
// the playback state and the title follow the engine and the window title.
// Raising and quitting are requests for the program to carry out.
class MediaControls : public QObject
{
    Q_OBJECT

public:
    static const QString ServiceName;
    static const QString ObjectPath;
    static const QString PlayerInterface;

    // Puts the player's controls on the bus. Returns nullptr, and the program
    // goes on without them, when there is no bus or another program holds the
    // name. The object belongs to the player's window.
    static MediaControls *install(
        const PlayerView &player, const QDBusConnection &bus = QDBusConnection::sessionBus());
    ~MediaControls() override;

    // org.mpris.MediaPlayer2
    void raise();
    void quit();

    // org.mpris.MediaPlayer2.Player
    void playPause();
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    QString playbackStatus() const { return m_tracker.playbackStatus(); }
    QVariantMap metadata() const;
    double volume() const;
    double rate() const;
    qlonglong position() const;

signals:
    void raiseRequested();
    void quitRequested();

private:
    MediaControls(const PlayerView &player, const QDBusConnection &bus);
    static void press(QAbstractButton *button);
    bool playButtonIsLime() const;
    QString currentTitle() const;
    void scheduleRefresh();
    void refresh();

    PlayerView m_player;
    QDBusConnection m_bus;
    NowPlayingTracker m_tracker;
    bool m_refreshPending = false;
};
