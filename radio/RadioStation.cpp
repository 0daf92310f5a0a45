#include "radio/RadioStation.h"

QStringList RadioStation::addresses() const
{
    QStringList list;
    if (!urlResolved.isEmpty())
        list << urlResolved;
    if (!url.isEmpty() && url != urlResolved)
        list << url;
    return list;
}

QString RadioStation::formatText() const
{
    if (bitrate <= 0)
        return codec;
    const QString rate = QStringLiteral("%1 kbps").arg(bitrate);
    return codec.isEmpty() ? rate : codec + QLatin1Char(' ') + rate;
}

bool RadioStation::operator==(const RadioStation &o) const
{
    return uuid == o.uuid && name == o.name && url == o.url && urlResolved == o.urlResolved
        && favicon == o.favicon && tags == o.tags && countryCode == o.countryCode && country == o.country
        && language == o.language && codec == o.codec && bitrate == o.bitrate && votes == o.votes
        && clickCount == o.clickCount && lastCheckOk == o.lastCheckOk && hls == o.hls;
}

bool morePopular(const RadioStation &a, const RadioStation &b)
{
    if (a.clickCount != b.clickCount)
        return a.clickCount > b.clickCount;
    if (a.votes != b.votes)
        return a.votes > b.votes;
    return a.name < b.name;
}
