#pragma once

#include "guide/GuideCache.h"
#include "guide/GuideStore.h"

#include <QBuffer>
#include <cstdio>
#include <cstdlib>

// What every guide store must hold to, however it was made.
namespace GuideChecks
{
// Says which check failed, so that a crash names its rule.
inline void check(bool condition, const char *file = __builtin_FILE(), int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "guide check failed at %s:%d\n", file, line);
        std::abort();
    }
}

inline QByteArray cacheBytes(const GuideStore &store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    check(GuideCache::write(store, GuideCacheStamp { 1, -3, 100, 200 }, &buffer));
    return buffer.data();
}

// Every schedule sorted and apart; now/next and the lookups agree with it.
inline void checkStore(const GuideStore &store)
{
    for (int c = 0; c < store.channelCount(); ++c) {
        check(!store.channelId(c).isEmpty());
        check(store.findChannel(store.channelId(c)) >= 0);
        const int count = store.programmeCount(c);
        for (int i = 0; i < count; ++i) {
            const GuideStore::Programme &p = store.record(c, i);
            check(p.start < p.stop);
            check(i == 0 || store.record(c, i - 1).stop <= p.start);
            check(store.programmeAt(c, p.start) == i);
            check(store.programmeAt(c, p.stop - 1) == i);
            const NowNext at = store.nowNext(c, p.start);
            check(at.now.start == p.start && at.now.isValid());
            check(i + 1 < count ? at.next.isValid() : !at.next.isValid());
            (void)store.programme(c, i);
        }
        if (count > 0) {
            check(store.firstEndingAfter(c, store.record(c, count - 1).stop) == count);
            check(!store.nowNext(c, store.record(c, count - 1).stop).now.isValid());
        }
    }
}

// Written to the cache and read back, the store is the same, byte for byte.
inline void checkRoundTrip(const GuideStore &store)
{
    const QByteArray bytes = cacheBytes(store);
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const GuideCache::Loaded loaded = GuideCache::read(&buffer);
    check(loaded.store != nullptr);
    check(cacheBytes(*loaded.store) == bytes);
}
} // namespace GuideChecks
