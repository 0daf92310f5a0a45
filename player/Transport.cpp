#include "player/Transport.h"

#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "engine/MediaTimeText.h"
#include "player/FileNames.h"
#include "player/LoopsAndCues.h"
#include "player/NumberFormat.h"
#include "player/PlaylistNavigation.h"

#include <QTimer>
#include <algorithm>
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

Transport::Transport(MediaEngine &engine, LoopsAndCues &loops, QTimer &displayTick, QTimer &scanBack,
    QTimer &scanForward, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_loops(loops)
    , m_displayTick(displayTick)
    , m_scanBack(scanBack)
    , m_scanForward(scanForward)
{
    connect(&m_displayTick, &QTimer::timeout, this, [this] { refreshDisplay(); });
    connect(&m_scanBack, &QTimer::timeout, this, [this] { safeCall([this] { scanBackTick(); }); });
    connect(&m_scanForward, &QTimer::timeout, this, [this] { safeCall([this] { scanForwardTick(); }); });
    connect(&m_engine, &MediaEngine::stateChanged, this, [this] {
        followLiveBuffer();
        adaptTickRate();
    });
    connect(&m_loops, &LoopsAndCues::loopsChanged, this, [this] { adaptTickRate(); });
    connect(&m_engine, &MediaEngine::streamTitleChanged, this, [this] { showNowPlaying(); });
}

int Transport::playlistCount() const
{
    return m_playlist ? m_playlist->count() : 0;
}

void Transport::setMode(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    emit modeChanged(mode);
}

void Transport::setLyricsOffered(bool offered)
{
    if (offered == m_lyricsOffered)
        return;
    m_lyricsOffered = offered;
    emit lyricsOfferedChanged(offered);
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

void Transport::refreshRate()
{
    emit rateShown(rateText(m_engine.rate()));
}

void Transport::playForm()
{
    setLyricsOffered(true);
    m_engine.play();
    setDisplayTickEnabled(true);
    setMode(Mode::Playing);
    refreshRate();
}

void Transport::showPaused()
{
    setMode(Mode::Paused);
}

void Transport::setNowPlayingFromUrl(const QString &url)
{
    m_fileName = fileNamePart(url);
    showNowPlaying();
}

// The song a radio stream names stands in for the file name while it plays;
// when the stream stops naming one, the file name is back.
void Transport::showNowPlaying()
{
    const QString song = m_engine.streamTitle();
    const QString name = song.isEmpty() ? m_fileName : song;
    if (name == m_nowPlaying)
        return;
    m_nowPlaying = name;
    emit nowPlayingChanged(name);
}

void Transport::playPause()
{
    setLyricsOffered(true);
    if (m_mode == Mode::Playing) {
        m_engine.pause();
        setMode(Mode::Paused);
    } else {
        m_engine.play();
        setDisplayTickEnabled(true);
        setMode(Mode::Playing);
        refreshRate();
    }
    if (m_engine.url().isEmpty() && m_playlist)
        safeCall([this] { m_playlist->play(); });
}

void Transport::stop()
{
    setLyricsOffered(false);
    m_engine.stop();
    setDisplayTickEnabled(false);
    setMode(Mode::Stopped);
    m_loops.resetLoops();
}

void Transport::openFile()
{
    const QString path = m_chooser ? m_chooser->chooseMediaFile() : QString();
    if (path.isEmpty())
        return;
    m_engine.stop();
    m_engine.setUrl(path);
    playForm();
    m_loops.resetLoops();
    refreshRate();
    setNowPlayingFromUrl(m_engine.url());
    emit fileOpened(path);
}

void Transport::skipForward()
{
    if (LiveRewind *live = bufferedLive())
        live->seekBy(kSeekStep);
    else
        m_engine.setCurrentPosition(m_engine.currentPosition() + kSeekStep);
}

void Transport::skipBack()
{
    if (LiveRewind *live = bufferedLive())
        live->seekBy(-kSeekStep);
    else
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
    const bool on = !m_repeat;
    m_engine.setLoop(on);
    m_repeat = on;
    emit repeatChanged(on);
}

void Transport::togglePictureFit()
{
    m_engine.setStretchToFit(!m_engine.stretchToFit());
}

void Transport::setScanningBack(bool held)
{
    m_scanningBack = held;
    held ? m_scanBack.start() : m_scanBack.stop();
    emit scanningChanged();
}

void Transport::setScanningForward(bool held)
{
    m_scanningForward = held;
    held ? m_scanForward.start() : m_scanForward.stop();
    emit scanningChanged();
}

void Transport::scanBackTick()
{
    if (!m_scanningBack)
        return;
    if (LiveRewind *live = bufferedLive())
        live->seekBy(-kScanStep);
    else
        m_engine.setCurrentPosition(m_engine.currentPosition() - kScanStep);
}

void Transport::scanForwardTick()
{
    if (!m_scanningForward)
        return;
    if (LiveRewind *live = bufferedLive())
        live->seekBy(kScanStep);
    else
        m_engine.setCurrentPosition(m_engine.currentPosition() + kScanStep);
}

void Transport::changeRate(double step)
{
    m_engine.setRate(m_engine.rate() + step);
    refreshRate();
}

void Transport::resetRate()
{
    m_engine.setRate(1.0);
    refreshRate();
}

LiveRewind *Transport::bufferedLive() const
{
    LiveRewind *live = m_engine.liveRewind();
    return live && live->isActive() ? live : nullptr;
}

void Transport::followLiveBuffer()
{
    const bool buffered = bufferedLive() != nullptr;
    if (buffered == m_liveBuffered)
        return;
    m_liveBuffered = buffered;
    if (buffered) {
        // A tuned channel plays without the transport; a kept one is the
        // transport's own, so that its button pauses it and the tick runs.
        if (m_mode == Mode::Stopped && m_engine.state() != MediaEngine::State::Paused)
            setMode(Mode::Playing);
        setDisplayTickEnabled(true);
    } else {
        m_atLiveEdge = true;
    }
    emit liveChanged();
    refreshDisplay();
}

void Transport::setAtLiveEdge(bool atEdge)
{
    if (atEdge == m_atLiveEdge)
        return;
    m_atLiveEdge = atEdge;
    emit liveChanged();
}

void Transport::returnToLive()
{
    if (LiveRewind *live = bufferedLive()) {
        live->returnToLive();
        // Shown at once: the tick would only see the seek once libmpv has made it.
        setAtLiveEdge(true);
    }
}

void Transport::seekInBar(double fraction)
{
    LiveRewind *live = bufferedLive();
    if (!live || std::isnan(fraction))
        return;
    const double available = live->secondsAvailable();
    live->seekBehindLive(available * (1.0 - std::clamp(fraction, 0.0, 1.0)));
}

void Transport::showLivePosition(const LiveRewind &live)
{
    const double behind = live.secondsBehindLive();
    const bool atEdge = behind < LiveRewind::liveEdgeSeconds;
    setTimeText(atEdge ? QStringLiteral("Ao vivo") : QLatin1Char('-') + mediaTimeText(behind));
    const int kept = roundSeconds(live.secondsAvailable());
    setGauge(kept, kept - roundSeconds(behind));
    setAtLiveEdge(atEdge);
}

void Transport::advanceAtEndOfMp3()
{
    const double d = m_engine.duration();
    const double p = m_engine.currentPosition();
    const int current = m_playlist ? m_playlist->currentIndex() : -1;
    const int count = playlistCount();
    if (p >= d - 1 && d != 0 && current < count - 1 && fileExtension(m_engine.url()) == QLatin1String(".mp3")
        && !m_repeat)
        safeCall([this] { playNext(); });
}

void Transport::setTimeText(const QString &text)
{
    if (text == m_timeText)
        return;
    m_timeText = text;
    emit displayChanged();
}

void Transport::setGauge(int maximum, int progress)
{
    maximum = std::max(maximum, 0);
    progress = std::clamp(progress, 0, maximum);
    if (maximum == m_gaugeMaximum && progress == m_gaugeProgress)
        return;
    m_gaugeMaximum = maximum;
    m_gaugeProgress = progress;
    emit displayChanged();
}

void Transport::refreshDisplay()
{
    safeCall([this] {
        advanceAtEndOfMp3();
        if (const LiveRewind *live = bufferedLive()) {
            showLivePosition(*live);
        } else if (!m_engine.url().isEmpty()) {
            const QString position = m_engine.currentPositionString();
            if (position.isEmpty()) {
                setTimeText(QStringLiteral("00:00 / 00:00"));
            } else {
                setTimeText(position + QStringLiteral(" / ") + m_engine.durationString());
                setGauge(roundSeconds(m_engine.duration()), roundSeconds(m_engine.currentPosition()));
            }
            m_loops.enforceLoops();
        }
        emit displayRefreshed();
    });
}
