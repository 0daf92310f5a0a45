#include "net/AddressRule.h"

#include "base/Logging.h"

#include <QFileInfo>
#include <QUrl>

namespace
{
bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Scheme of "scheme:..." (a letter first, then letters, digits, + - .), or
// empty. The engine and ffmpeg read the same characters as a protocol name.
QStringView schemeOf(QStringView address)
{
    qsizetype i = 0;
    while (i < address.size()) {
        const QChar c = address[i];
        const bool other = isAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
        if (!(isAsciiLetter(c) || (i > 0 && other)))
            break;
        ++i;
    }
    if (i == 0 || i >= address.size() || address[i] != u':')
        return {};
    return address.left(i);
}

bool hasControlCharacters(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool mayListen(QStringView scheme)
{
    for (const char *listener : { "udp", "rtp", "srt" }) {
        if (scheme.compare(QLatin1String(listener), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// "//[user@]host[:port]..." after the scheme's colon names a host, or, for a
// listener, at least a port.
bool namesHost(QStringView rest, bool listener)
{
    if (!rest.startsWith(u"//"))
        return false;
    const QStringView authority = AddressRule::serverOf(rest);
    QStringView host = authority;
    QStringView port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return false;
        host = authority.left(close + 1);
        port = authority.sliced(close + 1);
        if (!port.isEmpty() && !port.startsWith(u':'))
            return false;
        port = port.isEmpty() ? port : port.sliced(1);
    } else if (const qsizetype colon = authority.indexOf(u':'); colon >= 0) {
        host = authority.left(colon);
        port = authority.sliced(colon + 1);
    }
    for (const QChar c : host) {
        if (isBlank(c))
            return false;
    }
    for (const QChar c : port) {
        if (!isAsciiDigit(c))
            return false;
    }
    return host.size() > (host.startsWith(u'[') ? 2 : 0) || (listener && !port.isEmpty());
}

bool isRegularFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isAbsolute() && info.isFile();
}

// What a log line shows of an address: one line, short.
QString shown(const QString &address)
{
    QString text = address.left(200);
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'?';
    }
    return address.size() > text.size() ? text + QStringLiteral("…") : text;
}
} // namespace

QStringView AddressRule::serverOf(QStringView address)
{
    const qsizetype slashes = address.indexOf(u"//");
    if (slashes < 0)
        return {};
    QStringView rest = address.sliced(slashes + 2);
    qsizetype end = 0;
    while (end < rest.size() && rest[end] != u'/' && rest[end] != u'?' && rest[end] != u'#')
        ++end;
    QStringView authority = rest.left(end);
    const qsizetype at = authority.lastIndexOf(u'@');
    return at >= 0 ? authority.sliced(at + 1) : authority;
}

bool AddressRule::isStreamScheme(QStringView scheme)
{
    static const char *const schemes[] = { "http", "https", "rtmp", "rtmpe", "rtmps", "rtmpt", "rtmpte",
        "rtmpts", "rtsp", "rtsps", "mms", "mmsh", "mmst", "udp", "rtp", "srt" };
    for (const char *known : schemes) {
        if (scheme.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString AddressRule::admitted(const QString &address, Origin origin)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > MaxLength || hasControlCharacters(trimmed))
        return {};
    const QStringView scheme = schemeOf(trimmed);
    if (isStreamScheme(scheme)) {
        if (!namesHost(QStringView(trimmed).sliced(scheme.size() + 1), mayListen(scheme)))
            return {};
        // ffmpeg knows its protocols in lower case only.
        return scheme.toString().toLower() + trimmed.mid(scheme.size());
    }
    if (origin != Origin::UserChosen)
        return {};
    if (scheme.isEmpty())
        return trimmed.startsWith(u'/') && isRegularFile(trimmed) ? trimmed : QString();
    if (scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0) {
        const QUrl url(trimmed, QUrl::StrictMode);
        if (!url.isValid() || !url.isLocalFile()
            || (!url.host().isEmpty()
                && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0))
            return {};
        // toLocalFile() would make "file://localhost/..." a network share.
        const QString path = url.path(QUrl::FullyDecoded);
        return path.startsWith(u'/') && !hasControlCharacters(path) && isRegularFile(path) ? path : QString();
    }
    return {};
}

QString AddressRule::screened(const QString &address, Origin origin, const char *road)
{
    QString playable = admitted(address, origin);
    if (playable.isEmpty())
        qCInfo(lumiNet).noquote() << QStringLiteral("refused an address from %1: %2")
                                         .arg(QString::fromLatin1(road), shown(address));
    return playable;
}

QString AddressRule::insideStreamProtocols()
{
    // Segments, keys and inline data of HLS and DASH, and what rtsp, rtmp, mms and srt run over.
    return QStringLiteral("http,https,tls,tcp,udp,rtp,rtsp,rtsps,rtmp,rtmpe,rtmps,rtmpt,rtmpte,rtmpts,"
                          "ffrtmpcrypt,ffrtmphttp,srt,mmsh,mmst,crypto,data,httpproxy");
}

QString AddressRule::insideLocalFileProtocols()
{
    return QStringLiteral("file,") + insideStreamProtocols();
}
