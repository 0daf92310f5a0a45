#pragma once

#include "player/PlaylistPlayback.h"
#include "tests/support/FakeEngine.h"

#include <QStringList>
#include <QWidget>

// The player as the playlist window sees it, on a FakeEngine; every call is
// recorded in calls ("tick on", "tick off", "playForm", "nowPlaying <name>").
// A test that connects the window's playerPageWanted() records "playerTab".
class FakePlaylistPlayback : public PlaylistPlayback
{
public:
    FakePlaylistPlayback() { main.resize(540, 600); }

    QString currentUrl() const override { return fakeEngine.url(); }
    void prepareForPlaylistItem() override
    {
        promptSuppressed = true;
        setTick(false);
    }
    void playPlaylistItem(const QString &path) override
    {
        fakeEngine.setUrl(path);
        setTick(true);
        playForm(path);
    }
    void startFile(const QString &path) override
    {
        fakeEngine.setUrl(path);
        playForm(path);
    }

    FakeEngine fakeEngine;
    // The main window the playlist opens beside.
    QWidget main;
    bool promptSuppressed = false;
    bool tickEnabled = false;
    QStringList calls;

private:
    void setTick(bool enabled)
    {
        tickEnabled = enabled;
        calls << (enabled ? QStringLiteral("tick on") : QStringLiteral("tick off"));
    }
    // As the real play form: controls.play() (which may fail), then the name shown.
    void playForm(const QString &url)
    {
        calls << QStringLiteral("playForm");
        fakeEngine.play();
        calls << QStringLiteral("nowPlaying ") + url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
    }
};
