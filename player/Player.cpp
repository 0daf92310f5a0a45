#include "player/Player.h"

#include "base/Logging.h"
#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "net/AddressRule.h"
#include "player/AlternateAddresses.h"
#include "player/ChannelTitle.h"
#include "player/LoopsAndCues.h"
#include "player/Reconnection.h"
#include "player/SoundEffects.h"
#include "player/SourceFailover.h"
#include "player/Transport.h"

#include <QTimer>
#include <QUrl>

Player::Player(std::unique_ptr<MediaEngine> engine, QObject *timerHome)
    : m_engine(std::move(engine))
    , m_title(new ChannelTitle(this))
    , m_alternates(new AlternateAddresses(this))
    , m_loops(new LoopsAndCues(*m_engine, this))
{
    QObject *home = timerHome ? timerHome : this;
    // Intervals as the window is designed; all start stopped.
    QTimer *retry = makeTimer("TimerTryAgain", 1200, home);
    QTimer *displayTick = makeTimer("TimerMediaTempo", 1, home);
    QTimer *scanBack = makeTimer("TimerBackward", 150, home);
    QTimer *scanForward = makeTimer("TimerFoward", 200, home);
    QTimer *chop = makeTimer("TimerVibrationEffect", 150, home);
    QTimer *wavebeat = makeTimer("TimerWavebeatEffect", 16, home);
    // The transport reacts to a state before the reconnection does.
    m_transport = new Transport(*m_engine, *m_loops, *displayTick, *scanBack, *scanForward, this);
    m_effects = new SoundEffects(*m_engine, *chop, *wavebeat, this);
    m_failover = new SourceFailover(*m_engine, *m_title, *m_alternates, this);
    m_reconnection
        = new Reconnection(*m_engine, *m_title, *m_transport, *m_alternates, *m_failover, *retry, this);
    connect(m_failover, &SourceFailover::sourceChanged, this, &Player::switchSource);
    connect(m_reconnection, &Reconnection::sourceChanged, this, &Player::switchSource);
    connect(m_transport, &Transport::fileOpened, this,
        [this](const QString &path) { setLoaded(LoadedMedia::Kind::File, path, path); });
}

void Player::switchSource(const QString &address)
{
    if (m_loaded.kind != LoadedMedia::Kind::Channel || m_loaded.address == address)
        return;
    m_loaded.address = address;
    emit loadedChanged();
    emit sourceChanged(m_loaded.title, address);
}

Player::~Player()
{
    // Timers that live on in their home tick for nobody.
    for (QTimer *timer : std::as_const(m_timers))
        timer->stop();
    // The models before the engine they use.
    qDeleteAll(children());
}

QTimer *Player::makeTimer(const char *name, int intervalMs, QObject *home)
{
    auto *timer = new QTimer(home);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    if (intervalMs <= 16)
        timer->setTimerType(Qt::PreciseTimer);
    m_timers << timer;
    return timer;
}

void Player::setLoaded(LoadedMedia::Kind kind, const QString &title, const QString &address)
{
    m_loaded = LoadedMedia { kind, title, address };
    emit loadedChanged();
}

void Player::tune(const PlayableChannel &channel)
{
    m_reconnection->setPromptSuppressed(true);
    m_failover->channelTuned();
    try {
        // Switching the system off stops its retry timer.
        if (channel.switchesReconnectionOff)
            m_reconnection->setOn(false);
        m_engine->stop();
        m_engine->setUrl(channel.address);
        m_title->setChannelTitle(channel.title);
        setLoaded(LoadedMedia::Kind::Channel, channel.title, channel.address);
        m_reconnection->setPromptSuppressed(false);
    } catch (const std::exception &error) {
        // The question stays closed: the program is ending.
        qCWarning(lumiPlayback) << "the engine refused a tune:" << error.what();
        emit tuneRefused();
    }
}

void Player::playFromOutside(const QString &item)
{
    // Not a channel: a failure must not ask about reconnecting.
    m_reconnection->setPromptSuppressed(true);
    m_transport->setDisplayTickEnabled(false);
    m_engine->setUrl(item);
    m_transport->playForm();
    m_transport->setNowPlayingFromUrl(item);
    const bool address = AddressRule::isStreamScheme(QUrl(item).scheme());
    setLoaded(address ? LoadedMedia::Kind::Address : LoadedMedia::Kind::File, item, item);
}

void Player::shutDown()
{
    m_reconnection->setPromptSuppressed(true);
    safeCall([this] { m_engine->stop(); });
    safeCall([this] { m_engine->close(); });
    for (QTimer *timer : std::as_const(m_timers))
        timer->stop();
}

QString Player::currentUrl() const
{
    return m_engine->url();
}

void Player::prepareForPlaylistItem()
{
    m_reconnection->setPromptSuppressed(true);
    m_transport->setDisplayTickEnabled(false);
}

void Player::playPlaylistItem(const QString &path)
{
    m_engine->setUrl(path);
    m_transport->setDisplayTickEnabled(true);
    m_transport->playForm();
    m_transport->setNowPlayingFromUrl(m_engine->url());
    setLoaded(LoadedMedia::Kind::File, path, path);
}

void Player::startFile(const QString &path)
{
    m_engine->setUrl(path);
    m_transport->playForm();
    m_transport->setNowPlayingFromUrl(m_engine->url());
    setLoaded(LoadedMedia::Kind::File, path, path);
}
