#include "app/GuideHub.h"

#include "app/ChannelListsHub.h"
#include "app/MainWindow.h"
#include "base/SafeCall.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MediaEngine.h"
#include "guide/ChannelGuidePanel.h"
#include "guide/GuideChannelDialog.h"
#include "guide/GuideChoices.h"
#include "guide/GuideLibrary.h"
#include "guide/GuideWindow.h"
#include "guide/ProgrammeBanner.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelPicks.h"
#include "lists/ChannelWindow.h"
#include "player/Player.h"
#include "widgets/FlatButton.h"

#include <QAction>

GuideHub::GuideHub(MainWindow &main, Player &player, ChannelListsHub &lists, GuideLibrary &guides,
    GuideRegistry &registry, GuideChoices &choices)
    : QObject(&main)
    , m_main(main)
    , m_player(player)
    , m_lists(lists)
    , m_guides(guides)
    , m_registry(registry)
    , m_choices(choices)
    , m_notes(guides)
    , m_tuned(guides)
{
    setObjectName(QStringLiteral("GuideHub"));
    connect(&m_lists, &ChannelListsHub::guideRequested, this,
        [this] { safeCall([this] { showGuideWindow(); }); });
    FlatButton *button = m_main.addSystemPageButton("GuideButton", QString::fromUtf8("Guia de\nprogramação"));
    button->setToolTip(QString::fromUtf8("Guia de programação (Ctrl+G)"));
    connect(button, &QAbstractButton::clicked, this, [this] { safeCall([this] { showGuideWindow(); }); });
    connect(&m_lists, &ChannelListsHub::channelWindowMade, this,
        [this](ChannelWindow *window) { safeCall([this, window] { addToChannelWindow(window); }); });

    // The banner, above the video and clear of the pop-up panels.
    m_banner = new ProgrammeBanner(m_tuned, &m_main);
    m_banner->follow(m_player.engine().videoWidget(), m_main.popupPanels());
    m_player.engine().keepAboveVideo(m_banner);
    m_bannerState.setCleanScreen(m_main.isCleanScreen());
    connect(
        &m_bannerState, &ProgrammeBannerState::shownChanged, m_banner.data(), &ProgrammeBanner::setWanted);
    connect(&m_main, &MainWindow::cleanScreenChanged, &m_bannerState, &ProgrammeBannerState::setCleanScreen);
    auto *ask = new QAction(QStringLiteral("Programação do canal"), &m_main);
    ask->setObjectName(QStringLiteral("ProgrammeBannerAction"));
    ask->setShortcut(QKeySequence(Qt::Key_I));
    m_main.addAction(ask);
    connect(ask, &QAction::triggered, this, [this] {
        safeCall([this] {
            if (m_tuned.hasChannel())
                m_bannerState.asked();
        });
    });

    connect(&m_lists, &ChannelListsHub::listChannelTuned, this, [this](const ListChannel &entry) {
        safeCall([&] {
            channelTuned(
                GuideChannelQuery::forEntry(entry), entry.title.isEmpty() ? entry.name : entry.title);
        });
    });
    connect(&m_lists, &ChannelListsHub::builtInChannelTuned, this,
        [this](const Channel &channel, const ListChannel &plays) {
            safeCall([&] {
                channelTuned(
                    GuideChannelQuery::forBuiltIn(channel, plays.address.isEmpty() ? nullptr : &plays),
                    channel.titleSuffix);
            });
        });
    connect(&m_player, &Player::loadedChanged, this, [this] { safeCall([this] { loadedChanged(); }); });

    // The grid follows the guides, the lists and the favourites, while it shows.
    auto gridChanged = [this] {
        safeCall([this] {
            m_gridStale = true;
            if (m_window && m_window->isVisible())
                fillGrid();
        });
    };
    connect(&m_guides, &GuideLibrary::schedulesChanged, this, gridChanged);
    connect(&m_lists.library(), &ChannelListLibrary::channelsChanged, this, gridChanged);
    connect(&m_lists.picks(), &ChannelPicks::favouritesChanged, this, gridChanged);
}

GuideHub::~GuideHub() = default;

void GuideHub::channelTuned(const GuideChannelQuery &query, const QString &name)
{
    m_tunedTitle = m_player.loaded().title;
    m_tuned.setChannel(query, name);
    if (!m_tuned.schedule().isEmpty())
        m_bannerState.channelTuned();
    else
        m_bannerState.nothingTuned();
}

void GuideHub::loadedChanged()
{
    // A file, an address or a playlist took the channel's place.
    const LoadedMedia &loaded = m_player.loaded();
    if (loaded.kind == LoadedMedia::Kind::Channel && loaded.title == m_tunedTitle)
        return;
    m_tunedTitle.clear();
    m_tuned.clear();
    m_bannerState.nothingTuned();
}

void GuideHub::addToChannelWindow(ChannelWindow *window)
{
    window->setRowNotes(&m_notes);
    auto *panel = new ChannelGuidePanel(m_notes);
    connect(window, &ChannelWindow::currentChannelChanged, panel, &ChannelGuidePanel::showChannel);
    window->setDetailPanel(panel);
    auto *choose = new QAction(QString::fromUtf8("Escolher guia…"), window);
    choose->setObjectName(QStringLiteral("ChooseGuideAction"));
    connect(choose, &QAction::triggered, this, [this, window] {
        safeCall([this, window] {
            const ListChannel channel = window->currentChannel();
            if (!channel.address.isEmpty())
                chooseGuideFor(channel, window);
        });
    });
    window->addRowAction(choose);
}

void GuideHub::chooseGuideFor(const ListChannel &channel, QWidget *parent)
{
    const QString identity = ChannelPicks::identityOf(channel);
    GuideChannelDialog dialog(channel.title.isEmpty() ? channel.name : channel.title, m_guides.matcher(),
        m_registry, m_choices.choiceFor(identity), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const GuideChannelDialog::Answer answer = dialog.answer();
    if (!answer)
        m_choices.forget(identity);
    else if (answer->isNone())
        m_choices.chooseNone(identity);
    else
        m_choices.choose(identity, answer->guideId, answer->channelId);
}

void GuideHub::fillGrid()
{
    m_gridStale = false;
    const ListChannels all = m_lists.library().allChannels();
    QVector<ListChannel> entries;
    entries.reserve(all.size());
    for (qsizetype i = 0; i < all.size(); ++i)
        entries.append(all.at(i));
    m_grid.setChannels(GuideGridModel::rowsFor(
        entries, QVector<int>(entries.size(), 0), m_lists.picks().favouriteSet(), m_guides.matcher()));
}

GuideWindow *GuideHub::showGuideWindow()
{
    if (!m_window) {
        m_window = std::make_unique<GuideWindow>(&m_grid);
        connect(m_window.get(), &GuideWindow::tuneRequested, this,
            [this](const ListChannel &channel) { safeCall([&] { m_lists.tuneListChannel(channel); }); });
        emit guideWindowMade(m_window.get(), &m_grid);
    }
    if (m_gridStale)
        fillGrid();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return m_window.get();
}
