#pragma once

#include <QObject>

class MediaEngine;
class QTimer;

// The effects that play with the sound: "Vibration" and "Parkinson" chop it
// by muting on a shared timer (every 200 or 31 ms), "Wavebeat" lets the volume
// fall and climb back in a wave. Wavebeat runs beside either of the others.
//
// The operations throw EngineError when an engine call fails; the timers try
// again on their next tick.
class SoundEffects : public QObject
{
    Q_OBJECT

public:
    enum class Chop { None, Vibration, Parkinson };
    Q_ENUM(Chop)

    SoundEffects(MediaEngine &engine, QTimer &chopTimer, QTimer &wavebeatTimer, QObject *parent = nullptr);

    Chop chop() const { return m_chop; }
    bool wavebeat() const { return m_wavebeat; }
    // The volume Wavebeat was switched on at: the top of its wave.
    int wavebeatVolume() const { return m_wavebeatVolume; }
    bool wavebeatRising() const { return m_wavebeatRising; }

    void toggleVibration();
    void toggleParkinson();
    void chopTick();
    void toggleWavebeat();
    void wavebeatTick();

signals:
    void changed();

private:
    void toggleChop(Chop pressed, int intervalMs);

    MediaEngine &m_engine;
    QTimer &m_chopTimer;
    QTimer &m_wavebeatTimer;
    Chop m_chop = Chop::None;
    bool m_wavebeat = false;
    int m_wavebeatVolume = 0;
    bool m_wavebeatRising = false;
};
