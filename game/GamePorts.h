#pragma once

#include <QtGlobal>

// The game's TCP ports. The server listens on the usual port when it may and
// otherwise on the fallback; a client tries them in that order. Ports below
// 1024 need privileges on Linux, so an ordinary user hosts on the fallback.
struct GamePorts {
    static constexpr quint16 Usual = 23;
    static constexpr quint16 Fallback = 2323;

    GamePorts() = default;
    // One port and no fallback; 0 lets the server pick a free one.
    GamePorts(quint16 only)
        : usual(only)
        , fallback(only)
    {
    }
    GamePorts(quint16 usualPort, quint16 fallbackPort)
        : usual(usualPort)
        , fallback(fallbackPort)
    {
    }

    bool hasFallback() const { return fallback != usual; }

    quint16 usual = Usual;
    quint16 fallback = Fallback;
};
