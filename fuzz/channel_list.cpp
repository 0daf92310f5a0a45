#include "lists/BuiltInChannelMatcher.h"
#include "lists/M3uListReader.h"

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

bool blank(QChar c)
{
    return c == u' ' || c == u'\t';
}
} // namespace

// The user's own channels.m3u: whatever the file holds, every entry read is
// whole and trimmed, and the catalogue the entries are applied to stays whole.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString base = QStringLiteral("/home/usuario/.config/lumivortex/channels.m3u");
    const M3uList list = M3uListReader::parse(bytes, base);
    check(list.channels.size() <= M3uListReader::MaxEntries);
    check(list.channels.size() + list.skipped() <= bytes.count('\n') + bytes.count('\r') + 1);
    for (const ListChannel &entry : list.channels) {
        check(!entry.name.isEmpty() && !blank(entry.name.front()) && !blank(entry.name.back()));
        // Addresses are resolved against the list's folder: what they become
        // is the address rule's to check; here only that they stay bounded.
        check(!entry.address.startsWith(u'#'));
        check(entry.address.toUtf8().size() <= M3uListReader::MaxLineLength + base.size());
    }

    static const ChannelCatalogue builtIn = ChannelCatalogue::builtIn();
    static const BuiltInChannelMatcher matcher(builtIn);
    const ChannelCatalogue catalogue = BuiltInChannelMatcher::applied(builtIn, matcher.match(list.channels));
    check(catalogue.channels().size() == builtIn.channels().size());
    for (const AlternateList &alternates : catalogue.alternateLists()) {
        check(catalogue.alternateList(alternates.listBox) == &alternates);
        check(!alternates.entries.isEmpty()
            && alternates.entries.size() <= qMax(BuiltInChannelMatcher::MaxSources, 26));
    }
    for (const Channel &channel : catalogue.channels()) {
        check(catalogue.byControl(channel.control) == &channel);
        if (!channel.alternateList.isEmpty()) {
            const AlternateList *alternates = catalogue.alternateList(channel.alternateList);
            check(alternates && alternates->titleSuffix == channel.titleSuffix);
        }
    }
    return 0;
}
