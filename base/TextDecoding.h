#pragma once

#include <QByteArrayView>
#include <QString>

// Text files from outside and from older versions of the program (channel
// lists, the playlist store, the update settings file) mix UTF-8 with the
// Windows ANSI code page. Each line is judged on its own, so a file of both
// still reads right.
namespace TextDecoding
{
// UTF-8 when the bytes are valid UTF-8 (a sequence cut at the end is not),
// otherwise Windows-1252; *windows1252 says which. A byte order mark is kept
// as U+FEFF: where one may stand is the caller's to say.
QString utf8OrWindows1252(QByteArrayView line, bool *windows1252 = nullptr);

// Windows-1252: Latin-1 but for 0x80..0x9F; the five unassigned bytes keep
// their C1 code points, as Windows does.
QString windows1252(QByteArrayView bytes);
} // namespace TextDecoding
