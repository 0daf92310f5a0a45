#include "fuzz/GuideChecks.h"

#include <cstddef>
#include <cstdint>

using GuideChecks::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const GuideCache::Loaded loaded = GuideCache::read(&buffer);
    check((loaded.store == nullptr) != loaded.error.isEmpty());
    if (!loaded.store)
        return 0;
    GuideChecks::checkStore(*loaded.store);
    for (int c = 0; c < loaded.store->channelCount(); ++c)
        (void)loaded.store->displayNames(c);
    GuideChecks::checkRoundTrip(*loaded.store);
    return 0;
}
