#include "desktop/MediaControls.h"

#include "base/PlainText.h"
#include "base/ProgramState.h"
#include "base/SafeCall.h"
#include "desktop/MprisAdaptors.h"
#include "engine/MediaEngine.h"
#include "net/AddressRule.h"
#include "widgets/ButtonColour.h"

#include <QAbstractButton>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QLabel>

const QString MediaControls::ServiceName = QStringLiteral("org.mpris.MediaPlayer2.lumivortex");
const QString MediaControls::ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString MediaControls::PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

MediaControls *MediaControls::install(const PlayerView &player, const QDBusConnection &bus)
{
    // Without a session bus the program runs as it always did.
    if (!bus.isConnected())
        return nullptr;
    auto *controls = new MediaControls(player, bus);
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

MediaControls::MediaControls(const PlayerView &player, const QDBusConnection &bus)
    : QObject(player.window)
    , m_player(player)
    , m_bus(bus)
{
    setObjectName(QStringLiteral("MediaControls"));
    new MprisRootAdaptor(*this, this);
    new MprisPlayerAdaptor(*this, this);
    // The state at start is what the desktop first reads, not a change.
    m_tracker.update(m_player.engine->status(), currentTitle());
    connect(m_player.engine, &MediaEngine::statusChanged, this, [this] { scheduleRefresh(); });
    connect(m_player.window, &QWidget::windowTitleChanged, this, [this] { scheduleRefresh(); });
}

MediaControls::~MediaControls()
{
    if (m_bus.objectRegisteredAt(ObjectPath) == this) {
        m_bus.unregisterService(ServiceName);
        m_bus.unregisterObject(ObjectPath);
    }
}

namespace
{
void press(QAbstractButton *button)
{
    if (button)
        button->click();
}
} // namespace

PlayerCommands::PlayerCommands(const PlayerView &player, const QString &previous)
    : m_player(player)
    , m_status(previous)
{
    safeCall([&] { m_status = NowPlaying::playbackStatus(m_player.engine->status(), previous); });
}

bool PlayerCommands::playButtonIsLime() const
{
    return m_player.playPause && ButtonColour::is(m_player.playPause, ButtonColour::Lime);
}

void PlayerCommands::playPause()
{
    if (m_status == NowPlaying::Playing)
        pause();
    else
        play();
}

// The play button pauses while lime and plays otherwise; a tuned channel plays
// with the button not lime, so the state, not the colour, decides.
void PlayerCommands::play()
{
    if (m_status == NowPlaying::Playing)
        return;
    if (!playButtonIsLime()) {
        press(m_player.playPause);
        return;
    }
    safeCall([this] { m_player.engine->play(); });
}

void PlayerCommands::pause()
{
    if (m_status != NowPlaying::Playing)
        return;
    if (playButtonIsLime()) {
        press(m_player.playPause);
        return;
    }
    // The window's paused state is a red play button, which its next press
    // resumes; a stream that refuses to pause is stopped instead.
    if (safeCall([this] { m_player.engine->pause(); })) {
        if (m_player.playPause)
            ButtonColour::set(m_player.playPause, ButtonColour::Red);
    } else {
        press(m_player.stop);
    }
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
    press(m_player.stop);
}

void MediaControls::next()
{
    press(m_player.next);
}

void MediaControls::previous()
{
    press(m_player.previous);
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
    return map;
}

double MediaControls::volume() const
{
    double value = 0;
    safeCall([&] { value = m_player.engine->volume() / 100.0; });
    return value;
}

double MediaControls::rate() const
{
    double value = 1.0;
    safeCall([&] { value = m_player.engine->rate(); });
    return value;
}

qlonglong MediaControls::position() const
{
    qlonglong micro = 0;
    safeCall([&] { micro = qRound64(m_player.engine->currentPosition() * 1e6); });
    return micro;
}

void MediaControls::setVolume(double volume)
{
    safeCall([&] { m_player.engine->setVolume(qRound(qBound(0.0, volume, 1.0) * 100)); });
    if (m_player.showVolume)
        m_player.showVolume();
}

void MediaControls::seek(qlonglong offsetMicro)
{
    if (!canSeek())
        return;
    safeCall(
        [&] { m_player.engine->setCurrentPosition(m_player.engine->currentPosition() + offsetMicro / 1e6); });
    emit seeked(position());
}

void MediaControls::setPosition(const QString &trackId, qlonglong positionMicro)
{
    // A position meant for another track, or past either end, is ignored.
    if (!canSeek() || trackId != m_tracker.trackId() || positionMicro < 0)
        return;
    safeCall([&] {
        if (positionMicro / 1e6 <= m_player.engine->duration())
            m_player.engine->setCurrentPosition(positionMicro / 1e6);
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
    return !m_player.engine->url().isEmpty() || (m_player.playlistCount && m_player.playlistCount() > 0);
}

bool MediaControls::canPause() const
{
    return !m_player.engine->url().isEmpty() && commands().status() != NowPlaying::Stopped;
}

// A live stream has no duration and cannot be moved in.
bool MediaControls::canSeek() const
{
    double duration = 0;
    safeCall([&] { duration = m_player.engine->duration(); });
    return duration > 0;
}

bool MediaControls::canGoNext() const
{
    return m_player.playlistCount && m_player.playlistCount() > 0;
}

QString MediaControls::currentTitle() const
{
    const QLabel *nowPlaying = m_player.nowPlaying;
    return NowPlaying::title(m_player.window->windowTitle(), m_player.state->LastChannelTitle,
        nowPlaying ? nowPlaying->text() : QString(), m_player.engine->url());
}

void MediaControls::scheduleRefresh()
{
    // A tune writes the URL before it sets the title, and a status change
    // retitles the window: one look after the handler has run sees them settled.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(
        this, [this] { refresh(); }, Qt::QueuedConnection);
}

void MediaControls::refresh()
{
    m_refreshPending = false;
    const NowPlayingTracker::Changes changes = m_tracker.update(m_player.engine->status(), currentTitle());
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
