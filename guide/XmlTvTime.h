#pragma once

#include <QStringView>
#include <QtGlobal>
#include <optional>

// Programme times as guides write them: "YYYYMMDDhhmmss ±hhmm". The seconds,
// the minutes and the offset may be missing; a time without an offset is UTC.
namespace XmlTvTime
{
// Seconds since 1970-01-01 UTC, or nothing when the text is not such a time
// (empty, letters, a month 13, an offset past ±14 h, a year outside 1900..2999).
std::optional<qint64> parse(QStringView text);
} // namespace XmlTvTime
