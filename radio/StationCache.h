#pragma once

#include "radio/RadioStation.h"
#include "radio/StationQuery.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

// The radio database's answers as last received, so that offline the last
// results still show and play: the answers to the most recent searches, and
// every station the user marked or played (favourites and recents play from
// here). Kept in one JSON file in the per-user cache folder, written on a
// worker so the window never waits for the disk; a damaged file counts as empty.
class StationCache
{
public:
    static constexpr int MaxQueries = 30;
    static constexpr int MaxKept = 1200;

    static QString defaultPath(); // <cache>/lumivortex/radio/stations.json

    explicit StationCache(const QString &path = defaultPath());
    ~StationCache();
    StationCache(const StationCache &) = delete;
    StationCache &operator=(const StationCache &) = delete;

    // The last answer to the query; empty when it was never answered.
    RadioStations results(const StationQuery &query) const;
    bool hasResults(const StationQuery &query) const { return m_queries.contains(query.key()); }
    QDateTime answeredAt(const StationQuery &query) const;
    void storeResults(const StationQuery &query, const RadioStations &stations,
        const QDateTime &at = QDateTime::currentDateTimeUtc());

    // A station kept for good (marked or played), or seen in a kept answer.
    const RadioStation *station(const QString &uuid) const;
    void keep(const RadioStation &station);
    RadioStations kept() const { return m_kept; }

    // Waits until what was stored has reached the disk (tests, shutdown).
    void flush();
    QString path() const { return m_path; }

    struct Writer;

private:
    struct Answer {
        QString key;
        QDateTime at;
        RadioStations stations;
    };

    void load();
    void save();

    QString m_path;
    QHash<QString, Answer> m_queries;
    QStringList m_order; // query keys, the most recent last
    RadioStations m_kept;
    std::shared_ptr<Writer> m_writer;
};
