#include "desktop/MprisAdaptors.h"

#include "desktop/MediaControls.h"
#include "desktop/OpenableMedia.h"

MprisRootAdaptor::MprisRootAdaptor(MediaControls &controls, QObject *parent)
    : QDBusAbstractAdaptor(parent)
    , m_controls(controls)
{
}

QString MprisRootAdaptor::identity() const
{
    return QStringLiteral("Lumivortex TV");
}

QString MprisRootAdaptor::desktopEntry() const
{
    return QStringLiteral("lumivortex");
}

QStringList MprisRootAdaptor::supportedUriSchemes() const
{
    return OpenableMedia::uriSchemes();
}

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return OpenableMedia::mimeTypes();
}

void MprisRootAdaptor::Raise()
{
    m_controls.raise();
}

void MprisRootAdaptor::Quit()
{
    m_controls.quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MediaControls &controls, QObject *parent)
    : QDBusAbstractAdaptor(parent)
    , m_controls(controls)
{
    connect(&m_controls, &MediaControls::seeked, this, &MprisPlayerAdaptor::Seeked);
}

QString MprisPlayerAdaptor::playbackStatus() const
{
    return m_controls.playbackStatus();
}

double MprisPlayerAdaptor::rate() const
{
    return m_controls.rate();
}

QVariantMap MprisPlayerAdaptor::metadata() const
{
    return m_controls.metadata();
}

double MprisPlayerAdaptor::volume() const
{
    return m_controls.volume();
}

void MprisPlayerAdaptor::setVolume(double volume)
{
    m_controls.setVolume(volume);
}

bool MprisPlayerAdaptor::canPlay() const
{
    return m_controls.canPlay();
}

bool MprisPlayerAdaptor::canPause() const
{
    return m_controls.canPause();
}

bool MprisPlayerAdaptor::canSeek() const
{
    return m_controls.canSeek();
}

bool MprisPlayerAdaptor::canGoNext() const
{
    return m_controls.canGoNext();
}

qlonglong MprisPlayerAdaptor::position() const
{
    return m_controls.position();
}

void MprisPlayerAdaptor::Next()
{
    m_controls.next();
}

void MprisPlayerAdaptor::Previous()
{
    m_controls.previous();
}

void MprisPlayerAdaptor::Pause()
{
    m_controls.pause();
}

void MprisPlayerAdaptor::PlayPause()
{
    m_controls.playPause();
}

void MprisPlayerAdaptor::Stop()
{
    m_controls.stop();
}

void MprisPlayerAdaptor::Play()
{
    m_controls.play();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset)
{
    m_controls.seek(Offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    m_controls.setPosition(TrackId.path(), Position);
}

void MprisPlayerAdaptor::OpenUri(const QString &Uri)
{
    m_controls.openUri(Uri);
}
