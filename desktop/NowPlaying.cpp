#include "desktop/NowPlaying.h"

#include "playback/FileNames.h"

namespace
{
const QString kTitlePrefix = QStringLiteral("Lumivortex TV - ");

// The channel part of a title the tuner set; the reconnection system appends a
// status to it, which the last tuned title lets us cut off again.
QString channelPart(const QString &windowTitle, const QString &lastChannelTitle)
{
    if (lastChannelTitle.startsWith(kTitlePrefix) && windowTitle.startsWith(lastChannelTitle))
        return lastChannelTitle.mid(kTitlePrefix.size());
    if (windowTitle.startsWith(kTitlePrefix))
        return windowTitle.mid(kTitlePrefix.size());
    return QString();
}
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

QString NowPlaying::title(const QString &windowTitle, const QString &lastChannelTitle,
    const QString &nowPlayingText, const QString &url)
{
    if (url.isEmpty())
        return QString();
    const QString fileName = fileNamePart(url);
    if (!nowPlayingText.isEmpty() && nowPlayingText == fileName)
        return fileName;
    const QString channel = channelPart(windowTitle, lastChannelTitle).trimmed();
    if (!channel.isEmpty())
        return channel;
    return fileName.isEmpty() ? url : fileName;
}

NowPlayingTracker::Changes NowPlayingTracker::update(MediaEngine::State state, const QString &title)
{
    Changes changes;
    const QString status = NowPlaying::playbackStatus(state);
    if (status != m_status) {
        m_status = status;
        changes.status = true;
    }
    if (title != m_title) {
        m_title = title;
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
