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

// Longer addresses are refused: no server takes a request line this long.
inline constexpr qsizetype MaxLength = 16 * 1024;

// "host[:port]" of "scheme://[user@]host[:port]/...": what follows the first
// "//" up to the path, query or fragment, without the user part; empty when
// the address has no "//".
QStringView serverOf(QStringView address);

// http, https, rtmp and its variants, rtsp, mms, udp, rtp, srt (any case).
bool isStreamScheme(QStringView scheme);

// The address as the engine should open it, or an empty string when it may
// not be played from that origin. A network address must be
// "scheme://host..." (udp, rtp and srt may name only a port, to listen on);
// its scheme comes back in lower case, as the engine matches it. A local path
// must be absolute, or a file: URL of this machine, and name a regular file
// (not a device, a pipe or a folder) at the time of the call; it comes back
// as a path. Control characters anywhere refuse the address.
QString admitted(const QString &address, Origin origin);
inline bool allows(const QString &address, Origin origin)
{
    return !admitted(address, origin).isEmpty();
}

// admitted(), with a refusal logged (lumi.net, info) as coming from `road`.
QString screened(const QString &address, Origin origin, const char *road);

// The protocols the engine's demuxer may open from inside a network stream it
// plays (segments, keys, the transport under rtsp or rtmp), comma-separated.
QString insideStreamProtocols();
// The same, and local files, for a local file the user chose (a local HLS
// playlist names its segments by path).
QString insideLocalFileProtocols();
} // namespace AddressRule
