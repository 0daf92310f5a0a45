#pragma once

#include <QObject>

class QFrame;
class QLabel;
class QWidget;
class SpeedButton;

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
    SpeedButton *SpeedButton47; // Loop A-B
    SpeedButton *SpeedButton48; // Loop 4s
    SpeedButton *SpeedButton49; // Loop 8s
    SpeedButton *SpeedButton50; // Loop 12s
    SpeedButton *SpeedButton54; // Parkinson
    SpeedButton *SpeedButton52; // Vibration
    SpeedButton *SpeedButton53; // Wavebeat
    SpeedButton *SpeedButton61; // OverLoop (never built)
    SpeedButton *SpeedButton55; // cue 1 Set
    SpeedButton *SpeedButton56; // cue 1 Go!
    SpeedButton *SpeedButton57; // cue 2 Set
    SpeedButton *SpeedButton58; // cue 2 Go!
    SpeedButton *SpeedButton59; // cue 3 Set
    SpeedButton *SpeedButton60; // cue 3 Go!
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label7;
    QLabel *Label11; // "Velocidade:"
    QLabel *Label12; // rate text
    SpeedButton *SpeedButton65; // rate -
    SpeedButton *SpeedButton66; // rate +
    SpeedButton *SpeedButton67; // rate reset
};
