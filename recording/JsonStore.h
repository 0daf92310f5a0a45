#pragma once

#include <QJsonArray>
#include <QString>

// The recording files kept across runs: one JSON object holding one named
// array, written whole through a temporary file so a crash never leaves half.
namespace JsonStore
{
// The array under key; empty when the file is missing or unreadable.
QJsonArray read(const QString &path, const QString &key);
// False (and a warning logged) when the file could not be written.
bool write(const QString &path, const QString &key, const QJsonArray &items);
} // namespace JsonStore
