#pragma once

#include "radio/BuiltInRadioMatcher.h"
#include "radio/RadioBrowserClient.h"

#include <QDateTime>
#include <QHash>
#include <QObject>

class QSettings;

// Looks the built-in radios up in the community database, one request at a
// time, and keeps the best match of each (in settings, group "builtin") for a
// week; a radio whose search fails keeps what it had. Nothing is asked of the
// network until start().
class BuiltInRadioSearch : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 RefreshSeconds = 7 * 24 * 60 * 60;

    BuiltInRadioSearch(const ChannelCatalogue &catalogue, QSettings &settings, QObject *parent = nullptr);

    // Searches the radios whose match is older than a week, on these servers.
    void start(const QStringList &servers, const QDateTime &now = QDateTime::currentDateTimeUtc());
    bool isRunning() const { return m_next >= 0; }
    // The kept match of each radio found, by control.
    const QHash<QString, RadioStation> &matches() const { return m_matches; }
    const BuiltInRadioMatcher &matcher() const { return m_matcher; }

signals:
    void matchesChanged();
    void finished();

private:
    void searchNext();
    void answered(const StationQuery &query, const RadioStations &stations, const QString &error);
    void load();

    BuiltInRadioMatcher m_matcher;
    QSettings &m_settings;
    RadioBrowserClient m_client;
    QHash<QString, RadioStation> m_matches;
    QDateTime m_now;
    int m_next = -1; // the radio being searched; -1 while idle
};
