#pragma once

#include "desktop/NowPlaying.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

class TForm1;

// The desktop's media keys and player controls (MPRIS): the commands press the
// main window's own transport buttons, so every rule of those buttons holds;
// the playback state and the title follow the engine and the window title.
class MediaControls : public QObject
{
    Q_OBJECT

public:
    static const QString ServiceName;
    static const QString ObjectPath;
    static const QString PlayerInterface;

    // Puts the window's controls on the bus. Returns nullptr, and the program
    // goes on without them, when there is no bus or another program holds the
    // name. The object belongs to the window.
    static MediaControls *install(TForm1 &window, const QDBusConnection &bus = QDBusConnection::sessionBus());
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

private:
    MediaControls(TForm1 &window, const QDBusConnection &bus);
    void press(const char *button);
    bool playButtonIsLime() const;
    QString currentTitle() const;
    void scheduleRefresh();
    void refresh();

    TForm1 &m_window;
    QDBusConnection m_bus;
    NowPlayingTracker m_tracker;
    bool m_refreshPending = false;
};
