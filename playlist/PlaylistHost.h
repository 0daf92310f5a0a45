#pragma once

#include <QString>

class MediaEngine;
class QWidget;
struct ProgramState;

// What the playlist window needs of the main window. The main window
// implements it; tests use a small double.
class PlaylistHost
{
public:
    virtual ~PlaylistHost() = default;

    virtual MediaEngine &engine() = 0;
    virtual ProgramState &state() = 0;
    // The main window itself (to place the playlist 15 pixels left of it).
    virtual QWidget *mainWindow() = 0;
    // Switches the main window's display tick (position and time texts) on or off.
    virtual void setDisplayTickEnabled(bool enabled) = 0;
    // What the main play/pause button does when it starts playback: lyrics
    // icon shown, play(), display tick on, rate text refreshed, button lime.
    virtual void performPlayForm() = 0;
    // Sets the now-playing label to the file-name part of url.
    virtual void setNowPlayingFromUrl(const QString &url) = 0;
    // Selects the Player tab and runs the tab change handler.
    virtual void switchToPlayerTab() = 0;
};
