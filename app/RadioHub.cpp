#include "app/RadioHub.h"

#include "app/ChannelListsHub.h"
#include "app/MainWindow.h"
#include "base/SafeCall.h"
#include "channels/ChannelCatalogue.h"
#include "lists/ChannelListsNotice.h"
#include "lists/ChannelPicks.h"
#include "player/AlternateAddresses.h"
#include "player/Player.h"
#include "radio/BuiltInRadioSearch.h"
#include "radio/RadioBrowserClient.h"
#include "radio/RadioDirectory.h"
#include "radio/RadioServerList.h"
#include "radio/RadioWindow.h"
#include "radio/StationCache.h"
#include "widgets/FlatButton.h"

#include <QAction>
#include <QStandardPaths>

namespace
{
const QString kAcceptedKey = QStringLiteral("builtin/accepted");
const QString kAnsweredKey = QStringLiteral("builtin/answered");
} // namespace

QString RadioHub::defaultSettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/lumivortex/radio.ini");
}

RadioHub::RadioHub(MainWindow &main, Player &player, ChannelListsHub &channels,
    const ChannelCatalogue &catalogue, const QString &settingsPath, const QString &cachePath)
    : QObject(&main)
    , m_main(main)
    , m_player(player)
    , m_channels(channels)
    , m_settings(settingsPath, QSettings::IniFormat)
    , m_cache(std::make_unique<StationCache>(cachePath.isEmpty() ? StationCache::defaultPath() : cachePath))
    , m_servers(std::make_unique<RadioServerList>(m_settings))
    , m_client(std::make_unique<RadioBrowserClient>())
    , m_directory(std::make_unique<RadioDirectory>(*m_client, *m_cache))
    , m_builtIn(std::make_unique<BuiltInRadioSearch>(catalogue, m_settings))
{
    setObjectName(QStringLiteral("RadioHub"));
    connect(m_builtIn.get(), &BuiltInRadioSearch::matchesChanged, this,
        [this] { safeCall([this] { applyBuiltInMatches(); }); });
    connect(m_client.get(), &RadioBrowserClient::facetsFinished, this,
        [this](RadioBrowserClient::Facet facet, const RadioFacets &facets) {
            if (m_window)
                m_window->setFacets(facet, facets);
            // The languages after the genres: one request at a time.
            if (facet == RadioBrowserClient::Facet::Tags)
                m_client->fetchFacets(RadioBrowserClient::Facet::Languages);
        });
    connect(&m_channels.picks(), &ChannelPicks::favouritesChanged, this, [this] { showPickedInChannels(); });
    connect(&m_channels.picks(), &ChannelPicks::recentsChanged, this, [this] { showPickedInChannels(); });
    addMenuItemAndButton();
}

RadioHub::~RadioHub() = default;

void RadioHub::addMenuItemAndButton()
{
    const QList<QAction *> items = m_main.addMenuSection({
        { "RadiosItem", QString::fromUtf8("Rádios"), QKeySequence(Qt::CTRL | Qt::Key_R) },
    });
    connect(items.at(0), &QAction::triggered, this, [this] { safeCall([this] { showWindow(); }); });
    FlatButton *button = m_main.addRadioPageButton("RadiosButton", QString::fromUtf8("Rádios"));
    button->setToolTip(QString::fromUtf8("Rádios da base pública (Ctrl+R)"));
    connect(button, &QAbstractButton::clicked, this, [this] { safeCall([this] { showWindow(); }); });
}

void RadioHub::start()
{
    applyBuiltInMatches();
    showPickedInChannels();
    if (ChannelListsNotice *notice = m_channels.notice();
        notice && !m_settings.value(kAnsweredKey, false).toBool()) {
        notice->offerRadioSearch();
        connect(notice, &ChannelListsNotice::radioSearchAnswered, this,
            [this](bool accepted) { safeCall([this, accepted] { setBuiltInSearchAccepted(accepted); }); });
    }
    if (builtInSearchAccepted())
        withServers([this] { m_builtIn->start(m_client->servers()); });
}

bool RadioHub::builtInSearchAccepted() const
{
    return m_settings.value(kAcceptedKey, false).toBool();
}

void RadioHub::setBuiltInSearchAccepted(bool accepted)
{
    m_settings.setValue(kAnsweredKey, true);
    m_settings.setValue(kAcceptedKey, accepted);
    if (m_window)
        m_window->setBuiltInSearchChosen(accepted);
    if (accepted)
        withServers([this] { m_builtIn->start(m_client->servers()); });
}

void RadioHub::useServers(const QStringList &servers)
{
    m_fixedServers = servers;
    m_client->setServers(servers);
    m_serversReady = true;
}

void RadioHub::withServers(std::function<void()> then)
{
    // The list is looked up again once a day, for a program that runs for days.
    const bool fresh = m_serversAt.isValid()
        && m_serversAt.secsTo(QDateTime::currentDateTimeUtc()) < RadioServerList::RefreshSeconds;
    if (!m_fixedServers.isEmpty() || (m_serversReady && fresh && !m_servers->isLookingUp())) {
        then();
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_servers.get(), &RadioServerList::ready, this, [this, connection, then] {
        disconnect(*connection);
        m_client->setServers(m_servers->servers());
        m_serversReady = true;
        m_serversAt = QDateTime::currentDateTimeUtc();
        safeCall(then);
    });
    m_servers->refreshIfStale();
}

RadioWindow *RadioHub::showWindow()
{
    if (!m_window) {
        m_window = std::make_unique<RadioWindow>(*m_directory, m_channels.picks());
        m_window->setLogoCache(&m_channels.logos());
        m_window->setBuiltInSearchChosen(builtInSearchAccepted());
        connect(m_window.get(), &RadioWindow::playRequested, this,
            [this](const RadioStation &station) { safeCall([this, &station] { playStation(station); }); });
        connect(m_window.get(), &RadioWindow::favouriteToggled, this,
            [this](const RadioStation &station, bool favourite) {
                if (favourite)
                    m_cache->keep(station);
            });
        connect(m_window.get(), &RadioWindow::builtInSearchChosen, this,
            [this](bool chosen) { safeCall([this, chosen] { setBuiltInSearchAccepted(chosen); }); });
        // Opening the window is the user asking for stations: the first search,
        // then the genres and languages, one after another.
        withServers([this] {
            m_directory->searchNow();
            if (!m_facetsAsked) {
                m_facetsAsked = true;
                m_client->fetchFacets(RadioBrowserClient::Facet::Tags);
            }
        });
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window.get();
}

void RadioHub::playStation(const RadioStation &station)
{
    const QStringList addresses = station.addresses();
    if (addresses.isEmpty())
        return;
    m_cache->keep(station);
    Channel channel;
    channel.titleSuffix = station.name;
    channel.address = addresses.first();
    const QString title = ChannelCatalogue::windowTitleFor(channel);
    // The resolved stream first, then the address as entered: the reconnection
    // system rotates through both.
    m_player.alternates().setEntries(title, addresses);
    m_channels.picks().noteTuned(RadioDirectory::identityOf(station));
    m_player.tune({ title, channel.address, false });
    withServers([this, uuid = station.uuid] { m_client->countClick(uuid); });
}

void RadioHub::applyBuiltInMatches()
{
    BuiltInSources sources;
    const QHash<QString, RadioStation> &matches = m_builtIn->matches();
    for (auto it = matches.cbegin(); it != matches.cend(); ++it) {
        QVector<ListChannel> entries;
        for (const QString &address : it.value().addresses()) {
            ListChannel entry = RadioDirectory::asListChannel(it.value());
            entry.address = address;
            entries << entry;
        }
        sources.insert(it.key(), entries);
    }
    m_channels.setRadioSources(sources);
}

void RadioHub::showPickedInChannels()
{
    const QString prefix = QStringLiteral("id:radio:");
    QVector<ListChannel> picked;
    QStringList seen;
    const ChannelPicks &picks = m_channels.picks();
    for (const QStringList &identities : { picks.favourites(), picks.recents() })
        for (const QString &identity : identities) {
            if (!identity.startsWith(prefix) || seen.contains(identity))
                continue;
            seen << identity;
            if (const RadioStation *station = m_cache->station(identity.mid(prefix.size())))
                picked << RadioDirectory::asListChannel(*station);
        }
    m_channels.setExtraChannels(ListChannels(picked));
}
