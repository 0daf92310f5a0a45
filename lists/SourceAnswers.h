#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// What the background check found of one source.
enum class SourceHealth : quint8 {
    Unknown, // never checked, or not checkable (rtmp, rtsp, udp …)
    Playing, // its first bytes arrived (for HLS: the playlist, then a segment's first bytes)
    Dead, // refused, not found, timed out, nothing sent
    Blocked, // 403, 451: refused to this place
    NeedsLogin, // 401, 407
};

// Reading what servers answer a check, and the file the answers are kept in:
// both come from outside, so neither trusts what it reads.
namespace SourceAnswers
{
// What one answer says of a source.
SourceHealth classified(int httpStatus, bool bytesArrived);
bool looksLikePlaylist(const QByteArray &firstBytes, const QByteArray &contentType);
// The next address an HLS playlist leads to: a master playlist's first
// variant, a media playlist's first segment, resolved against the playlist's
// address; empty when it names none.
QString nextInPlaylist(const QByteArray &playlist, const QString &playlistAddress);

struct Result {
    SourceHealth health = SourceHealth::Unknown;
    qint64 checkedAt = 0; // UTC seconds since the epoch
};
using Results = QHash<QString, Result>; // address -> result

// One line a source: the health word, the UTC time of the check in seconds,
// the address, separated by tabs.
QByteArray written(const Results &results);
// Lines that cannot be read are skipped; at most maxResults are kept.
Results read(const QByteArray &text, int maxResults);
const char *wordOf(SourceHealth health);
} // namespace SourceAnswers
