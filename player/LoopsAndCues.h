#pragma once

#include <QObject>
#include <QString>
#include <array>

class MediaEngine;

// The repeat loops (A-B and 4, 8 or 12 seconds long), which the display tick
// enforces, and the three cue points. At most one loop runs; "Loop A-B" goes
// from off to its point A set (red) to looping (lime) and back with its presses.
//
// The operations throw EngineError when an engine call fails.
class LoopsAndCues : public QObject
{
    Q_OBJECT

public:
    enum class ABLoop { Off, PointASet, Looping };
    Q_ENUM(ABLoop)
    static constexpr int kCuePoints = 3;

    explicit LoopsAndCues(MediaEngine &engine, QObject *parent = nullptr);

    ABLoop abLoop() const;
    // The length of the fixed loop that runs (4, 8 or 12); 0 when none does.
    int fixedLoopSeconds() const { return m_fixedLoopSeconds; }
    // A loop that the display tick must hold to time.
    bool loopRunning() const;
    // Where every loop jumps back to, and where the A-B loop ends.
    double loopStart() const { return m_loopStart; }
    double loopEnd() const { return m_loopEnd; }
    // Presses of "Loop A-B" in the current cycle: 0, 1 or 2.
    int clickCount() const { return m_clickCount; }
    // Cue points 1..3 in seconds (0 until set), and the text shown beside each.
    double cue(int point) const { return m_cues.at(index(point)); }
    QString cueText(int point) const { return m_cueTexts.at(index(point)); }

    // "Loop A-B": the first press marks A, the second B (the loop runs), the third ends it.
    void markLoopPoint();
    // "Loop 4s", "Loop 8s", "Loop 12s": on, or off when it already runs.
    void pressFixedLoop(int seconds);
    // Stop and open end every loop; the points are kept.
    void resetLoops();
    // The display tick: jumps back to the loop's start when it has run its length.
    void enforceLoops();
    void setCue(int point);
    void goToCue(int point);

signals:
    void loopsChanged();
    void cueChanged(int point);

private:
    static std::size_t index(int point) { return std::size_t(point - 1); }

    MediaEngine &m_engine;
    double m_loopStart = 0;
    double m_loopEnd = 0;
    int m_clickCount = 0;
    int m_fixedLoopSeconds = 0;
    std::array<double, kCuePoints> m_cues {};
    std::array<QString, kCuePoints> m_cueTexts;
};
