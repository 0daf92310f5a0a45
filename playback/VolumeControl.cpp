#include "playback/VolumeControl.h"

#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "playback/VolumePanel.h"
#include "widgets/FlatButton.h"

#include <QFrame>
#include <QProgressBar>
#include <QTimer>

namespace
{
constexpr int kWheelStep = 3;

QTimer *windowTimer(QWidget &window, const char *name, int intervalMs)
{
    auto *timer = new QTimer(&window);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    return timer;
}
} // namespace

VolumeControl::VolumeControl(
    MediaEngine &engine, VolumePanel &panel, FlatButton &volumeButton, QWidget &window)
    : QObject(&window)
    , m_engine(engine)
    , m_panel(panel)
    , m_timers { windowTimer(window, "TimerVolumeAumenta", 30), windowTimer(window, "TimerVolumeAbaixa", 30),
        windowTimer(window, "TimerPosicao", 2000), windowTimer(window, "TimerHide", 3000) }
{
    setObjectName(QStringLiteral("VolumeControl"));
    connect(&volumeButton, &QToolButton::clicked, this, [this] { toggleVolumePanel(); });
    connect(m_panel.m_volumeUp, &QToolButton::pressed, m_timers.raise, qOverload<>(&QTimer::start));
    connect(m_panel.m_volumeUp, &QToolButton::released, m_timers.raise, &QTimer::stop);
    connect(m_panel.m_volumeDown, &QToolButton::pressed, m_timers.lower, qOverload<>(&QTimer::start));
    connect(m_panel.m_volumeDown, &QToolButton::released, m_timers.lower, &QTimer::stop);
    connect(m_timers.raise, &QTimer::timeout, this, [this] { safeCall([this] { rampTick(+1); }); });
    connect(m_timers.lower, &QTimer::timeout, this, [this] { safeCall([this] { rampTick(-1); }); });
    connect(m_timers.sample, &QTimer::timeout, this, [this] { sampleLevelTick(); });
    connect(m_timers.hide, &QTimer::timeout, this, [this] { hideVolumePanelTick(); });
}

void VolumeControl::toggleVolumePanel()
{
    m_panel.PanelVolume->show();
    m_panel.PanelVolume->raise();
    m_idleMark = kNoMark;
    // Starting a running timer would restart its period; leave it as it runs.
    for (QTimer *timer : { m_timers.hide, m_timers.sample })
        if (!timer->isActive())
            timer->start();
}

void VolumeControl::showLevel()
{
    m_panel.m_levelBar->setValue(m_engine.volume());
}

void VolumeControl::rampTick(int step)
{
    m_engine.setVolume(m_engine.volume() + step);
    showLevel();
}

void VolumeControl::sampleLevelTick()
{
    m_idleMark = m_panel.m_levelBar->value();
}

void VolumeControl::hideVolumePanelTick()
{
    if (m_panel.m_levelBar->value() != m_idleMark)
        return;
    m_panel.PanelVolume->hide();
    m_timers.hide->stop();
    m_timers.sample->stop();
}

void VolumeControl::wheelStep(int notches)
{
    toggleVolumePanel();
    safeCall([this, notches] {
        m_engine.setVolume(m_engine.volume() + kWheelStep * notches);
        showLevel();
    });
}
