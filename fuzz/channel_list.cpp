#include "channels/ChannelListFile.h"
#include "channels/OwnChannelList.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool sameReading(const ChannelListRead &a, const ChannelListRead &b)
{
    return a.refusal == b.refusal && a.headerMissing == b.headerMissing && a.entries == b.entries
        && a.overlongLines == b.overlongLines && a.entriesWithoutName == b.entriesWithoutName
        && a.entriesWithoutAddress == b.entriesWithoutAddress
        && a.addressesWithoutEntry == b.addressesWithoutEntry && a.entriesPastLimit == b.entriesPastLimit;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ChannelListRead read = ChannelListFile::parse(bytes);
    check(read.bytesRead == bytes.size());
    check(read.entries.size() <= ChannelListFile::MaxEntries);
    if (read.refusal != ChannelListRead::Refusal::None)
        check(read.entries.isEmpty());
    // Refused as not text exactly when a control byte is there or Qt's own
    // decoder, given the whole file at once, finds it is not UTF-8.
    QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = whole.decode(bytes); // decodes only when it becomes a string
    const bool controls = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && c != '\t' && c != '\n' && c != '\r') || b == 0x7f;
    });
    check((read.refusal == ChannelListRead::Refusal::NotText) == (controls || whole.hasError()));
    for (const ChannelListEntry &entry : read.entries) {
        check(!entry.name.isEmpty() && !entry.address.isEmpty());
        for (const QChar end :
            { entry.name.front(), entry.name.back(), entry.address.front(), entry.address.back() })
            check(end != u' ' && end != u'\t');
        check(!entry.address.startsWith(u'#')
            && entry.address.toUtf8().size() <= ChannelListFile::MaxLineLength);
        check(!entry.address.contains(u'\n') && !entry.address.contains(u'\r'));
    }

    // The same list with Windows line ends reads the same.
    QByteArray crlf = bytes;
    crlf.replace("\n", "\r\n");
    check(sameReading(ChannelListFile::parse(crlf), read));

    // Applied to the catalogue, every list stays reachable and bounded.
    const ChannelCatalogue builtIn = ChannelCatalogue::builtIn();
    ChannelCatalogue catalogue = builtIn;
    const ChannelListApplied applied = OwnChannelList::apply(catalogue, read.entries);
    check(catalogue.channels().size() == builtIn.channels().size());
    check(applied.channels <= catalogue.channels().size());
    check(applied.channels + applied.unmatched.size() <= read.entries.size());
    for (const AlternateList &list : catalogue.alternateLists()) {
        check(catalogue.alternateList(list.listBox) == &list);
        check(list.entries.size() <= qMax(OwnChannelList::MaxAddresses, 26));
    }
    for (const Channel &channel : catalogue.channels()) {
        check(catalogue.byControl(channel.control) == &channel);
        if (!channel.alternateList.isEmpty()) {
            const AlternateList *list = catalogue.alternateList(channel.alternateList);
            check(list && list->titleSuffix == channel.titleSuffix);
        }
    }
    check(OwnChannelList::note(QStringLiteral("/x/channels.m3u"), read, applied).count(u'\n') == 0);
    return 0;
}
