#pragma once

#include "radio/StationQuery.h"
#include "radio/StationReader.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

// Speaks to the community radio database over the network layer, on its
// workers. The servers are tried in the order given until one answers (a
// refused connection, an error status or an answer that is not the expected
// JSON sends the request to the next); the one that answered is tried first
// next time. A user action makes one request at a time: a new search replaces
// the running one, which ends unseen.
class RadioBrowserClient : public QObject
{
    Q_OBJECT

public:
    enum class Facet { Tags, Languages, Countries };
    Q_ENUM(Facet)

    // "LumivortexTV/0.9.29": the database asks every client to name itself.
    static QByteArray userAgent();

    explicit RadioBrowserClient(QObject *parent = nullptr);
    ~RadioBrowserClient() override;

    // Base addresses ("https://de1.api.radio-browser.info"), in the order to try.
    void setServers(const QStringList &servers);
    QStringList servers() const { return m_servers; }
    bool isSearching() const { return bool(m_search); }

    void search(const StationQuery &query);
    void cancelSearch();
    void fetchFacets(Facet facet);
    // Tells the database that the station was played (it counts one per day and address).
    void countClick(const QString &uuid);

    struct Job;

signals:
    // error is empty on success; a short Portuguese sentence otherwise.
    void searchFinished(const StationQuery &query, const RadioStations &stations, const QString &error);
    void facetsFinished(RadioBrowserClient::Facet facet, const RadioFacets &facets);
    void clickCounted(const QString &uuid, bool counted);

private:
    std::shared_ptr<Job> start(
        const QString &path, std::function<bool(Job &)> accept, std::function<void(Job &)> deliver);

    QStringList m_servers;
    std::shared_ptr<Job> m_search;
    std::shared_ptr<Job> m_facets;
};
