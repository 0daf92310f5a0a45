#include "radio/StationQuery.h"

#include <QUrlQuery>

QString StationQuery::path() const
{
    QUrlQuery query;
    auto add = [&query](const char *field, const QString &value) {
        query.addQueryItem(QString::fromLatin1(field), QString::fromLatin1(QUrl::toPercentEncoding(value)));
    };
    if (!name.trimmed().isEmpty())
        add("name", name.trimmed());
    if (!countryCode.isEmpty())
        add("countrycode", countryCode);
    if (!tag.isEmpty()) {
        add("tag", tag);
        add("tagExact", QStringLiteral("true"));
    }
    if (!language.isEmpty()) {
        add("language", language);
        add("languageExact", QStringLiteral("true"));
    }
    add("order", QStringLiteral("clickcount"));
    add("reverse", QStringLiteral("true"));
    add("hidebroken", QStringLiteral("true"));
    add("limit", QString::number(limit));
    return QStringLiteral("/json/stations/search?") + query.query(QUrl::FullyEncoded);
}

QString StationQuery::key() const
{
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(name.trimmed().toLower(), countryCode.toUpper(), tag.toLower(), language.toLower())
        .arg(limit);
}
