#include "playback/LoopsAndEffects.h"

#include "base/ProgramState.h"
#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "playback/EffectsPanel.h"
#include "playback/NumberFormat.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QFrame>
#include <QLabel>
#include <QTimer>

namespace
{
// Points are marked a little before the press, so the loop starts where it was heard.
constexpr double kMarkLead = 0.06;
constexpr double kEndLead = 0.1;
constexpr int kVibrationMs = 200;
constexpr int kParkinsonMs = 31;
} // namespace

using namespace ButtonColour;

LoopsAndEffects::LoopsAndEffects(MediaEngine &engine, ProgramState &state, EffectsPanel &panel,
    FlatButton &fx, QTimer &vibration, QTimer &wavebeat, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_state(state)
    , m_panel(panel)
    , m_fx(fx)
    , m_vibration(vibration)
    , m_wavebeat(wavebeat)
{
    setObjectName(QStringLiteral("LoopsAndEffects"));
    connect(&m_fx, &QToolButton::clicked, this, [this] { toggleEffectsPanel(); });
    connect(m_panel.m_loopAB, &QToolButton::pressed, this, [this] { safeCall([this] { markLoopPoint(); }); });
    for (FlatButton *loop : { m_panel.m_loop4s, m_panel.m_loop8s, m_panel.m_loop12s })
        connect(loop, &QToolButton::pressed, this,
            [this, loop] { safeCall([this, loop] { fixedLoopMouseDown(loop); }); });
    const std::pair<FlatButton *, int> sets[]
        = { { m_panel.m_setCue1, 1 }, { m_panel.m_setCue2, 2 }, { m_panel.m_setCue3, 3 } };
    for (auto [button, point] : sets)
        connect(
            button, &QToolButton::pressed, this, [this, point = point] { safeCall([&] { setCue(point); }); });
    const std::pair<FlatButton *, int> gos[]
        = { { m_panel.m_goToCue1, 1 }, { m_panel.m_goToCue2, 2 }, { m_panel.m_goToCue3, 3 } };
    for (auto [button, point] : gos)
        connect(button, &QToolButton::pressed, this,
            [this, point = point] { safeCall([&] { goToCue(point); }); });
    connect(m_panel.m_vibration, &QToolButton::clicked, this,
        [this] { safeCall([this] { toggleVibration(); }); });
    connect(m_panel.m_parkinson, &QToolButton::clicked, this,
        [this] { safeCall([this] { toggleParkinson(); }); });
    connect(
        m_panel.m_wavebeat, &QToolButton::clicked, this, [this] { safeCall([this] { toggleWavebeat(); }); });
    connect(&m_vibration, &QTimer::timeout, this, [this] { safeCall([this] { muteEffectTick(); }); });
    connect(&m_wavebeat, &QTimer::timeout, this, [this] { safeCall([this] { wavebeatTick(); }); });
    connect(m_panel.m_rateDown, &QToolButton::clicked, this,
        [this] { safeCall([this] { changeRate(-0.005); }); });
    connect(
        m_panel.m_rateUp, &QToolButton::clicked, this, [this] { safeCall([this] { changeRate(0.005); }); });
    connect(m_panel.m_rateReset, &QToolButton::clicked, this, [this] { safeCall([this] { resetRate(); }); });
}

void LoopsAndEffects::toggleEffectsPanel()
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

void LoopsAndEffects::markLoopPoint()
{
    for (FlatButton *fixed : { m_panel.m_loop4s, m_panel.m_loop8s, m_panel.m_loop12s })
        set(fixed, Blue);
    const int clicks = m_state.LoopClickCount;
    m_state.LoopClickCount = clicks + 1;
    if (clicks == 0) {
        m_state.LoopStart = m_engine.currentPosition() - kMarkLead;
        set(m_panel.m_loopAB, Red);
    }
    if (m_state.LoopClickCount == 2) {
        m_state.LoopEnd = m_engine.currentPosition() - kEndLead;
        set(m_panel.m_loopAB, Lime);
    }
    if (m_state.LoopClickCount == 3) {
        set(m_panel.m_loopAB, Blue);
        m_state.LoopClickCount = 0;
    }
    emit loopsChanged();
}

void LoopsAndEffects::fixedLoopMouseDown(FlatButton *pressed)
{
    m_state.LoopStart = m_engine.currentPosition() - kMarkLead;
    set(pressed, is(pressed, Lime) ? Blue : Lime);
    for (FlatButton *loop : { m_panel.m_loopAB, m_panel.m_loop4s, m_panel.m_loop8s, m_panel.m_loop12s })
        if (loop != pressed)
            set(loop, Blue);
    m_state.LoopClickCount = 0;
    emit loopsChanged();
}

void LoopsAndEffects::resetLoops()
{
    for (FlatButton *loop : { m_panel.m_loopAB, m_panel.m_loop4s, m_panel.m_loop8s, m_panel.m_loop12s })
        set(loop, Blue);
    m_state.LoopClickCount = 0;
    emit loopsChanged();
}

bool LoopsAndEffects::loopRunning() const
{
    for (FlatButton *loop : { m_panel.m_loopAB, m_panel.m_loop4s, m_panel.m_loop8s, m_panel.m_loop12s })
        if (is(loop, Lime))
            return true;
    return false;
}

void LoopsAndEffects::enforceLoops()
{
    const std::pair<FlatButton *, double> fixed[]
        = { { m_panel.m_loop4s, 4 }, { m_panel.m_loop8s, 8 }, { m_panel.m_loop12s, 12 } };
    for (auto [button, length] : fixed) {
        if (is(button, Lime) && m_engine.currentPosition() >= m_state.LoopStart + length)
            m_engine.setCurrentPosition(m_state.LoopStart);
    }
    if (is(m_panel.m_loopAB, Lime) && m_engine.currentPosition() >= m_state.LoopEnd)
        m_engine.setCurrentPosition(m_state.LoopStart);
}

double &LoopsAndEffects::cuePoint(int point)
{
    return point == 1 ? m_state.CuePoint1 : point == 2 ? m_state.CuePoint2 : m_state.CuePoint3;
}

void LoopsAndEffects::setCue(int point)
{
    double &cue = cuePoint(point);
    cue = m_engine.currentPosition() - kMarkLead;
    QLabel *label = point == 1 ? m_panel.m_cue1Text : point == 2 ? m_panel.m_cue2Text : m_panel.m_cue3Text;
    label->setText(
        m_engine.currentPositionString() + QStringLiteral(" (") + generalNumber(cue) + QLatin1Char(')'));
}

void LoopsAndEffects::goToCue(int point)
{
    m_engine.setCurrentPosition(cuePoint(point));
}

void LoopsAndEffects::toggleMuteEffect(FlatButton *pressed, FlatButton *other, int interval)
{
    if (is(pressed, Blue)) {
        set(other, Blue);
        m_vibration.setInterval(interval);
        set(pressed, Lime);
        m_vibration.start();
    } else {
        set(pressed, Blue);
        set(other, Blue);
        m_vibration.stop();
        m_engine.setMute(false);
    }
}

void LoopsAndEffects::toggleVibration()
{
    toggleMuteEffect(m_panel.m_vibration, m_panel.m_parkinson, kVibrationMs);
}

void LoopsAndEffects::toggleParkinson()
{
    toggleMuteEffect(m_panel.m_parkinson, m_panel.m_vibration, kParkinsonMs);
}

void LoopsAndEffects::muteEffectTick()
{
    m_engine.setMute(!m_engine.mute());
}

void LoopsAndEffects::toggleWavebeat()
{
    if (is(m_panel.m_wavebeat, Blue)) {
        m_state.WavebeatVolume = m_engine.volume();
        m_state.WavebeatRising = false;
        set(m_panel.m_wavebeat, Lime);
        m_wavebeat.start();
    } else {
        set(m_panel.m_wavebeat, Blue);
        m_wavebeat.stop();
        m_engine.setVolume(m_state.WavebeatVolume);
    }
}

void LoopsAndEffects::wavebeatTick()
{
    if (!m_state.WavebeatRising)
        m_engine.setVolume(m_engine.volume() - 3);
    if (m_engine.volume() == 0)
        m_state.WavebeatRising = true;
    if (m_state.WavebeatRising)
        m_engine.setVolume(m_engine.volume() + 1);
    if (m_engine.volume() == m_state.WavebeatVolume)
        m_state.WavebeatRising = false;
}

void LoopsAndEffects::changeRate(double step)
{
    m_engine.setRate(m_engine.rate() + step);
    refreshRateText();
}

void LoopsAndEffects::resetRate()
{
    m_engine.setRate(1.0);
    refreshRateText();
}

void LoopsAndEffects::refreshRateText()
{
    m_panel.m_rateText->setText(rateText(m_engine.rate()));
}
