#include "app/Program.h"

#include "about/AboutDialog.h"
#include "about/FaqDialog.h"
#include "app/ChannelListsHub.h"
#include "app/CommandLine.h"
#include "app/GuideHub.h"
#include "app/MainWindow.h"
#include "app/MediaOpener.h"
#include "app/RadioHub.h"
#include "app/RecordingsHub.h"
#include "app/SingleInstance.h"
#include "base/OldPlayerFailure.h"
#include "base/SafeCall.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserProcess.h"
#include "browser/BrowserWindow.h"
#include "channels/AlternateAddressLists.h"
#include "channels/ChannelCatalogue.h"
#include "desktop/MediaControls.h"
#include "engine/DeferredEngine.h"
#include "engine/MpvEngine.h"
#include "game/GameWindow.h"
#include "guide/GuideChoices.h"
#include "guide/GuideFeed.h"
#include "guide/GuideLibrary.h"
#include "guide/GuideRegistry.h"
#include "guide/GuideSourcesPanel.h"
#include "guide/GuideWindow.h"
#include "lists/ChannelListsWindow.h"
#include "options/KeptOptions.h"
#include "options/LogindPowerOff.h"
#include "options/OptionsWindow.h"
#include "packaging/ProgramIcon.h"
#include "playback/MiniPlayerWindow.h"
#include "player/AlternateAddresses.h"
#include "player/LiveBufferChoice.h"
#include "player/Player.h"
#include "player/SourceFailover.h"
#include "player/Transport.h"
#include "playlist/FolderPickerWindow.h"
#include "playlist/PlaylistWindow.h"
#include "update/UpdateChecker.h"
#include "update/UpdateSettings.h"
#include "update/UpdateWindow.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{
void installPortugueseDialogs(QApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QStringLiteral("pt_BR")), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// Help, version and argument errors end the program; an error started from a
// desktop menu, where no terminal shows it, also gets a box.
int endWithMessage(const CommandLineRequest &request)
{
    std::fputs(request.message.toLocal8Bit().constData(), request.isError() ? stderr : stdout);
    if (request.isError() && !isatty(STDERR_FILENO) && qApp)
        showMessage(
            nullptr, MessageRequest { applicationTitle(), request.message.trimmed(), QMessageBox::Critical });
    return request.exitCode;
}

void setUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("lumivortex"));
    // Wayland compositors find the icon through the desktop entry's name.
    QApplication::setDesktopFileName(QStringLiteral("lumivortex"));
    QApplication::setWindowIcon(ProgramIcon::icon());
    installPortugueseDialogs(app);
}

// The browser window alone, driven by the player through standard input.
int runBrowserProcess(int argc, char **argv)
{
    // Qt WebEngine needs shared GL contexts from before the application exists.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setUpApplication(app);
    BrowserWindow window;
    BrowserCommandReader commands(STDIN_FILENO, window);
    // The player has gone (quit or crashed): nothing is left to browse for.
    QObject::connect(&commands, &BrowserCommandReader::inputClosed, &app, &QApplication::quit);
    // Closing the window ends the process, and with it the web engine's memory.
    QApplication::setQuitOnLastWindowClosed(true);
    return QApplication::exec();
}
} // namespace

std::unique_ptr<MediaEngine> makePlayerEngine()
{
    // The player library loads with the first thing played, so a program that
    // sits idle or never plays does not pay for it. Where it cannot load, that
    // first tune is the old-player failure; a machine without video output
    // plays the sound and says so.
    return std::make_unique<DeferredEngine>(
        []() -> std::unique_ptr<MediaEngine> { return std::make_unique<MpvEngine>(); });
}

Program::Program(std::unique_ptr<MediaEngine> engine, const ChannelCatalogue &catalogue,
    std::unique_ptr<PowerOffService> powerOffService, GamePorts gamePorts)
    : m_powerOff(std::move(powerOffService))
{
    // The application's loop ends where the program decides it ends.
    connect(this, &Program::endRequested, qApp, [](int exitCode) { QCoreApplication::exit(exitCode); });
    m_mainWindow = std::make_unique<MainWindow>(catalogue);
    // The player's timers are the main window's, where the design names them.
    m_player = std::make_unique<Player>(std::move(engine), m_mainWindow.get());
    for (const AlternateList &list : catalogue.alternateLists())
        m_player->alternates().setEntries(
            ChannelCatalogue::windowTitlePrefix() + list.titleSuffix, list.entries);
    // Switching sources without asking is kept across runs.
    m_keptOptions = std::make_unique<KeptOptions>();
    m_player->failover().setEnabled(m_keptOptions->switchSourcesAlone());
    connect(&m_player->failover(), &SourceFailover::enabledChanged, this,
        [this](bool on) { m_keptOptions->setSwitchSourcesAlone(on); });
    // How much of a live channel is kept: given to the engine now and at each change.
    m_liveBufferChoice = std::make_unique<LiveBufferChoice>();
    const auto keepLive = [this] {
        safeCall([this] { m_player->engine().setLiveBufferSettings(m_liveBufferChoice->settings()); });
    };
    keepLive();
    connect(m_liveBufferChoice.get(), &LiveBufferChoice::changed, this, keepLive);
    if (!m_mainWindow->showPlayer(*m_player))
        return;
    m_started = true;
    createSideWindows(catalogue, gamePorts);
    connectMainWindow();
}

void Program::createSideWindows(const ChannelCatalogue &catalogue, GamePorts gamePorts)
{
    MainWindow *main = m_mainWindow.get();
    m_about = std::make_unique<AboutDialog>();
    m_options = std::make_unique<OptionsWindow>(
        m_player->engine(), m_player->reconnection(), m_player->failover(), main, *m_powerOff);
    m_options->showLiveBufferChoice(*m_liveBufferChoice);
    m_browser = std::make_unique<BrowserProcess>();
    m_miniPlayer = std::make_unique<MiniPlayerWindow>(m_player->transport(), *main);
    m_playlist = std::make_unique<PlaylistWindow>(*m_player, main);
    m_game = std::make_unique<GameWindow>(gamePorts);
    m_update = std::make_unique<UpdateWindow>();
    m_folderPicker = std::make_unique<FolderPickerWindow>();
    m_alternateLists = std::make_unique<AlternateAddressLists>(m_player->alternates(), catalogue);
    m_faq = std::make_unique<FaqDialog>();
    m_about->setFaqWindow(m_faq.get());
    m_about->setVersion(main->versionText());
    m_player->transport().setPlaylist(m_playlist.get());
    m_opener = std::make_unique<MediaOpener>(*m_player, *main, *m_playlist);
    m_updateChecker = new UpdateChecker(
        main->versionText(), QString::fromLatin1(kUpdateSettingsUrl), m_update.get(), main);
    m_channelLists = new ChannelListsHub(*main, *m_player, catalogue);
    m_radio = new RadioHub(*main, *m_player, *m_channelLists, catalogue);
    m_guideRegistry = std::make_unique<GuideRegistry>();
    m_guideChoices = std::make_unique<GuideChoices>();
    m_guides = std::make_unique<GuideLibrary>(*m_guideRegistry, *m_guideChoices);
    m_guideFeed = std::make_unique<GuideFeed>(
        *m_guides, *m_guideRegistry, m_channelLists->registry(), m_channelLists->library());
    connect(m_channelLists, &ChannelListsHub::listsApplied, m_guideFeed.get(), [this] {
        m_guideFeed->setBuiltIns(m_channelLists->catalogue().channels(), m_channelLists->builtInSources());
    });
    m_channelLists->setSuggestedGuides(GuideRegistry::suggested());
    connect(m_channelLists, &ChannelListsHub::suggestedGuidesAccepted, m_guideFeed.get(),
        [this](const QVector<SuggestedList> &chosen) {
            for (const SuggestedList &guide : chosen)
                m_guideRegistry->add(guide.name, guide.address);
        });
    connect(m_channelLists, &ChannelListsHub::listsWindowMade, m_guideFeed.get(),
        [this](ChannelListsWindow *window) {
            window->addPart(
                new GuideSourcesPanel(*m_guideRegistry, *m_guideFeed, GuideRegistry::suggested()));
        });
    m_guideHub
        = new GuideHub(*main, *m_player, *m_channelLists, *m_guides, *m_guideRegistry, *m_guideChoices);
    m_recordings = new RecordingsHub(*main, *m_player, *m_channelLists);
    m_recordings->setGuides(m_guides.get());
    connect(m_guideHub, &GuideHub::guideWindowMade, m_recordings,
        [this](GuideWindow *window, const GuideGridModel *grid) {
            m_recordings->watchGuideWindow(*window, *grid);
        });
}

void Program::connectMainWindow()
{
    MainWindow *main = m_mainWindow.get();
    auto safely = [](auto handler) { return [handler] { safeCall(handler); }; };
    connect(main, &MainWindow::channelChosen, m_channelLists,
        [this](const Channel &channel) { safeCall([&] { m_channelLists->tuneBuiltIn(channel); }); });
    connect(m_player.get(), &Player::tuneRefused, this, &Program::failTune);
    connect(main, &MainWindow::aboutRequested, this, safely([this] { m_about->exec(); }));
    connect(main, &MainWindow::optionsRequested, this, safely([this, main] { m_options->showBeside(main); }));
    connect(main, &MainWindow::stayOnTopRequested, this, safely([this] { m_options->toggleAlwaysOnTop(); }));
    connect(m_options.get(), &OptionsWindow::stayOnTopChanged, main, &MainWindow::setStayOnTopChecked);
    connect(
        main, &MainWindow::browserRequested, this, safely([this, main] { m_browser->showCentredOn(main); }));
    connect(main, &MainWindow::videosModeRequested, this, safely([this, main] {
        m_browser->showCentredOn(main);
        m_browser->selectVideosMode();
    }));
    connect(main, &MainWindow::lyricsModeRequested, this, safely([this, main] {
        m_browser->showCentredOn(main);
        m_browser->selectLyricsMode();
    }));
    connect(main, &MainWindow::lyricsSearchRequested, this,
        [this](const QString &song) { safeCall([&] { m_browser->searchLyricsFor(song); }); });
    connect(main, &MainWindow::gameRequested, this, safely([this] { m_game->showCentred(); }));
    connect(
        main, &MainWindow::playlistRequested, this, safely([this, main] { m_playlist->showBeside(main); }));
    connect(main, &MainWindow::playlistFromTrayRequested, this, safely([this] { m_playlist->show(); }));
    connect(m_playlist.get(), &PlaylistWindow::playerPageWanted, main, &MainWindow::switchToPlayerTab);
    connect(main, &MainWindow::filesDropped, this,
        [this](const QStringList &paths) { safeCall([&] { m_playlist->dropFiles(paths, false); }); });
    connect(main, &MainWindow::miniPlayerToggleRequested, this, safely([this] { toggleMiniPlayer(); }));
    connect(
        m_miniPlayer.get(), &MiniPlayerWindow::switchRequested, this, safely([this] { toggleMiniPlayer(); }));
    connect(m_miniPlayer.get(), &MiniPlayerWindow::closeRequested, main, &QWidget::close);
    connect(main, &MainWindow::openAddressRequested, m_channelLists,
        safely([this] { m_channelLists->openAddress(); }));
    connect(main, &MainWindow::channelStepRequested, m_channelLists,
        [this](int step) { safeCall([&] { m_channelLists->tuneNeighbour(step); }); });
    connect(main, &MainWindow::lastChannelRequested, m_channelLists,
        safely([this] { m_channelLists->tuneLastChannel(); }));
    connect(main, &MainWindow::channelDigitTyped, m_channelLists,
        [this](int digit) { safeCall([&] { m_channelLists->typeChannelDigit(digit); }); });
    connect(main, &MainWindow::endRequested, this, &Program::endRequested);
    // Closing the window quits when the loop next turns, so that a caller
    // waiting for an answer (the desktop's Quit) still gets it.
    connect(main, &MainWindow::closed, qApp, &QCoreApplication::quit);
}

void Program::failTune()
{
    showMessage(m_mainWindow.get(), MessageRequest { applicationTitle(), OldPlayerFailure::tuneMessage() });
    emit endRequested(1);
}

Program::~Program()
{
    // Side windows use the player: they go first, the last made first.
    m_opener.reset();
    m_faq.reset();
    m_alternateLists.reset();
    m_folderPicker.reset();
    m_update.reset();
    m_game.reset();
    m_playlist.reset();
    m_miniPlayer.reset();
    m_browser.reset();
    m_options.reset();
    m_about.reset();
    delete m_radio.data();
    // Running recordings close their files; they read the channel lists'
    // sources and name themselves from the guides.
    delete m_recordings.data();
    // The guides' views go first; the guides follow the channel lists, and
    // their readings end before what they report to goes.
    delete m_guideHub.data();
    m_guideFeed.reset();
    m_guides.reset();
    m_guideChoices.reset();
    m_guideRegistry.reset();
    delete m_channelLists.data();
    delete m_mediaControls.data();
    delete m_singleInstance.data();
    // The engine frees its video, which lies in the main window, before the window goes.
    m_player.reset();
    m_mainWindow.reset();
}

ChannelListsHub &Program::channelLists() const
{
    return *m_channelLists;
}

RadioHub &Program::radio() const
{
    return *m_radio;
}

RecordingsHub &Program::recordings() const
{
    return *m_recordings;
}

UpdateChecker &Program::updateChecker() const
{
    return *m_updateChecker;
}

bool Program::started() const
{
    return m_started;
}

void Program::start()
{
    m_mainWindow->show();
    m_channelLists->start();
    m_radio->start();
    m_guideFeed->start();
    m_recordings->start();
}

void Program::toggleMiniPlayer()
{
    const bool miniVisible = m_miniPlayer->isVisible();
    m_miniPlayer->setVisible(!miniVisible);
    m_mainWindow->setVisible(miniVisible);
}

MediaControls *Program::installMediaControls(const QDBusConnection &bus)
{
    MediaControls *controls = MediaControls::install(*m_player, m_mainWindow.get(), bus);
    if (controls) {
        m_mediaControls = controls;
        connect(controls, &MediaControls::raiseRequested, this, &Program::raiseFromDesktop);
        connect(controls, &MediaControls::quitRequested, m_mainWindow.get(), &QWidget::close);
        connect(controls, &MediaControls::openRequested, this,
            [this](const QString &uri) { openItems({ uri }); });
        connect(controls, &MediaControls::volumeSet, m_mainWindow.get(), &MainWindow::showVolumeLevel);
        TunedProgramme &tuned = m_guideHub->tuned();
        connect(&tuned, &TunedProgramme::changed, controls,
            [controls, &tuned] { controls->setProgramme(tuned.programmeOnNow()); });
    }
    return controls;
}

SingleInstance *Program::listenForOtherCopies(const QDBusConnection &bus)
{
    SingleInstance *single = SingleInstance::listen(m_mainWindow.get(), bus);
    if (single) {
        m_singleInstance = single;
        connect(single, &SingleInstance::openRequested, this, [this](const QStringList &items) {
            openItems(items);
            raiseFromDesktop();
        });
    }
    return single;
}

int Program::openItems(const QStringList &items)
{
    return m_opener->open(items);
}

void Program::raiseFromDesktop()
{
    // From the mini player, the main window comes back as its own button brings it.
    if (m_miniPlayer->isVisible() && !m_mainWindow->isVisible())
        toggleMiniPlayer();
    m_mainWindow->returnFromTray();
    m_mainWindow->activateWindow();
}

int runProgram(int argc, char **argv)
{
    if (argc > 1
        && std::strcmp(argv[1], BrowserProcess::browserProcessArgument().toLatin1().constData()) == 0)
        return runBrowserProcess(argc, argv);
    // Help and version need no display.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (const CommandLineRequest early = CommandLine::parse(rawArguments); early.exitCode == 0)
        return endWithMessage(early);

    QApplication app(argc, argv);
    setUpApplication(app);
    // The main window decides when the program ends (it may be hidden in the tray).
    QApplication::setQuitOnLastWindowClosed(false);
    // libmpv refuses to start unless numbers are read the C way.
    std::setlocale(LC_NUMERIC, "C");

    // Read after Qt has taken its own options (-platform ...).
    const CommandLineRequest request = CommandLine::parse(QCoreApplication::arguments());
    if (!request.startsProgram())
        return endWithMessage(request);
    if (!request.items.isEmpty() && SingleInstance::handOver(request.items))
        return 0;

    // The user's channels.m3u is one of the channel lists now, matched with the others.
    Program program(
        makePlayerEngine(), ChannelCatalogue::builtIn(), std::make_unique<LogindPowerOff>(), GamePorts());
    if (!program.started())
        return 1;
    program.start();
    program.installMediaControls();
    program.listenForOtherCopies();
    if (!request.items.isEmpty())
        program.openItems(request.items);
    return QApplication::exec();
}
