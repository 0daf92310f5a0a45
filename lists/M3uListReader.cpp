#include "lists/M3uListReader.h"

#include "base/TextDecoding.h"
#include "lists/ChannelNameRules.h"
#include "lists/ListAddress.h"
#include "net/AddressRule.h"

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A byte order mark may open any line: lists get joined with cat.
QByteArrayView trimmed(QByteArrayView text)
{
    while (true) {
        if (!text.isEmpty() && isBlank(text.front()))
            text = text.sliced(1);
        else if (text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        else
            break;
    }
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// A name is trimmed of the byte order marks a joined list leaves inside lines
// too: the packed channels would drop a leading one and show the blank after it.
QStringView trimmedName(QStringView name)
{
    while (true) {
        const QStringView before = name;
        name = name.trimmed();
        while (name.startsWith(QChar(0xFEFF)))
            name = name.sliced(1);
        while (name.endsWith(QChar(0xFEFF)))
            name.chop(1);
        if (name.size() == before.size())
            return name;
    }
}

bool hasControlBytes(QByteArrayView line)
{
    for (const char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && c != '\t') || b == 0x7f)
            return true;
    }
    return false;
}

QString decoded(QByteArrayView line, int *cp1252Lines)
{
    bool windows1252 = false;
    QString text = TextDecoding::utf8OrWindows1252(line, &windows1252);
    *cp1252Lines += windows1252 ? 1 : 0;
    return text;
}

bool startsWithTag(QStringView line, QStringView tag)
{
    return line.startsWith(tag, Qt::CaseInsensitive);
}

bool keyIs(QStringView key, const char *name)
{
    return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

struct Attributes {
    ListChannel entry;
    QStringList guideAddresses;
};

void setAttribute(Attributes &to, QStringView key, QStringView value)
{
    ListChannel &e = to.entry;
    if (keyIs(key, "tvg-id"))
        e.tvgId = value.trimmed().toString();
    else if (keyIs(key, "tvg-name"))
        e.tvgName = trimmedName(value).toString();
    else if (keyIs(key, "tvg-logo") || keyIs(key, "logo"))
        e.logo = value.trimmed().toString();
    else if (keyIs(key, "group-title"))
        e.group = value.trimmed().toString();
    else if (keyIs(key, "status"))
        e.status = value.trimmed().toString().toLower();
    else if (keyIs(key, "user-agent") || keyIs(key, "http-user-agent"))
        e.userAgent = value.trimmed().toString();
    else if (keyIs(key, "http-referrer") || keyIs(key, "http-referer") || keyIs(key, "referrer")
        || keyIs(key, "referer"))
        e.referrer = value.trimmed().toString();
    else if (keyIs(key, "x-tvg-url") || keyIs(key, "url-tvg") || keyIs(key, "tvg-url")) {
        for (const QStringView address : value.split(u',')) {
            if (!address.trimmed().isEmpty())
                to.guideAddresses.append(address.trimmed().toString());
        }
    }
}

// "<duration> key="value" key=value,<name>" (the "#EXTINF:" already cut off),
// or the attributes of an "#EXTM3U" line. The name starts at the first comma
// outside quotes; after an unclosed quote, at the last comma. Returns the
// name, or a null view when the line has no comma.
QStringView readAttributes(QStringView line, bool skipDuration, Attributes &to)
{
    const qsizetype n = line.size();
    qsizetype i = 0;
    if (skipDuration) {
        while (i < n && !isBlank(line[i]) && line[i] != u',')
            ++i;
    }
    while (i < n) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i >= n)
            break;
        if (line[i] == u',')
            return line.sliced(i + 1);
        const qsizetype keyStart = i;
        while (i < n && line[i] != u'=' && line[i] != u',' && !isBlank(line[i]))
            ++i;
        const QStringView key = line.sliced(keyStart, i - keyStart);
        if (i >= n || line[i] != u'=')
            continue; // a bare word
        ++i;
        QStringView value;
        if (i < n && line[i] == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            if (close < 0) {
                const qsizetype comma = line.lastIndexOf(u',');
                if (comma <= i) {
                    setAttribute(to, key, line.sliced(i + 1));
                    return {};
                }
                setAttribute(to, key, line.sliced(i + 1, comma - i - 1));
                return line.sliced(comma + 1);
            }
            value = line.sliced(i + 1, close - i - 1);
            i = close + 1;
        } else {
            // The "#EXTM3U" line has no name after a comma: there an unquoted
            // value may list guide addresses, commas and all.
            const bool header = !skipDuration;
            const qsizetype valueStart = i;
            while (i < n && (header || line[i] != u',') && !isBlank(line[i]))
                ++i;
            value = line.sliced(valueStart, i - valueStart);
        }
        setAttribute(to, key, value);
    }
    return {};
}

} // namespace

M3uList M3uListReader::parse(QByteArrayView bytes, const QString &baseAddress)
{
    M3uList result;
    const AddressRule::Origin origin = baseAddress.isEmpty() || ListAddress::hasScheme(baseAddress)
        ? AddressRule::Origin::Network
        : AddressRule::Origin::UserChosen;
    if (bytes.size() > MaxBytes) {
        bytes = bytes.first(MaxBytes);
        result.truncated = true;
    }

    bool firstLine = true;
    bool pending = false; // an "#EXTINF" waits for its address
    ListChannel entry;
    QString group; // "#EXTGRP", for the next entry
    QString optionAgent; // "#EXTVLCOPT", for the next address
    QString optionReferrer;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = at;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const QByteArrayView raw = bytes.sliced(at, end - at);
        at = end + 1;
        if (raw.size() > MaxLineLength) {
            ++result.overlongLines;
            continue;
        }
        const QByteArrayView bare = trimmed(raw);
        if (bare.isEmpty())
            continue;
        if (hasControlBytes(bare)) {
            ++result.controlLines;
            continue;
        }
        const QString line = decoded(bare, &result.linesInCp1252);

        if (startsWithTag(line, u"#EXTM3U")) {
            firstLine = false;
            Attributes header;
            readAttributes(QStringView(line).sliced(7), false, header);
            result.guideAddresses += header.guideAddresses;
            continue;
        }
        if (firstLine) {
            firstLine = false;
            result.headerMissing = true;
        }
        if (startsWithTag(line, u"#EXTINF:")) {
            if (pending)
                ++result.entriesWithoutAddress;
            Attributes attributes;
            const QStringView name
                = trimmedName(readAttributes(QStringView(line).sliced(8), true, attributes));
            entry = attributes.entry;
            entry.name = name.isEmpty() ? entry.tvgName : name.toString();
            pending = !entry.name.isEmpty();
            if (!pending)
                ++result.entriesWithoutName;
        } else if (startsWithTag(line, u"#EXTGRP:")) {
            group = QStringView(line).sliced(8).trimmed().toString();
        } else if (startsWithTag(line, u"#EXTVLCOPT:")) {
            const QStringView option = QStringView(line).sliced(11).trimmed();
            const qsizetype equals = option.indexOf(u'=');
            if (equals > 0) {
                const QStringView key = option.left(equals).trimmed();
                const QString value = option.sliced(equals + 1).trimmed().toString();
                if (keyIs(key, "http-user-agent"))
                    optionAgent = value;
                else if (keyIs(key, "http-referrer") || keyIs(key, "http-referer"))
                    optionReferrer = value;
            }
        } else if (line.startsWith(u'#')) {
            continue; // other tags and comments may sit between an entry and its address
        } else if (pending) {
            pending = false;
            const bool full = result.channels.size() >= MaxEntries;
            QString address = full
                ? QString()
                : AddressRule::screened(ListAddress::resolved(line, baseAddress), origin, "a list");
            if (full) {
                ++result.entriesPastLimit;
            } else if (address.isEmpty()) {
                ++result.refusedAddresses;
            } else {
                if (entry.group.isEmpty())
                    entry.group = group;
                if (!optionAgent.isEmpty())
                    entry.userAgent = optionAgent;
                if (!optionReferrer.isEmpty())
                    entry.referrer = optionReferrer;
                entry.address = std::move(address);
                TaggedName split = ChannelNameRules::splitTags(entry.name);
                entry.title = std::move(split.title);
                entry.tags = std::move(split.tags);
                result.channels.append(std::move(entry));
            }
            entry = ListChannel();
            group.clear();
            optionAgent.clear();
            optionReferrer.clear();
        } else {
            ++result.addressesWithoutEntry;
        }
    }
    if (pending)
        ++result.entriesWithoutAddress;
    return result;
}

QString M3uListReader::summary(const M3uList &list)
{
    const qsizetype count = list.channels.size();
    QString text = count == 1 ? QStringLiteral("1 canal") : QStringLiteral("%1 canais").arg(count);
    const int skipped = list.skipped();
    if (skipped == 1)
        text += QStringLiteral("; 1 linha ignorada");
    else if (skipped > 1)
        text += QStringLiteral("; %1 linhas ignoradas").arg(skipped);
    return text;
}
