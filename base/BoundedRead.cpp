#include "base/BoundedRead.h"

#include <algorithm>

QByteArray readBounded(QIODevice &device, qint64 maxBytes)
{
    constexpr qint64 Chunk = 64 * 1024;
    const qint64 wanted = std::max<qint64>(0, maxBytes) + 1;
    // A file says its size: one read of it and the byte that shows it grew.
    const qint64 known = device.isSequential() ? 0 : device.size() - device.pos();
    QByteArray bytes;
    qint64 have = 0;
    while (have < wanted) {
        const qint64 room
            = std::min(wanted - have, have == 0 && known > 0 ? known + 1 : std::max(Chunk, have));
        bytes.resize(have + room);
        const qint64 got = device.read(bytes.data() + have, room);
        if (got <= 0)
            break;
        have += got;
        // A file reads short only at its end; a pipe may at any time.
        if (!device.isSequential() && got < room)
            break;
    }
    bytes.resize(have);
    return bytes;
}
