#pragma once

#include "radio/RadioBrowserClient.h"
#include "radio/RadioSearchModel.h"
#include "radio/StationQuery.h"

#include <QObject>
#include <QTimer>

class StationCache;
struct ListChannel;

// What "Rádios" shows, without widgets: the query being typed and chosen,
// the results (the cached answer at once, the database's when it comes), and
// a status line. Typing narrows the results at once; the database is asked
// only after a short pause, and one search at a time. Offline, the last
// answer to the same search is shown and says so.
class RadioDirectory : public QObject
{
    Q_OBJECT

public:
    static constexpr int TypingPauseMs = 400;

    RadioDirectory(RadioBrowserClient &client, StationCache &cache, QObject *parent = nullptr);

    RadioSearchModel &results() { return m_results; }
    StationQuery query() const { return m_query; }
    QString status() const { return m_status; }
    bool isSearching() const { return m_client.isSearching(); }
    QTimer &typingPause() { return m_pause; }

    void setName(const QString &typed);
    void setCountry(const QString &countryCode);
    void setTag(const QString &tag);
    void setLanguage(const QString &language);
    // Asks the database now (the pause is skipped).
    void searchNow();

    // The station as a "Canais" entry: its identity there is its database key.
    static ListChannel asListChannel(const RadioStation &station);
    // "id:radio:<uuid>", as favourites and recents know it.
    static QString identityOf(const RadioStation &station);

signals:
    void statusChanged(const QString &status);
    void searchingChanged(bool searching);

private:
    void scheduleSearch();
    void showCached();
    void answered(const StationQuery &query, const RadioStations &stations, const QString &error);
    void setStatus(const QString &status);

    RadioBrowserClient &m_client;
    StationCache &m_cache;
    RadioSearchModel m_results;
    StationQuery m_query;
    QTimer m_pause;
    QString m_status;
};
