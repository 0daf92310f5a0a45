#pragma once

#include "radio/RadioStation.h"

#include <QDateTime>
#include <QObject>
#include <QSettings>
#include <memory>

class BuiltInRadioSearch;
class ChannelCatalogue;
class ChannelListsHub;
class MainWindow;
class Player;
class RadioBrowserClient;
class RadioDirectory;
class RadioServerList;
class RadioWindow;
class StationCache;

// Brings the community radio database into the program: the "Rádios" window
// with its menu item, button and shortcut, playing a station as a channel is
// played, favourite and recent stations in "Canais", and the built-in radios'
// stations looked up when the user has accepted it (a line of the first-start
// offer, or the window's check box). Nothing reaches the network before the
// window is opened or the look-up accepted. The choice and the servers are
// kept in "radio.ini" in the per-user configuration folder.
class RadioHub : public QObject
{
    Q_OBJECT

public:
    RadioHub(MainWindow &main, Player &player, ChannelListsHub &channels, const ChannelCatalogue &catalogue,
        const QString &settingsPath = defaultSettingsPath(), const QString &cachePath = QString());
    ~RadioHub() override;

    static QString defaultSettingsPath(); // <config>/lumivortex/radio.ini

    // After the channel lists have started: the kept matches apply, the
    // first-start offer gets its line, and an accepted look-up runs.
    void start();
    RadioWindow *showWindow();
    void playStation(const RadioStation &station);

    bool builtInSearchAccepted() const;
    void setBuiltInSearchAccepted(bool accepted);
    // Servers to use instead of those DNS names (tests, the loopback stand-in).
    void useServers(const QStringList &servers);

    RadioDirectory &directory() const { return *m_directory; }
    BuiltInRadioSearch &builtInSearch() const { return *m_builtIn; }
    StationCache &cache() const { return *m_cache; }
    RadioBrowserClient &client() const { return *m_client; }

private:
    void addMenuItemAndButton();
    // Servers known, then run (looking the list up first when it is stale).
    void withServers(std::function<void()> then);
    void applyBuiltInMatches();
    void showPickedInChannels();

    MainWindow &m_main;
    Player &m_player;
    ChannelListsHub &m_channels;
    QSettings m_settings;
    std::unique_ptr<StationCache> m_cache;
    std::unique_ptr<RadioServerList> m_servers;
    std::unique_ptr<RadioBrowserClient> m_client;
    std::unique_ptr<RadioDirectory> m_directory;
    std::unique_ptr<BuiltInRadioSearch> m_builtIn;
    std::unique_ptr<RadioWindow> m_window;
    QStringList m_fixedServers;
    bool m_serversReady = false;
    QDateTime m_serversAt; // when the client was last given the list
    bool m_facetsAsked = false;
};
