#include "desktop/MediaControls.h"

#include "app/ButtonColour.h"
#include "app/SafeCall.h"
#include "app/TForm1.h"
#include "app/TrayIcon.h"
#include "desktop/MprisAdaptors.h"
#include "playback/MediaEngine.h"
#include "playback/TForm6.h"

#include <QAbstractButton>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QLabel>

const QString MediaControls::ServiceName = QStringLiteral("org.mpris.MediaPlayer2.lumivortex");
const QString MediaControls::ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString MediaControls::PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

MediaControls *MediaControls::install(TForm1 &window, const QDBusConnection &bus)
{
    // Without a session bus the program runs as it always did.
    if (!bus.isConnected())
        return nullptr;
    auto *controls = new MediaControls(window, bus);
    QDBusConnection connection(bus);
    if (!connection.registerObject(ObjectPath, controls, QDBusConnection::ExportAdaptors)) {
        delete controls;
        qWarning("lumivortex: media keys unavailable, %s is already in use", qPrintable(ObjectPath));
        return nullptr;
    }
    if (!connection.registerService(ServiceName)) {
        connection.unregisterObject(ObjectPath);
        delete controls;
        qWarning("lumivortex: media keys unavailable, %s is held by another program", qPrintable(ServiceName));
        return nullptr;
    }
    return controls;
}

MediaControls::MediaControls(TForm1 &window, const QDBusConnection &bus)
    : QObject(&window), m_window(window), m_bus(bus)
{
    setObjectName(QStringLiteral("MediaControls"));
    new MprisRootAdaptor(*this, this);
    new MprisPlayerAdaptor(*this, this);
    // The state at start is what the desktop first reads, not a change.
    m_tracker.update(m_window.engine().status(), currentTitle());
    connect(&m_window.engine(), &MediaEngine::statusChanged, this, [this] { scheduleRefresh(); });
    connect(&m_window, &QWidget::windowTitleChanged, this, [this] { scheduleRefresh(); });
}

MediaControls::~MediaControls()
{
    if (m_bus.objectRegisteredAt(ObjectPath) == this) {
        m_bus.unregisterService(ServiceName);
        m_bus.unregisterObject(ObjectPath);
    }
}

void MediaControls::press(const char *button)
{
    if (auto *b = m_window.findChild<QAbstractButton *>(QString::fromLatin1(button)))
        b->click();
}

bool MediaControls::playButtonIsLime() const
{
    const auto *b = m_window.findChild<QAbstractButton *>(QStringLiteral("SpeedButton42"));
    return b && ButtonColour::is(b, ButtonColour::Lime);
}

void MediaControls::playPause()
{
    press("SpeedButton42");
}

// The play button pauses while lime and plays otherwise.
void MediaControls::play()
{
    if (!playButtonIsLime())
        press("SpeedButton42");
}

void MediaControls::pause()
{
    if (playButtonIsLime())
        press("SpeedButton42");
}

void MediaControls::stop()
{
    press("SpeedButton40");
}

void MediaControls::next()
{
    press("SpeedButton75");
}

void MediaControls::previous()
{
    press("SpeedButton76");
}

void MediaControls::raise()
{
    // From the mini player, its own button brings the main window back.
    const TForm6 *mini = m_window.sideWindows().miniPlayer;
    if (mini && mini->isVisible() && !m_window.isVisible())
        press("SpeedButton77");
    if (TrayIcon *tray = m_window.tray())
        tray->RetornaraoLumivortex1Click();
    else
        m_window.showNormal();
    m_window.activateWindow();
}

void MediaControls::quit()
{
    // Closed as the user closes it, after the caller has had its reply: the
    // window's closing ends the event loop.
    QMetaObject::invokeMethod(&m_window, [window = &m_window] { window->close(); }, Qt::QueuedConnection);
}

QVariantMap MediaControls::metadata() const
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(m_tracker.trackId())));
    if (!m_tracker.title().isEmpty())
        map.insert(QStringLiteral("xesam:title"), m_tracker.title());
    return map;
}

double MediaControls::volume() const
{
    double value = 0;
    safeCall([&] { value = m_window.engine().volume() / 100.0; });
    return value;
}

double MediaControls::rate() const
{
    double value = 1.0;
    safeCall([&] { value = m_window.engine().rate(); });
    return value;
}

qlonglong MediaControls::position() const
{
    qlonglong micro = 0;
    safeCall([&] { micro = qRound64(m_window.engine().currentPosition() * 1e6); });
    return micro;
}

QString MediaControls::currentTitle() const
{
    MediaEngine &engine = m_window.engine();
    const QLabel *nowPlaying = m_window.findChild<QLabel *>(QStringLiteral("Label10"));
    return NowPlaying::title(m_window.windowTitle(), m_window.state().LastChannelTitle,
                             nowPlaying ? nowPlaying->text() : QString(), engine.url());
}

void MediaControls::scheduleRefresh()
{
    // A tune writes the URL before it sets the title, and a status change
    // retitles the window: one look after the handler has run sees them settled.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(this, [this] { refresh(); }, Qt::QueuedConnection);
}

void MediaControls::refresh()
{
    m_refreshPending = false;
    const NowPlayingTracker::Changes changes = m_tracker.update(m_window.engine().status(), currentTitle());
    if (!changes.any())
        return;
    QVariantMap changed;
    if (changes.status)
        changed.insert(QStringLiteral("PlaybackStatus"), m_tracker.playbackStatus());
    if (changes.track)
        changed.insert(QStringLiteral("Metadata"), metadata());
    QDBusMessage signal = QDBusMessage::createSignal(ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << PlayerInterface << changed << QStringList();
    m_bus.send(signal);
}
