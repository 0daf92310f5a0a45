#pragma once

#include <QObject>

class QFrame;
class QLabel;
class QProgressBar;
class SpeedButton;

// The controls of the Player tab (PanelMediaPlayer): transport buttons, the
// time text, the now-playing label and the position gauge.
class PlayerPanel : public QObject
{
    Q_OBJECT

public:
    explicit PlayerPanel(QFrame *panel);

    QFrame *panel;
    SpeedButton *SpeedButton76; // previous
    SpeedButton *SpeedButton46; // -15 s
    SpeedButton *SpeedButton41; // hold to scan back
    SpeedButton *SpeedButton42; // play / pause
    SpeedButton *SpeedButton40; // stop
    SpeedButton *SpeedButton43; // hold to scan forward
    SpeedButton *SpeedButton45; // +15 s
    SpeedButton *SpeedButton75; // next
    SpeedButton *SpeedButton44; // open a file
    SpeedButton *SpeedButton69; // repeat
    SpeedButton *SpeedButton51; // effects panel
    SpeedButton *SpeedButton74; // playlist window
    SpeedButton *SpeedButton77; // mini player
    QFrame *Shape1;
    QLabel *Label2;   // time text
    QLabel *Label10;  // now playing
    QLabel *Label122; // lyrics-search symbol
    QProgressBar *Gauge1;
};
