#pragma once

// One step of a channel's alternate-address rotation. From the last entry the
// position wraps to 0 without loading anything on that tick, so entry 0 is
// only ever loaded on the first pass after start.
struct RotationStep {
    int position;
    bool loadEntry;
};

inline RotationStep nextRotation(int position, int count)
{
    if (count > 0 && position == count - 1)
        return { 0, false };
    return { position + 1, true };
}
