#include "playback/Transport.h"

#include "base/MediaFormats.h"
#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "playback/FileNames.h"
#include "playback/LoopsAndEffects.h"
#include "playback/PlayerPanel.h"
#include "widgets/AnnouncedText.h"
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
// A running loop is held to time as closely as a 1 ms timer fires on
// Windows (about 64 times a second). Otherwise the tick only moves the time
// and gauge, whose text changes once a second: ten updates a second keep them
// on time, and every tick asks libmpv for the position, waking its core.
constexpr int kLoopTickMs = 16;
constexpr int kPlayingTickMs = 100;
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
    onClick(m_panel.m_playPause, &Transport::playPause);
    onClick(m_panel.m_stop, &Transport::stopPlayback);
    onClick(m_panel.m_openFile, &Transport::openFile);
    onClick(m_panel.m_skipForward, &Transport::skipForward);
    onClick(m_panel.m_skipBack, &Transport::skipBack);
    onClick(m_panel.m_next, &Transport::playNext);
    onClick(m_panel.m_previous, &Transport::playPrevious);
    onClick(m_panel.m_repeat, &Transport::toggleRepeat);
    connect(m_panel.m_scanBack, &QToolButton::pressed, this, [this] { scanBackPressed(true); });
    connect(m_panel.m_scanBack, &QToolButton::released, this, [this] { scanBackPressed(false); });
    connect(m_panel.m_scanForward, &QToolButton::pressed, this, [this] { scanForwardPressed(true); });
    connect(m_panel.m_scanForward, &QToolButton::released, this, [this] { scanForwardPressed(false); });
    // Open, seek, next and previous are lime only while held.
    for (FlatButton *held : { m_panel.m_openFile, m_panel.m_skipForward, m_panel.m_skipBack, m_panel.m_next,
             m_panel.m_previous }) {
        connect(held, &QToolButton::pressed, this, [held] { set(held, Lime); });
        connect(held, &QToolButton::released, this, [held] { set(held, Blue); });
    }
    connect(m_panel.m_playlistToggle, &QToolButton::clicked, this, [this] {
        if (showPlaylist)
            showPlaylist();
    });
    connect(m_panel.m_miniPlayerToggle, &QToolButton::clicked, this, [this] {
        if (toggleMiniPlayer)
            toggleMiniPlayer();
    });
    connect(&m_displayTick, &QTimer::timeout, this, [this] { refreshDisplay(); });
    connect(&m_scanBack, &QTimer::timeout, this, [this] { safeCall([this] { scanBackTick(); }); });
    connect(&m_scanForward, &QTimer::timeout, this, [this] { safeCall([this] { scanForwardTick(); }); });
    connect(&m_engine, &MediaEngine::stateChanged, this, [this] { adaptTickRate(); });
    connect(&m_loops, &LoopsAndEffects::loopsChanged, this, [this] { adaptTickRate(); });
}

QString Transport::openDialogFilter()
{
    return MediaFormats::playerOpenFilter();
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
    const bool playing = m_engine.state() == MediaEngine::State::Playing;
    const bool looping = playing && m_loops.loopRunning();
    m_displayTick.setTimerType(looping ? Qt::PreciseTimer : Qt::CoarseTimer);
    const int interval = looping ? kLoopTickMs : playing ? kPlayingTickMs : kRestingTickMs;
    if (m_displayTick.interval() != interval)
        m_displayTick.setInterval(interval);
}

void Transport::refreshRateText()
{
    m_loops.refreshRateText();
}

void Transport::performPlayForm()
{
    m_panel.m_lyricsSymbol->show();
    m_engine.play();
    setDisplayTickEnabled(true);
    set(m_panel.m_playPause, Lime);
    refreshRateText();
}

void Transport::setNowPlayingFromUrl(const QString &url)
{
    setAnnouncedText(m_panel.m_nowPlaying, fileNamePart(url));
}

void Transport::playPause()
{
    m_panel.m_lyricsSymbol->show();
    if (is(m_panel.m_playPause, Lime)) {
        m_engine.pause();
        set(m_panel.m_playPause, Red);
    } else {
        m_engine.play();
        setDisplayTickEnabled(true);
        set(m_panel.m_playPause, Lime);
        refreshRateText();
    }
    if (m_engine.url().isEmpty() && m_playlist)
        safeCall([this] { m_playlist->play(); });
}

void Transport::stopPlayback()
{
    m_panel.m_lyricsSymbol->hide();
    m_engine.stop();
    setDisplayTickEnabled(false);
    set(m_panel.m_playPause, Blue);
    m_loops.resetLoops();
}

void Transport::openFile()
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

void Transport::skipForward()
{
    m_engine.setCurrentPosition(m_engine.currentPosition() + kSeekStep);
}

void Transport::skipBack()
{
    m_engine.setCurrentPosition(m_engine.currentPosition() - kSeekStep);
}

void Transport::playNext()
{
    if (m_playlist)
        m_playlist->next();
}

void Transport::playPrevious()
{
    if (m_playlist)
        m_playlist->previous();
}

void Transport::toggleRepeat()
{
    const bool on = is(m_panel.m_repeat, Blue);
    m_engine.setLoop(on);
    set(m_panel.m_repeat, on ? Lime : Blue);
}

void Transport::togglePictureFit()
{
    m_engine.setStretchToFit(!m_engine.stretchToFit());
}

void Transport::scanBackPressed(bool down)
{
    set(m_panel.m_scanBack, down ? Lime : Blue);
    down ? m_scanBack.start() : m_scanBack.stop();
}

void Transport::scanForwardPressed(bool down)
{
    set(m_panel.m_scanForward, down ? Lime : Blue);
    down ? m_scanForward.start() : m_scanForward.stop();
}

void Transport::scanBackTick()
{
    if (is(m_panel.m_scanBack, Lime))
        m_engine.setCurrentPosition(m_engine.currentPosition() - kScanStep);
}

void Transport::scanForwardTick()
{
    if (is(m_panel.m_scanForward, Lime))
        m_engine.setCurrentPosition(m_engine.currentPosition() + kScanStep);
}

void Transport::advanceAtEndOfMp3()
{
    const double d = m_engine.duration();
    const double p = m_engine.currentPosition();
    const int current = m_playlist ? m_playlist->currentIndex() : -1;
    const int count = m_playlist ? m_playlist->count() : 0;
    if (p >= d - 1 && d != 0 && current < count - 1 && fileExtension(m_engine.url()) == QLatin1String(".mp3")
        && !is(m_panel.m_repeat, Lime))
        safeCall([this] { playNext(); });
}

void Transport::setGauge(int maximum, int progress)
{
    // A zero range would draw a busy bar; a live stream shows an empty one.
    if (maximum <= 0) {
        m_panel.m_positionBar->setRange(0, 1);
        m_panel.m_positionBar->setValue(0);
        return;
    }
    if (m_panel.m_positionBar->maximum() != maximum)
        m_panel.m_positionBar->setRange(0, maximum);
    m_panel.m_positionBar->setValue(std::clamp(progress, 0, maximum));
}

void Transport::refreshDisplay()
{
    safeCall([this] {
        advanceAtEndOfMp3();
        if (!m_engine.url().isEmpty()) {
            const QString position = m_engine.currentPositionString();
            if (position.isEmpty()) {
                setAnnouncedText(m_panel.m_timeText, QStringLiteral("00:00 / 00:00"));
            } else {
                setAnnouncedText(
                    m_panel.m_timeText, position + QStringLiteral(" / ") + m_engine.durationString());
                setGauge(roundSeconds(m_engine.duration()), roundSeconds(m_engine.currentPosition()));
            }
            m_loops.enforceLoops();
        }
        if (showMiniText)
            showMiniText(m_panel.m_timeText->text() + QLatin1Char('\n') + m_panel.m_nowPlaying->text());
    });
}
