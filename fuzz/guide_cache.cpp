#include "fuzz/GuideChecks.h"

#include <QtEndian>
#include <cstddef>
#include <cstdint>
#include <zlib.h>

using GuideChecks::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // With the first byte odd, the check sum is made to fit, as a hostile
    // cache would: what lies behind it is checked too, not only the sum.
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if ((data[0] & 1) && bytes.size() >= 4) {
        const uLong crc
            = crc32_z(0, reinterpret_cast<const Bytef *>(bytes.constData()), size_t(bytes.size() - 4));
        qToLittleEndian(quint32(crc), bytes.data() + bytes.size() - 4);
    }
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
