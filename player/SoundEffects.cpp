#include "player/SoundEffects.h"

#include "base/SafeCall.h"
#include "engine/MediaEngine.h"

#include <QTimer>

namespace
{
constexpr int kVibrationMs = 200;
constexpr int kParkinsonMs = 31;
} // namespace

SoundEffects::SoundEffects(MediaEngine &engine, QTimer &chopTimer, QTimer &wavebeatTimer, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_chopTimer(chopTimer)
    , m_wavebeatTimer(wavebeatTimer)
{
    connect(&m_chopTimer, &QTimer::timeout, this, [this] { safeCall([this] { chopTick(); }); });
    connect(&m_wavebeatTimer, &QTimer::timeout, this, [this] { safeCall([this] { wavebeatTick(); }); });
}

void SoundEffects::toggleChop(Chop pressed, int intervalMs)
{
    if (m_chop != pressed) {
        // Switching straight from one to the other keeps the timer running at the new pace.
        m_chopTimer.setInterval(intervalMs);
        m_chop = pressed;
        m_chopTimer.start();
        emit changed();
        return;
    }
    m_chop = Chop::None;
    m_chopTimer.stop();
    emit changed();
    // Switched off, the sound is always left on.
    m_engine.setMute(false);
}

void SoundEffects::toggleVibration()
{
    toggleChop(Chop::Vibration, kVibrationMs);
}

void SoundEffects::toggleParkinson()
{
    toggleChop(Chop::Parkinson, kParkinsonMs);
}

void SoundEffects::chopTick()
{
    m_engine.setMute(!m_engine.mute());
}

void SoundEffects::toggleWavebeat()
{
    if (!m_wavebeat) {
        m_wavebeatVolume = m_engine.volume();
        m_wavebeatRising = false;
        m_wavebeat = true;
        m_wavebeatTimer.start();
        emit changed();
        return;
    }
    m_wavebeat = false;
    m_wavebeatTimer.stop();
    emit changed();
    m_engine.setVolume(m_wavebeatVolume);
}

void SoundEffects::wavebeatTick()
{
    if (!m_wavebeatRising)
        m_engine.setVolume(m_engine.volume() - 3);
    if (m_engine.volume() == 0)
        m_wavebeatRising = true;
    if (m_wavebeatRising)
        m_engine.setVolume(m_engine.volume() + 1);
    if (m_engine.volume() == m_wavebeatVolume)
        m_wavebeatRising = false;
}
