#pragma once

#include "desktop/NowPlaying.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

class Player;

// Play and pause as the playback state promises them: on "Playing" pause
// pauses, on "Paused" or "Stopped" play plays, and pause never starts anything.
// Through the transport's play/pause where its mode agrees, so its rules hold.
class PlayerCommands
{
public:
    explicit PlayerCommands(Player &player);
    QString status() const { return m_status; }
    void playPause();
    void play();
    void pause();

private:
    bool transportPlaying() const;

    Player &m_player;
    QString m_status;
};

// The desktop's media keys and player controls (MPRIS): the commands do what
// the playback state shown beside them promises, through the transport where
// it agrees, so its rules hold; the state and the title follow the engine and
// what is loaded. Raising, quitting, opening and showing a volume set from
// outside are requests for the program to carry out.
class MediaControls : public QObject
{
    Q_OBJECT

public:
    static const QString ServiceName;
    static const QString ObjectPath;
    static const QString PlayerInterface;

    // Puts the player's controls on the bus. Returns nullptr, and the program
    // goes on without them, when there is no bus or another program holds the
    // name. The object belongs to owner.
    static MediaControls *install(
        Player &player, QObject *owner, const QDBusConnection &bus = QDBusConnection::sessionBus());
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
    // The programme on now of the channel playing (from its guide): while a
    // channel plays, it is the title and the channel the artist. Empty: none known.
    void setProgramme(const QString &programme);
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
    void volumeSet();
    void seeked(qlonglong positionMicro);

private:
    MediaControls(Player &player, QObject *owner, const QDBusConnection &bus);
    // The state as the engine reports it now; the published one may lag a turn.
    PlayerCommands commands() const { return PlayerCommands(m_player); }
    QString currentTitle() const;
    QString currentArtist() const;
    void scheduleRefresh();
    void refresh();

    Player &m_player;
    QDBusConnection m_bus;
    NowPlayingTracker m_tracker;
    QString m_programme;
    bool m_refreshPending = false;
};
