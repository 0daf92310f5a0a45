#pragma once

// The hosts behind the catalogue's stream addresses. All sit under the
// reserved ".example" domain, so no address can reach a host someone else
// could register; a real deployment swaps these for its own services.
namespace StreamHosts
{
// TV directory: the 26 mirror letters "<letter>_tv/<identifier>.asx".
inline constexpr char TvDirectory[] = "tvdir.lumivortex.example";
// Internet radio networks: DI-FM menu items 1 to 18, and 19 to 27.
inline constexpr char RadioNetwork[] = "radio-a.lumivortex.example";
inline constexpr char RadioNetwork2[] = "radio-b.lumivortex.example";
// Live TV and radio streams and playlists of single channels.
inline constexpr char Stream[] = "stream.lumivortex.example";
// Webcam streams.
inline constexpr char Webcam[] = "cams.lumivortex.example";
// Server-side scripts that hand back a stream, a playlist or a redirect.
inline constexpr char Script[] = "play.lumivortex.example";
} // namespace StreamHosts
