#include "browser/SearchAddress.h"

#include <QByteArray>
#include <algorithm>

namespace SearchAddress
{

QString withoutExtension(const QString &text)
{
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator
        = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char(':')));
    if (dot < 0 || dot < separator)
        return text;
    return text.left(dot);
}

namespace
{

bool isSafeInQueryValue(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
        || c == '_' || c == '~';
}

} // namespace

QString searchTerms(const QString &text)
{
    // Blanks become "+" before encoding, so only those "+" mean a blank; any
    // other "+", "&", "#" or "%" would otherwise change or cut the query.
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = withoutExtension(text).toUtf8();
    QByteArray terms;
    terms.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        if (c == ' ' || c == '_') {
            terms += '+';
        } else if (isSafeInQueryValue(c)) {
            terms += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            terms += '%';
            terms += hex[byte >> 4];
            terms += hex[byte & 0x0F];
        }
    }
    return QString::fromLatin1(terms);
}

QUrl lyricsSearch(const QString &text)
{
    return QUrl(LyricsSearchSite + QStringLiteral("/search?hl=pt-BR&q=") + searchTerms(text)
            + QStringLiteral("+lyrics&btnG=Pesquisar&meta="),
        QUrl::StrictMode);
}

QUrl videoSearch(const QString &text)
{
    return QUrl(VideoSearchSite + QStringLiteral("/videosearch?q=") + searchTerms(text), QUrl::StrictMode);
}

QUrl typedAddress(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    return QUrl::fromUserInput(text);
}

} // namespace SearchAddress
