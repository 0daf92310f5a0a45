#pragma once

#include <QByteArray>
#include <QStringList>
#include <QUrl>
#include <optional>

// Reads the stream playlists that the player cannot read itself: ASX (XML,
// written by hand more often than not) and the "[Reference]" form. Pure
// byte-to-list work, no I/O, so it can be fuzzed.
namespace PlaylistParser
{

// What the first bytes of a body say.
enum class Sniff {
    NotPlaylist, // media or anything else: hand the address to the player
    MaybePlaylist, // looks like ASX or "[Reference]": read the whole (bounded) body
    NeedMore, // only a byte-order mark or white space so far
};
Sniff sniff(const QByteArray &prefix);

// The entry addresses in document order, relative ones resolved against
// `base`; nullopt when the bytes are no playlist of either form. An empty list
// is a playlist without entries.
std::optional<QStringList> parse(const QByteArray &bytes, const QUrl &base);

} // namespace PlaylistParser
