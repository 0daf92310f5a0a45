#pragma once

#include "engine/MediaEngine.h"

#include <QString>

// The words the window title shows for the engine's state, made here and
// nowhere else: a stream that could not be opened or went away reads
// "Pronto", our own stop and a file's end "Parado".
QString statusText(MediaEngine::State state, int bufferPercent = 0);
// While a channel goes on to its next source after a failure or a stall.
QString switchingSourceText();

// A ready state: nothing to play, as after a stream that failed.
inline bool isReadyState(MediaEngine::State state)
{
    return state == MediaEngine::State::Idle || state == MediaEngine::State::Failed;
}

// A stopped state: our own stop or a file that reached its end.
inline bool isStopState(MediaEngine::State state)
{
    return state == MediaEngine::State::Stopped || state == MediaEngine::State::Ended;
}
