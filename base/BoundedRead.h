#pragma once

#include <QByteArray>
#include <QIODevice>

// What a device holds from where it stands, but never more than maxBytes + 1
// bytes: one byte past the bound tells a caller the device holds too much.
// Memory grows with what is read, not with the bound, so a bound of many
// megabytes costs nothing on a small file; a device that never ends
// (/dev/zero) stops at the bound.
QByteArray readBounded(QIODevice &device, qint64 maxBytes);
