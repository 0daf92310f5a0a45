#include "app/MainWindow.h"

#include "app/ContextMenu.h"
#include "app/KeyboardShortcuts.h"
#include "app/PageButtonPlacer.h"
#include "app/ReconnectionPrompt.h"
#include "app/TrayIcon.h"
#include "app/WindowLayout.h"
#include "base/OldPlayerFailure.h"
#include "base/SafeCall.h"
#include "browser/AdultArea.h"
#include "channels/ChannelStrip.h"
#include "desktop/MediaControls.h"
#include "engine/MediaEngine.h"
#include "playback/EffectsPanel.h"
#include "playback/EffectsView.h"
#include "playback/PlayerPanel.h"
#include "playback/TransportView.h"
#include "playback/VolumeControl.h"
#include "playback/VolumePanel.h"
#include "player/ChannelTitle.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "player/Transport.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"
#include "widgets/OverlayRow.h"
#include "widgets/TooltipLook.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
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
constexpr int kPlayerTab = 5;

void onTriggered(QAction *action, QObject *context, std::function<void()> handler)
{
    QObject::connect(
        action, &QAction::triggered, context, [handler = std::move(handler)] { safeCall(handler); });
}

void onClicked(QAbstractButton *button, QObject *context, std::function<void()> handler)
{
    QObject::connect(
        button, &QAbstractButton::clicked, context, [handler = std::move(handler)] { safeCall(handler); });
}
} // namespace

MainWindow::MainWindow(const ChannelCatalogue &catalogue, QWidget *parent)
    : QWidget(parent,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Lumivortex TV"));
    m_strip = new ChannelStrip(catalogue, this);
    m_labelVersao = new QLabel(QStringLiteral(LUMI_VERSION), m_strip->panel(QStringLiteral("PanelBrasil")));
    m_labelVersao->setObjectName(QStringLiteral("LabelVersao"));
    m_labelVersao->hide();
    m_playerPanel = new PlayerPanel(m_strip->panel(QStringLiteral("PanelMediaPlayer")));
    m_volume = new VolumePanel(this);
    m_effects = new EffectsPanel(this);
    createTabRowButtons();
    createSystemPanel();
    m_popupMenu = new ContextMenu(catalogue, *m_strip, *this);
    m_pageButtons = std::make_unique<PageButtonPlacer>(*m_strip);
    m_tray = new TrayIcon(*this, this);
    connect(m_strip, &ChannelStrip::channelChosen, this, &MainWindow::channelChosen);
    connect(m_tray, &TrayIcon::playlistRequested, this, &MainWindow::playlistFromTrayRequested);
    // A chosen quit, not a failure: the program ends with status 0.
    connect(m_tray, &TrayIcon::endRequested, this, [this] {
        if (!m_quitGuard || m_quitGuard->mayQuit(this))
            emit endRequested(0);
    });
    connectMenu();

    installTooltipLook();
    setAcceptDrops(true);
    // Keys go to the window, not to whichever button comes first in the tab order.
    setFocusPolicy(Qt::StrongFocus);
    m_system.recording->setText(QStringLiteral("Central\nde\nGravação"));
    m_panelSetas->resize(49, m_panelSetas->height());
    setFixedSize(kClientWidth, kClientHeight);
    setMinimumSize(0, 0);
    setMaximumSize(kClientWidth, kClientHeight);
    m_volume->PanelVolume->setGeometry(488, 224, 49, 169);
    m_effects->PanelEfeitos->setGeometry(0, 264, 345, 129);
    for (QFrame *panel : m_strip->stripPanels())
        panel->setGeometry(0, 412, kClientWidth, 61);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
}

QString MainWindow::versionText() const
{
    return m_labelVersao->text();
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
}

FlatButton *MainWindow::addSystemPageButton(const char *objectName, const QString &caption)
{
    return m_pageButtons->addSystemPageButton(objectName, caption);
}

FlatButton *MainWindow::addPlayerPageButton(
    const char *objectName, const QString &caption, const QRect &place)
{
    return m_pageButtons->addPlayerPageButton(objectName, caption, place);
}

FlatButton *MainWindow::addRadioPageButton(const char *objectName, const QString &caption)
{
    return m_pageButtons->addRadioPageButton(objectName, caption);
}

QList<QAction *> MainWindow::addMenuSection(const QList<MenuItem> &items)
{
    return m_popupMenu->addSection(items);
}

void MainWindow::connectMenu()
{
    const ContextMenu::Items &menu = m_popupMenu->items();
    onClicked(m_system.options, this, [this] { emit optionsRequested(); });
    onTriggered(menu.options, this, [this] { emit optionsRequested(); });
    onTriggered(menu.alwaysOnTop, this, [this] { emit stayOnTopRequested(); });
    onTriggered(menu.browser, this, [this] { emit browserRequested(); });
    onTriggered(menu.videos, this, [this] { emit videosModeRequested(); });
    onTriggered(menu.lyrics, this, [this] { emit lyricsModeRequested(); });
    onClicked(m_system.adultArea, this, [this] { openAdultArea(this); });
    onClicked(m_system.about, this, [this] { emit aboutRequested(); });
    onClicked(m_system.recording, this, [this] { emit recordingsRequested(); });
    onTriggered(menu.game, this, [this] { emit gameRequested(); });
    onTriggered(menu.fullScreen, this, [this] { showFullScreen(); });
    onTriggered(menu.hide, this, [this] { m_tray->hideToTray(); });
}

void MainWindow::createPlayerViews(Player &player)
{
    MediaEngine &engine = player.engine();
    auto *transport = new TransportView(*m_playerPanel, player.transport(), *this);
    connect(transport, &TransportView::lyricsSearchRequested, this, &MainWindow::lyricsSearchRequested);
    connect(transport, &TransportView::playlistRequested, this, &MainWindow::playlistRequested);
    connect(
        transport, &TransportView::miniPlayerToggleRequested, this, &MainWindow::miniPlayerToggleRequested);
    new EffectsView(*m_effects, *m_playerPanel->m_effectsToggle, player.loops(), player.effects(),
        player.transport(), this);
    onClicked(m_tabRow.pictureFit, this, [&player] { player.transport().togglePictureFit(); });
    onTriggered(
        m_popupMenu->items().interrupt, this, [&player] { player.reconnection().interruptTransmission(); });
    player.reconnection().setDialogs(new ReconnectionPrompt(*this, *m_strip->tabControl()));
    m_volumeControl = new VolumeControl(engine, *m_volume, *m_tabRow.volume, *this);

    m_layout = new WindowLayout(
        { this, engine.videoWidget(), m_strip, m_volume->PanelVolume, m_effects->PanelEfeitos, m_panelSetas,
            { m_tabRow.unused, m_tabRow.pictureFit, m_tabRow.views, m_tabRow.volume } },
        engine, this);
    onClicked(m_scrollLeft, this, [this] { m_layout->scrollStripLeft(); });
    onClicked(m_scrollRight, this, [this] { m_layout->scrollStripRight(); });
    onTriggered(m_popupMenu->items().normal, this, [this] { m_layout->showNormalMode(); });
    onTriggered(m_popupMenu->items().clean, this, [this] { m_layout->showCleanMode(); });
    connect(m_layout, &WindowLayout::screenModeChanged, this, &MainWindow::cleanScreenChanged);

    connect(&player.title(), &ChannelTitle::shownChanged, this, &QWidget::setWindowTitle);
    connect(m_strip, &ChannelStrip::playerTabOpened, this, [this] { startupTitle(); });
    connect(&engine, &MediaEngine::clicked, this, [this, &engine] {
        const QPoint at = frameGeometry().topLeft();
        QWidget *video = engine.videoWidget();
        m_popupMenu->popup(QPoint(at.x() + video->width() / 2, at.y() + video->height() / 2));
    });
    connect(&engine, &MediaEngine::videoUnavailable, this, [this] {
        showMessage(this,
            MessageRequest { applicationTitle(),
                QStringLiteral("Este computador não consegue exibir vídeo; só o som será "
                               "reproduzido.") });
    });
    engine.videoWidget()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(engine.videoWidget(), &QWidget::customContextMenuRequested, this,
        [this, &engine](const QPoint &pos) { m_popupMenu->popup(engine.videoWidget()->mapToGlobal(pos)); });
}

bool MainWindow::showPlayer(Player &player)
{
    m_player = &player;
    createPlayerViews(player);
    createKeyboardShortcuts(player);
    qApp->installEventFilter(this);
    startupTitle();
    m_playerPanel->m_nowPlaying->clear();
    showVolumeLevel();
    try {
        player.engine().setStretchToFit(true);
        placeVideo();
        player.engine().setVolume(50);
    } catch (const std::exception &) {
        showMessage(this, MessageRequest { applicationTitle(), OldPlayerFailure::startupMessage() });
        return false;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    m_layout->startSettling();
    m_started = true;
    return true;
}

void MainWindow::placeVideo()
{
    MediaEngine &engine = m_player->engine();
    QWidget *video = engine.videoWidget();
    video->setParent(this);
    video->setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    video->setGeometry(0, 0, kClientWidth, kVideoHeight);
    video->lower();
    video->show();
    // The pop-up panels open over the video area.
    engine.keepAboveVideo(m_volume->PanelVolume);
    engine.keepAboveVideo(m_effects->PanelEfeitos);
}

QList<QWidget *> MainWindow::popupPanels() const
{
    return { m_volume->PanelVolume, m_effects->PanelEfeitos };
}

bool MainWindow::isCleanScreen() const
{
    return m_strip->tabControl()->isHidden();
}

void MainWindow::startupTitle()
{
    m_player->title().setChannelTitle(QStringLiteral("Lumivortex TV ") + versionText());
}

void MainWindow::showFullScreen()
{
    try {
        m_player->engine().setFullScreen(true);
    } catch (const std::exception &) {
        showMessage(
            this, MessageRequest { applicationTitle(), QStringLiteral("Primeiro selecione um canal.") });
    }
}

void MainWindow::setStayOnTopChecked(bool on)
{
    m_popupMenu->items().alwaysOnTop->setChecked(on);
}

void MainWindow::showVolumeLevel()
{
    safeCall([this] { m_volume->m_levelBar->setValue(m_player->engine().volume()); });
}

void MainWindow::switchToPlayerTab()
{
    m_strip->selectTabQuietly(kPlayerTab);
    m_strip->showSelectedCategory();
}

void MainWindow::returnFromTray()
{
    m_tray->returnFromTray();
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
    if (!paths.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, paths] { emit filesDropped(paths); }, Qt::QueuedConnection);
}

void MainWindow::createKeyboardShortcuts(Player &player)
{
    using Command = KeyboardShortcuts::Command;
    MediaEngine &engine = player.engine();
    Transport &transport = player.transport();
    m_keys = std::make_unique<KeyboardShortcuts>();
    m_keys->on(Command::PlayPause, [&player] { PlayerCommands(player).playPause(); });
    // With nothing loaded the engine refuses, and the key does nothing.
    m_keys->on(Command::FullScreen, [&engine] { engine.setFullScreen(!engine.isFullScreen()); });
    m_keys->on(Command::Leave, [this, &engine] {
        if (engine.isFullScreen())
            engine.setFullScreen(false);
        else if (!m_strip->tabControl()->isVisible() && isVisible())
            m_layout->showNormalMode();
    });
    m_keys->on(Command::Mute, [&engine] { engine.setMute(!engine.mute()); });
    m_keys->on(Command::VolumeUp, [this] { m_volumeControl->wheelStep(1); });
    m_keys->on(Command::VolumeDown, [this] { m_volumeControl->wheelStep(-1); });
    m_keys->on(Command::SeekBack, [&transport] { transport.skipBack(); });
    m_keys->on(Command::SeekForward, [&transport] { transport.skipForward(); });
    m_keys->on(Command::OpenFile, [&transport] { transport.openFile(); });
    m_keys->on(Command::OpenAddress, [this] { emit openAddressRequested(); });
    m_keys->on(Command::Playlist, [this] { emit playlistRequested(); });
    m_keys->on(Command::Quit, [this] { close(); });
    m_keys->on(Command::PreviousChannel, [this] { emit channelStepRequested(-1); });
    m_keys->on(Command::NextChannel, [this] { emit channelStepRequested(1); });
    m_keys->on(Command::LastChannel, [this] { emit lastChannelRequested(); });
    m_keys->onDigit([this](int digit) { emit channelDigitTyped(digit); });
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel sets the volume anywhere over the window; the tab row would switch categories.
    if (event->type() == QEvent::Wheel && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        turnWheel(static_cast<QWheelEvent *>(event)->angleDelta().y());
        return true;
    }
    // The window sees every key before the focused control does, in full screen too.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const QWidget *top = static_cast<QWidget *>(watched)->window();
        if ((top == this || top == m_player->engine().videoWidget()->window())
            && m_keys->handle(*static_cast<QKeyEvent *>(event), QApplication::focusWidget()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::setRecordingMark(bool shown)
{
    if (!m_recordingMark) {
        m_recordingMark = new QLabel(QStringLiteral("● REC"), this);
        m_recordingMark->setObjectName(QStringLiteral("RecordingMark"));
        m_recordingMark->setAccessibleName(QStringLiteral("Gravando"));
        m_recordingMark->setToolTip(QStringLiteral("Gravando (Central de Gravação na aba Sistema)"));
        m_recordingMark->setStyleSheet(
            QStringLiteral("QLabel { color: white; background: #d00000; font-weight: bold; padding: 1px 5px; "
                           "border-radius: 3px; }"));
        m_recordingMark->adjustSize();
        m_recordingMark->move(8, 8);
        if (m_player)
            m_player->engine().keepAboveVideo(m_recordingMark);
    }
    m_recordingMark->setVisible(shown);
    if (shown)
        m_recordingMark->raise();
}

bool MainWindow::recordingMarkShown() const
{
    return m_recordingMark && !m_recordingMark->isHidden();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closing && m_quitGuard && !m_quitGuard->mayQuit(this)) {
        event->ignore();
        return;
    }
    event->accept();
    closeProgram();
}

void MainWindow::closeProgram()
{
    if (m_closing || !m_player)
        return;
    m_closing = true;
    m_player->shutDown();
    // The window's own timers (layout, volume panel) rest too.
    for (QTimer *timer : findChildren<QTimer *>(Qt::FindDirectChildrenOnly))
        timer->stop();
    m_player->engine().disconnect(this);
    m_player->engine().videoWidget()->hide();
    emit closed();
}
