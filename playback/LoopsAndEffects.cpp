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
    connect(&m_fx, &QToolButton::clicked, this, [this] { SpeedButton51Click(); });
    connect(m_panel.SpeedButton47, &QToolButton::pressed, this,
        [this] { safeCall([this] { SpeedButton47MouseDown(); }); });
    for (FlatButton *loop : { m_panel.SpeedButton48, m_panel.SpeedButton49, m_panel.SpeedButton50 })
        connect(loop, &QToolButton::pressed, this,
            [this, loop] { safeCall([this, loop] { fixedLoopMouseDown(loop); }); });
    const std::pair<FlatButton *, int> sets[]
        = { { m_panel.SpeedButton55, 1 }, { m_panel.SpeedButton57, 2 }, { m_panel.SpeedButton59, 3 } };
    for (auto [button, point] : sets)
        connect(
            button, &QToolButton::pressed, this, [this, point = point] { safeCall([&] { setCue(point); }); });
    const std::pair<FlatButton *, int> gos[]
        = { { m_panel.SpeedButton56, 1 }, { m_panel.SpeedButton58, 2 }, { m_panel.SpeedButton60, 3 } };
    for (auto [button, point] : gos)
        connect(button, &QToolButton::pressed, this,
            [this, point = point] { safeCall([&] { goToCue(point); }); });
    connect(m_panel.SpeedButton52, &QToolButton::clicked, this,
        [this] { safeCall([this] { SpeedButton52Click(); }); });
    connect(m_panel.SpeedButton54, &QToolButton::clicked, this,
        [this] { safeCall([this] { SpeedButton54Click(); }); });
    connect(m_panel.SpeedButton53, &QToolButton::clicked, this,
        [this] { safeCall([this] { SpeedButton53Click(); }); });
    connect(
        &m_vibration, &QTimer::timeout, this, [this] { safeCall([this] { TimerVibrationEffectTimer(); }); });
    connect(
        &m_wavebeat, &QTimer::timeout, this, [this] { safeCall([this] { TimerWavebeatEffectTimer(); }); });
    connect(m_panel.SpeedButton65, &QToolButton::clicked, this,
        [this] { safeCall([this] { changeRate(-0.005); }); });
    connect(m_panel.SpeedButton66, &QToolButton::clicked, this,
        [this] { safeCall([this] { changeRate(0.005); }); });
    connect(
        m_panel.SpeedButton67, &QToolButton::clicked, this, [this] { safeCall([this] { resetRate(); }); });
}

void LoopsAndEffects::SpeedButton51Click()
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

void LoopsAndEffects::SpeedButton47MouseDown()
{
    for (FlatButton *fixed : { m_panel.SpeedButton48, m_panel.SpeedButton49, m_panel.SpeedButton50 })
        set(fixed, Blue);
    const int clicks = m_state.LoopClickCount;
    m_state.LoopClickCount = clicks + 1;
    if (clicks == 0) {
        m_state.LoopStart = m_engine.currentPosition() - kMarkLead;
        set(m_panel.SpeedButton47, Red);
    }
    if (m_state.LoopClickCount == 2) {
        m_state.LoopEnd = m_engine.currentPosition() - kEndLead;
        set(m_panel.SpeedButton47, Lime);
    }
    if (m_state.LoopClickCount == 3) {
        set(m_panel.SpeedButton47, Blue);
        m_state.LoopClickCount = 0;
    }
}

void LoopsAndEffects::fixedLoopMouseDown(FlatButton *pressed)
{
    m_state.LoopStart = m_engine.currentPosition() - kMarkLead;
    set(pressed, is(pressed, Lime) ? Blue : Lime);
    for (FlatButton *loop :
        { m_panel.SpeedButton47, m_panel.SpeedButton48, m_panel.SpeedButton49, m_panel.SpeedButton50 })
        if (loop != pressed)
            set(loop, Blue);
    m_state.LoopClickCount = 0;
}

void LoopsAndEffects::resetLoops()
{
    for (FlatButton *loop :
        { m_panel.SpeedButton47, m_panel.SpeedButton48, m_panel.SpeedButton49, m_panel.SpeedButton50 })
        set(loop, Blue);
    m_state.LoopClickCount = 0;
}

void LoopsAndEffects::enforceLoops()
{
    const std::pair<FlatButton *, double> fixed[]
        = { { m_panel.SpeedButton48, 4 }, { m_panel.SpeedButton49, 8 }, { m_panel.SpeedButton50, 12 } };
    for (auto [button, length] : fixed) {
        if (is(button, Lime) && m_engine.currentPosition() >= m_state.LoopStart + length)
            m_engine.setCurrentPosition(m_state.LoopStart);
    }
    if (is(m_panel.SpeedButton47, Lime) && m_engine.currentPosition() >= m_state.LoopEnd)
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
    QLabel *label = point == 1 ? m_panel.Label5 : point == 2 ? m_panel.Label6 : m_panel.Label7;
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

void LoopsAndEffects::SpeedButton52Click()
{
    toggleMuteEffect(m_panel.SpeedButton52, m_panel.SpeedButton54, kVibrationMs);
}

void LoopsAndEffects::SpeedButton54Click()
{
    toggleMuteEffect(m_panel.SpeedButton54, m_panel.SpeedButton52, kParkinsonMs);
}

void LoopsAndEffects::TimerVibrationEffectTimer()
{
    m_engine.setMute(!m_engine.mute());
}

void LoopsAndEffects::SpeedButton53Click()
{
    if (is(m_panel.SpeedButton53, Blue)) {
        m_state.WavebeatVolume = m_engine.volume();
        m_state.WavebeatRising = false;
        set(m_panel.SpeedButton53, Lime);
        m_wavebeat.start();
    } else {
        set(m_panel.SpeedButton53, Blue);
        m_wavebeat.stop();
        m_engine.setVolume(m_state.WavebeatVolume);
    }
}

void LoopsAndEffects::TimerWavebeatEffectTimer()
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
    m_panel.Label12->setText(rateText(m_engine.rate()));
}
