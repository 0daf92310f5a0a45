#pragma once

#include "guide/GuideStore.h"

#include <QString>
#include <memory>

class QIODevice;

// What a cached guide was made from: a later start uses the cache only while
// these still hold (the same guide file, the same time offset).
struct GuideCacheStamp {
    qint64 builtAt = 0; // seconds since 1970 UTC: the reading's "now"
    int offsetHours = 0;
    qint64 sourceSize = -1; // the guide file the store was read from
    qint64 sourceModifiedMs = 0;

    bool operator==(const GuideCacheStamp &o) const
    {
        return builtAt == o.builtAt && offsetHours == o.offsetHours && sourceSize == o.sourceSize
            && sourceModifiedMs == o.sourceModifiedMs;
    }
};

// A guide store written to a binary file, so that a later start shows now
// and next without reading XML: versioned, checked by CRC-32 and by every
// index in it, and refused whole (never half read) when anything is off, so
// that a corrupt or hostile cache costs a reading of the guide and nothing else.
// Little-endian, fixed-width fields. Safe on any thread.
class GuideCache
{
public:
    static constexpr quint32 Version = 1;

    struct Loaded {
        std::unique_ptr<GuideStore> store; // null when refused
        GuideCacheStamp stamp;
        QString error; // why refused, for the log; empty when read
    };

    // Written atomically: a reader never sees half a file.
    static bool write(
        const GuideStore &store, const GuideCacheStamp &stamp, const QString &path, QString *error = nullptr);
    static bool write(const GuideStore &store, const GuideCacheStamp &stamp, QIODevice *device);

    static Loaded read(const QString &path);
    // device must be open, positioned at the start, and say its size.
    static Loaded read(QIODevice *device);
};
