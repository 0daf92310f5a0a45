#pragma once

#include "tests/support/LoopbackHttpServer.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>

// The community radio database on loopback, answering in its own JSON forms:
// /json/stations/search (name as a part of the name, countrycode, tag with
// tagExact, language, order=clickcount with reverse, hidebroken, limit),
// /json/url/<stationuuid> (counts a click), /json/tags and /json/languages.
// Stations are JSON objects with the database's field names, so a test can
// also hand over fields the way an odd server writes them.
class RadioDatabaseStandIn
{
public:
    RadioDatabaseStandIn();
    ~RadioDatabaseStandIn();

    // A station in the database's form; fields not given get plausible values.
    static QJsonObject station(const QString &uuid, const QString &name, int clicks = 10, int votes = 5,
        const QString &countryCode = QStringLiteral("BR"), const QString &tags = QStringLiteral("pop"));

    void setStations(const QList<QJsonObject> &stations);
    // Every station's favicon becomes a small picture served here (a letter
    // on a colour), as the database points at each station's own site.
    void serveFavicons();
    // Every answer is this status with an empty body (a failing server).
    void failWith(int status);
    QString address() const; // "http://127.0.0.1:<port>", the base of every path
    LoopbackHttpServer &server() { return m_server; }
    // The request targets (path and query) in the order they came.
    QStringList targets() const;
    QStringList userAgents() const;
    int clicks(const QString &uuid) const;

private:
    void install();

    LoopbackHttpServer m_server;
    struct State;
    std::shared_ptr<State> m_state;
};
