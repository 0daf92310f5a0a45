#pragma once

// What the transport asks of the playlist: its play, next and previous, and
// where it stands, for the step to the next item at the end of an MP3 file.
// The playlist window provides it.
class PlaylistNavigation
{
public:
    virtual ~PlaylistNavigation() = default;
    // Each may throw; the transport's callers decide whether a failure is swallowed.
    virtual void play() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    // -1 when no item is current.
    virtual int currentIndex() const = 0;
    virtual int count() const = 0;
};
