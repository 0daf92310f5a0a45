#pragma once

#include "engine/MediaEngine.h"
#include "player/PlayableChannel.h"

#include <QString>

// What the desktop's media controls show of the player: the playback state in
// the three words of the media-player protocol, and the title of what plays.
namespace NowPlaying
{
inline const QString Playing = QStringLiteral("Playing");
inline const QString Paused = QStringLiteral("Paused");
inline const QString Stopped = QStringLiteral("Stopped");

// The protocol's word for an engine state. Opening and buffering count as
// playing (the media starts by itself).
QString playbackStatus(MediaEngine::State state);

// The title of what plays: a channel's name (its window title without the
// program's prefix), else the file name of the file or address, else the
// address itself. Empty while the engine has no address.
QString title(const LoadedMedia &loaded, const QString &url);
} // namespace NowPlaying

// The values last published to the desktop, so that only real changes are
// announced; every new title is a new track with an id of its own.
class NowPlayingTracker
{
public:
    struct Changes {
        bool status = false;
        bool track = false;
        bool any() const { return status || track; }
    };

    // artist: who brings the title (the channel, when the title is its programme).
    Changes update(MediaEngine::State state, const QString &title, const QString &artist = QString());

    QString playbackStatus() const { return m_status; }
    QString title() const { return m_title; }
    QString artist() const { return m_artist; }
    // A D-Bus object path naming the track; the protocol's "no track" path while
    // nothing plays.
    QString trackId() const;

private:
    QString m_status = NowPlaying::Stopped;
    QString m_title;
    QString m_artist;
    int m_track = 0;
};
