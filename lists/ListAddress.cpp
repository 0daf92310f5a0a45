#include "lists/ListAddress.h"

#include "net/AddressRule.h"

#include <QUrl>

namespace
{

bool isSchemeChar(QChar c, bool first)
{
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (first)
        return letter;
    return letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

QStringView pathOf(QStringView address)
{
    const qsizetype scheme = address.indexOf(u"://");
    if (scheme < 0)
        return {};
    QStringView rest = address.sliced(scheme + 3);
    const qsizetype slash = rest.indexOf(u'/');
    if (slash < 0)
        return {};
    rest = rest.sliced(slash);
    for (const char16_t end : { u'?', u'#' }) {
        const qsizetype at = rest.indexOf(QChar(end));
        if (at >= 0)
            rest = rest.left(at);
    }
    return rest;
}

} // namespace

bool ListAddress::isRemote(QStringView address)
{
    return address.startsWith(u"http://", Qt::CaseInsensitive)
        || address.startsWith(u"https://", Qt::CaseInsensitive);
}

bool ListAddress::hasScheme(QStringView address)
{
    qsizetype i = 0;
    while (i < address.size() && isSchemeChar(address[i], i == 0))
        ++i;
    return i >= 2 && i < address.size() && address[i] == u':';
}

QString ListAddress::hostOf(QStringView address)
{
    const qsizetype scheme = address.indexOf(u"://");
    if (scheme < 0)
        return {};
    QStringView authority = AddressRule::serverOf(address.sliced(scheme + 1));
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        return (close < 0 ? authority : authority.left(close + 1)).toString().toLower();
    }
    const qsizetype colon = authority.indexOf(u':');
    if (colon >= 0)
        authority = authority.left(colon);
    while (authority.endsWith(u'.'))
        authority.chop(1);
    return authority.toString().toLower();
}

bool ListAddress::isPlaceholder(QStringView address)
{
    const QString host = hostOf(address);
    return host == QLatin1String("example") || host.endsWith(QLatin1String(".example"));
}

bool ListAddress::isWebPage(QStringView address)
{
    QString host = hostOf(address);
    if (host.isEmpty())
        return false;
    for (const char *prefix : { "www.", "m." }) {
        if (host.startsWith(QLatin1String(prefix)))
            host = host.mid(qsizetype(qstrlen(prefix)));
    }
    static const char *const sites[] = { "youtube.com", "youtu.be", "twitch.tv", "dailymotion.com", "dai.ly",
        "facebook.com", "fb.watch", "vimeo.com", "instagram.com", "tiktok.com", "twitter.com", "x.com" };
    for (const char *site : sites) {
        if (host == QLatin1String(site))
            return true;
    }
    const QStringView path = pathOf(address);
    return path.endsWith(u".html", Qt::CaseInsensitive) || path.endsWith(u".htm", Qt::CaseInsensitive);
}

QString ListAddress::resolved(const QString &address, const QString &base)
{
    if (base.isEmpty() || hasScheme(address))
        return address;
    if (isRemote(base)) {
        const QUrl baseUrl(base);
        const QUrl relative(address);
        if (!baseUrl.isValid() || !relative.isValid())
            return address;
        return baseUrl.resolved(relative).toString();
    }
    if (address.startsWith(u'/'))
        return address;
    const QUrl baseUrl = QUrl::fromLocalFile(base);
    return baseUrl.resolved(QUrl(address)).toLocalFile();
}
