#include "player/SourceFailover.h"

#include "base/Logging.h"
#include "base/SafeCall.h"
#include "player/AlternateAddresses.h"
#include "player/ChannelTitle.h"
#include "player/StatusText.h"

SourceFailover::SourceFailover(
    MediaEngine &engine, ChannelTitle &title, AlternateAddresses &alternates, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_title(title)
    , m_alternates(alternates)
{
    connect(&m_engine, &MediaEngine::stalled, this, [this] { safeCall([this] { streamStalled(); }); });
}

void SourceFailover::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit enabledChanged(enabled);
}

void SourceFailover::channelTuned()
{
    ++m_switch;
    m_switching = false;
    m_channel.clear();
    m_failed.clear();
    m_playingSince.invalidate();
}

bool SourceFailover::takeState(MediaEngine::State state)
{
    using State = MediaEngine::State;
    switch (state) {
    case State::Playing:
        m_switching = false;
        if (!m_playingSince.isValid())
            m_playingSince.start();
        return false;
    case State::Failed:
        // A refused certificate has its own road: said in the title and told once.
        if (m_engine.failure() != MediaEngine::Failure::CertificateRefused && switchToNextSource())
            return true;
        m_switching = false;
        return false;
    case State::Opening:
    case State::Buffering:
        if (!m_switching)
            return false;
        showSwitching();
        return true;
    default:
        m_switching = false;
        return false;
    }
}

void SourceFailover::streamStalled()
{
    const MediaEngine::State state = m_engine.state();
    if (state == MediaEngine::State::Playing || state == MediaEngine::State::Buffering)
        switchToNextSource();
}

bool SourceFailover::switchToNextSource()
{
    if (!m_enabled)
        return false;
    const QString channel = m_title.lastChannelTitle();
    const QStringList sources = m_alternates.entries(channel);
    const QString current = m_engine.url();
    const int at = int(sources.indexOf(current));
    // Not one of the channel's sources: a file of the playlist, or an address from outside.
    if (at < 0 || sources.size() < 2)
        return false;
    if (channel != m_channel) {
        m_channel = channel;
        m_failed.clear();
    }
    if (m_playingSince.isValid() && m_playingSince.elapsed() >= playedWellMs)
        m_failed.clear();
    m_playingSince.invalidate();
    m_failed.insert(current);
    const int count = int(sources.size());
    for (int step = 1; step < count; ++step) {
        const int row = (at + step) % count;
        const QString next = sources.at(row);
        if (m_failed.contains(next))
            continue;
        qCInfo(lumiPlayback) << "source" << at << "of" << channel << "failed or stalled; switching to" << row;
        m_switching = true;
        const int thisSwitch = ++m_switch;
        // The retry rotation goes on from the source playing.
        m_alternates.setPosition(channel, row);
        showSwitching();
        // Queued: the engine may still be inside the call that reported the failure.
        QMetaObject::invokeMethod(
            this,
            [this, thisSwitch, current, next] {
                // Another tune or anything else played since: nothing to switch.
                if (thisSwitch != m_switch || !m_switching || m_engine.url() != current)
                    return;
                safeCall([this, next] {
                    m_engine.setUrl(next);
                    emit sourceChanged(next);
                });
            },
            Qt::QueuedConnection);
        return true;
    }
    return false;
}

void SourceFailover::showSwitching()
{
    m_title.showText(m_title.lastChannelTitle() + QLatin1Char(' ') + switchingSourceText());
}
