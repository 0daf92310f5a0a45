#pragma once

#include "engine/MediaEngine.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>

class AlternateAddresses;
class ChannelTitle;

// Switching sources without asking: when the stream of a channel that has
// other sources fails or stalls, the next of its ranked sources that has not
// failed since the tune plays at once, and the title says "Trocando de
// fonte…" until it plays. A channel with one source, or one whose sources
// have all failed, is left to the reconnection system (the congested title
// and its question). A source that played well for a while may be tried again.
class SourceFailover : public QObject
{
    Q_OBJECT

public:
    // Playing this long makes a source's failure a new start: every source may
    // be tried again.
    static constexpr int playedWellMs = 30000;

    SourceFailover(
        MediaEngine &engine, ChannelTitle &title, AlternateAddresses &alternates, QObject *parent = nullptr);

    // The option "Trocar de fonte sozinho quando um canal cair" (on at start).
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // Between a failure or stall and the next source playing.
    bool isSwitching() const { return m_switching; }

    // A tune: every source of the channel may be tried again.
    void channelTuned();
    // Every engine state, before the reconnection looks at it. True when the
    // state belongs to a switch: the title is written and nothing else is to
    // be done with it.
    bool takeState(MediaEngine::State state);
    // The engine's stall sign.
    void streamStalled();

signals:
    void enabledChanged(bool enabled);
    // The channel went on to another of its sources.
    void sourceChanged(const QString &address);

private:
    bool switchToNextSource();
    void showSwitching();

    MediaEngine &m_engine;
    ChannelTitle &m_title;
    AlternateAddresses &m_alternates;
    bool m_enabled = true;
    bool m_switching = false;
    int m_switch = 0; // counts switches and tunes: a queued switch of an older one is dropped
    QString m_channel; // the channel title the failed sources belong to
    QSet<QString> m_failed;
    QElapsedTimer m_playingSince; // of the source playing now
};
