#pragma once

// libmpv option, property and command names, kept in one place.
namespace MpvNames
{

// Options set before initialisation.
inline constexpr char vo[] = "vo";
inline constexpr char ao[] = "ao";
inline constexpr char ytdl[] = "ytdl";
inline constexpr char networkTimeout[] = "network-timeout";
inline constexpr char hwdec[] = "hwdec";
inline constexpr char audioFallbackToNull[] = "audio-fallback-to-null";
inline constexpr char keepOpen[] = "keep-open";
inline constexpr char idle[] = "idle";
inline constexpr char terminal[] = "terminal";
inline constexpr char inputDefaultBindings[] = "input-default-bindings";
inline constexpr char inputVoKeyboard[] = "input-vo-keyboard";
inline constexpr char audioClientName[] = "audio-client-name";
inline constexpr char userAgent[] = "user-agent";
inline constexpr char referrer[] = "referrer";
inline constexpr char loadStatsOverlay[] = "load-stats-overlay";
inline constexpr char loadOsdConsole[] = "load-osd-console";
inline constexpr char loadAutoProfiles[] = "load-auto-profiles";
inline constexpr char loadScripts[] = "load-scripts";
inline constexpr char videoTimingOffset[] = "video-timing-offset";
inline constexpr char zimgScaler[] = "zimg-scaler";
inline constexpr char zimgThreads[] = "zimg-threads";
// What may open what: playlists libmpv reads itself, and ffmpeg's protocols
// inside a demuxer (HLS segments) and under a stream (rtmp over http).
inline constexpr char loadUnsafePlaylists[] = "load-unsafe-playlists";
inline constexpr char demuxerLavfOptions[] = "demuxer-lavf-o";
inline constexpr char streamLavfOptions[] = "stream-lavf-o";
// Seconds of a stream ffmpeg reads to learn its codecs before the first picture.
inline constexpr char demuxerLavfAnalyzeDuration[] = "demuxer-lavf-analyzeduration";
inline constexpr char protocolWhitelist[] = "protocol_whitelist"; // an ffmpeg option inside the two above

// Certificates of HTTPS streams: checked against the system's bundle or the
// CA file the network layer trusts.
inline constexpr char tlsVerify[] = "tls-verify";
inline constexpr char tlsCaFile[] = "tls-ca-file";

// Option values.
inline constexpr char voRender[] = "libmpv";
inline constexpr char outputNull[] = "null";
inline constexpr char hwdecAutoSafe[] = "auto-safe";
inline constexpr char yes[] = "yes";
inline constexpr char no[] = "no";
inline constexpr char infinite[] = "inf";
inline constexpr char automatic[] = "auto";
inline constexpr char defaultUserAgent[] = "libmpv";
inline constexpr char bilinear[] = "bilinear";
inline constexpr char one[] = "1";

// Properties.
inline constexpr char pause[] = "pause";
inline constexpr char timePos[] = "time-pos";
inline constexpr char duration[] = "duration";
inline constexpr char seekable[] = "seekable";
inline constexpr char fileSize[] = "file-size";
inline constexpr char volume[] = "volume";
inline constexpr char speed[] = "speed";
inline constexpr char mute[] = "mute";
inline constexpr char loopFile[] = "loop-file";
inline constexpr char videoUnscaled[] = "video-unscaled";
inline constexpr char downscaleBig[] = "downscale-big";
inline constexpr char pausedForCache[] = "paused-for-cache";
inline constexpr char cacheBufferingState[] = "cache-buffering-state";
inline constexpr char cacheSpeed[] = "cache-speed"; // bytes a second arriving from the network
inline constexpr char videoTrack[] = "vid";
// Which hardware decoder took the picture ("no": none), and the codecs one is tried for.
inline constexpr char hwdecCurrent[] = "hwdec-current";
inline constexpr char hwdecCodecs[] = "hwdec-codecs";
inline constexpr char videoCodec[] = "current-tracks/video/codec";
// The song on air, from the stream's ICY metadata (internet radio).
inline constexpr char icyTitle[] = "metadata/by-key/icy-title";

// The live buffer: libmpv's demuxer cache, kept on disk.
inline constexpr char cacheOnDisk[] = "cache-on-disk";
inline constexpr char cacheDir[] = "cache-dir";
inline constexpr char cacheSecs[] = "cache-secs";
inline constexpr char demuxerMaxBytes[] = "demuxer-max-bytes";
inline constexpr char demuxerMaxBackBytes[] = "demuxer-max-back-bytes";
inline constexpr char demuxerCacheState[] = "demuxer-cache-state";
inline constexpr char demuxerCacheTime[] = "demuxer-cache-time";
inline constexpr char fileCacheBytes[] = "file-cache-bytes";
inline constexpr char seekableRanges[] = "seekable-ranges";
inline constexpr char dumpCache[] = "dump-cache";

// Commands and their arguments.
inline constexpr char loadfile[] = "loadfile";
inline constexpr char replace[] = "replace";
inline constexpr char stop[] = "stop";

// Fields of command results.
inline constexpr char playlistEntryId[] = "playlist_entry_id";

} // namespace MpvNames
