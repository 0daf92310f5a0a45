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
    // Switches the main window's display tick (TimerMediaTempo) on or off.
    virtual void setDisplayTickEnabled(bool enabled) = 0;
    // The play form of the main play/pause button (SpeedButton42): lyrics icon
    // shown, play(), display tick on, rate text refreshed, button lime.
    virtual void performPlayForm() = 0;
    // Sets the now-playing label (Label10) to the file-name part of url.
    virtual void setNowPlayingFromUrl(const QString &url) = 0;
    // Selects the Player tab (index 5) and runs the tab change handler.
    virtual void switchToPlayerTab() = 0;
};
