#pragma once

#include "channels/ChannelCatalogue.h"
#include "radio/RadioStation.h"
#include "radio/StationQuery.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// Finds the program's built-in radios (the Radio tab's stations and the DI-FM
// menu's channels) among the community database's stations. A station is a
// radio's when its name, folded as channel names are, with a leading "Rádio"
// or "Web Rádio" and a trailing frequency left out, is the radio's name; a
// DI-FM channel also needs the network's name in front ("DI.FM Trance",
// "Digitally Imported - Trance"). Nothing looser: "Globo FM" is not "Rádio
// Globo", "Transamerica Hits" is not "Transamerica Pop", and a "Trance" of
// another network is not DI-FM's. Of the stations that match, the live ones
// of the radio's country come first, then by popularity.
class BuiltInRadioMatcher
{
public:
    struct Radio {
        QString control; // "SpeedButton19", "rance1"
        QString titleSuffix;
        QString searchName; // what the database is asked for
        QString countryHint; // "BR" or empty
        bool network = false; // a DI-FM channel: the network's name must lead
        QStringList keys;
    };

    explicit BuiltInRadioMatcher(const ChannelCatalogue &catalogue);

    const QVector<Radio> &radios() const { return m_radios; }
    // The database search that should find the radio.
    static StationQuery queryFor(const Radio &radio);

    // The key a station's name gives, and the one it gives once a network
    // name in front is taken off (empty when it has none).
    static QString stationKey(const QString &name);
    static QString networkStationKey(const QString &name);
    // Fills the station's keys (keysKnown) from its name.
    static void workOutKeys(RadioStation &station);

    // The best station of each radio found among stations, by control.
    QHash<QString, RadioStation> match(const RadioStations &stations) const;
    // The best station for one radio; nullptr when none matches.
    const RadioStation *best(const Radio &radio, const RadioStations &stations) const;

private:
    bool better(const Radio &radio, const RadioStation &a, const RadioStation *b) const;

    QVector<Radio> m_radios;
    QHash<QString, QVector<int>> m_byKey; // plain keys -> radios
    QHash<QString, QVector<int>> m_byNetworkKey; // DI-FM keys -> radios
};
