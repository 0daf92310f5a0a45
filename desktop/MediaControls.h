#pragma once

#include "desktop/NowPlaying.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <functional>

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
    // Items in the playlist, which next and previous walk.
    std::function<int()> playlistCount;
    // Shows a volume set from outside on the window's own level bar.
    std::function<void()> showVolume;
};

// Play and pause as the playback state promises them: on "Playing" pause
// pauses, on "Paused" or "Stopped" play plays, and pause never starts anything.
// Through the window's play button where its colour agrees, so its rules hold.
class PlayerCommands
{
public:
    // `previous`: the state last shown, kept while the engine's text says nothing.
    PlayerCommands(const PlayerView &player, const QString &previous);
    QString status() const { return m_status; }
    void playPause();
    void play();
    void pause();

private:
    bool playButtonIsLime() const;

    const PlayerView &m_player;
    QString m_status;
};

// The desktop's media keys and player controls (MPRIS): the commands do what
// the playback state shown beside them promises, through the main window's own
// transport buttons where those agree, so the buttons' rules hold; the state
// and the title follow the engine and the window title. Raising, quitting and
// opening are requests for the program to carry out.
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
    void seek(qlonglong offsetMicro);
    void setPosition(const QString &trackId, qlonglong positionMicro);
    // Asks for what the address rule admits from a source the user chose.
    void openUri(const QString &uri);
    QString playbackStatus() const { return m_tracker.playbackStatus(); }
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double volume);
    double rate() const;
    qlonglong position() const;
    bool canPlay() const;
    bool canPause() const;
    bool canSeek() const;
    bool canGoNext() const;

signals:
    void raiseRequested();
    void quitRequested();
    void openRequested(const QString &uri);
    void seeked(qlonglong positionMicro);

private:
    MediaControls(const PlayerView &player, const QDBusConnection &bus);
    // The state as the engine reports it now; the published one may lag a turn.
    PlayerCommands commands() const { return PlayerCommands(m_player, m_tracker.playbackStatus()); }
    QString currentTitle() const;
    void scheduleRefresh();
    void refresh();

    PlayerView m_player;
    QDBusConnection m_bus;
    NowPlayingTracker m_tracker;
    bool m_refreshPending = false;
};
