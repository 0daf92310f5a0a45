#include "desktop/NowPlaying.h"

#include "player/FileNames.h"

namespace
{
const QString kTitlePrefix = QStringLiteral("Lumivortex TV - ");
} // namespace

QString NowPlaying::playbackStatus(MediaEngine::State state)
{
    using State = MediaEngine::State;
    switch (state) {
    case State::Opening:
    case State::Buffering:
    case State::Playing:
        return Playing;
    case State::Paused:
        return Paused;
    case State::Idle:
    case State::Stopped:
    case State::Ended:
    case State::Failed:
        return Stopped;
    }
    return Stopped;
}

QString NowPlaying::title(const LoadedMedia &loaded, const QString &url)
{
    if (url.isEmpty() || loaded.kind == LoadedMedia::Kind::Nothing)
        return QString();
    if (loaded.kind == LoadedMedia::Kind::Channel)
        return loaded.title.startsWith(kTitlePrefix) ? loaded.title.mid(kTitlePrefix.size()) : loaded.title;
    const QString fileName = fileNamePart(loaded.address);
    return fileName.isEmpty() ? loaded.address : fileName;
}

NowPlayingTracker::Changes NowPlayingTracker::update(
    MediaEngine::State state, const QString &title, const QString &artist)
{
    Changes changes;
    const QString status = NowPlaying::playbackStatus(state);
    if (status != m_status) {
        m_status = status;
        changes.status = true;
    }
    if (title != m_title || artist != m_artist) {
        m_title = title;
        m_artist = artist;
        ++m_track;
        changes.track = true;
    }
    return changes;
}

QString NowPlayingTracker::trackId() const
{
    if (m_title.isEmpty())
        return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
    return QStringLiteral("/org/lumivortex/track/%1").arg(m_track);
}
