#include "playback/EffectsView.h"

#include "base/SafeCall.h"
#include "playback/EffectsPanel.h"
#include "player/LoopsAndCues.h"
#include "player/SoundEffects.h"
#include "player/Transport.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QFrame>
#include <QLabel>

using namespace ButtonColour;

namespace
{
constexpr double kRateStep = 0.005;

const QColor &onOff(bool on)
{
    return on ? Lime : Blue;
}
} // namespace

EffectsView::EffectsView(EffectsPanel &panel, FlatButton &fxButton, LoopsAndCues &loops,
    SoundEffects &effects, Transport &transport, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_fx(fxButton)
    , m_loops(loops)
    , m_effects(effects)
{
    setObjectName(QStringLiteral("LoopsAndEffects"));
    auto onPress = [this](FlatButton *button, auto handler) {
        connect(button, &QToolButton::pressed, this, [handler] { safeCall(handler); });
    };
    auto onClick = [this](FlatButton *button, auto handler) {
        connect(button, &QToolButton::clicked, this, [handler] { safeCall(handler); });
    };
    connect(&m_fx, &QToolButton::clicked, this, [this] { toggleEffectsPanel(); });
    onPress(m_panel.m_loopAB, [this] { m_loops.markLoopPoint(); });
    onPress(m_panel.m_loop4s, [this] { m_loops.pressFixedLoop(4); });
    onPress(m_panel.m_loop8s, [this] { m_loops.pressFixedLoop(8); });
    onPress(m_panel.m_loop12s, [this] { m_loops.pressFixedLoop(12); });
    FlatButton *const sets[] = { m_panel.m_setCue1, m_panel.m_setCue2, m_panel.m_setCue3 };
    FlatButton *const gos[] = { m_panel.m_goToCue1, m_panel.m_goToCue2, m_panel.m_goToCue3 };
    for (int point = 1; point <= LoopsAndCues::kCuePoints; ++point) {
        onPress(sets[point - 1], [this, point] { m_loops.setCue(point); });
        onPress(gos[point - 1], [this, point] { m_loops.goToCue(point); });
    }
    onClick(m_panel.m_vibration, [this] { m_effects.toggleVibration(); });
    onClick(m_panel.m_parkinson, [this] { m_effects.toggleParkinson(); });
    onClick(m_panel.m_wavebeat, [this] { m_effects.toggleWavebeat(); });
    onClick(m_panel.m_rateDown, [&transport] { transport.changeRate(-kRateStep); });
    onClick(m_panel.m_rateUp, [&transport] { transport.changeRate(kRateStep); });
    onClick(m_panel.m_rateReset, [&transport] { transport.resetRate(); });

    connect(&m_loops, &LoopsAndCues::loopsChanged, this, [this] { showLoops(); });
    connect(&m_loops, &LoopsAndCues::cueChanged, this, [this](int point) { showCue(point); });
    connect(&m_effects, &SoundEffects::changed, this, [this] { showEffects(); });
    connect(&transport, &Transport::rateShown, m_panel.m_rateText, &QLabel::setText);
}

void EffectsView::toggleEffectsPanel()
{
    if (!m_panel.PanelEfeitos->isHidden()) {
        set(&m_fx, Blue);
        m_panel.PanelEfeitos->hide();
    } else {
        set(&m_fx, Red);
        m_panel.PanelEfeitos->show();
        m_panel.PanelEfeitos->raise();
    }
}

void EffectsView::showLoops()
{
    const LoopsAndCues::ABLoop ab = m_loops.abLoop();
    set(m_panel.m_loopAB,
        ab == LoopsAndCues::ABLoop::Looping         ? Lime
            : ab == LoopsAndCues::ABLoop::PointASet ? Red
                                                    : Blue);
    set(m_panel.m_loop4s, onOff(m_loops.fixedLoopSeconds() == 4));
    set(m_panel.m_loop8s, onOff(m_loops.fixedLoopSeconds() == 8));
    set(m_panel.m_loop12s, onOff(m_loops.fixedLoopSeconds() == 12));
}

void EffectsView::showEffects()
{
    set(m_panel.m_vibration, onOff(m_effects.chop() == SoundEffects::Chop::Vibration));
    set(m_panel.m_parkinson, onOff(m_effects.chop() == SoundEffects::Chop::Parkinson));
    set(m_panel.m_wavebeat, onOff(m_effects.wavebeat()));
}

void EffectsView::showCue(int point)
{
    QLabel *labels[] = { m_panel.m_cue1Text, m_panel.m_cue2Text, m_panel.m_cue3Text };
    labels[point - 1]->setText(m_loops.cueText(point));
}
