#pragma once

#include "channels/ChannelCatalogue.h"
#include "lists/BuiltInChannelMatcher.h"
#include "lists/ChannelListsNotice.h"
#include "lists/SuggestedLists.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <memory>

class ChannelListLibrary;
class ChannelListRegistry;
class ChannelListsWindow;
class ChannelPicks;
class ChannelWindow;
class LogoCache;
class MainWindow;
class Player;
class QAction;
struct ListChannel;

// Brings the user's channel lists into the program: the "Listas de canais"
// and "Canais" windows with their menu items, buttons and shortcuts, the
// built-in channels' addresses found in the lists, tuning built-in and list
// channels and any address, and the notices for channels without an address.
// Until start(), built-in channels tune from the catalogue as given.
class ChannelListsHub : public QObject
{
    Q_OBJECT

public:
    ChannelListsHub(MainWindow &main, Player &player, const ChannelCatalogue &catalogue);
    ~ChannelListsHub() override;

    // Reads the lists (cache first, then a background refresh of old ones) and,
    // on a first start without any list, says so and offers the public lists.
    void start();
    // The public lists offered (the built-in file unless replaced before start()).
    void setSuggestedLists(const QVector<SuggestedList> &suggested) { m_suggested = suggested; }

    ChannelListsWindow *showListsWindow();
    ChannelWindow *showChannelWindow();
    // "Abrir endereço…": asks for an address and plays it.
    void openAddress();
    // A network stream or a local regular file, as the address rule admits
    // from the user; anything else is refused with a message.
    void playAddress(const QString &typed);
    void tuneListChannel(const ListChannel &channel);
    // A built-in channel, with the address its lists found (a channel without
    // one says so and is not tuned).
    void tuneBuiltIn(const Channel &channel);

    ChannelListRegistry &registry() const { return *m_registry; }
    ChannelListLibrary &library() const { return *m_library; }
    ChannelPicks &picks() const { return *m_picks; }
    const ChannelCatalogue &catalogue() const { return m_applied; }
    ChannelListsNotice *notice() const { return m_notice; }

    // Built-in radios found in the radio database: played after what the
    // lists found for them, and counted among the channels with an address.
    void setRadioSources(const BuiltInSources &sources);
    // More rows for "Canais" (favourite and recent radio stations).
    void setExtraChannels(const ListChannels &channels);
    // The logos of "Canais", shared with other windows that show pictures.
    LogoCache &logos();

private:
    void addMenuItemsAndButtons();
    // Gives a built-in channel the address its lists found; false when it has none.
    bool prepareBuiltInTune(Channel &channel);
    void applyLists();
    // Tells the engine which of these streams may skip the certificate check.
    void sendCertificateChoices(const QVector<ListChannel> &entries);
    void showNotice(const QString &text, const QVector<SuggestedList> &suggested);
    void showCoverage();

    void tune(const Channel &channel);

    MainWindow &m_main;
    Player &m_player;
    ChannelCatalogue m_base;
    ChannelCatalogue m_applied;
    BuiltInChannelMatcher m_matcher;
    BuiltInSources m_sources;
    BuiltInSources m_radioSources;
    ListChannels m_extraChannels;
    QVector<SuggestedList> m_suggested;
    std::unique_ptr<ChannelListRegistry> m_registry;
    std::unique_ptr<ChannelListLibrary> m_library;
    std::unique_ptr<ChannelPicks> m_picks;
    std::unique_ptr<ChannelListsWindow> m_listsWindow;
    std::unique_ptr<LogoCache> m_logos;
    std::unique_ptr<ChannelWindow> m_channelWindow;
    QPointer<ChannelListsNotice> m_notice;
    QTimer m_applyLater; // coalesces the changes of several lists into one pass
    QTimer m_refreshTimer;
    bool m_started = false;
    bool m_noAddressShown = false;
    QSet<QString> m_acceptingInvalid; // addresses the engine was told may skip the check
};
