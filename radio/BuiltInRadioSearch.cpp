#include "radio/BuiltInRadioSearch.h"

#include <QSettings>

namespace
{
QString stationKey(const QString &control)
{
    return QStringLiteral("builtin/") + control + QStringLiteral("/station");
}
QString searchedKey(const QString &control)
{
    return QStringLiteral("builtin/") + control + QStringLiteral("/searched");
}
} // namespace

BuiltInRadioSearch::BuiltInRadioSearch(
    const ChannelCatalogue &catalogue, QSettings &settings, QObject *parent)
    : QObject(parent)
    , m_matcher(catalogue)
    , m_settings(settings)
{
    connect(&m_client, &RadioBrowserClient::searchFinished, this, &BuiltInRadioSearch::answered);
    load();
}

void BuiltInRadioSearch::load()
{
    for (const BuiltInRadioMatcher::Radio &radio : m_matcher.radios()) {
        const RadioStations kept
            = StationReader::readStations(m_settings.value(stationKey(radio.control)).toByteArray());
        if (!kept.isEmpty())
            m_matches.insert(radio.control, kept.first());
    }
}

void BuiltInRadioSearch::start(const QStringList &servers, const QDateTime &now)
{
    if (isRunning())
        return;
    m_client.setServers(servers);
    m_now = now;
    m_next = 0;
    searchNext();
}

void BuiltInRadioSearch::searchNext()
{
    const QVector<BuiltInRadioMatcher::Radio> &radios = m_matcher.radios();
    while (m_next < radios.size()) {
        const BuiltInRadioMatcher::Radio &radio = radios.at(m_next);
        const QDateTime searched = m_settings.value(searchedKey(radio.control)).toDateTime();
        if (!searched.isValid() || searched > m_now || searched.secsTo(m_now) >= RefreshSeconds) {
            m_client.search(BuiltInRadioMatcher::queryFor(radio));
            return;
        }
        ++m_next;
    }
    m_next = -1;
    emit finished();
}

void BuiltInRadioSearch::answered(const StationQuery &, const RadioStations &stations, const QString &error)
{
    if (!isRunning())
        return;
    const BuiltInRadioMatcher::Radio &radio = m_matcher.radios().at(m_next);
    if (!error.isEmpty()) {
        // No server answered: the rest would fail alike; the next start tries again.
        m_next = -1;
        emit finished();
        return;
    }
    {
        m_settings.setValue(searchedKey(radio.control), m_now);
        const RadioStation *best = m_matcher.best(radio, stations);
        // A search that finds nothing now keeps the station found before:
        // the database's check may have missed it for a day.
        if (best && (!m_matches.contains(radio.control) || m_matches.value(radio.control) != *best)) {
            m_matches.insert(radio.control, *best);
            m_settings.setValue(stationKey(radio.control), StationReader::writeStations({ *best }));
            emit matchesChanged();
        }
    }
    ++m_next;
    searchNext();
}
