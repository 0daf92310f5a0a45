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
    FlatButton *SpeedButton76; // previous
    FlatButton *SpeedButton46; // -15 s
    FlatButton *SpeedButton41; // hold to scan back
    FlatButton *SpeedButton42; // play / pause
    FlatButton *SpeedButton40; // stop
    FlatButton *SpeedButton43; // hold to scan forward
    FlatButton *SpeedButton45; // +15 s
    FlatButton *SpeedButton75; // next
    FlatButton *SpeedButton44; // open a file
    FlatButton *SpeedButton69; // repeat
    FlatButton *SpeedButton51; // effects panel
    FlatButton *SpeedButton74; // playlist window
    FlatButton *SpeedButton77; // mini player
    QFrame *Shape1;
    QLabel *Label2; // time text
    QLabel *Label10; // now playing
    QLabel *Label122; // lyrics-search symbol
    QProgressBar *Gauge1;
};
