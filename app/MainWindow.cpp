#include "app/MainWindow.h"

#include "about/AboutDialog.h"
#include "app/KeyboardShortcuts.h"
#include "app/MediaOpener.h"
#include "app/SingleInstance.h"
#include "app/TrayIcon.h"
#include "app/WindowLayout.h"
#include "base/OldPlayerFailure.h"
#include "base/SafeCall.h"
#include "browser/AdultArea.h"
#include "browser/BrowserProcess.h"
#include "channels/AlternateAddressLists.h"
#include "channels/ChannelStrip.h"
#include "channels/ChannelTuner.h"
#include "channels/Reconnection.h"
#include "desktop/MediaControls.h"
#include "engine/MediaEngine.h"
#include "game/GameWindow.h"
#include "options/OptionsWindow.h"
#include "playback/EffectsPanel.h"
#include "playback/LoopsAndEffects.h"
#include "playback/MiniPlayerWindow.h"
#include "playback/PlayerPanel.h"
#include "playback/Transport.h"
#include "playback/VolumeControl.h"
#include "playback/VolumePanel.h"
#include "playlist/PlaylistWindow.h"
#include "update/UpdateChecker.h"
#include "update/UpdateSettings.h"
#include "update/UpdateWindow.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"
#include "widgets/OverlayRow.h"
#include "widgets/TooltipLook.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

namespace
{
constexpr int kClientWidth = 537;
constexpr int kClientHeight = 473;
constexpr int kVideoHeight = 395;

struct TimerSetup {
    const char *name;
    int interval;
};
// Intervals as the window is designed. All start stopped except the resize-settle
// timer, which starts with the window; features start the others.
const TimerSetup kTimers[] = {
    { "TimerResize", 500 },
    { "TimerTryAgain", 1200 },
    { "TimerHide", 3000 },
    { "TimerPosicao", 2000 },
    { "TimerVolumeAumenta", 30 },
    { "TimerVolumeAbaixa", 30 },
    { "TimerMediaTempo", 1 },
    { "TimerBackward", 150 },
    { "TimerFoward", 200 },
    { "TimerVibrationEffect", 150 },
    { "TimerWavebeatEffect", 16 },
};
} // namespace

MainWindow::MainWindow(
    std::unique_ptr<MediaEngine> engine, const ChannelCatalogue &catalogue, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
            | Qt::WindowCloseButtonHint)
    , m_engine(std::move(engine))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Lumivortex TV"));
    terminate = [] { QCoreApplication::exit(1); };

    m_strip = new ChannelStrip(catalogue, this);
    m_labelVersao = new QLabel(QStringLiteral(LUMI_VERSION), m_strip->panel(QStringLiteral("PanelBrasil")));
    m_labelVersao->setObjectName(QStringLiteral("LabelVersao"));
    m_labelVersao->hide();
    m_player = new PlayerPanel(m_strip->panel(QStringLiteral("PanelMediaPlayer")));
    m_volume = new VolumePanel(this);
    m_effects = new EffectsPanel(this);
    createTimers();
    createTabRowButtons();
    createSystemPanel();
    createPopupMenu(catalogue);
    createPlaybackControls();
    createLayoutAndTray();

    m_tuner = std::make_unique<ChannelTuner>(
        *m_engine, m_state, *this, [this] { failOldPlayer(OldPlayerFailure::tuneMessage()); });
    connect(m_strip, &ChannelStrip::channelChosen, this, [this](const Channel &channel) { tune(channel); });
    connect(m_strip, &ChannelStrip::playerTabOpened, this, [this] { startupTitle(); });
    connect(m_engine.get(), &MediaEngine::clicked, this, [this] {
        const QPoint at = frameGeometry().topLeft();
        QWidget *video = m_engine->videoWidget();
        m_popupMenu->popup(QPoint(at.x() + video->width() / 2, at.y() + video->height() / 2));
    });
    connect(m_engine.get(), &MediaEngine::videoUnavailable, this, [this] {
        showMessage(this,
            MessageRequest { applicationTitle(),
                QStringLiteral("Este computador não consegue exibir vídeo; só o som será "
                               "reproduzido.") });
    });

    m_opener = std::make_unique<MediaOpener>(*this);
    createKeyboardShortcuts();
    qApp->installEventFilter(this);
    createWindow();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    // The engine owns its video widget and frees it with its render context.
    m_engine.reset();
}

void MainWindow::createTimers()
{
    for (const TimerSetup &setup : kTimers) {
        auto *timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(setup.name));
        timer->setInterval(setup.interval);
        if (setup.interval <= 16)
            timer->setTimerType(Qt::PreciseTimer);
        m_timers.insert(timer->objectName(), timer);
    }
}

void MainWindow::createTabRowButtons()
{
    // Over the tab row, not in it: the tab bar's accessible interface lists only its tabs.
    auto *row = new OverlayRow(*m_strip->tabControl());
    row->setObjectName(QStringLiteral("TabRowButtons"));
    auto button = [row](const char *name, const QString &caption, int left, int width, const QString &hint) {
        auto *b = new FlatButton(QString::fromLatin1(name), caption, row, left, 0, width, 18);
        QPalette palette = b->palette();
        palette.setColor(QPalette::ButtonText, QColor(0, 0, 0x80));
        b->setPalette(palette);
        b->setCursor(Qt::PointingHandCursor);
        if (!hint.isEmpty())
            b->setToolTip(hint);
        return b;
    };
    m_tabRow.unused = button("SpeedButton120", QString(), 434, 18, QString());
    m_tabRow.unused->setEnabled(false);
    m_tabRow.unused->hide();
    m_tabRow.pictureFit
        = button("SpeedButton68", QStringLiteral("S"), 452, 19, QStringLiteral("Ajuste de imagem"));
    FlatButton *v = button("SpeedButton39", QStringLiteral("V"), 470, 18, QStringLiteral("Visões"));
    m_tabRow.views = v;
    m_tabRow.volume = button("SpeedButton16", QStringLiteral("Volume"), 488, 49, QString());
    row->refreshMask();
    connect(v, &QToolButton::clicked, this, [this, v] {
        const QPoint at = frameGeometry().topLeft();
        m_popupMenu->popup(QPoint(at.x() + v->x() + 3, at.y() + m_strip->tabControl()->y() + v->y() - 216));
    });

    auto *setas = new QWidget(this);
    setas->setObjectName(QStringLiteral("PanelSetas"));
    setas->setGeometry(kClientWidth - 54 + 8, kClientHeight + 34 - 52, 49, 18);
    for (auto [name, caption, left, arrow] : { std::tuple { "SpeedButton72", "<", 0, &m_scrollLeft },
             std::tuple { "SpeedButton73", ">", 23, &m_scrollRight } }) {
        *arrow
            = new FlatButton(QString::fromLatin1(name), QString::fromLatin1(caption), setas, left, 0, 23, 16);
        QFont bold = (*arrow)->font();
        bold.setBold(true);
        (*arrow)->setFont(bold);
        QPalette palette = (*arrow)->palette();
        palette.setColor(QPalette::ButtonText, QColor(0, 0, 0x80));
        (*arrow)->setPalette(palette);
        (*arrow)->setAutoRaise(true);
    }
    m_panelSetas = setas;
}

void MainWindow::createSystemPanel()
{
    QFrame *mais = m_strip->panel(QStringLiteral("PanelMais"));
    auto button = [mais](const char *name, const QString &caption, int left) {
        auto *b = new FlatButton(QString::fromLatin1(name), caption, mais, left, 8, 62, 49);
        b->setCursor(Qt::PointingHandCursor);
        return b;
    };
    m_system.about = button("SpeedButton70", QStringLiteral("Sobre..."), 8);
    m_system.options = button("SpeedButton71", QStringLiteral("Opções"), 72);
    m_system.adultArea = button("SpeedButton95", QStringLiteral("Area Adulta"), 136);
    m_system.recording = button("SpeedButton89", QString(), 200);
    m_system.recording->setEnabled(false);
}

void MainWindow::createPopupMenu(const ChannelCatalogue &catalogue)
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [this](QMenu *menu, const char *name, const QString &caption) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    auto separator = [](QMenu *menu, const char *name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    m_menu.normal = item(m_popupMenu, "Customizavel1", QStringLiteral("Normal"));
    m_menu.clean = item(m_popupMenu, "Pocket1", QStringLiteral("Tela Limpa"));
    m_menu.fullScreen = item(m_popupMenu, "Maximizar1", QStringLiteral("Tela Cheia"));
    m_menu.alwaysOnTop = item(m_popupMenu, "elasemprevisivel1", QStringLiteral("Tela Sempre Visível"));
    m_menu.alwaysOnTop->setCheckable(true);
    separator(m_popupMenu, "N4");
    m_menu.browser = item(m_popupMenu, "AbrirLumivortexBrowser1", QStringLiteral("Abrir Lumivortex Browser"));
    m_menu.lyrics
        = item(m_popupMenu, "LocalizarLetrasdeMusicas1", QStringLiteral("Localizar Letras de Musicas"));
    m_menu.videos = item(m_popupMenu, "LocalizarFilmeseVideos1", QStringLiteral("Localizar Filmes e Videos"));
    for (const Channel &channel : catalogue.channelsIn(QStringLiteral("PopupMenu1")))
        m_strip->addChannelAction(m_popupMenu, channel);
    separator(m_popupMenu, "N5");
    QMenu *games = m_popupMenu->addMenu(QStringLiteral("Jogos Online"));
    games->setObjectName(QStringLiteral("Passatempos1"));
    games->menuAction()->setObjectName(QStringLiteral("Passatempos1"));
    m_menu.game = item(games, "JogodaVov1", QStringLiteral("Jogo da Vovó :P"));
    separator(m_popupMenu, "N2");
    m_menu.interrupt = item(m_popupMenu, "InterromperTransmisso1", QStringLiteral("Interromper Transmissão"));
    separator(m_popupMenu, "N1");
    m_menu.options = item(m_popupMenu, "Opes1", QStringLiteral("Sleep Timer e Opções"));
    m_menu.hide = item(m_popupMenu, "EsconderLumivortex1", QStringLiteral("Esconder Lumivortex"));
    m_engine->videoWidget()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_engine->videoWidget(), &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { m_popupMenu->popup(m_engine->videoWidget()->mapToGlobal(pos)); });
}

void MainWindow::createPlaybackControls()
{
    auto timer = [this](const char *name) -> QTimer & { return *m_timers.value(QString::fromLatin1(name)); };
    m_loops = new LoopsAndEffects(*m_engine, m_state, *m_effects, *m_player->m_effectsToggle,
        timer("TimerVibrationEffect"), timer("TimerWavebeatEffect"), this);
    m_transport = new Transport(*m_engine, *m_player, *m_effects, *m_loops, timer("TimerMediaTempo"),
        timer("TimerBackward"), timer("TimerFoward"), this);
    m_transport->chooseFile = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), Transport::openDialogFilter());
    };
    connect(m_tabRow.pictureFit, &QToolButton::clicked, this,
        [this] { safeCall([this] { m_transport->togglePictureFit(); }); });

    m_reconnection
        = new Reconnection(*m_engine, m_state, *this, *m_strip->tabControl(), timer("TimerTryAgain"), this);
    m_reconnection->pressStop = [this] { m_transport->stopPlayback(); };
    m_reconnection->showPlayButtonStopped
        = [this] { ButtonColour::set(m_player->m_playPause, ButtonColour::Blue); };
    connect(m_menu.interrupt, &QAction::triggered, this,
        [this] { safeCall([this] { m_reconnection->interruptTransmission(); }); });

    m_volumeControl = new VolumeControl(*m_engine, *m_volume, *m_tabRow.volume,
        { timer("TimerVolumeAumenta"), timer("TimerVolumeAbaixa"), timer("TimerPosicao"),
            timer("TimerHide") },
        this);
}

void MainWindow::createLayoutAndTray()
{
    m_layout = new WindowLayout(
        { this, m_engine->videoWidget(), m_strip, m_volume->PanelVolume, m_effects->PanelEfeitos,
            m_panelSetas, m_timers.value(QStringLiteral("TimerResize")),
            { m_tabRow.unused, m_tabRow.pictureFit, m_tabRow.views, m_tabRow.volume } },
        *m_engine, m_state, this);
    onButton(m_scrollLeft, [this] { m_layout->scrollStripLeft(); });
    onButton(m_scrollRight, [this] { m_layout->scrollStripRight(); });
    onAction(m_menu.normal, [this] { m_layout->showNormalMode(); });
    onAction(m_menu.clean, [this] { m_layout->showCleanMode(); });
    onAction(m_menu.fullScreen, [this] { showFullScreen(); });

    m_tray = new TrayIcon(*this, this);
    // A chosen quit, not a failure: the program ends with status 0.
    m_tray->endProgram = [] { QCoreApplication::exit(0); };
    onAction(m_menu.hide, [this] { m_tray->hideToTray(); });
}

void MainWindow::showFullScreen()
{
    try {
        m_engine->setFullScreen(true);
    } catch (const std::exception &) {
        showMessage(
            this, MessageRequest { applicationTitle(), QStringLiteral("Primeiro selecione um canal.") });
    }
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_started)
        m_layout->windowResized();
}

void MainWindow::wheelEvent(QWheelEvent *event)
{
    turnWheel(event->angleDelta().y());
    event->accept();
}

void MainWindow::turnWheel(int angle)
{
    // Touchpads and fine wheels send parts of a notch: they add up to whole steps.
    m_wheelRest += angle;
    const int notches = m_wheelRest / 120;
    m_wheelRest -= notches * 120;
    for (int i = 0; i < std::abs(notches); ++i)
        m_volumeControl->wheelStep(notches > 0 ? 1 : -1);
}

void MainWindow::createWindow()
{
    installTooltipLook();
    setAcceptDrops(true);
    // Keys go to the window, not to whichever button comes first in the tab order.
    setFocusPolicy(Qt::StrongFocus);
    m_system.recording->setText(QStringLiteral("Central\nde\nGravação"));
    m_state.ProgramVersion = m_labelVersao->text();
    m_state.UpdatePrompted = false;
    m_state.ReconnectPromptSuppressed = false;
    m_state.ResizeTicks = 0;
    startupTitle();
    m_panelSetas->resize(49, m_panelSetas->height());
    m_state.LoopClickCount = 0;
    setFixedSize(kClientWidth, kClientHeight);
    setMinimumSize(0, 0);
    setMaximumSize(kClientWidth, kClientHeight);
    m_player->m_nowPlaying->clear();
    safeCall([this] { m_volume->m_levelBar->setValue(m_engine->volume()); });
    m_volume->PanelVolume->setGeometry(488, 224, 49, 169);
    m_effects->PanelEfeitos->setGeometry(0, 264, 345, 129);
    for (QFrame *panel : m_strip->stripPanels())
        panel->setGeometry(0, 412, kClientWidth, 61);

    try {
        m_engine->setStretchToFit(true);
        placeVideo();
        m_engine->setVolume(50);
    } catch (const std::exception &) {
        failOldPlayer(OldPlayerFailure::startupMessage());
        return;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_timers.value(QStringLiteral("TimerResize"))->start();
    m_started = true;
}

void MainWindow::placeVideo()
{
    QWidget *video = m_engine->videoWidget();
    video->setParent(this);
    video->setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    video->setGeometry(0, 0, kClientWidth, kVideoHeight);
    video->lower();
    video->show();
    // The pop-up panels open over the video area.
    m_engine->keepAboveVideo(m_volume->PanelVolume);
    m_engine->keepAboveVideo(m_effects->PanelEfeitos);
}

void MainWindow::startupTitle()
{
    setWindowTitle(QStringLiteral("Lumivortex TV ") + m_labelVersao->text());
    m_state.LastChannelTitle = windowTitle();
}

void MainWindow::failOldPlayer(const QString &message)
{
    showMessage(this, MessageRequest { applicationTitle(), message });
    m_started = false;
    if (terminate)
        terminate();
}

namespace
{
// The transport presses the playlist window's play, next and previous buttons.
class PlaylistWindowSeam : public PlaylistSeam
{
public:
    explicit PlaylistWindowSeam(PlaylistWindow &window)
        : m_window(window)
    {
    }
    void play() override { m_window.play(); }
    void next() override { m_window.playNext(); }
    void previous() override { m_window.playPrevious(); }
    int currentIndex() const override { return m_window.currentIndex(); }
    int count() const override { return m_window.count(); }

private:
    PlaylistWindow &m_window;
};
} // namespace

void MainWindow::attachWindows(const SideWindows &windows)
{
    m_windows = windows;
    connectSideWindows();
}

void MainWindow::onAction(QAction *action, std::function<void()> handler)
{
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { safeCall(handler); });
}

void MainWindow::onButton(QAbstractButton *button, std::function<void()> handler)
{
    connect(button, &QAbstractButton::clicked, this, [handler = std::move(handler)] { safeCall(handler); });
}

void MainWindow::connectSideWindows()
{
    if (OptionsWindow *options = m_windows.options) {
        attachReconnectOption(options->reconnectOption());
        onButton(m_system.options, [this, options] { options->showBeside(this); });
        onAction(m_menu.options, [this, options] { options->showBeside(this); });
        onAction(m_menu.alwaysOnTop, [options] { options->toggleAlwaysOnTop(); });
    }
    if (BrowserProcess *browser = m_windows.browser) {
        onAction(m_menu.browser, [this, browser] { browser->showCentredOn(this); });
        onAction(m_menu.videos, [this, browser] {
            browser->showCentredOn(this);
            browser->selectVideosMode();
        });
        onAction(m_menu.lyrics, [this, browser] {
            browser->showCentredOn(this);
            browser->selectLyricsMode();
        });
        m_transport->searchLyrics
            = [this, browser] { browser->searchLyricsFor(m_player->m_nowPlaying->text()); };
    }
    onButton(m_system.adultArea, [this] { openAdultArea(this); });
    if (AboutDialog *about = m_windows.about) {
        about->setVersion(m_state.ProgramVersion);
        onButton(m_system.about, [about] { about->exec(); });
    }
    if (GameWindow *game = m_windows.game)
        onAction(m_menu.game, [game] { game->showCentred(); });
    if (MiniPlayerWindow *mini = m_windows.miniPlayer) {
        m_transport->toggleMiniPlayer = [this] { toggleMiniPlayer(); };
        m_transport->showMiniText = [mini](const QString &text) { mini->setText(text); };
    }
    if (PlaylistWindow *playlist = m_windows.playlist) {
        m_tray->showPlaylist = [playlist] { playlist->show(); };
        m_playlistSeam = std::make_unique<PlaylistWindowSeam>(*playlist);
        m_transport->setPlaylist(m_playlistSeam.get());
        m_transport->showPlaylist = [this, playlist] { playlist->showBeside(this); };
    }
    if (m_windows.alternates)
        m_reconnection->setAlternateLists(m_windows.alternates);
    if (m_windows.update && !m_updateChecker) {
        m_updateChecker
            = new UpdateChecker(m_state, QString::fromLatin1(kUpdateSettingsUrl), {}, m_windows.update, this);
    }
}

void MainWindow::toggleMiniPlayer()
{
    const bool miniVisible = m_windows.miniPlayer->isVisible();
    m_windows.miniPlayer->setVisible(!miniVisible);
    setVisible(miniVisible);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    // Handled once the drag has ended, so a message box does not hold the file manager.
    if (m_windows.playlist && !paths.isEmpty())
        QMetaObject::invokeMethod(
            this,
            [this, paths] { safeCall([this, &paths] { m_windows.playlist->dropFiles(paths, false); }); },
            Qt::QueuedConnection);
}

void MainWindow::attachReconnectOption(QAbstractButton *option)
{
    m_tuner->setReconnectOption(option);
    m_reconnection->setReconnectOption(option);
}

void MainWindow::tune(const Channel &channel)
{
    Channel chosen = channel;
    if (!prepareTune || prepareTune(chosen))
        m_tuner->tune(chosen);
}

void MainWindow::createKeyboardShortcuts()
{
    using Command = KeyboardShortcuts::Command;
    m_keys = std::make_unique<KeyboardShortcuts>();
    m_keys->on(Command::PlayPause, [this] {
        const PlayerView view = playerView();
        PlayerCommands(view).playPause();
    });
    // With nothing loaded the engine refuses, and the key does nothing.
    m_keys->on(Command::FullScreen, [this] { m_engine->setFullScreen(!m_engine->isFullScreen()); });
    m_keys->on(Command::Leave, [this] {
        if (m_engine->isFullScreen())
            m_engine->setFullScreen(false);
        else if (!m_strip->tabControl()->isVisible() && isVisible())
            m_layout->showNormalMode();
    });
    m_keys->on(Command::Mute, [this] { m_engine->setMute(!m_engine->mute()); });
    m_keys->on(Command::VolumeUp, [this] { m_volumeControl->wheelStep(1); });
    m_keys->on(Command::VolumeDown, [this] { m_volumeControl->wheelStep(-1); });
    m_keys->on(Command::SeekBack, [this] { m_transport->skipBack(); });
    m_keys->on(Command::SeekForward, [this] { m_transport->skipForward(); });
    m_keys->on(Command::OpenFile, [this] { m_transport->openFile(); });
    m_keys->on(Command::OpenAddress, [this] {
        if (openAddressRequested)
            openAddressRequested();
    });
    m_keys->on(Command::Playlist, [this] {
        if (m_transport->showPlaylist)
            m_transport->showPlaylist();
    });
    m_keys->on(Command::Quit, [this] { close(); });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the now-playing label or its symbol searches the song's lyrics.
    if (event->type() == QEvent::MouseButtonRelease
        && (watched == m_player->m_nowPlaying || watched == m_player->m_lyricsSymbol)
        && m_transport->searchLyrics) {
        safeCall(m_transport->searchLyrics);
        return true;
    }
    // The wheel sets the volume anywhere over the window; the tab row would switch categories.
    if (event->type() == QEvent::Wheel && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        turnWheel(static_cast<QWheelEvent *>(event)->angleDelta().y());
        return true;
    }
    // The window sees every key before the focused control does, in full screen too.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const QWidget *top = static_cast<QWidget *>(watched)->window();
        if ((top == this || top == m_engine->videoWidget()->window())
            && m_keys->handle(*static_cast<QKeyEvent *>(event), QApplication::focusWidget()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    closeProgram();
}

void MainWindow::closeProgram()
{
    if (m_closing)
        return;
    m_closing = true;
    m_state.ReconnectPromptSuppressed = true;
    safeCall([this] { m_engine->stop(); });
    safeCall([this] { m_engine->close(); });
    for (QTimer *timer : std::as_const(m_timers))
        timer->stop();
    m_engine->disconnect(this);
    m_engine->videoWidget()->hide();
    QCoreApplication::quit();
}

void MainWindow::setDisplayTickEnabled(bool enabled)
{
    m_transport->setDisplayTickEnabled(enabled);
}

void MainWindow::performPlayForm()
{
    m_transport->performPlayForm();
}

void MainWindow::setNowPlayingFromUrl(const QString &url)
{
    m_transport->setNowPlayingFromUrl(url);
}

void MainWindow::switchToPlayerTab()
{
    m_strip->selectTabQuietly(5);
    m_strip->showSelectedCategory();
}

PlayerView MainWindow::playerView()
{
    PlayerView view;
    view.engine = m_engine.get();
    view.window = this;
    view.state = &m_state;
    view.playPause = m_player->m_playPause;
    view.stop = m_player->m_stop;
    view.next = m_player->m_next;
    view.previous = m_player->m_previous;
    view.nowPlaying = m_player->m_nowPlaying;
    view.playlistCount = [this] { return m_playlistSeam ? m_playlistSeam->count() : 0; };
    view.showVolume = [this] { safeCall([this] { m_volume->m_levelBar->setValue(m_engine->volume()); }); };
    return view;
}

MediaControls *MainWindow::installMediaControls(const QDBusConnection &bus)
{
    MediaControls *controls = MediaControls::install(playerView(), bus);
    if (controls) {
        connect(controls, &MediaControls::raiseRequested, this, &MainWindow::raiseFromDesktop);
        connect(controls, &MediaControls::quitRequested, this, &QWidget::close);
        connect(controls, &MediaControls::openRequested, this,
            [this](const QString &uri) { openItems({ uri }); });
    }
    return controls;
}

SingleInstance *MainWindow::listenForOtherCopies(const QDBusConnection &bus)
{
    SingleInstance *single = SingleInstance::listen(this, bus);
    if (single) {
        connect(single, &SingleInstance::openRequested, this, [this](const QStringList &items) {
            openItems(items);
            raiseFromDesktop();
        });
    }
    return single;
}

int MainWindow::openItems(const QStringList &items)
{
    m_opener->setPlaylist(m_windows.playlist);
    return m_opener->open(items);
}

void MainWindow::raiseFromDesktop()
{
    // From the mini player, its own button brings the main window back.
    const MiniPlayerWindow *mini = m_windows.miniPlayer;
    if (mini && mini->isVisible() && !isVisible())
        m_player->m_miniPlayerToggle->click();
    if (m_tray)
        m_tray->returnFromTray();
    else
        showNormal();
    activateWindow();
}
