#pragma once

#include "channels/ChannelCatalogue.h"
#include "lists/BuiltInChannelMatcher.h"
#include "lists/ChannelListsNotice.h"
#include "lists/ListChannel.h"
#include "lists/SuggestedLists.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <memory>
#include <optional>

class ChannelListLibrary;
class ChannelListRegistry;
class ChannelListsWindow;
class ChannelPicks;
class ChannelSources;
class ChannelWindow;
class LogoCache;
class MainWindow;
class MeteredNetwork;
class Player;
class QAction;

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
    // The public guides offered with the lists on a first start (none unless set).
    void setSuggestedGuides(const QVector<SuggestedList> &suggested) { m_suggestedGuides = suggested; }

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

    // --- changing channels by key ---
    // The neighbour (step -1 or +1) of the list channel on, in "Canais" as it
    // shows the lists (all channels in list order before it is first opened);
    // from any other channel, the first or the last.
    void tuneNeighbour(int step);
    // Back to the channel tuned before (built-in, list channel or address).
    void tuneLastChannel();
    // Digits collect a channel number: its place in the list as shown,
    // tuned once no digit has come for channelNumberPauseMs.
    void typeChannelDigit(int digit);
    static constexpr int channelNumberPauseMs = 1500;
    QTimer &channelNumberTimer() { return m_numberTimer; }

    ChannelListRegistry &registry() const { return *m_registry; }
    ChannelListLibrary &library() const { return *m_library; }
    ChannelPicks &picks() const { return *m_picks; }
    ChannelSources &sources() const { return *m_channelSources; }
    MeteredNetwork &metered() const { return *m_metered; }
    // "Verificar canais" of one list, or of all (an empty id); on a metered
    // connection the user is asked first.
    void checkSources(const QString &listId);
    // Favourites and recents, once a day, never on a metered connection.
    void checkPicksIfDue();
    const ChannelCatalogue &catalogue() const { return m_applied; }
    // The list entries each built-in channel plays, by control, the first first.
    const BuiltInSources &builtInSources() const { return m_sources; }
    ChannelListsNotice *notice() const { return m_notice; }

    // Built-in radios found in the radio database: played after what the
    // lists found for them, and counted among the channels with an address.
    void setRadioSources(const BuiltInSources &sources);
    // More rows for "Canais" (favourite and recent radio stations).
    void setExtraChannels(const ListChannels &channels);
    // The logos of "Canais", shared with other windows that show pictures.
    LogoCache &logos();
signals:
    // "Guia de programação" (context menu after "Canais", Ctrl+G).
    void guideRequested();
    // "Canais" was made: features add their parts to it.
    void channelWindowMade(ChannelWindow *window);
    // A list channel or a built-in channel was tuned; plays is the list entry
    // a built-in channel plays (empty, without an address, when none).
    void listChannelTuned(const ListChannel &entry);
    void builtInChannelTuned(const Channel &channel, const ListChannel &plays);
    // The lists' channels were matched to the built-in channels again.
    void listsApplied();
    // "Listas de canais" was just made: parts of other subsystems join it.
    void listsWindowMade(ChannelListsWindow *window);
    // The user ticked some of the suggested guides at first start.
    void suggestedGuidesAccepted(const QVector<SuggestedList> &chosen);

private:
    void addMenuItemsAndButtons();
    // Gives a built-in channel the address its lists found; false when it has none.
    bool prepareBuiltInTune(Channel &channel);
    void applyLists();
    // Tells the engine which of these streams may skip the certificate check.
    void sendCertificateChoices(const QVector<ListChannel> &entries);
    void showNotice(const QString &text, const QVector<SuggestedList> &suggested,
        const QVector<SuggestedList> &suggestedGuides = {});
    void showCoverage();

    void tune(const Channel &channel);
    // The channel's sources in order: the first plays, the rest are what the
    // player rotates through; each source's headers and certificate choice go
    // to the engine. key names the channel whose kept choice a source that
    // plays well becomes.
    void offerSources(const QString &windowTitle, const QString &key, const QVector<ListChannel> &sources);
    void notePlaying();
    void tuneChannelNumber();
    // The list channel at this place of the list as shown; an empty one when none.
    ListChannel shownChannel(int row, int *count = nullptr) const;

    // What a tune tuned, to tune it again.
    struct TuneRecord {
        Channel channel;
        std::optional<ListChannel> listChannel;
    };

    MainWindow &m_main;
    Player &m_player;
    ChannelCatalogue m_base;
    ChannelCatalogue m_applied;
    BuiltInChannelMatcher m_matcher;
    BuiltInSources m_sources;
    BuiltInSources m_radioSources;
    QVector<SuggestedList> m_suggested;
    QVector<SuggestedList> m_suggestedGuides;
    std::unique_ptr<ChannelListRegistry> m_registry;
    std::unique_ptr<ChannelListLibrary> m_library;
    std::unique_ptr<ChannelPicks> m_picks;
    std::unique_ptr<ChannelSources> m_channelSources;
    std::unique_ptr<MeteredNetwork> m_metered;
    QTimer *m_playedWell; // a source that keeps playing this long is tried first next time
    QTimer m_firstPicksCheck;
    QString m_tunedKey;
    QStringList m_tunedAddresses;
    std::unique_ptr<ChannelListsWindow> m_listsWindow;
    std::unique_ptr<LogoCache> m_logos;
    std::unique_ptr<ChannelWindow> m_channelWindow;
    QPointer<ChannelListsNotice> m_notice;
    QTimer m_applyLater; // coalesces the changes of several lists into one pass
    QTimer m_refreshTimer;
    bool m_started = false;
    bool m_noAddressShown = false;
    QSet<QString> m_acceptingInvalid; // addresses the engine was told may skip the check
    std::optional<ListChannel> m_listChannelTuning; // set while tuneListChannel() runs
    std::optional<TuneRecord> m_currentTune;
    std::optional<TuneRecord> m_previousTune;
    QTimer m_numberTimer;
    QString m_typedNumber;
};
