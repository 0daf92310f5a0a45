#pragma once

#include "base/ProgramState.h"
#include "playlist/PlaylistHost.h"
#include "tests/support/FakeEngine.h"

#include <QStringList>
#include <QWidget>

// The main window as the playlist sees it: a FakeEngine, the program state
// and a plain widget; every call is recorded in calls ("tick on", "tick off",
// "playForm", "nowPlaying <name>", "playerTab").
class FakePlaylistHost : public PlaylistHost
{
public:
    FakePlaylistHost() { main.resize(540, 600); }

    MediaEngine &engine() override { return fakeEngine; }
    ProgramState &state() override { return programState; }
    QWidget *mainWindow() override { return &main; }
    void setDisplayTickEnabled(bool enabled) override
    {
        tickEnabled = enabled;
        calls << (enabled ? QStringLiteral("tick on") : QStringLiteral("tick off"));
    }
    // As the real play form: controls.play() (which may fail) and the button lime.
    void performPlayForm() override
    {
        calls << QStringLiteral("playForm");
        fakeEngine.play();
    }
    void setNowPlayingFromUrl(const QString &url) override
    {
        calls << QStringLiteral("nowPlaying ") + url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    }
    void switchToPlayerTab() override { calls << QStringLiteral("playerTab"); }

    FakeEngine fakeEngine;
    ProgramState programState;
    QWidget main;
    bool tickEnabled = false;
    QStringList calls;
};
