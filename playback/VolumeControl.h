#pragma once

#include <QObject>

class MediaEngine;
class QTimer;
class FlatButton;
class QWidget;
class VolumePanel;

// The pop-up volume panel: opened by "Volume" or the wheel, ramped by holding
// "+" or "-", and hidden by itself once the level has rested for a check.
class VolumeControl : public QObject
{
    Q_OBJECT

public:
    // The timers are the window's, where the design names them.
    VolumeControl(MediaEngine &engine, VolumePanel &panel, FlatButton &volumeButton, QWidget &window);

    // A value the level bar never takes: right after opening, any level differs from it.
    static constexpr int kNoMark = 999;

    void toggleVolumePanel();
    void rampTick(int step);
    void sampleLevelTick();
    void hideVolumePanelTick();
    // One wheel notch over the main window: +1 up, -1 down.
    void wheelStep(int notches);
    int idleMark() const { return m_idleMark; }
    // The level bar shows the engine's volume (set from outside the panel).
    void showLevel();

private:
    struct Timers {
        QTimer *raise; // TimerVolumeAumenta
        QTimer *lower; // TimerVolumeAbaixa
        QTimer *sample; // TimerPosicao
        QTimer *hide; // TimerHide
    };

    MediaEngine &m_engine;
    VolumePanel &m_panel;
    Timers m_timers;
    int m_idleMark = kNoMark;
};
