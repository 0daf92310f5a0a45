#include "tests/support/RadioDatabaseStandIn.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>

struct RadioDatabaseStandIn::State {
    mutable std::mutex mutex;
    QList<QJsonObject> stations;
    QHash<QString, int> clicks;
    int failStatus = 0;
};

namespace
{
QByteArray searchAnswer(const QList<QJsonObject> &all, const QUrlQuery &query)
{
    auto value = [&query](const char *name) {
        return query.queryItemValue(QString::fromLatin1(name), QUrl::FullyDecoded);
    };
    const QString name = value("name");
    const QString country = value("countrycode");
    const QString tag = value("tag");
    const QString language = value("language");
    const bool hideBroken = value("hidebroken") == QLatin1String("true");
    QList<QJsonObject> found;
    for (const QJsonObject &station : all) {
        if (!name.isEmpty()
            && !station.value(QLatin1String("name")).toString().contains(name, Qt::CaseInsensitive))
            continue;
        if (!country.isEmpty()
            && station.value(QLatin1String("countrycode")).toString().compare(country, Qt::CaseInsensitive)
                != 0)
            continue;
        if (!tag.isEmpty()
            && !station.value(QLatin1String("tags"))
                    .toString()
                    .split(QLatin1Char(','))
                    .contains(tag, Qt::CaseInsensitive))
            continue;
        if (!language.isEmpty()
            && !station.value(QLatin1String("language")).toString().contains(language, Qt::CaseInsensitive))
            continue;
        if (hideBroken && station.value(QLatin1String("lastcheckok")).toInt(1) == 0)
            continue;
        found << station;
    }
    if (value("order") == QLatin1String("clickcount"))
        std::stable_sort(found.begin(), found.end(), [](const QJsonObject &a, const QJsonObject &b) {
            return a.value(QLatin1String("clickcount")).toInt()
                < b.value(QLatin1String("clickcount")).toInt();
        });
    if (value("reverse") == QLatin1String("true"))
        std::reverse(found.begin(), found.end());
    bool limited = false;
    const int limit = value("limit").toInt(&limited);
    if (limited && found.size() > limit)
        found = found.mid(0, limit);
    QJsonArray array;
    for (const QJsonObject &station : found)
        array.append(station);
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}
} // namespace

RadioDatabaseStandIn::RadioDatabaseStandIn()
    : m_state(std::make_shared<State>())
{
    install();
}

RadioDatabaseStandIn::~RadioDatabaseStandIn() = default;

QJsonObject RadioDatabaseStandIn::station(const QString &uuid, const QString &name, int clicks, int votes,
    const QString &countryCode, const QString &tags)
{
    QJsonObject o;
    o.insert(QLatin1String("changeuuid"), uuid + QStringLiteral("-change"));
    o.insert(QLatin1String("stationuuid"), uuid);
    o.insert(QLatin1String("serveruuid"), QJsonValue::Null);
    o.insert(QLatin1String("name"), name);
    o.insert(QLatin1String("url"), QStringLiteral("http://stream.test/%1.pls").arg(uuid));
    o.insert(QLatin1String("url_resolved"), QStringLiteral("http://stream.test/%1").arg(uuid));
    o.insert(QLatin1String("homepage"), QStringLiteral("http://radio.test/"));
    o.insert(QLatin1String("favicon"), QStringLiteral("http://radio.test/%1.png").arg(uuid));
    o.insert(QLatin1String("tags"), tags);
    o.insert(
        QLatin1String("country"), countryCode == QLatin1String("BR") ? QStringLiteral("Brazil") : QString());
    o.insert(QLatin1String("countrycode"), countryCode);
    o.insert(QLatin1String("iso_3166_2"), QJsonValue::Null);
    o.insert(QLatin1String("state"), QString());
    o.insert(QLatin1String("language"), QStringLiteral("portuguese"));
    o.insert(QLatin1String("languagecodes"), QStringLiteral("pt"));
    o.insert(QLatin1String("votes"), votes);
    o.insert(QLatin1String("lastchangetime"), QStringLiteral("2026-01-02 10:00:00"));
    o.insert(QLatin1String("lastchangetime_iso8601"), QStringLiteral("2026-01-02T10:00:00Z"));
    o.insert(QLatin1String("codec"), QStringLiteral("MP3"));
    o.insert(QLatin1String("bitrate"), 128);
    o.insert(QLatin1String("hls"), 0);
    o.insert(QLatin1String("lastcheckok"), 1);
    o.insert(QLatin1String("lastchecktime"), QStringLiteral("2026-12-01 10:00:00"));
    o.insert(QLatin1String("clicktimestamp"), QStringLiteral("2026-12-01 10:00:00"));
    o.insert(QLatin1String("clickcount"), clicks);
    o.insert(QLatin1String("clicktrend"), 0);
    o.insert(QLatin1String("ssl_error"), 0);
    o.insert(QLatin1String("geo_lat"), QJsonValue::Null);
    o.insert(QLatin1String("geo_long"), QJsonValue::Null);
    o.insert(QLatin1String("has_extended_info"), false);
    return o;
}

void RadioDatabaseStandIn::install()
{
    std::shared_ptr<State> state = m_state;
    auto respond = [state](const QByteArray &target, LoopbackHttpServer::BodyWriter &out) {
        const QUrl url(QString::fromLatin1("http://stand.in") + QString::fromLatin1(target));
        const QString path = url.path();
        QByteArray body;
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (path == QLatin1String("/json/stations/search")) {
                body = searchAnswer(state->stations, QUrlQuery(url));
            } else if (path == QLatin1String("/json/tags") || path == QLatin1String("/json/languages")) {
                QHash<QString, int> counts;
                const QLatin1String field(path.endsWith(QLatin1String("tags")) ? "tags" : "language");
                for (const QJsonObject &s : std::as_const(state->stations))
                    for (const QString &t :
                        s.value(field).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
                        ++counts[t.trimmed()];
                QJsonArray array;
                for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                    array.append(QJsonObject { { QStringLiteral("name"), it.key() },
                        { QStringLiteral("stationcount"), it.value() } });
                body = QJsonDocument(array).toJson(QJsonDocument::Compact);
            }
        }
        out.write(body.constData(), body.size());
    };
    for (const char *path : { "/json/stations/search", "/json/tags", "/json/languages" }) {
        LoopbackHttpServer::Response r;
        r.contentType = "application/json";
        r.produce = respond;
        m_server.setResponse(QString::fromLatin1(path), r);
    }
}

void RadioDatabaseStandIn::setStations(const QList<QJsonObject> &stations)
{
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->stations = stations;
    }
    // The click paths name each station.
    for (const QJsonObject &s : stations) {
        LoopbackHttpServer::Response r;
        r.contentType = "application/json";
        std::shared_ptr<State> state = m_state;
        const QString uuid = s.value(QLatin1String("stationuuid")).toString();
        r.produce = [state, uuid](const QByteArray &, LoopbackHttpServer::BodyWriter &out) {
            std::lock_guard<std::mutex> lock(state->mutex);
            ++state->clicks[uuid];
            const QByteArray body = "{\"ok\":true,\"message\":\"retrieved station url\",\"stationuuid\":\""
                + uuid.toLatin1() + "\"}";
            out.write(body.constData(), body.size());
        };
        m_server.setResponse(QStringLiteral("/json/url/") + uuid, r);
    }
}

void RadioDatabaseStandIn::serveFavicons()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    int hue = 0;
    for (QJsonObject &station : m_state->stations) {
        const QString path
            = QStringLiteral("/favicon/%1.png").arg(station.value(QLatin1String("stationuuid")).toString());
        station.insert(QLatin1String("favicon"), address() + path);
        QImage image(48, 48, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(hue, 150, 200));
        hue = (hue + 47) % 360;
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(30);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(
            image.rect(), Qt::AlignCenter, station.value(QLatin1String("name")).toString().left(1).toUpper());
        painter.end();
        LoopbackHttpServer::Response r;
        r.contentType = "image/png";
        QBuffer png(&r.body);
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        m_server.setResponse(path, r);
    }
}

void RadioDatabaseStandIn::failWith(int status)
{
    for (const char *path : { "/json/stations/search", "/json/tags", "/json/languages" }) {
        LoopbackHttpServer::Response r;
        r.status = status;
        r.contentType = "text/html";
        r.body = "<html>down</html>";
        m_server.setResponse(QString::fromLatin1(path), r);
    }
}

QString RadioDatabaseStandIn::address() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.port());
}

namespace
{
QByteArray requestField(const QByteArray &head, const QByteArray &lowerName)
{
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == lowerName)
            return line.mid(colon + 1).trimmed();
    }
    return QByteArray();
}
} // namespace

QStringList RadioDatabaseStandIn::targets() const
{
    QStringList list;
    for (const QByteArray &head : m_server.requests())
        list << QString::fromLatin1(head.left(head.indexOf('\r')).split(' ').value(1));
    return list;
}

QStringList RadioDatabaseStandIn::userAgents() const
{
    QStringList list;
    for (const QByteArray &head : m_server.requests())
        list << QString::fromLatin1(requestField(head, "user-agent"));
    return list;
}

int RadioDatabaseStandIn::clicks(const QString &uuid) const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->clicks.value(uuid);
}
