#include "fuzz/GuideChecks.h"
#include "guide/XmlTvReader.h"

#include <cstddef>
#include <cstdint>

using GuideChecks::check;

namespace
{
// A fixed "now" near the times the seeds use.
constexpr qint64 Now = 1715353200; // 2024-05-10 15:00 UTC
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the time offset and whether only some channels are wanted.
    const int choice = data[0];
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    GuideReadOptions options;
    options.now = Now;
    options.offsetHours = choice % 25 - 12;
    if (choice & 0x80) {
        options.wanted.addId(u"Band.br");
        options.wanted.addName(u"TV Globo");
    } else {
        options.wanted = WantedChannels::everything();
    }
    options.maxDecodedBytes = 16 * 1024 * 1024;
    const XmlTvReader::Result result = XmlTvReader::read(&source, options);
    check(result.store != nullptr);
    const GuideStore &store = *result.store;
    check(store.totalProgrammes() == result.report.programmesKept);
    check(result.report.programmesKept <= result.report.programmesSeen);
    check(result.report.bytesDecoded <= options.maxDecodedBytes);
    GuideChecks::checkStore(store);
    for (int c = 0; c < store.channelCount(); ++c) {
        for (const QString &name : store.displayNames(c))
            check(name.size() <= XmlTvReader::MaxLineChars + 1);
        for (int i = 0; i < store.programmeCount(c); ++i) {
            const GuideProgramme p = store.programme(c, i);
            check(p.stop > Now - XmlTvReader::KeepBefore && p.start < Now + XmlTvReader::KeepAfter);
            check(p.title.size() <= XmlTvReader::MaxLineChars + 1);
            check(p.description.size() <= XmlTvReader::MaxDescriptionChars + 1);
            check(p.categories.size() <= XmlTvReader::MaxCategories);
        }
        check(store.programmeCount(c) == 0 || store.wasWanted(c));
    }
    GuideChecks::checkRoundTrip(store);
    return 0;
}
