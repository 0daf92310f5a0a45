#include "radio/RadioDirectory.h"

#include "base/SafeCall.h"
#include "lists/ChannelPicks.h"
#include "lists/ListChannel.h"
#include "radio/StationCache.h"

#include <QLocale>

RadioDirectory::RadioDirectory(RadioBrowserClient &client, StationCache &cache, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_cache(cache)
{
    m_pause.setObjectName(QStringLiteral("TimerRadioSearch"));
    m_pause.setSingleShot(true);
    m_pause.setInterval(TypingPauseMs);
    connect(&m_pause, &QTimer::timeout, this, [this] { safeCall([this] { searchNow(); }); });
    connect(&m_client, &RadioBrowserClient::searchFinished, this, &RadioDirectory::answered);
    m_query.countryCode = QStringLiteral("BR");
    m_results.setCountryFilter(m_query.countryCode);
}

void RadioDirectory::setName(const QString &typed)
{
    if (typed.trimmed() == m_query.name)
        return;
    m_query.name = typed.trimmed();
    m_results.setNameFilter(m_query.name);
    scheduleSearch();
}

void RadioDirectory::setCountry(const QString &countryCode)
{
    if (countryCode == m_query.countryCode)
        return;
    m_query.countryCode = countryCode;
    m_results.setCountryFilter(countryCode);
    scheduleSearch();
}

void RadioDirectory::setTag(const QString &tag)
{
    if (tag == m_query.tag)
        return;
    m_query.tag = tag;
    m_results.setTagFilter(tag);
    scheduleSearch();
}

void RadioDirectory::setLanguage(const QString &language)
{
    if (language == m_query.language)
        return;
    m_query.language = language;
    m_results.setLanguageFilter(language);
    scheduleSearch();
}

void RadioDirectory::scheduleSearch()
{
    // A search already asked for this query is shown from the cache meanwhile.
    if (m_cache.hasResults(m_query))
        showCached();
    m_pause.start();
}

void RadioDirectory::showCached()
{
    m_results.setStations(m_cache.results(m_query));
}

void RadioDirectory::searchNow()
{
    m_pause.stop();
    if (m_cache.hasResults(m_query))
        showCached();
    m_client.search(m_query);
    setStatus(QString::fromUtf8("Buscando…"));
    emit searchingChanged(true);
}

void RadioDirectory::answered(const StationQuery &query, const RadioStations &stations, const QString &error)
{
    emit searchingChanged(false);
    if (!(query == m_query))
        return;
    if (!error.isEmpty()) {
        if (m_cache.hasResults(query)) {
            showCached();
            setStatus(error + QString::fromUtf8(" Mostrando os resultados guardados de ")
                + QLocale::system().toString(m_cache.answeredAt(query).toLocalTime(), QLocale::ShortFormat)
                + QLatin1Char('.'));
        } else {
            setStatus(error);
        }
        return;
    }
    m_cache.storeResults(query, stations);
    m_results.setStations(stations);
    const int shown = m_results.rowCount();
    setStatus(shown == 0 ? QString::fromUtf8("Nenhuma rádio encontrada.")
            : shown == 1 ? QString::fromUtf8("1 rádio")
                         : QString::fromUtf8("%1 rádios").arg(QLocale::system().toString(shown)));
}

void RadioDirectory::setStatus(const QString &status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged(status);
}

ListChannel RadioDirectory::asListChannel(const RadioStation &station)
{
    ListChannel channel;
    channel.name = station.name;
    channel.title = station.name;
    channel.tvgId = QStringLiteral("radio:") + station.uuid;
    channel.logo = station.favicon;
    channel.group = QString::fromUtf8("Rádios");
    channel.address = station.playAddress();
    if (!station.lastCheckOk)
        channel.status = QStringLiteral("offline");
    return channel;
}

QString RadioDirectory::identityOf(const RadioStation &station)
{
    return ChannelPicks::identityOf(asListChannel(station));
}
