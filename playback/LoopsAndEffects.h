#pragma once

#include <QObject>

class EffectsPanel;
class MediaEngine;
class QTimer;
class FlatButton;
struct ProgramState;

// The effects panel: A-B and fixed-length loops (enforced by the display
// tick), three cue points, the mute and volume effects, and the rate buttons.
// Which loop runs lives only in the loop buttons' colours.
class LoopsAndEffects : public QObject
{
    Q_OBJECT

public:
    LoopsAndEffects(MediaEngine &engine, ProgramState &state, EffectsPanel &panel, FlatButton &fxButton,
        QTimer &vibration, QTimer &wavebeat, QObject *parent);

    void toggleEffectsPanel(); // "Fx": open or close the panel
    void markLoopPoint();
    void fixedLoopMouseDown(FlatButton *pressed); // Loop 4s, 8s, 12s
    void resetLoops(); // stop and open
    void enforceLoops(); // display tick
    bool loopRunning() const; // a loop that the display tick must hold to time
    void setCue(int point); // 1..3
    void goToCue(int point);
    void toggleVibration();
    void toggleParkinson();
    void muteEffectTick();
    void toggleWavebeat();
    void wavebeatTick();
    void changeRate(double step); // "+" and "-"
    void resetRate(); // "R"
    void refreshRateText();

signals:
    void loopsChanged();

private:
    void toggleMuteEffect(FlatButton *pressed, FlatButton *other, int interval);
    double &cuePoint(int point);

    MediaEngine &m_engine;
    ProgramState &m_state;
    EffectsPanel &m_panel;
    FlatButton &m_fx;
    QTimer &m_vibration;
    QTimer &m_wavebeat;
};
