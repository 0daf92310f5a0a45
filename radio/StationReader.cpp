#include "radio/StationReader.h"

#include "net/AddressRule.h"
#include "radio/BuiltInRadioMatcher.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <limits>

namespace
{
// Trimmed after it is cut, so that what is kept reads back the same.
QString bounded(const QString &text, int maxChars)
{
    QString s = text.trimmed();
    if (s.size() > maxChars)
        s = s.left(maxChars).trimmed();
    return s;
}

QString text(const QJsonObject &object, QLatin1String key, int maxChars = StationReader::MaxTextChars)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? bounded(value.toString(), maxChars) : QString();
}

// "BR": two letters or nothing.
QString countryCodeOf(const QJsonObject &object, QLatin1String key)
{
    const QString code = text(object, key).toUpper();
    if (code.size() != 2 || !code.at(0).isLetter() || !code.at(1).isLetter())
        return QString();
    return code;
}

// Numbers come as JSON numbers from the current servers and as text from
// older ones; anything else, or out of range, counts as 0.
int number(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    double n = 0;
    if (value.isDouble())
        n = value.toDouble();
    else if (value.isString())
        n = value.toString().trimmed().toDouble();
    else if (value.isBool())
        n = value.toBool() ? 1 : 0;
    if (!(n >= 0) || n > std::numeric_limits<int>::max())
        return 0;
    return int(n);
}

bool flag(const QJsonObject &object, QLatin1String key, bool missing)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return missing;
    if (value.isBool())
        return value.toBool();
    return number(object, key) != 0;
}

QString streamAddress(const QJsonObject &object, QLatin1String key)
{
    const QString address = object.value(key).toString().trimmed();
    if (address.isEmpty())
        return QString();
    return AddressRule::screened(address, AddressRule::Origin::Network, "the radio database");
}

QString pictureAddress(const QJsonObject &object)
{
    const QString address = object.value(QLatin1String("favicon")).toString().trimmed();
    if (address.size() > AddressRule::MaxLength)
        return QString();
    if (address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)
        || address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        return AddressRule::admitted(address, AddressRule::Origin::Network);
    return QString();
}

QStringList tagsOf(const QJsonObject &object)
{
    QStringList tags;
    const QJsonValue value = object.value(QLatin1String("tags"));
    QStringList raw;
    if (value.isString())
        raw = value.toString().split(QLatin1Char(','));
    else if (value.isArray())
        for (const QJsonValue &tag : value.toArray())
            raw << tag.toString();
    for (const QString &tag : raw) {
        const QString t = bounded(tag, StationReader::MaxTextChars / 4);
        if (!t.isEmpty() && !tags.contains(t))
            tags << t;
        if (tags.size() >= StationReader::MaxTags)
            break;
    }
    return tags;
}

bool readArray(const QByteArray &json, QJsonArray &array)
{
    if (json.size() > StationReader::MaxBytes)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    array = document.array();
    return true;
}
} // namespace

RadioStations StationReader::readStations(const QByteArray &json, bool *ok)
{
    RadioStations stations;
    QJsonArray array;
    const bool read = readArray(json, array);
    if (ok)
        *ok = read;
    if (!read)
        return stations;
    stations.reserve(std::min<qsizetype>(array.size(), MaxStations));
    for (const QJsonValue &value : array) {
        if (stations.size() >= MaxStations)
            break;
        if (!value.isObject())
            continue;
        const QJsonObject object = value.toObject();
        RadioStation station;
        station.uuid = text(object, QLatin1String("stationuuid"));
        station.name = text(object, QLatin1String("name"));
        station.url = streamAddress(object, QLatin1String("url"));
        station.urlResolved = streamAddress(object, QLatin1String("url_resolved"));
        if (station.uuid.isEmpty() || station.name.isEmpty() || station.playAddress().isEmpty())
            continue;
        station.favicon = pictureAddress(object);
        station.tags = tagsOf(object);
        station.countryCode = countryCodeOf(object, QLatin1String("countrycode"));
        station.country = text(object, QLatin1String("country"));
        station.language = text(object, QLatin1String("language"));
        station.codec = text(object, QLatin1String("codec"), 16);
        station.bitrate = number(object, QLatin1String("bitrate"));
        station.votes = number(object, QLatin1String("votes"));
        station.clickCount = number(object, QLatin1String("clickcount"));
        station.lastCheckOk = flag(object, QLatin1String("lastcheckok"), true);
        station.hls = flag(object, QLatin1String("hls"), false);
        BuiltInRadioMatcher::workOutKeys(station);
        stations << station;
    }
    return stations;
}

RadioFacets StationReader::readFacets(const QByteArray &json, bool *ok)
{
    RadioFacets facets;
    QJsonArray array;
    const bool read = readArray(json, array);
    if (ok)
        *ok = read;
    if (!read)
        return facets;
    for (const QJsonValue &value : array) {
        if (facets.size() >= MaxFacets)
            break;
        const QJsonObject object = value.toObject();
        RadioFacet facet;
        facet.name = text(object, QLatin1String("name"), MaxTextChars / 4);
        facet.code = countryCodeOf(object, QLatin1String("iso_3166_1"));
        facet.stationCount = number(object, QLatin1String("stationcount"));
        if (!facet.name.isEmpty())
            facets << facet;
    }
    return facets;
}

bool StationReader::readClickAnswer(const QByteArray &json)
{
    if (json.size() > 64 * 1024)
        return false;
    const QJsonDocument document = QJsonDocument::fromJson(json);
    return document.isObject() && document.object().value(QLatin1String("ok")).toBool();
}

QByteArray StationReader::writeStations(const RadioStations &stations)
{
    QJsonArray array;
    for (const RadioStation &station : stations) {
        QJsonObject object;
        object.insert(QLatin1String("stationuuid"), station.uuid);
        object.insert(QLatin1String("name"), station.name);
        object.insert(QLatin1String("url"), station.url);
        object.insert(QLatin1String("url_resolved"), station.urlResolved);
        object.insert(QLatin1String("favicon"), station.favicon);
        object.insert(QLatin1String("tags"), station.tags.join(QLatin1Char(',')));
        object.insert(QLatin1String("countrycode"), station.countryCode);
        object.insert(QLatin1String("country"), station.country);
        object.insert(QLatin1String("language"), station.language);
        object.insert(QLatin1String("codec"), station.codec);
        object.insert(QLatin1String("bitrate"), station.bitrate);
        object.insert(QLatin1String("votes"), station.votes);
        object.insert(QLatin1String("clickcount"), station.clickCount);
        object.insert(QLatin1String("lastcheckok"), station.lastCheckOk ? 1 : 0);
        object.insert(QLatin1String("hls"), station.hls ? 1 : 0);
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}
