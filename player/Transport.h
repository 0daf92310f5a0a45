#pragma once

#include <QObject>
#include <QString>

class LiveRewind;
class LoopsAndCues;
class MediaEngine;
class PlaylistNavigation;
class QTimer;

// Where the transport asks for the file to open: the open dialog. Empty when
// the user cancels.
class MediaFileChooser
{
public:
    virtual ~MediaFileChooser() = default;
    virtual QString chooseMediaFile() = 0;
};

// The transport: what the play/pause button stands for (stopped, playing,
// paused), repeat, the held scan buttons, the playback rate, and the display
// tick that keeps the time text, the gauge and the now-playing name current
// while something plays. Decisions are taken on these values; the buttons'
// colours are drawn from them and never read back.
//
// While a live channel plays with its buffer on (MediaEngine::liveRewind()),
// the transport follows it as its own: play/pause pauses and resumes where it
// paused, -15 s/+15 s, the scan buttons and the position bar move within what
// was kept, and the time text says how far behind live the picture is
// ("-02:35", "Ao vivo" at the edge). Files keep the transport they always had.
//
// The handlers throw EngineError when an engine call fails, so that a caller
// ends where the failing call was (callers catch at their top, base/SafeCall.h).
class Transport : public QObject
{
    Q_OBJECT

public:
    // The play/pause button: blue, lime, red.
    enum class Mode { Stopped, Playing, Paused };
    Q_ENUM(Mode)

    Transport(MediaEngine &engine, LoopsAndCues &loops, QTimer &displayTick, QTimer &scanBack,
        QTimer &scanForward, QObject *parent = nullptr);

    void setPlaylist(PlaylistNavigation *playlist) { m_playlist = playlist; }
    void setFileChooser(MediaFileChooser *chooser) { m_chooser = chooser; }

    Mode mode() const { return m_mode; }
    bool repeat() const { return m_repeat; }
    bool scanningBack() const { return m_scanningBack; }
    bool scanningForward() const { return m_scanningForward; }
    // The lyrics-search symbol beside the now-playing name.
    bool lyricsOffered() const { return m_lyricsOffered; }
    QString timeText() const { return m_timeText; }
    // Whole seconds; a maximum of 0 is an empty bar (a live stream).
    int gaugeMaximum() const { return m_gaugeMaximum; }
    int gaugeProgress() const { return m_gaugeProgress; }
    // The song a radio stream says is on air; otherwise the file-name part of
    // what a file start or the open dialog loaded.
    QString nowPlaying() const { return m_nowPlaying; }
    // Items of the playlist that next and previous walk; 0 without one.
    int playlistCount() const;
    // A live stream plays and is kept: the position bar is the buffer.
    bool liveBuffered() const { return m_liveBuffered; }
    // The picture is the newest received (or no buffered live stream plays).
    bool atLiveEdge() const { return m_atLiveEdge; }

    void playPause();
    void stop();
    // Asks the chooser for a file and plays it; nothing happens when cancelled.
    void openFile();
    void skipForward();
    void skipBack();
    void playNext();
    void playPrevious();
    void toggleRepeat();
    void togglePictureFit();
    void setScanningBack(bool held);
    void setScanningForward(bool held);
    void scanBackTick();
    void scanForwardTick();
    // The display tick. Never throws: a failing engine call ends the tick.
    void refreshDisplay();
    void changeRate(double step);
    void resetRate();
    // "Ao vivo": back to the newest picture of a buffered live stream.
    void returnToLive();
    // A press on the position bar at fraction (0 left, 1 right) of its width:
    // within the buffer of a live stream; nothing for files.
    void seekInBar(double fraction);

    // The play form of play/pause: lyrics symbol shown, play(), display tick
    // on, playing, rate text refreshed.
    void playForm();
    // The engine was paused from outside the transport (the desktop's pause of
    // a tuned channel): the button shows it, and its next press resumes.
    void showPaused();
    void setNowPlayingFromUrl(const QString &url);
    void setDisplayTickEnabled(bool enabled);

signals:
    void modeChanged(Transport::Mode mode);
    void repeatChanged(bool on);
    void scanningChanged();
    void lyricsOfferedChanged(bool offered);
    // The time text or the gauge changed.
    void displayChanged();
    void nowPlayingChanged(const QString &name);
    // Every display tick ends with this, changed or not (the mini player's text).
    void displayRefreshed();
    // The rate text is to be shown again ("100%"), at the moments the design refreshes it.
    void rateShown(const QString &text);
    // The open dialog's file was given to the engine.
    void fileOpened(const QString &path);
    // liveBuffered() or atLiveEdge() changed.
    void liveChanged();

private:
    void setMode(Mode mode);
    void setLyricsOffered(bool offered);
    void setTimeText(const QString &text);
    void setGauge(int maximum, int progress);
    void refreshRate();
    void advanceAtEndOfMp3();
    void adaptTickRate();
    void showNowPlaying();
    // The live stream being kept, or null.
    LiveRewind *bufferedLive() const;
    void followLiveBuffer();
    void showLivePosition(const LiveRewind &live);
    void setAtLiveEdge(bool atEdge);

    MediaEngine &m_engine;
    LoopsAndCues &m_loops;
    QTimer &m_displayTick;
    QTimer &m_scanBack;
    QTimer &m_scanForward;
    PlaylistNavigation *m_playlist = nullptr;
    MediaFileChooser *m_chooser = nullptr;

    Mode m_mode = Mode::Stopped;
    bool m_repeat = false;
    bool m_scanningBack = false;
    bool m_scanningForward = false;
    bool m_lyricsOffered = false;
    QString m_timeText = QStringLiteral("00:00 / 00:00");
    int m_gaugeMaximum = 0;
    int m_gaugeProgress = 0;
    QString m_nowPlaying;
    QString m_fileName; // of the last file started
    bool m_liveBuffered = false;
    bool m_atLiveEdge = true;
};
