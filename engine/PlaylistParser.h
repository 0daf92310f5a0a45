#pragma once

#include <QByteArray>
#include <QStringList>
#include <QUrl>
#include <optional>

// Reads stream playlists before the player sees them: ASX (XML, written by
// hand more often than not) and the "[Reference]" form, which the player
// cannot read, and PLS and plain M3U, whose entries must meet the same rule
// on addresses as every other entry. HLS playlists are streams, left to the
// player. Pure byte-to-list work, no I/O, so it can be fuzzed.
namespace PlaylistParser
{

// What the first bytes of a body say.
enum class Sniff {
    NotPlaylist, // media or anything else: hand the address to the player
    MaybePlaylist, // looks like ASX, "[Reference]", PLS or M3U: read the whole (bounded) body
    NeedMore, // only a byte-order mark or white space so far
};
Sniff sniff(const QByteArray &prefix);

// The entry addresses in document order (PLS and "[Reference]": in the order
// of their numbers), relative ones resolved against `base`; nullopt when the
// bytes are no playlist of these forms. An empty list is a playlist without
// entries. The addresses are as written: whether they may play is for the
// address rule to say.
std::optional<QStringList> parse(const QByteArray &bytes, const QUrl &base);

} // namespace PlaylistParser
