#include "app/ChannelListsHub.h"

#include "app/MainWindow.h"
#include "base/SafeCall.h"
#include "channels/ChannelStrip.h"
#include "engine/MediaEngine.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ChannelListsNotice.h"
#include "lists/ChannelListsWindow.h"
#include "lists/ChannelNameRules.h"
#include "lists/ChannelPicks.h"
#include "lists/ChannelSources.h"
#include "lists/ChannelWindow.h"
#include "lists/ListAddress.h"
#include "lists/LogoCache.h"
#include "lists/SourceCheckPanel.h"
#include "net/AddressRule.h"
#include "net/MeteredNetwork.h"
#include "player/AlternateAddresses.h"
#include "player/ChannelTitle.h"
#include "player/Player.h"
#include "widgets/Dialogs.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

namespace
{
constexpr int kRefreshCheckMs = 60 * 60 * 1000;
constexpr int kPlayedWellMs = 10 * 1000;
// The lists are read by then; the favourites' daily check waits for them.
constexpr int kFirstPicksCheckMs = 2 * 60 * 1000;

void sendHeaders(MediaEngine &engine, const ListChannel &entry)
{
    if (!entry.userAgent.isEmpty() || !entry.referrer.isEmpty())
        engine.setRequestHeaders(entry.address, entry.userAgent, entry.referrer);
}
} // namespace

// Only changes are sent: a choice undone in "Listas de canais" is undone in the engine too.
void ChannelListsHub::sendCertificateChoices(const QVector<ListChannel> &entries)
{
    const QSet<QString> accepting = m_library->addressesAcceptingInvalidCertificates();
    for (const ListChannel &entry : entries) {
        const bool accept = accepting.contains(entry.address);
        if (accept == m_acceptingInvalid.contains(entry.address))
            continue;
        m_player.engine().setAcceptInvalidCertificates(entry.address, accept);
        if (accept)
            m_acceptingInvalid.insert(entry.address);
        else
            m_acceptingInvalid.remove(entry.address);
    }
}

ChannelListsHub::ChannelListsHub(MainWindow &main, Player &player, const ChannelCatalogue &catalogue)
    : QObject(&main)
    , m_main(main)
    , m_player(player)
    , m_base(catalogue)
    , m_applied(catalogue)
    , m_matcher(catalogue)
    , m_suggested(SuggestedLists::builtIn())
    , m_registry(std::make_unique<ChannelListRegistry>())
    , m_library(std::make_unique<ChannelListLibrary>(m_registry.get()))
    , m_picks(std::make_unique<ChannelPicks>())
    , m_channelSources(std::make_unique<ChannelSources>(*m_registry, *m_library))
    , m_metered(std::make_unique<MeteredNetwork>())
    , m_playedWell(new QTimer(this))
{
    setObjectName(QStringLiteral("ChannelListsHub"));
    m_playedWell->setObjectName(QStringLiteral("SourcePlayedWellTimer"));
    m_playedWell->setSingleShot(true);
    m_playedWell->setInterval(kPlayedWellMs);
    connect(m_playedWell, &QTimer::timeout, this, [this] { safeCall([this] { notePlaying(); }); });
    connect(&m_player.engine(), &MediaEngine::stateChanged, this, [this](MediaEngine::State state) {
        if (state == MediaEngine::State::Playing && !m_tunedKey.isEmpty()) {
            if (!m_playedWell->isActive())
                m_playedWell->start();
        } else if (state != MediaEngine::State::Buffering) {
            m_playedWell->stop();
        }
    });
    m_firstPicksCheck.setSingleShot(true);
    m_firstPicksCheck.setInterval(kFirstPicksCheckMs);
    connect(&m_firstPicksCheck, &QTimer::timeout, this, [this] { safeCall([this] { checkPicksIfDue(); }); });
    m_numberTimer.setObjectName(QStringLiteral("ChannelNumberTimer"));
    m_numberTimer.setSingleShot(true);
    m_numberTimer.setInterval(channelNumberPauseMs);
    connect(&m_numberTimer, &QTimer::timeout, this, [this] { safeCall([this] { tuneChannelNumber(); }); });
    m_applyLater.setSingleShot(true);
    m_applyLater.setInterval(0);
    connect(&m_applyLater, &QTimer::timeout, this, [this] { safeCall([this] { applyLists(); }); });
    connect(
        m_library.get(), &ChannelListLibrary::channelsChanged, &m_applyLater, qOverload<>(&QTimer::start));
    connect(m_registry.get(), &ChannelListRegistry::listsChanged, &m_applyLater, qOverload<>(&QTimer::start));
    // Lists go stale while the program runs for days; checking hourly costs nothing.
    m_refreshTimer.setInterval(kRefreshCheckMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        safeCall([this] {
            m_library->refreshStale();
            checkPicksIfDue();
        });
    });

    addMenuItemsAndButtons();
}

ChannelListsHub::~ChannelListsHub() = default;

void ChannelListsHub::addMenuItemsAndButtons()
{
    const QList<QAction *> items = m_main.addMenuSection({
        { "ChannelListsItem", QStringLiteral("Listas de canais"), QKeySequence() },
        { "ChannelsItem", QStringLiteral("Canais"), QKeySequence(Qt::CTRL | Qt::Key_K) },
        { "GuideItem", QString::fromUtf8("Guia de programação"), QKeySequence(Qt::CTRL | Qt::Key_G) },
        { "OpenAddressItem", QStringLiteral("Abrir endereço…"), QKeySequence(Qt::CTRL | Qt::Key_L) },
    });
    auto onTriggered = [this](QAction *action, std::function<void()> handler) {
        connect(action, &QAction::triggered, this, [handler = std::move(handler)] { safeCall(handler); });
    };
    onTriggered(items.at(0), [this] { showListsWindow(); });
    onTriggered(items.at(1), [this] { showChannelWindow(); });
    onTriggered(items.at(2), [this] { emit guideRequested(); });
    onTriggered(items.at(3), [this] { openAddress(); });

    auto onClicked = [this](QAbstractButton *button, std::function<void()> handler) {
        connect(
            button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { safeCall(handler); });
    };
    onClicked(m_main.addSystemPageButton("ChannelListsButton", QStringLiteral("Listas\nde canais")),
        [this] { showListsWindow(); });
    onClicked(m_main.addSystemPageButton("ChannelsButton", QStringLiteral("Canais")),
        [this] { showChannelWindow(); });
    FlatButton *open
        = m_main.addPlayerPageButton("OpenAddressButton", QStringLiteral("URL"), QRect(10, 5, 33, 18));
    open->setToolTip(QStringLiteral("Abrir endereço… (Ctrl+L)"));
    open->setAccessibleLabel(QStringLiteral("Abrir endereço"));
    onClicked(open, [this] { openAddress(); });
}

void ChannelListsHub::start()
{
    if (m_started)
        return;
    m_started = true;
    m_library->start();
    m_refreshTimer.start();
    m_firstPicksCheck.start();
    applyLists();
    if (m_registry->lists().isEmpty() && !m_registry->suggestionsAnswered()) {
        showNotice(ChannelListsNotice::firstStartText(), m_suggested, m_suggestedGuides);
        // Without suggestions there is nothing to answer: the notice is said once.
        if (m_suggested.isEmpty())
            m_registry->setSuggestionsAnswered();
    }
}

void ChannelListsHub::showNotice(const QString &text, const QVector<SuggestedList> &suggested,
    const QVector<SuggestedList> &suggestedGuides)
{
    if (m_notice)
        m_notice->close();
    m_notice = new ChannelListsNotice(text, suggested, &m_main, suggestedGuides);
    connect(m_notice, &ChannelListsNotice::guidesAccepted, this, &ChannelListsHub::suggestedGuidesAccepted);
    connect(m_notice, &ChannelListsNotice::openListsRequested, this,
        [this] { safeCall([this] { showListsWindow(); }); });
    connect(m_notice, &ChannelListsNotice::suggestionsAccepted, this,
        [this](const QVector<SuggestedList> &chosen) {
            m_registry->setSuggestionsAnswered();
            for (const SuggestedList &list : chosen)
                m_registry->add(list.name, list.address);
        });
    connect(m_notice, &ChannelListsNotice::suggestionsDeclined, this,
        [this] { m_registry->setSuggestionsAnswered(); });
    m_notice->show();
}

void ChannelListsHub::applyLists()
{
    m_channelSources->update();
    const ListChannels &all = m_channelSources->channels().entries();
    m_sources = m_matcher.match(all);
    for (auto it = m_radioSources.cbegin(); it != m_radioSources.cend(); ++it)
        for (const ListChannel &entry : it.value())
            if (!m_sources.value(it.key()).contains(entry))
                m_sources[it.key()] << entry;
    for (auto it = m_sources.begin(); it != m_sources.end(); ++it)
        *it = m_channelSources->ranked(*it);
    m_applied = BuiltInChannelMatcher::applied(m_base, m_sources);
    for (const AlternateList &list : m_applied.alternateLists())
        m_player.alternates().setEntries(
            ChannelCatalogue::windowTitlePrefix() + list.titleSuffix, list.entries);
    showCoverage();
    emit listsApplied();
}

void ChannelListsHub::setRadioSources(const BuiltInSources &sources)
{
    m_radioSources = sources;
    m_applyLater.start();
}

void ChannelListsHub::setExtraChannels(const ListChannels &channels)
{
    m_channelSources->setExtraChannels(channels);
}

LogoCache &ChannelListsHub::logos()
{
    if (!m_logos)
        m_logos = std::make_unique<LogoCache>();
    return *m_logos;
}

void ChannelListsHub::showCoverage()
{
    if (!m_listsWindow)
        return;
    QStringList names;
    for (const Channel &channel : m_applied.channels())
        if (!ListAddress::isPlaceholder(channel.address))
            names << channel.titleSuffix;
    m_listsWindow->setCoverage(BuiltInChannelMatcher::coverageText(
                                   m_matcher.channelsWithAddress(m_sources), m_matcher.channelCount()),
        names);
}

bool ChannelListsHub::prepareBuiltInTune(Channel &channel)
{
    if (!m_started || channel.control.isEmpty())
        return true;
    if (const Channel *applied = m_applied.byControl(channel.control))
        channel = *applied;
    bool hasAddress = !ListAddress::isPlaceholder(channel.address);
    if (const AlternateList *list = m_applied.alternateList(channel.alternateList))
        for (const QString &entry : list->entries)
            hasAddress = hasAddress || !ListAddress::isPlaceholder(entry);
    if (!hasAddress) {
        // Nothing is played, so no status follows and no reconnection question.
        m_player.title().showText(
            ChannelCatalogue::windowTitleFor(channel) + QStringLiteral(" sem endereço"));
        if (!m_noAddressShown) {
            m_noAddressShown = true;
            showNotice(ChannelListsNotice::noAddressText(channel.titleSuffix), {});
        }
        return false;
    }
    // Ranked now: checks and choices may have changed since the lists were read.
    const QVector<ListChannel> sources = m_channelSources->ranked(m_sources.value(channel.control));
    if (sources.isEmpty()) {
        m_tunedKey.clear();
        return true;
    }
    channel.address = sources.first().address;
    const int merged = m_channelSources->channelOf(sources.first());
    offerSources(ChannelCatalogue::windowTitleFor(channel),
        merged < 0 ? QString() : m_channelSources->channels().key(merged), sources);
    return true;
}

void ChannelListsHub::offerSources(
    const QString &windowTitle, const QString &key, const QVector<ListChannel> &sources)
{
    QStringList addresses;
    for (const ListChannel &entry : sources) {
        if (ListAddress::isPlaceholder(entry.address) || addresses.contains(entry.address))
            continue;
        addresses << entry.address;
        sendHeaders(m_player.engine(), entry);
    }
    sendCertificateChoices(sources);
    m_player.alternates().setEntries(windowTitle, addresses);
    m_tunedKey = key;
    m_tunedAddresses = addresses;
    m_playedWell->stop();
}

void ChannelListsHub::notePlaying()
{
    const QString playing = m_player.engine().url();
    if (m_player.engine().state() == MediaEngine::State::Playing && m_tunedAddresses.contains(playing))
        m_channelSources->notePlayedWell(m_tunedKey, playing);
}

void ChannelListsHub::checkSources(const QString &listId)
{
    if (m_metered->isMetered()
        && showMessage(m_listsWindow ? static_cast<QWidget *>(m_listsWindow.get()) : &m_main,
               { applicationTitle(),
                   QString::fromUtf8("A conexão atual é tarifada (dados móveis ou roteador do celular). "
                                     "A verificação pede os primeiros bytes de cada fonte. Verificar "
                                     "mesmo assim?"),
                   QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                   QMessageBox::No })
            != QMessageBox::Yes)
        return;
    if (listId.isEmpty())
        m_channelSources->checkAll();
    else
        m_channelSources->checkList(listId);
}

void ChannelListsHub::checkPicksIfDue()
{
    if (m_metered->isMetered())
        return;
    QStringList keys = m_picks->favourites();
    keys += m_picks->recents();
    keys.removeDuplicates();
    m_channelSources->checkDaily(keys);
}

void ChannelListsHub::tuneListChannel(const ListChannel &chosen)
{
    // Every source of the merged channel, in rank order, the chosen one first.
    const int merged = m_channelSources->channelOf(chosen);
    QVector<ListChannel> sources { chosen };
    for (const ListChannel &entry : m_channelSources->rankedSources(merged))
        if (entry.address != chosen.address)
            sources << entry;
    Channel channel;
    channel.titleSuffix = chosen.title.isEmpty() ? chosen.name : chosen.title;
    channel.address = chosen.address;
    const QString key
        = merged < 0 ? ChannelPicks::identityOf(chosen) : m_channelSources->channels().key(merged);
    offerSources(ChannelCatalogue::windowTitleFor(channel), key, sources);
    m_picks->noteTuned(key);
    m_listChannelTuning = chosen;
    tune(channel);
    m_listChannelTuning.reset();
    emit listChannelTuned(chosen);
}

void ChannelListsHub::openAddress()
{
    const QString address = askForText(&m_main,
        { QStringLiteral("Abrir endereço…"),
            QStringLiteral("Endereço (http, https, rtmp, rtsp, mms, udp, srt) ou caminho de um arquivo:"),
            QString() })
                                .trimmed();
    if (!address.isEmpty())
        playAddress(address);
}

void ChannelListsHub::playAddress(const QString &typed)
{
    const QString address
        = AddressRule::screened(typed, AddressRule::Origin::UserChosen, "the address dialog");
    if (address.isEmpty()) {
        showMessage(&m_main,
            { applicationTitle(),
                QString::fromUtf8(
                    "Este endereço não pode ser aberto. Use um endereço http, https, rtmp, rtsp, "
                    "mms, udp, rtp ou srt, ou o caminho completo de um arquivo do computador."),
                QMessageBox::Warning });
        return;
    }
    Channel channel;
    // A local file comes back as an absolute path.
    channel.titleSuffix = address.startsWith(u'/') ? QFileInfo(address).fileName() : address;
    channel.address = address;
    tune(channel);
}

void ChannelListsHub::tuneBuiltIn(const Channel &channel)
{
    Channel chosen = channel;
    if (!prepareBuiltInTune(chosen))
        return;
    tune(chosen);
    emit builtInChannelTuned(chosen, m_sources.value(chosen.control).value(0));
}

void ChannelListsHub::tune(const Channel &channel)
{
    if (!m_tunedAddresses.contains(channel.address)) {
        m_tunedKey.clear();
        m_tunedAddresses.clear();
    }
    // The title is the channel: tuning it again, or another of its entries, is no change of channel.
    const QString title = ChannelCatalogue::windowTitleFor(channel);
    if (m_currentTune && ChannelCatalogue::windowTitleFor(m_currentTune->channel) != title)
        m_previousTune = m_currentTune;
    m_currentTune = TuneRecord { channel, m_listChannelTuning };
    m_player.tune(
        { ChannelCatalogue::windowTitleFor(channel), channel.address, channel.switchesReconnectionOff });
}

// --- changing channels by key ---

ListChannel ChannelListsHub::shownChannel(int row, int *count) const
{
    if (m_channelWindow) {
        if (count)
            *count = m_channelWindow->shownCount();
        return m_channelWindow->shownAt(row);
    }
    const MergedChannels &channels = m_channelSources->channels();
    if (count)
        *count = channels.size();
    return row >= 0 && row < channels.size() ? m_channelSources->rankedSources(row).value(0) : ListChannel {};
}

void ChannelListsHub::tuneNeighbour(int step)
{
    int count = 0;
    shownChannel(-1, &count);
    if (count == 0)
        return;
    int row = -1;
    if (m_currentTune && m_currentTune->listChannel) {
        const QString address = m_currentTune->listChannel->address;
        if (m_channelWindow) {
            row = m_channelWindow->shownRowOf(address);
        } else {
            row = m_channelSources->channelOf(*m_currentTune->listChannel);
        }
    }
    row = row < 0 ? (step > 0 ? 0 : count - 1) : ((row + step) % count + count) % count;
    const ListChannel next = shownChannel(row);
    if (!next.address.isEmpty())
        tuneListChannel(next);
}

void ChannelListsHub::tuneLastChannel()
{
    if (!m_previousTune)
        return;
    const TuneRecord last = *m_previousTune;
    if (last.listChannel)
        tuneListChannel(*last.listChannel);
    else if (!last.channel.control.isEmpty())
        tuneBuiltIn(last.channel);
    else
        tune(last.channel);
}

void ChannelListsHub::typeChannelDigit(int digit)
{
    // Five digits are more channels than any list holds: start again.
    if (m_typedNumber.size() >= 5)
        m_typedNumber.clear();
    m_typedNumber += QChar(u'0' + digit);
    m_numberTimer.start();
}

void ChannelListsHub::tuneChannelNumber()
{
    const int number = m_typedNumber.toInt();
    m_typedNumber.clear();
    const ListChannel chosen = shownChannel(number - 1);
    if (!chosen.address.isEmpty())
        tuneListChannel(chosen);
}

ChannelListsWindow *ChannelListsHub::showListsWindow()
{
    if (!m_listsWindow) {
        m_listsWindow = std::make_unique<ChannelListsWindow>(*m_registry, *m_library, m_suggested);
        auto *check = new SourceCheckPanel(m_channelSources->checker());
        check->setMetered(m_metered->isMetered());
        connect(m_metered.get(), &MeteredNetwork::meteredChanged, check, &SourceCheckPanel::setMetered);
        connect(check, &SourceCheckPanel::checkSelectedRequested, this, [this] {
            safeCall([this] {
                const QString id = m_listsWindow->selectedListId();
                if (!id.isEmpty())
                    checkSources(id);
            });
        });
        connect(check, &SourceCheckPanel::checkAllRequested, this,
            [this] { safeCall([this] { checkSources({}); }); });
        // A row of buttons and a bar: the tables keep the room.
        m_listsWindow->addPart(check, 0);
        showCoverage();
        emit listsWindowMade(m_listsWindow.get());
    }
    m_listsWindow->show();
    m_listsWindow->raise();
    m_listsWindow->activateWindow();
    return m_listsWindow.get();
}

ChannelWindow *ChannelListsHub::showChannelWindow()
{
    // A list that just arrived is shown at once, not after the coalescing pass.
    if (m_applyLater.isActive()) {
        m_applyLater.stop();
        applyLists();
    }
    if (!m_channelWindow) {
        m_channelWindow = std::make_unique<ChannelWindow>(*m_picks);
        m_channelWindow->setLogoCache(&logos());
        m_channelWindow->setSources(m_channelSources.get());
        connect(m_channelWindow.get(), &ChannelWindow::tuneRequested, this,
            [this](const ListChannel &channel) { safeCall([this, &channel] { tuneListChannel(channel); }); });
        emit channelWindowMade(m_channelWindow.get());
    }
    m_channelWindow->show();
    m_channelWindow->raise();
    m_channelWindow->activateWindow();
    return m_channelWindow.get();
}
