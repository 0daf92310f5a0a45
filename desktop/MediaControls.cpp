#include "desktop/MediaControls.h"

#include "base/PlainText.h"
#include "base/SafeCall.h"
#include "desktop/MprisAdaptors.h"
#include "engine/MediaEngine.h"
#include "net/AddressRule.h"
#include "player/Player.h"
#include "player/Transport.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>

const QString MediaControls::ServiceName = QStringLiteral("org.mpris.MediaPlayer2.lumivortex");
const QString MediaControls::ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString MediaControls::PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

MediaControls *MediaControls::install(Player &player, QObject *owner, const QDBusConnection &bus)
{
    // Without a session bus the program runs as it always did.
    if (!bus.isConnected())
        return nullptr;
    auto *controls = new MediaControls(player, owner, bus);
    QDBusConnection connection(bus);
    if (!connection.registerObject(ObjectPath, controls, QDBusConnection::ExportAdaptors)) {
        delete controls;
        qWarning("lumivortex: media keys unavailable, %s is already in use", qPrintable(ObjectPath));
        return nullptr;
    }
    if (!connection.registerService(ServiceName)) {
        connection.unregisterObject(ObjectPath);
        delete controls;
        qWarning(
            "lumivortex: media keys unavailable, %s is held by another program", qPrintable(ServiceName));
        return nullptr;
    }
    return controls;
}

MediaControls::MediaControls(Player &player, QObject *owner, const QDBusConnection &bus)
    : QObject(owner)
    , m_player(player)
    , m_bus(bus)
{
    setObjectName(QStringLiteral("MediaControls"));
    new MprisRootAdaptor(*this, this);
    new MprisPlayerAdaptor(*this, this);
    // The state at start is what the desktop first reads, not a change.
    m_tracker.update(m_player.engine().state(), currentTitle(), currentArtist());
    connect(&m_player.engine(), &MediaEngine::stateChanged, this, [this] { scheduleRefresh(); });
    connect(&m_player, &Player::loadedChanged, this, [this] { scheduleRefresh(); });
    connect(&m_player.engine(), &MediaEngine::streamTitleChanged, this, [this] { scheduleRefresh(); });
}

MediaControls::~MediaControls()
{
    if (m_bus.objectRegisteredAt(ObjectPath) == this) {
        m_bus.unregisterService(ServiceName);
        m_bus.unregisterObject(ObjectPath);
    }
}

PlayerCommands::PlayerCommands(Player &player)
    : m_player(player)
    , m_status(NowPlaying::playbackStatus(player.engine().state()))
{
}

bool PlayerCommands::transportPlaying() const
{
    return m_player.transport().mode() == Transport::Mode::Playing;
}

void PlayerCommands::playPause()
{
    if (m_status == NowPlaying::Playing)
        pause();
    else
        play();
}

// The transport pauses while playing and plays otherwise; a tuned channel
// plays with the transport not playing, so the state, not the mode, decides.
void PlayerCommands::play()
{
    if (m_status == NowPlaying::Playing)
        return;
    if (!transportPlaying()) {
        safeCall([this] { m_player.transport().playPause(); });
        return;
    }
    safeCall([this] { m_player.engine().play(); });
}

void PlayerCommands::pause()
{
    if (m_status != NowPlaying::Playing)
        return;
    if (transportPlaying()) {
        safeCall([this] { m_player.transport().playPause(); });
        return;
    }
    // The transport's paused state is what its next play/pause resumes; a
    // stream that refuses to pause is stopped instead.
    if (safeCall([this] { m_player.engine().pause(); }))
        m_player.transport().showPaused();
    else
        safeCall([this] { m_player.transport().stop(); });
}

void MediaControls::playPause()
{
    commands().playPause();
}

void MediaControls::play()
{
    commands().play();
}

void MediaControls::pause()
{
    commands().pause();
}

void MediaControls::stop()
{
    safeCall([this] { m_player.transport().stop(); });
}

void MediaControls::next()
{
    safeCall([this] { m_player.transport().playNext(); });
}

void MediaControls::previous()
{
    safeCall([this] { m_player.transport().playPrevious(); });
}

void MediaControls::raise()
{
    emit raiseRequested();
}

void MediaControls::quit()
{
    // Carried out after the caller has had its reply.
    QMetaObject::invokeMethod(this, &MediaControls::quitRequested, Qt::QueuedConnection);
}

QVariantMap MediaControls::metadata() const
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(m_tracker.trackId())));
    // The title is a list channel's name or an address's file name: one line,
    // and no desktop wants ten thousand characters of it.
    if (!m_tracker.title().isEmpty())
        map.insert(QStringLiteral("xesam:title"), PlainText::line(m_tracker.title()));
    if (!m_tracker.artist().isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList { PlainText::line(m_tracker.artist()) });
    return map;
}

double MediaControls::volume() const
{
    double value = 0;
    safeCall([&] { value = m_player.engine().volume() / 100.0; });
    return value;
}

double MediaControls::rate() const
{
    double value = 1.0;
    safeCall([&] { value = m_player.engine().rate(); });
    return value;
}

qlonglong MediaControls::position() const
{
    qlonglong micro = 0;
    safeCall([&] { micro = qRound64(m_player.engine().currentPosition() * 1e6); });
    return micro;
}

void MediaControls::setVolume(double volume)
{
    safeCall([&] { m_player.engine().setVolume(qRound(qBound(0.0, volume, 1.0) * 100)); });
    emit volumeSet();
}

void MediaControls::seek(qlonglong offsetMicro)
{
    if (!canSeek())
        return;
    safeCall([&] {
        m_player.engine().setCurrentPosition(m_player.engine().currentPosition() + offsetMicro / 1e6);
    });
    emit seeked(position());
}

void MediaControls::setPosition(const QString &trackId, qlonglong positionMicro)
{
    // A position meant for another track, or past either end, is ignored.
    if (!canSeek() || trackId != m_tracker.trackId() || positionMicro < 0)
        return;
    safeCall([&] {
        if (positionMicro / 1e6 <= m_player.engine().duration())
            m_player.engine().setCurrentPosition(positionMicro / 1e6);
    });
    emit seeked(position());
}

void MediaControls::openUri(const QString &uri)
{
    const QString playable
        = AddressRule::screened(uri, AddressRule::Origin::UserChosen, "the desktop's media controls");
    if (!playable.isEmpty())
        emit openRequested(playable);
}

bool MediaControls::canPlay() const
{
    return !m_player.engine().url().isEmpty() || m_player.transport().playlistCount() > 0;
}

bool MediaControls::canPause() const
{
    return !m_player.engine().url().isEmpty() && commands().status() != NowPlaying::Stopped;
}

// A live stream has no duration and cannot be moved in.
bool MediaControls::canSeek() const
{
    double duration = 0;
    safeCall([&] { duration = m_player.engine().duration(); });
    return duration > 0;
}

bool MediaControls::canGoNext() const
{
    return m_player.transport().playlistCount() > 0;
}

// A radio's song is the track, and the station its artist; otherwise a
// channel's programme, with the channel as the artist.
QString MediaControls::currentTitle() const
{
    if (const QString song = m_player.engine().streamTitle(); !song.isEmpty())
        return song;
    const QString playing = NowPlaying::title(m_player.loaded(), m_player.engine().url());
    return currentArtist().isEmpty() ? playing : m_programme;
}

QString MediaControls::currentArtist() const
{
    const bool song = !m_player.engine().streamTitle().isEmpty();
    if (!song && (m_programme.isEmpty() || m_player.loaded().kind != LoadedMedia::Kind::Channel))
        return QString();
    return NowPlaying::title(m_player.loaded(), m_player.engine().url());
}

void MediaControls::setProgramme(const QString &programme)
{
    if (programme == m_programme)
        return;
    m_programme = programme;
    scheduleRefresh();
}

void MediaControls::scheduleRefresh()
{
    // A tune writes the URL before it says what is loaded: one look after the
    // handler has run sees them settled.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(
        this, [this] { refresh(); }, Qt::QueuedConnection);
}

void MediaControls::refresh()
{
    m_refreshPending = false;
    const NowPlayingTracker::Changes changes
        = m_tracker.update(m_player.engine().state(), currentTitle(), currentArtist());
    if (!changes.any())
        return;
    QVariantMap changed;
    if (changes.status)
        changed.insert(QStringLiteral("PlaybackStatus"), m_tracker.playbackStatus());
    if (changes.track)
        changed.insert(QStringLiteral("Metadata"), metadata());
    QDBusMessage signal = QDBusMessage::createSignal(
        ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << PlayerInterface << changed << QStringList();
    m_bus.send(signal);
}
