#include "engine/StallWatch.h"

#include "engine/MpvHandle.h"
#include "engine/MpvNames.h"

#include <cmath>

namespace
{

// A network stream whose position has not moved for this long has stalled:
// data stopped arriving and what was buffered has run out. Well inside the
// network timeout, and longer than any rebuffering a healthy stream needs.
constexpr int stallAfterMs = 3000;
// Before the first picture a slow start is allowed more.
constexpr int stallBeforeFirstPositionMs = 5000;
constexpr int stallWatchIntervalMs = 500;

} // namespace

StallWatch::StallWatch(const MpvHandle &mpv, QObject *parent)
    : QObject(parent)
    , m_mpv(mpv)
{
    m_timer.setObjectName(QStringLiteral("stallWatch"));
    m_timer.setInterval(stallWatchIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StallWatch::sample);
}

void StallWatch::mediaLoaded()
{
    m_lastPosition = -1;
    m_stallReported = false;
    m_sinceProgress.start();
}

void StallWatch::setWatching(bool watch)
{
    if (watch == m_timer.isActive())
        return;
    if (watch) {
        // A pause does not count as a stall.
        m_sinceProgress.start();
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

void StallWatch::sample()
{
    double position = -1;
    if (!m_mpv.getDouble(MpvNames::timePos, position))
        position = -1;
    if (std::abs(position - m_lastPosition) > 0.001) {
        m_lastPosition = position;
        m_sinceProgress.start();
        m_stallReported = false;
        return;
    }
    const int allowed = m_lastPosition < 0 ? stallBeforeFirstPositionMs : stallAfterMs;
    if (m_stallReported || m_sinceProgress.elapsed() < allowed)
        return;
    m_stallReported = true;
    // Last: whoever hears it may well open another address from here.
    emit stalled();
}
