#include "playback/Transport.h"

#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "playback/FileNames.h"
#include "playback/LoopsAndEffects.h"
#include "playback/PlayerPanel.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <cmath>

namespace
{
constexpr double kSeekStep = 15;
constexpr double kScanStep = 1;
// The display tick runs at the finest rate only while the media plays; paused
// or buffering it needs no more than a few updates a second.
constexpr int kPlayingTickMs = 1;
constexpr int kRestingTickMs = 250;

// Rounds to the nearest whole second, ties to even.
int roundSeconds(double seconds)
{
    return static_cast<int>(std::nearbyint(seconds));
}
} // namespace

using namespace ButtonColour;

Transport::Transport(MediaEngine &engine, PlayerPanel &panel, EffectsPanel &effects, LoopsAndEffects &loops,
    QTimer &displayTick, QTimer &scanBack, QTimer &scanForward, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_panel(panel)
    , m_effects(effects)
    , m_loops(loops)
    , m_displayTick(displayTick)
    , m_scanBack(scanBack)
    , m_scanForward(scanForward)
{
    setObjectName(QStringLiteral("Transport"));
    auto onClick = [this](FlatButton *button, void (Transport::*handler)()) {
        connect(button, &QToolButton::clicked, this,
            [this, handler] { safeCall([this, handler] { (this->*handler)(); }); });
    };
    onClick(m_panel.SpeedButton42, &Transport::SpeedButton42Click);
    onClick(m_panel.SpeedButton40, &Transport::SpeedButton40Click);
    onClick(m_panel.SpeedButton44, &Transport::SpeedButton44Click);
    onClick(m_panel.SpeedButton45, &Transport::SpeedButton45Click);
    onClick(m_panel.SpeedButton46, &Transport::SpeedButton46Click);
    onClick(m_panel.SpeedButton75, &Transport::SpeedButton75Click);
    onClick(m_panel.SpeedButton76, &Transport::SpeedButton76Click);
    onClick(m_panel.SpeedButton69, &Transport::SpeedButton69Click);
    connect(m_panel.SpeedButton41, &QToolButton::pressed, this, [this] { scanBackPressed(true); });
    connect(m_panel.SpeedButton41, &QToolButton::released, this, [this] { scanBackPressed(false); });
    connect(m_panel.SpeedButton43, &QToolButton::pressed, this, [this] { scanForwardPressed(true); });
    connect(m_panel.SpeedButton43, &QToolButton::released, this, [this] { scanForwardPressed(false); });
    // Open, seek, next and previous are lime only while held.
    for (FlatButton *held : { m_panel.SpeedButton44, m_panel.SpeedButton45, m_panel.SpeedButton46,
             m_panel.SpeedButton75, m_panel.SpeedButton76 }) {
        connect(held, &QToolButton::pressed, this, [held] { set(held, Lime); });
        connect(held, &QToolButton::released, this, [held] { set(held, Blue); });
    }
    connect(m_panel.SpeedButton74, &QToolButton::clicked, this, [this] {
        if (showPlaylist)
            showPlaylist();
    });
    connect(m_panel.SpeedButton77, &QToolButton::clicked, this, [this] {
        if (toggleMiniPlayer)
            toggleMiniPlayer();
    });
    connect(&m_displayTick, &QTimer::timeout, this, [this] { TimerMediaTempoTimer(); });
    connect(&m_scanBack, &QTimer::timeout, this, [this] { safeCall([this] { TimerBackwardTimer(); }); });
    connect(&m_scanForward, &QTimer::timeout, this, [this] { safeCall([this] { TimerFowardTimer(); }); });
    connect(&m_engine, &MediaEngine::statusChanged, this, [this] { adaptTickRate(); });
}

QString Transport::openDialogFilter()
{
    return QStringLiteral("Audio e Video (*.mp3 *.wma *.wav *.mpg *.mpeg *.avi *.wmv *.asf);;"
                          "Audio (*.mp3 *.wma *.wav);;Video (*.mpg *.mpeg *.avi *.wmv *.asf)");
}

void Transport::setDisplayTickEnabled(bool enabled)
{
    if (enabled) {
        adaptTickRate();
        m_displayTick.start();
    } else {
        m_displayTick.stop();
    }
}

void Transport::adaptTickRate()
{
    const bool playing = m_engine.status() == QLatin1String("Reproduzindo");
    m_displayTick.setTimerType(playing ? Qt::PreciseTimer : Qt::CoarseTimer);
    const int interval = playing ? kPlayingTickMs : kRestingTickMs;
    if (m_displayTick.interval() != interval)
        m_displayTick.setInterval(interval);
}

void Transport::refreshRateText()
{
    m_loops.refreshRateText();
}

void Transport::performPlayForm()
{
    m_panel.Label122->show();
    m_engine.play();
    setDisplayTickEnabled(true);
    set(m_panel.SpeedButton42, Lime);
    refreshRateText();
}

void Transport::setNowPlayingFromUrl(const QString &url)
{
    m_panel.Label10->setText(fileNamePart(url));
}

void Transport::SpeedButton42Click()
{
    m_panel.Label122->show();
    if (is(m_panel.SpeedButton42, Lime)) {
        m_engine.pause();
        set(m_panel.SpeedButton42, Red);
    } else {
        m_engine.play();
        setDisplayTickEnabled(true);
        set(m_panel.SpeedButton42, Lime);
        refreshRateText();
    }
    if (m_engine.url().isEmpty() && m_playlist)
        safeCall([this] { m_playlist->play(); });
}

void Transport::SpeedButton40Click()
{
    m_panel.Label122->hide();
    m_engine.stop();
    setDisplayTickEnabled(false);
    set(m_panel.SpeedButton42, Blue);
    m_loops.resetLoops();
}

void Transport::SpeedButton44Click()
{
    const QString path = chooseFile ? chooseFile() : QString();
    if (path.isEmpty())
        return;
    m_engine.stop();
    m_engine.setUrl(path);
    performPlayForm();
    m_loops.resetLoops();
    refreshRateText();
    setNowPlayingFromUrl(m_engine.url());
}

void Transport::SpeedButton45Click()
{
    m_engine.setCurrentPosition(m_engine.currentPosition() + kSeekStep);
}

void Transport::SpeedButton46Click()
{
    m_engine.setCurrentPosition(m_engine.currentPosition() - kSeekStep);
}

void Transport::SpeedButton75Click()
{
    if (m_playlist)
        m_playlist->next();
}

void Transport::SpeedButton76Click()
{
    if (m_playlist)
        m_playlist->previous();
}

void Transport::SpeedButton69Click()
{
    const bool on = is(m_panel.SpeedButton69, Blue);
    m_engine.setLoop(on);
    set(m_panel.SpeedButton69, on ? Lime : Blue);
}

void Transport::SpeedButton68Click()
{
    m_engine.setStretchToFit(!m_engine.stretchToFit());
}

void Transport::scanBackPressed(bool down)
{
    set(m_panel.SpeedButton41, down ? Lime : Blue);
    down ? m_scanBack.start() : m_scanBack.stop();
}

void Transport::scanForwardPressed(bool down)
{
    set(m_panel.SpeedButton43, down ? Lime : Blue);
    down ? m_scanForward.start() : m_scanForward.stop();
}

void Transport::TimerBackwardTimer()
{
    if (is(m_panel.SpeedButton41, Lime))
        m_engine.setCurrentPosition(m_engine.currentPosition() - kScanStep);
}

void Transport::TimerFowardTimer()
{
    if (is(m_panel.SpeedButton43, Lime))
        m_engine.setCurrentPosition(m_engine.currentPosition() + kScanStep);
}

void Transport::advanceAtEndOfMp3()
{
    const double d = m_engine.duration();
    const double p = m_engine.currentPosition();
    const int current = m_playlist ? m_playlist->currentIndex() : -1;
    const int count = m_playlist ? m_playlist->count() : 0;
    if (p >= d - 1 && d != 0 && current < count - 1 && fileExtension(m_engine.url()) == QLatin1String(".mp3")
        && !is(m_panel.SpeedButton69, Lime))
        safeCall([this] { SpeedButton75Click(); });
}

void Transport::setGauge(int maximum, int progress)
{
    // A zero range would draw a busy bar; a live stream shows an empty one.
    if (maximum <= 0) {
        m_panel.Gauge1->setRange(0, 1);
        m_panel.Gauge1->setValue(0);
        return;
    }
    if (m_panel.Gauge1->maximum() != maximum)
        m_panel.Gauge1->setRange(0, maximum);
    m_panel.Gauge1->setValue(std::clamp(progress, 0, maximum));
}

void Transport::TimerMediaTempoTimer()
{
    safeCall([this] {
        advanceAtEndOfMp3();
        if (!m_engine.url().isEmpty()) {
            const QString position = m_engine.currentPositionString();
            if (position.isEmpty()) {
                m_panel.Label2->setText(QStringLiteral("00:00 / 00:00"));
            } else {
                m_panel.Label2->setText(position + QStringLiteral(" / ") + m_engine.durationString());
                setGauge(roundSeconds(m_engine.duration()), roundSeconds(m_engine.currentPosition()));
            }
            m_loops.enforceLoops();
        }
        if (showMiniText)
            showMiniText(m_panel.Label2->text() + QLatin1Char('\n') + m_panel.Label10->text());
    });
}
