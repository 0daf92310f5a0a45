#pragma once

#include <QString>

// The program-wide values that several windows share. One instance, owned by
// the main window and handed to the others by reference.
struct ProgramState {
    // Window title set by the most recent tune (or the start-up title); the
    // reconnection system finds the channel by it.
    QString LastChannelTitle;
    // While true a ready status raises no reconnection question.
    bool ReconnectPromptSuppressed = false;
    // Copied at start-up from the hidden version label.
    QString ProgramVersion;

    // Update check.
    bool UpdatePrompted = false;
    QString NewVersion;
    QString UpdateNotes;

    // Counts resize-settle ticks since the last resize.
    int ResizeTicks = 0;

    // Loops, cue points, effects.
    double LoopStart = 0;
    double LoopEnd = 0;
    int LoopClickCount = 0;
    double CuePoint1 = 0;
    double CuePoint2 = 0;
    double CuePoint3 = 0;
    int WavebeatVolume = 0;
    bool WavebeatRising = false;
};
