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
    QFrame *m_frame;
    QLabel *m_caption;
    FlatButton *m_loopAB;
    FlatButton *m_loop4s;
    FlatButton *m_loop8s;
    FlatButton *m_loop12s;
    FlatButton *m_parkinson;
    FlatButton *m_vibration;
    FlatButton *m_wavebeat;
    FlatButton *m_overLoop; // OverLoop (never built)
    FlatButton *m_setCue1;
    FlatButton *m_goToCue1;
    FlatButton *m_setCue2;
    FlatButton *m_goToCue2;
    FlatButton *m_setCue3;
    FlatButton *m_goToCue3;
    QLabel *m_cue1Text;
    QLabel *m_cue2Text;
    QLabel *m_cue3Text;
    QLabel *m_rateCaption; // "Velocidade:"
    QLabel *m_rateText;
    FlatButton *m_rateDown;
    FlatButton *m_rateUp;
    FlatButton *m_rateReset;
};
