#pragma once

#include <QObject>
#include <functional>

class EffectsPanel;
class LoopsAndEffects;
class MediaEngine;
class PlayerPanel;
class QTimer;
struct ProgramState;

// What the transport needs of the playlist: its play, next and previous
// buttons and where it stands. The playlist window provides it.
class PlaylistSeam
{
public:
    virtual ~PlaylistSeam() = default;
    virtual void play() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    // -1 when no item is current.
    virtual int currentIndex() const = 0;
    virtual int count() const = 0;
};

// The Player tab's buttons and the display tick that keeps the time text, the
// gauge and the mini player's text current while something plays.
class Transport : public QObject
{
    Q_OBJECT

public:
    Transport(MediaEngine &engine, PlayerPanel &panel, EffectsPanel &effects, LoopsAndEffects &loops,
        QTimer &displayTick, QTimer &scanBack, QTimer &scanForward, QObject *parent);

    void setPlaylist(PlaylistSeam *playlist) { m_playlist = playlist; }

    // Hooks to the other windows; unset hooks do nothing.
    std::function<QString()> chooseFile; // the open dialog; empty when cancelled
    std::function<void(const QString &)> showMiniText; // the mini player's two-line text
    std::function<void()> toggleMiniPlayer;
    std::function<void()> showPlaylist;
    std::function<void()> searchLyrics;

    // Handlers. Each ends quietly when an engine call fails.
    void playPause();
    void stopPlayback();
    void openFile();
    void skipForward();
    void skipBack();
    void playNext();
    void playPrevious();
    void toggleRepeat();
    void togglePictureFit();
    void scanBackPressed(bool down);
    void scanForwardPressed(bool down);
    void scanBackTick();
    void scanForwardTick();
    void refreshDisplay();

    // The play form of play/pause: lyrics icon shown, play(), display tick on,
    // button lime, rate text refreshed. Throws when the engine call fails.
    void performPlayForm();
    void setNowPlayingFromUrl(const QString &url);
    void setDisplayTickEnabled(bool enabled);

    // The filter of the open dialog.
    static QString openDialogFilter();

private:
    void refreshRateText();
    void advanceAtEndOfMp3();
    void adaptTickRate();
    void setGauge(int maximum, int progress);

    MediaEngine &m_engine;
    PlayerPanel &m_panel;
    EffectsPanel &m_effects;
    LoopsAndEffects &m_loops;
    QTimer &m_displayTick;
    QTimer &m_scanBack;
    QTimer &m_scanForward;
    PlaylistSeam *m_playlist = nullptr;
};
