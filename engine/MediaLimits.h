#pragma once

#include <algorithm>

// The ranges the program's engine settings are held to.
namespace MediaLimits
{

// The program speaks 0..100; the player would take more.
inline int clampVolume(int volume)
{
    return std::clamp(volume, 0, 100);
}

// Playback rate as a factor of normal speed.
inline double clampRate(double rate)
{
    return std::clamp(rate, 0.01, 100.0);
}

} // namespace MediaLimits
