#pragma once

#include "radio/RadioStation.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// A facet of the database (a tag, a language, a country) with its station count.
struct RadioFacet {
    QString name; // "pop", "portuguese", "Brazil"
    QString code; // countries: "BR"; empty for the others
    int stationCount = 0;
};
using RadioFacets = QVector<RadioFacet>;
Q_DECLARE_METATYPE(RadioFacets)

// Reads the community radio database's JSON answers. Anything from the server
// is hostile: a document that is not the expected array gives nothing, a
// station without a key or without an address the rule admits is dropped,
// numbers arrive as numbers or as text, texts are bounded.
namespace StationReader
{
// Larger answers are refused unread (a cached set of 50,000 stations is ~30 MB).
inline constexpr qsizetype MaxBytes = 96 * 1024 * 1024;
inline constexpr int MaxStations = 200000;
inline constexpr int MaxFacets = 20000;
inline constexpr int MaxTags = 40;
inline constexpr int MaxTextChars = 400;

// /json/stations/...: an array of stations. ok (when given) is false when the
// document is not such an array.
RadioStations readStations(const QByteArray &json, bool *ok = nullptr);
// /json/tags, /json/languages, /json/countries.
RadioFacets readFacets(const QByteArray &json, bool *ok = nullptr);
// /json/url/<uuid>: whether the server counted the click.
bool readClickAnswer(const QByteArray &json);

// The stations as an array in the database's own form, for the cache.
QByteArray writeStations(const RadioStations &stations);
} // namespace StationReader
