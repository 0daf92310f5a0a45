#include "engine/PlaylistParser.h"

#include <QList>
#include <QPair>
#include <QString>
#include <algorithm>

namespace PlaylistParser
{
namespace
{

const QByteArray referenceSection = QByteArrayLiteral("[reference]");
const QByteArray plsSection = QByteArrayLiteral("[playlist]");
constexpr char m3uMarker[] = "#EXTM3U";
constexpr char hlsTag[] = "#EXT-X-";

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Playlists written on Windows may come as UTF-16 or with a UTF-8 mark.
QByteArray toUtf8(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return bytes.mid(3);
    if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        const bool little = b[0] == 0xFF;
        QString text;
        text.reserve((n - 2) / 2);
        for (qsizetype i = 2; i + 1 < n; i += 2)
            text.append(QChar(little ? char16_t(b[i] | (b[i + 1] << 8)) : char16_t((b[i] << 8) | b[i + 1])));
        return text.toUtf8();
    }
    return bytes;
}

QString resolve(const QString &raw, const QUrl &base)
{
    const QString href = raw.trimmed();
    if (href.isEmpty())
        return {};
    const QUrl url(href, QUrl::TolerantMode);
    if (!url.isRelative() || base.isEmpty())
        return href;
    return base.resolved(url).toString();
}

void appendUtf8(QByteArray &out, uint cp)
{
    const char32_t c = cp;
    out.append(QString::fromUcs4(&c, 1).toUtf8());
}

// Entities in attribute values; a stray '&' stays as it is.
QByteArray decodeEntities(const QByteArray &in)
{
    if (!in.contains('&'))
        return in;
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '&') {
            out.append(in[i]);
            continue;
        }
        // Entities are short: look no further, or a value full of stray '&'
        // would be scanned to its end once per '&'.
        const qsizetype window = std::min<qsizetype>(12, in.size() - i - 1);
        const qsizetype found = QByteArrayView(in).sliced(i + 1, window).indexOf(';');
        const qsizetype semi = found < 0 ? -1 : i + 1 + found;
        if (semi < 0) {
            out.append('&');
            continue;
        }
        const QByteArray name = in.mid(i + 1, semi - i - 1).toLower();
        char plain = 0;
        if (name == "amp")
            plain = '&';
        else if (name == "lt")
            plain = '<';
        else if (name == "gt")
            plain = '>';
        else if (name == "quot")
            plain = '"';
        else if (name == "apos")
            plain = '\'';
        if (plain) {
            out.append(plain);
            i = semi;
            continue;
        }
        if (name.startsWith('#') && name.size() > 1) {
            bool ok = false;
            const uint cp = name.startsWith("#x") ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && cp > 0 && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF)) {
                appendUtf8(out, cp);
                i = semi;
                continue;
            }
        }
        out.append('&');
    }
    return out;
}

struct Tag {
    QByteArray name; // lower case
    bool closing = false;
    QList<QPair<QByteArray, QByteArray>> attributes; // names lower case, values decoded

    QByteArray attribute(const char *key) const
    {
        for (const auto &a : attributes)
            if (a.first == key)
                return a.second;
        return {};
    }
    bool hasAttribute(const char *key) const
    {
        return std::any_of(
            attributes.begin(), attributes.end(), [key](const auto &a) { return a.first == key; });
    }
};

// A forgiving tag reader: hand-written ASX files mix tag case, leave '&'
// unescaped and close tags in the wrong order, which an XML parser rejects.
class TagScanner
{
public:
    explicit TagScanner(const QByteArray &text)
        : s(text)
    {
    }

    bool next(Tag &tag)
    {
        while (true) {
            const qsizetype lt = s.indexOf('<', pos);
            if (lt < 0)
                return false;
            pos = lt + 1;
            if (s.mid(lt, 4) == "<!--") {
                const qsizetype end = s.indexOf("-->", lt + 4);
                pos = end < 0 ? s.size() : end + 3;
                continue;
            }
            if (pos < s.size() && (s[pos] == '!' || s[pos] == '?')) {
                const qsizetype end = s.indexOf('>', pos);
                pos = end < 0 ? s.size() : end + 1;
                continue;
            }
            tag = Tag();
            if (pos < s.size() && s[pos] == '/') {
                tag.closing = true;
                ++pos;
            }
            const qsizetype nameStart = pos;
            while (pos < s.size() && isNameChar(s[pos]))
                ++pos;
            if (pos == nameStart)
                continue; // a stray '<' in text
            tag.name = s.mid(nameStart, pos - nameStart).toLower();
            readAttributes(tag);
            return true;
        }
    }

private:
    static bool isNameChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
            || c == ':' || c == '.' || c == '-';
    }

    void readAttributes(Tag &tag)
    {
        while (pos < s.size()) {
            while (pos < s.size() && (isSpace(s[pos]) || s[pos] == '/'))
                ++pos;
            if (pos >= s.size())
                return;
            if (s[pos] == '>') {
                ++pos;
                return;
            }
            const qsizetype nameStart = pos;
            while (pos < s.size() && !isSpace(s[pos]) && s[pos] != '=' && s[pos] != '>' && s[pos] != '/')
                ++pos;
            QByteArray name = s.mid(nameStart, pos - nameStart).toLower();
            if (name.isEmpty()) {
                ++pos; // a lone '=' or similar: skip it
                continue;
            }
            while (pos < s.size() && isSpace(s[pos]))
                ++pos;
            QByteArray value;
            if (pos < s.size() && s[pos] == '=') {
                ++pos;
                while (pos < s.size() && isSpace(s[pos]))
                    ++pos;
                if (pos < s.size() && (s[pos] == '"' || s[pos] == '\'')) {
                    const char quote = s[pos++];
                    qsizetype end = s.indexOf(quote, pos);
                    if (end < 0)
                        end = s.size();
                    value = s.mid(pos, end - pos);
                    pos = std::min(end + 1, s.size());
                } else {
                    const qsizetype start = pos;
                    while (pos < s.size() && !isSpace(s[pos]) && s[pos] != '>')
                        ++pos;
                    value = s.mid(start, pos - start);
                }
            }
            tag.attributes.append({ name, decodeEntities(value) });
        }
    }

    const QByteArray &s;
    qsizetype pos = 0;
};

std::optional<QStringList> parseAsx(const QByteArray &text, const QUrl &documentBase)
{
    TagScanner scanner(text);
    Tag tag;
    if (!scanner.next(tag) || tag.closing || tag.name != "asx")
        return std::nullopt;
    QUrl base = documentBase;
    QStringList entries;
    while (scanner.next(tag)) {
        if (tag.closing)
            continue;
        if (tag.name == "asx")
            continue; // a second root: read on
        if (tag.name == "base" && tag.hasAttribute("href")) {
            const QString href = resolve(QString::fromUtf8(tag.attribute("href")), documentBase);
            if (!href.isEmpty())
                base = QUrl(href, QUrl::TolerantMode);
        } else if ((tag.name == "ref" || tag.name == "entryref") && tag.hasAttribute("href")) {
            const QString href = resolve(QString::fromUtf8(tag.attribute("href")), base);
            if (!href.isEmpty())
                entries << href;
        }
    }
    return entries;
}

QList<QByteArray> linesOf(const QByteArray &text)
{
    QByteArray unified = text;
    unified.replace("\r\n", "\n").replace('\r', '\n');
    return unified.split('\n');
}

// "[section]" followed by "<key>N=address" lines, read in the order of N:
// "[Reference]" with Ref1=, and PLS's "[playlist]" with File1=.
std::optional<QStringList> parseNumberedSection(
    const QByteArray &text, const QUrl &base, const QByteArray &section, const QByteArray &keyPrefix)
{
    const QList<QByteArray> lines = linesOf(text);
    qsizetype i = 0;
    while (i < lines.size() && lines[i].trimmed().isEmpty())
        ++i;
    if (i >= lines.size() || lines[i].trimmed().toLower() != section)
        return std::nullopt;
    QList<QPair<quint64, QString>> refs;
    for (++i; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith('['))
            break; // the next section
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq).trimmed().toLower();
        if (!key.startsWith(keyPrefix))
            continue;
        bool ok = false;
        const quint64 number = key.mid(keyPrefix.size()).toULongLong(&ok);
        if (!ok)
            continue;
        const QString href = resolve(QString::fromUtf8(line.mid(eq + 1)), base);
        if (!href.isEmpty())
            refs.append({ number, href });
    }
    std::stable_sort(
        refs.begin(), refs.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList entries;
    for (const auto &r : refs)
        entries << r.second;
    return entries;
}

// A plain M3U playlist: "#EXTM3U", then one address per line that is not a
// comment. An HLS playlist ("#EXT-X-" tags) is a stream, for the player.
std::optional<QStringList> parseM3u(const QByteArray &text, const QUrl &base)
{
    if (text.contains(hlsTag))
        return std::nullopt;
    const QList<QByteArray> lines = linesOf(text);
    if (lines.isEmpty() || !lines.first().trimmed().toUpper().startsWith(m3uMarker))
        return std::nullopt;
    QStringList entries;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString href = resolve(QString::fromUtf8(line), base);
        if (!href.isEmpty())
            entries << href;
    }
    return entries;
}

qsizetype firstNonSpace(const QByteArray &text)
{
    qsizetype i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

} // namespace

Sniff sniff(const QByteArray &prefix)
{
    const auto *b = reinterpret_cast<const unsigned char *>(prefix.constData());
    if (!prefix.isEmpty() && prefix.size() < 3 && (b[0] == 0xEF || b[0] == 0xFF || b[0] == 0xFE))
        return Sniff::NeedMore; // maybe the start of a byte-order mark
    const QByteArray text = toUtf8(prefix);
    const qsizetype start = firstNonSpace(text);
    if (start >= text.size())
        return Sniff::NeedMore;
    if (text[start] == '<')
        return Sniff::MaybePlaylist;
    if (text[start] == '#') {
        const QByteArray head = text.mid(start, qstrlen(m3uMarker)).toUpper();
        if (!QByteArrayView(m3uMarker).startsWith(head))
            return Sniff::NotPlaylist;
        if (text.contains(hlsTag))
            return Sniff::NotPlaylist; // HLS: decided at once, the player fetches it itself
        return head.size() < qsizetype(qstrlen(m3uMarker)) ? Sniff::NeedMore : Sniff::MaybePlaylist;
    }
    if (text[start] == '[') {
        bool partial = false;
        for (const QByteArray &marker : { referenceSection, plsSection }) {
            const QByteArray head = text.mid(start, marker.size()).toLower();
            if (!marker.startsWith(head))
                continue;
            if (head.size() == marker.size())
                return Sniff::MaybePlaylist;
            partial = true;
        }
        if (partial)
            return Sniff::NeedMore;
    }
    return Sniff::NotPlaylist;
}

std::optional<QStringList> parse(const QByteArray &bytes, const QUrl &base)
{
    const QByteArray text = toUtf8(bytes);
    const qsizetype start = firstNonSpace(text);
    if (start >= text.size())
        return std::nullopt;
    const QByteArray rest = text.mid(start);
    switch (rest[0]) {
    case '<':
        return parseAsx(rest, base);
    case '#':
        return parseM3u(rest, base);
    case '[':
        if (auto entries = parseNumberedSection(rest, base, referenceSection, "ref"))
            return entries;
        return parseNumberedSection(rest, base, plsSection, "file");
    default:
        return std::nullopt;
    }
}

} // namespace PlaylistParser
