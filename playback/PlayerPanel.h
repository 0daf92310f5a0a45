#pragma once

#include <QObject>

class QFrame;
class QLabel;
class QProgressBar;
class FlatButton;

// The controls of the Player tab (PanelMediaPlayer): transport buttons, the
// time text, the now-playing label and the position gauge.
class PlayerPanel : public QObject
{
    Q_OBJECT

public:
    explicit PlayerPanel(QFrame *panel);

    QFrame *panel;
    FlatButton *m_previous;
    FlatButton *m_skipBack;
    FlatButton *m_scanBack;
    FlatButton *m_playPause;
    FlatButton *m_stop;
    FlatButton *m_scanForward;
    FlatButton *m_skipForward;
    FlatButton *m_next;
    FlatButton *m_openFile;
    FlatButton *m_repeat;
    FlatButton *m_effectsToggle;
    FlatButton *m_playlistToggle;
    FlatButton *m_miniPlayerToggle;
    // "Ao vivo": shown while a kept live channel is behind live; back to the newest picture.
    FlatButton *m_liveEdge;
    QFrame *m_videoFrame;
    QLabel *m_timeText;
    QLabel *m_nowPlaying;
    QLabel *m_lyricsSymbol; // lyrics-search symbol
    QProgressBar *m_positionBar;
};
