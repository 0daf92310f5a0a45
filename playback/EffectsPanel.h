#pragma once

#include <QObject>

class QFrame;
class QLabel;
class QWidget;
class FlatButton;

// The effects panel (PanelEfeitos): loops, cue points, sound effects and the
// playback-rate buttons.
class EffectsPanel : public QObject
{
    Q_OBJECT

public:
    explicit EffectsPanel(QWidget *window);

    QFrame *PanelEfeitos;
    QFrame *Bevel1;
    QLabel *Label3;
    FlatButton *SpeedButton47; // Loop A-B
    FlatButton *SpeedButton48; // Loop 4s
    FlatButton *SpeedButton49; // Loop 8s
    FlatButton *SpeedButton50; // Loop 12s
    FlatButton *SpeedButton54; // Parkinson
    FlatButton *SpeedButton52; // Vibration
    FlatButton *SpeedButton53; // Wavebeat
    FlatButton *SpeedButton61; // OverLoop (never built)
    FlatButton *SpeedButton55; // cue 1 Set
    FlatButton *SpeedButton56; // cue 1 Go!
    FlatButton *SpeedButton57; // cue 2 Set
    FlatButton *SpeedButton58; // cue 2 Go!
    FlatButton *SpeedButton59; // cue 3 Set
    FlatButton *SpeedButton60; // cue 3 Go!
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label7;
    QLabel *Label11; // "Velocidade:"
    QLabel *Label12; // rate text
    FlatButton *SpeedButton65; // rate -
    FlatButton *SpeedButton66; // rate +
    FlatButton *SpeedButton67; // rate reset
};
