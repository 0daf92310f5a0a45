#include "desktop/MprisAdaptors.h"

#include "desktop/MediaControls.h"

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

// CanSeek is false: the protocol asks these to do nothing then.
void MprisPlayerAdaptor::Seek(qlonglong) { }

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &, qlonglong) { }

// No URI scheme is offered, so there is nothing to open.
void MprisPlayerAdaptor::OpenUri(const QString &) { }
