#include "engine/DeferredEngine.h"

#include "engine/MediaLimits.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>

DeferredEngine::DeferredEngine(Factory factory, QObject *parent)
    : MediaEngine(parent)
    , m_factory(std::move(factory))
{
    m_host = new QWidget;
    m_host->setObjectName(QStringLiteral("videoArea"));
    // A palette, not a style sheet: the window renames the widget it places.
    QPalette black = m_host->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_host->setPalette(black);
    m_host->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(m_host);
    layout->setContentsMargins(0, 0, 0, 0);
    // Until the real engine draws here, a click on the black area is still a
    // click on the video.
    m_host->installEventFilter(this);
}

DeferredEngine::~DeferredEngine()
{
    // The real engine frees its widgets (and their GL context) itself, before the host goes.
    m_real.reset();
    delete m_host.data();
}

MediaEngine &DeferredEngine::real()
{
    if (m_real)
        return *m_real;
    std::unique_ptr<MediaEngine> engine = m_factory();
    if (!engine)
        throw EngineError("no media engine could be made");
    engine->setVolume(m_volume);
    engine->setRate(m_rate);
    engine->setMute(m_mute);
    engine->setLoop(m_loop);
    engine->setStretchToFit(m_stretch);
    for (const QStringList &headers : std::as_const(m_headers))
        engine->setRequestHeaders(headers.at(0), headers.at(1), headers.at(2));
    m_headers.clear();
    for (const auto &[address, accept] : std::as_const(m_certificateChoices))
        engine->setAcceptInvalidCertificates(address, accept);
    m_certificateChoices.clear();
    if (m_liveBufferSettings)
        engine->setLiveBufferSettings(*m_liveBufferSettings);
    connect(engine.get(), &MediaEngine::stateChanged, this, &MediaEngine::stateChanged);
    connect(engine.get(), &MediaEngine::clicked, this, &MediaEngine::clicked);
    connect(engine.get(), &MediaEngine::streamTitleChanged, this, &MediaEngine::streamTitleChanged);
    connect(engine.get(), &MediaEngine::videoUnavailable, this, &MediaEngine::videoUnavailable);
    connect(engine.get(), &MediaEngine::stalled, this, &MediaEngine::stalled);
    connect(engine.get(), &MediaEngine::firstFrameShown, this, &MediaEngine::firstFrameShown);
    if (QWidget *video = engine->videoWidget(); video && m_host) {
        m_host->layout()->addWidget(video);
        video->show();
    }
    for (const QPointer<QWidget> &widget : std::as_const(m_keptAbove))
        if (widget)
            engine->keepAboveVideo(widget);
    m_real = std::move(engine);
    return *m_real;
}

bool DeferredEngine::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_host && !m_real && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_host->rect().contains(mouse->position().toPoint()))
            emit clicked();
    }
    return MediaEngine::eventFilter(watched, event);
}

void DeferredEngine::setUrl(const QString &url)
{
    real().setUrl(url);
}

void DeferredEngine::setRequestHeaders(
    const QString &address, const QString &userAgent, const QString &referrer)
{
    // Held until the player exists, so naming headers never loads libmpv.
    if (m_real)
        m_real->setRequestHeaders(address, userAgent, referrer);
    else
        m_headers.append({ address, userAgent, referrer });
}

MediaEngine::Failure DeferredEngine::failure() const
{
    return m_real ? m_real->failure() : Failure::None;
}

QString DeferredEngine::streamTitle() const
{
    return m_real ? m_real->streamTitle() : QString();
}

void DeferredEngine::setAcceptInvalidCertificates(const QString &address, bool accept)
{
    if (m_real)
        m_real->setAcceptInvalidCertificates(address, accept);
    else
        m_certificateChoices.append({ address, accept });
}

LiveBuffer *DeferredEngine::liveBuffer()
{
    return m_real ? m_real->liveBuffer() : nullptr;
}

RecordingSource DeferredEngine::recordingSource(const QString &address) const
{
    if (m_real)
        return m_real->recordingSource(address);
    RecordingSource source;
    source.address = address;
    for (const QStringList &headers : m_headers)
        if (headers.at(0) == address) {
            source.userAgent = headers.at(1);
            source.referrer = headers.at(2);
        }
    for (const auto &[choiceAddress, accept] : m_certificateChoices)
        if (choiceAddress == address)
            source.verifyCertificates = !accept;
    return source;
}

QString DeferredEngine::url() const
{
    return m_real ? m_real->url() : QString();
}

MediaEngine::State DeferredEngine::state() const
{
    return m_real ? m_real->state() : m_state;
}

int DeferredEngine::bufferPercent() const
{
    return m_real ? m_real->bufferPercent() : 0;
}

void DeferredEngine::play()
{
    // With no URL written there is nothing to start.
    if (m_real)
        m_real->play();
}

void DeferredEngine::pause()
{
    if (m_real)
        m_real->pause();
}

void DeferredEngine::stop()
{
    if (m_real) {
        m_real->stop();
        return;
    }
    m_state = State::Stopped;
    emit stateChanged(m_state);
}

double DeferredEngine::currentPosition() const
{
    return m_real ? m_real->currentPosition() : 0;
}

void DeferredEngine::setCurrentPosition(double seconds)
{
    if (m_real)
        m_real->setCurrentPosition(seconds);
}

QString DeferredEngine::currentPositionString() const
{
    return m_real ? m_real->currentPositionString() : QString();
}

double DeferredEngine::duration() const
{
    return m_real ? m_real->duration() : 0;
}

QString DeferredEngine::durationString() const
{
    return m_real ? m_real->durationString() : QString();
}

int DeferredEngine::volume() const
{
    return m_real ? m_real->volume() : m_volume;
}

void DeferredEngine::setVolume(int volume)
{
    if (m_real)
        m_real->setVolume(volume);
    else
        m_volume = MediaLimits::clampVolume(volume);
}

double DeferredEngine::rate() const
{
    return m_real ? m_real->rate() : m_rate;
}

void DeferredEngine::setRate(double rate)
{
    if (m_real)
        m_real->setRate(rate);
    else if (!std::isnan(rate))
        m_rate = MediaLimits::clampRate(rate);
}

bool DeferredEngine::mute() const
{
    return m_real ? m_real->mute() : m_mute;
}

void DeferredEngine::setMute(bool mute)
{
    if (m_real)
        m_real->setMute(mute);
    else
        m_mute = mute;
}

bool DeferredEngine::loop() const
{
    return m_real ? m_real->loop() : m_loop;
}

void DeferredEngine::setLoop(bool loop)
{
    if (m_real)
        m_real->setLoop(loop);
    else
        m_loop = loop;
}

void DeferredEngine::setFullScreen(bool fullScreen)
{
    if (m_real)
        m_real->setFullScreen(fullScreen);
    else if (fullScreen)
        throw EngineError("nothing is loaded to show full screen");
}

bool DeferredEngine::isFullScreen() const
{
    return m_real && m_real->isFullScreen();
}

bool DeferredEngine::stretchToFit() const
{
    return m_real ? m_real->stretchToFit() : m_stretch;
}

void DeferredEngine::setStretchToFit(bool stretch)
{
    if (m_real)
        m_real->setStretchToFit(stretch);
    else
        m_stretch = stretch;
}

void DeferredEngine::close()
{
    if (m_real)
        m_real->close();
}

void DeferredEngine::redraw()
{
    if (m_real)
        m_real->redraw();
}

QWidget *DeferredEngine::videoWidget()
{
    return m_host;
}

void DeferredEngine::keepAboveVideo(QWidget *widget)
{
    m_keptAbove.append(widget);
    if (m_real)
        m_real->keepAboveVideo(widget);
}

LiveRewind *DeferredEngine::liveRewind()
{
    return m_real ? m_real->liveRewind() : nullptr;
}

void DeferredEngine::setLiveBufferSettings(const LiveBufferSettings &settings)
{
    m_liveBufferSettings = settings;
    if (m_real)
        m_real->setLiveBufferSettings(settings);
}
