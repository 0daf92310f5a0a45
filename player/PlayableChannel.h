#pragma once

#include <QString>

// A channel as the player tunes it: its window title (its identity, which
// also picks its alternate addresses), the address to open, and whether
// tuning it switches the reconnection system off.
struct PlayableChannel {
    QString title;
    QString address;
    bool switchesReconnectionOff = false;
};

// What the engine was last given, and how it came.
struct LoadedMedia {
    enum class Kind { Nothing, Channel, File, Address };
    Kind kind = Kind::Nothing;
    // The channel's window title; for a file or address the address itself.
    QString title;
    QString address;
};
