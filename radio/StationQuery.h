#pragma once

#include <QMetaType>
#include <QString>

// A search of the radio database: by name (part of it), narrowed to a country,
// a tag and a language; always the most clicked first and without the
// stations its own check found broken.
struct StationQuery {
    QString name;
    QString countryCode; // "BR"; empty: any
    QString tag; // exact tag; empty: any
    QString language; // exact language name ("portuguese"); empty: any
    int limit = 100;

    // "/json/stations/search?..." with every part escaped.
    QString path() const;
    // Names the query in the cache: the same search typed again finds its answer.
    QString key() const;
    bool operator==(const StationQuery &o) const
    {
        return name == o.name && countryCode == o.countryCode && tag == o.tag && language == o.language
            && limit == o.limit;
    }
};
Q_DECLARE_METATYPE(StationQuery)
