#include "net/AddressRule.h"

#include <QFileInfo>
#include <QUrl>

namespace
{
// Scheme of "scheme:..." (letters first, then letters, digits, + - .), or empty.
QStringView schemeOf(QStringView address)
{
    qsizetype i = 0;
    while (i < address.size()) {
        const QChar c = address[i];
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        const bool other = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
        if (!(letter || (i > 0 && other)))
            break;
        ++i;
    }
    if (i == 0 || i >= address.size() || address[i] != u':')
        return {};
    return address.left(i);
}

bool isRegularFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isAbsolute() && info.isFile();
}
} // namespace

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
    if (trimmed.isEmpty())
        return {};
    const QStringView scheme = schemeOf(trimmed);
    // "scheme://host..." with a host: a bare "http:foo" is no network address.
    if (isStreamScheme(scheme)) {
        const QUrl url(trimmed, QUrl::TolerantMode);
        return url.isValid() && !url.host().isEmpty() ? trimmed : QString();
    }
    if (origin != Origin::UserChosen)
        return {};
    if (scheme.isEmpty())
        return isRegularFile(trimmed) ? trimmed : QString();
    if (scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0) {
        const QUrl url(trimmed, QUrl::TolerantMode);
        if (!url.isLocalFile() || (!url.host().isEmpty() && url.host() != QLatin1String("localhost")))
            return {};
        const QString path = url.toLocalFile();
        return isRegularFile(path) ? path : QString();
    }
    return {};
}

QString AddressRule::insideStreamProtocols()
{
    // Segments and keys of HLS and DASH, and what rtsp, rtmp, mms and srt run over.
    return QStringLiteral("http,https,tls,tcp,udp,rtp,rtsp,rtsps,rtmp,rtmpe,rtmps,rtmpt,rtmpte,rtmpts,"
                          "ffrtmpcrypt,ffrtmphttp,srt,mmsh,mmst,crypto,httpproxy");
}
