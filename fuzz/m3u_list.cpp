#include "lists/BuiltInChannelMatcher.h"
#include "lists/ChannelNameRules.h"
#include "lists/ListAddress.h"
#include "lists/M3uListReader.h"
#include "net/AddressRule.h"

#include <QSet>
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

bool sameReading(const M3uList &a, const M3uList &b)
{
    return a.channels == b.channels && a.guideAddresses == b.guideAddresses
        && a.headerMissing == b.headerMissing && a.linesInCp1252 == b.linesInCp1252
        && a.controlLines == b.controlLines && a.overlongLines == b.overlongLines
        && a.entriesWithoutName == b.entriesWithoutName && a.entriesWithoutAddress == b.entriesWithoutAddress
        && a.addressesWithoutEntry == b.addressesWithoutEntry && a.entriesPastLimit == b.entriesPastLimit
        && a.refusedAddresses == b.refusedAddresses;
}

bool oneLine(const QString &text)
{
    return !text.contains(u'\n') && !text.contains(u'\r');
}

void checkFolded(const QString &name)
{
    const QString folded = ChannelNameRules::folded(name);
    check(!folded.startsWith(u' ') && !folded.endsWith(u' ') && !folded.contains(QStringLiteral("  ")));
    for (const QChar c : folded)
        check(!(c >= u'A' && c <= u'Z'));
    for (const QChar c : ChannelNameRules::matchKey(name))
        check(c.isLetterOrNumber());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString base = QStringLiteral("https://lists.test/br/list.m3u");
    const M3uList list = M3uListReader::parse(bytes, base);
    check(list.channels.size() <= M3uListReader::MaxEntries);
    for (const ListChannel &c : list.channels) {
        check(!c.name.isEmpty() && !c.title.isEmpty() && !c.address.isEmpty());
        check(!c.address.startsWith(u'#'));
        // A remote list yields network streams only, as the rule admits them.
        check(AddressRule::admitted(c.address, AddressRule::Origin::Network) == c.address);
        for (const QString *field :
            { &c.name, &c.title, &c.address, &c.tvgId, &c.group, &c.userAgent, &c.referrer })
            check(oneLine(*field));
        checkFolded(c.name);
    }

    // The same list with Windows line ends, or with a byte order mark, reads the same.
    QByteArray crlf = bytes;
    crlf.replace("\n", "\r\n");
    check(sameReading(M3uListReader::parse(crlf, base), list));
    check(sameReading(M3uListReader::parse("\xEF\xBB\xBF" + bytes, base), list));

    // Read as a local list (in a folder that does not exist), it yields
    // network streams or local paths, from the same entries.
    const M3uList local = M3uListReader::parse(bytes, QStringLiteral("/nonexistent-lumi-fuzz/list.m3u"));
    check(local.channels.size() + local.refusedAddresses + local.entriesPastLimit
        == list.channels.size() + list.refusedAddresses + list.entriesPastLimit);
    for (const ListChannel &c : local.channels)
        check(AddressRule::allows(c.address, AddressRule::Origin::UserChosen));

    static const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    static const BuiltInChannelMatcher matcher(catalogue);
    const BuiltInSources sources = matcher.match(list.channels);
    for (const QVector<ListChannel> &found : sources) {
        check(!found.isEmpty() && found.size() <= BuiltInChannelMatcher::MaxSources);
        QSet<QString> addresses;
        for (const ListChannel &c : found) {
            check(!ListAddress::isPlaceholder(c.address));
            check(!addresses.contains(c.address));
            addresses.insert(c.address);
        }
    }
    check(matcher.channelsWithAddress(sources) == sources.size());
    return 0;
}
