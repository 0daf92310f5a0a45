#pragma once

#include <QString>

// What the playlist window asks of the player to start its items and the
// files dropped on it. The steps are split as the playlist's own sequence
// needs them: a failure between them leaves the display tick off.
class PlaylistPlayback
{
public:
    virtual ~PlaylistPlayback() = default;
    // The address or path the engine was last given; empty when none.
    virtual QString currentUrl() const = 0;
    // Before an item is looked up: no reconnection question for it, display tick off.
    virtual void prepareForPlaylistItem() = 0;
    // The item's file: engine address, display tick on, the play form, its name shown.
    virtual void playPlaylistItem(const QString &path) = 0;
    // A file dropped alone: engine address, the play form, its name shown.
    virtual void startFile(const QString &path) = 0;
};
