#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

// One station of the community radio database, as much of it as the program
// shows and plays. The addresses have passed the address rule as coming from
// the network; text fields are as the database holds them (shown as plain text).
struct RadioStation {
    QString uuid; // stationuuid: the database's own key, stable across renames
    QString name;
    QString url; // as the station's editor entered it (may be a playlist)
    QString urlResolved; // the stream the database's last check reached; may be empty
    QString favicon; // http(s) only; empty otherwise
    QStringList tags;
    QString countryCode; // "BR", upper case; may be empty
    QString country;
    QString language; // as written, comma-separated languages
    QString codec; // "MP3", "AAC", ...
    int bitrate = 0; // kbit/s; 0 unknown
    int votes = 0;
    int clickCount = 0;
    bool lastCheckOk = true;
    bool hls = false;
    // The name as the built-in radios are matched against it, worked out once
    // when the station is read (on a worker), not for every match.
    bool keysKnown = false;
    QString nameKey;
    QString networkKey; // after a network's name in front; empty without one

    // What to play first: the resolved stream, else the entered address.
    QString playAddress() const { return urlResolved.isEmpty() ? url : urlResolved; }
    // Both addresses in play order, once each.
    QStringList addresses() const;
    // "MP3 128 kbps", "AAC", "" when nothing is known.
    QString formatText() const;

    bool operator==(const RadioStation &o) const;
    bool operator!=(const RadioStation &o) const { return !(*this == o); }
};
Q_DECLARE_TYPEINFO(RadioStation, Q_RELOCATABLE_TYPE);

using RadioStations = QVector<RadioStation>;
Q_DECLARE_METATYPE(RadioStations)

// Popularity as the database sorts it: clicks, then votes, then name.
bool morePopular(const RadioStation &a, const RadioStation &b);
