#pragma once

#include <QString>
#include <QStringView>

// What an address that arrives from outside may be. One rule for every road
// by which an address reaches the engine: channel lists, stream playlists of
// every form, guides, the radio database, the desktop's media controls and a
// second copy of the program. The engine's own special protocols (filter
// graphs, edit lists, file descriptors, memory) can read and write local
// files, so they never come from outside.
namespace AddressRule
{
enum class Origin {
    // A remote list, a stream playlist fetched over the network, a guide, the
    // radio database: only network streams.
    Network,
    // A list or playlist file the user chose, the command line, a second copy
    // of the program, the desktop's media controls: network streams, and
    // local regular files.
    UserChosen,
};

// http, https, rtmp and its variants, rtsp, mms, udp, rtp, srt (any case).
bool isStreamScheme(QStringView scheme);

// The address as the engine should open it (a file: URL becomes its path), or
// an empty string when the address may not be played from that origin.
// Local paths must be absolute and name a regular file (not a device, a pipe
// or a folder) at the time of the call.
QString admitted(const QString &address, Origin origin);
inline bool allows(const QString &address, Origin origin)
{
    return !admitted(address, origin).isEmpty();
}

// The protocols the engine's demuxer may open from inside a stream it plays
// (segments, keys, the transport under rtsp or rtmp), comma-separated.
QString insideStreamProtocols();
} // namespace AddressRule
