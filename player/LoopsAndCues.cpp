#include "player/LoopsAndCues.h"

#include "engine/MediaEngine.h"
#include "player/NumberFormat.h"

namespace
{
// Points are marked a little before the press, so the loop starts where it was heard.
constexpr double kMarkLead = 0.06;
constexpr double kEndLead = 0.1;
} // namespace

LoopsAndCues::LoopsAndCues(MediaEngine &engine, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{
}

LoopsAndCues::ABLoop LoopsAndCues::abLoop() const
{
    return m_clickCount == 1 ? ABLoop::PointASet : m_clickCount == 2 ? ABLoop::Looping : ABLoop::Off;
}

bool LoopsAndCues::loopRunning() const
{
    return m_fixedLoopSeconds != 0 || abLoop() == ABLoop::Looping;
}

void LoopsAndCues::markLoopPoint()
{
    m_fixedLoopSeconds = 0;
    const int clicks = m_clickCount;
    m_clickCount = clicks + 1;
    if (clicks == 0)
        m_loopStart = m_engine.currentPosition() - kMarkLead;
    if (m_clickCount == 2)
        m_loopEnd = m_engine.currentPosition() - kEndLead;
    if (m_clickCount == 3)
        m_clickCount = 0;
    emit loopsChanged();
}

void LoopsAndCues::pressFixedLoop(int seconds)
{
    m_loopStart = m_engine.currentPosition() - kMarkLead;
    m_fixedLoopSeconds = m_fixedLoopSeconds == seconds ? 0 : seconds;
    m_clickCount = 0;
    emit loopsChanged();
}

void LoopsAndCues::resetLoops()
{
    m_fixedLoopSeconds = 0;
    m_clickCount = 0;
    emit loopsChanged();
}

void LoopsAndCues::enforceLoops()
{
    if (m_fixedLoopSeconds != 0 && m_engine.currentPosition() >= m_loopStart + m_fixedLoopSeconds)
        m_engine.setCurrentPosition(m_loopStart);
    if (abLoop() == ABLoop::Looping && m_engine.currentPosition() >= m_loopEnd)
        m_engine.setCurrentPosition(m_loopStart);
}

void LoopsAndCues::setCue(int point)
{
    double &cue = m_cues.at(index(point));
    cue = m_engine.currentPosition() - kMarkLead;
    m_cueTexts.at(index(point))
        = m_engine.currentPositionString() + QStringLiteral(" (") + generalNumber(cue) + QLatin1Char(')');
    emit cueChanged(point);
}

void LoopsAndCues::goToCue(int point)
{
    m_engine.setCurrentPosition(cue(point));
}
