#pragma once

#include <QObject>

class EffectsPanel;
class FlatButton;
class LoopsAndCues;
class SoundEffects;
class Transport;

// The effects panel drawn from the loops, the sound effects and the
// transport's rate: a loop or effect button is lime while it runs, "Loop A-B"
// red once its point A is set. The "Fx" button opens and closes the panel
// (red while it is open). Loop and cue buttons act on mouse down.
class EffectsView : public QObject
{
    Q_OBJECT

public:
    EffectsView(EffectsPanel &panel, FlatButton &fxButton, LoopsAndCues &loops, SoundEffects &effects,
        Transport &transport, QObject *parent);

    void toggleEffectsPanel();

private:
    void showLoops();
    void showEffects();
    void showCue(int point);

    EffectsPanel &m_panel;
    FlatButton &m_fx;
    LoopsAndCues &m_loops;
    SoundEffects &m_effects;
};
