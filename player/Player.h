#pragma once

#include "player/PlayableChannel.h"
#include "player/PlaylistPlayback.h"

#include <QObject>
#include <QString>
#include <memory>

class AlternateAddresses;
class ChannelTitle;
class LoopsAndCues;
class MediaEngine;
class QTimer;
class Reconnection;
class SoundEffects;
class SourceFailover;
class Transport;

// The player: it owns the one media engine and, as models with signals, the
// transport, the loops and cue points, the sound effects, the reconnection
// system with the channels' alternate addresses, the window title's words and
// what is loaded. It has no widgets: windows receive the parts they show and
// drive, and draw buttons and texts from their values.
class Player : public QObject, public PlaylistPlayback
{
    Q_OBJECT

public:
    // The timers are created as children of timerHome (the main window, where
    // the design names them and tools find them), or of the player without one.
    // timerHome must outlive the player.
    explicit Player(std::unique_ptr<MediaEngine> engine, QObject *timerHome = nullptr);
    ~Player() override;

    MediaEngine &engine() const { return *m_engine; }
    Transport &transport() const { return *m_transport; }
    LoopsAndCues &loops() const { return *m_loops; }
    SoundEffects &effects() const { return *m_effects; }
    Reconnection &reconnection() const { return *m_reconnection; }
    AlternateAddresses &alternates() const { return *m_alternates; }
    // Switching a failed or stalled channel to its next source without asking.
    SourceFailover &failover() const { return *m_failover; }
    ChannelTitle &title() const { return *m_title; }
    const LoadedMedia &loaded() const { return m_loaded; }

    // Points the engine at the channel and titles the window with it; the
    // reconnection question stays closed over the whole sequence. When the
    // engine rejects a call, tuneRefused() is emitted (the program ends).
    void tune(const PlayableChannel &channel);
    // A file or address from outside the window (command line, another copy,
    // the desktop): played as a file is, never asking about reconnecting.
    // Throws EngineError when an engine call fails.
    void playFromOutside(const QString &item);
    // Closing: no question for what stopping reports, the media released,
    // the timers stopped. Never throws.
    void shutDown();

    // PlaylistPlayback (each throws EngineError when an engine call fails)
    QString currentUrl() const override;
    void prepareForPlaylistItem() override;
    void playPlaylistItem(const QString &path) override;
    void startFile(const QString &path) override;

signals:
    // The engine rejected a call of a tune: the old-player failure.
    void tuneRefused();
    void loadedChanged();
    // The channel that plays goes on from another of its addresses (the
    // reconnection's rotation, a switch of source); loaded() says which.
    void sourceChanged(const QString &channelTitle, const QString &address);

private:
    QTimer *makeTimer(const char *name, int intervalMs, QObject *home);
    void setLoaded(LoadedMedia::Kind kind, const QString &title, const QString &address);
    void switchSource(const QString &address);

    std::unique_ptr<MediaEngine> m_engine;
    ChannelTitle *m_title;
    AlternateAddresses *m_alternates;
    LoopsAndCues *m_loops;
    Transport *m_transport;
    SoundEffects *m_effects;
    SourceFailover *m_failover;
    Reconnection *m_reconnection;
    QList<QTimer *> m_timers;
    LoadedMedia m_loaded;
};
