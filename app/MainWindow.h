#pragma once

#include "base/ProgramState.h"
#include "channels/ChannelCatalogue.h"
#include "playlist/PlaylistHost.h"

#include <QDBusConnection>
#include <QHash>
#include <QWidget>
#include <functional>
#include <memory>

class ChannelStrip;
class KeyboardShortcuts;
class MediaOpener;
class SingleInstance;
struct PlayerView;
class TrayIcon;
class WindowLayout;
class PlaylistSeam;
class UpdateChecker;
class ChannelTuner;
class EffectsPanel;
class LoopsAndEffects;
class Reconnection;
class Transport;
class VolumeControl;
class MediaEngine;
class PlayerPanel;
class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class FlatButton;
class VolumePanel;
class OptionsWindow;
class BrowserProcess;
class AboutDialog;
class GameWindow;
class MiniPlayerWindow;
class AlternateAddressLists;
class UpdateWindow;
class PlaylistWindow;
class FaqDialog;

// The side windows the main window talks to; they are created after it.
struct SideWindows {
    OptionsWindow *options = nullptr;
    BrowserProcess *browser = nullptr;
    AboutDialog *about = nullptr;
    GameWindow *game = nullptr;
    MiniPlayerWindow *miniPlayer = nullptr;
    UpdateWindow *update = nullptr;
    PlaylistWindow *playlist = nullptr;
    FaqDialog *faq = nullptr;
    AlternateAddressLists *alternates = nullptr;
};

// The main window: the video on top, the channel strip below, and the hub
// that every feature that plays something goes through.
class MediaControls;
class FlatButton;
class QAbstractButton;
class QAction;

class MainWindow : public QWidget, public PlaylistHost
{
    Q_OBJECT

public:
    MainWindow(
        std::unique_ptr<MediaEngine> engine, const ChannelCatalogue &catalogue, QWidget *parent = nullptr);
    ~MainWindow() override;

    // False when the engine could not be set up; the window must not be used then.
    bool started() const { return m_started; }
    void attachWindows(const SideWindows &windows);
    // The options window's reconnection check box (unticked by some tunes).
    void attachReconnectOption(QAbstractButton *option);

    // Ends the program at once with status 1, without the closing steps (fatal
    // failures). Tests replace it.
    std::function<void()> terminate;
    // Runs before every tune and may change the channel (the address its lists
    // found); false: the channel is not tuned.
    std::function<bool(Channel &)> prepareTune;
    // Ctrl+L: the "Abrir endereço…" dialog; nothing happens while unset.
    std::function<void()> openAddressRequested;

    // PlaylistHost
    MediaEngine &engine() override { return *m_engine; }
    ProgramState &state() override { return m_state; }
    QWidget *mainWindow() override { return this; }
    void setDisplayTickEnabled(bool enabled) override;
    void performPlayForm() override;
    void setNowPlayingFromUrl(const QString &url) override;
    void switchToPlayerTab() override;

    ChannelStrip *strip() const { return m_strip; }
    Transport *transport() const { return m_transport; }
    Reconnection *reconnection() const { return m_reconnection; }
    LoopsAndEffects *loops() const { return m_loops; }
    VolumeControl *volumeControl() const { return m_volumeControl; }
    PlayerPanel *player() const { return m_player; }
    VolumePanel *volume() const { return m_volume; }
    EffectsPanel *effects() const { return m_effects; }
    QMenu *popupMenu() const { return m_popupMenu; }
    QAction *alwaysOnTopAction() const { return m_menu.alwaysOnTop; }
    QTimer *timer(const QString &name) const { return m_timers.value(name); }
    const SideWindows &sideWindows() const { return m_windows; }
    UpdateChecker *updateChecker() const { return m_updateChecker; }
    WindowLayout *layout() const { return m_layout; }
    TrayIcon *tray() const { return m_tray; }
    void showFullScreen();

    // Puts the player on the desktop's media controls; nullptr without a bus.
    MediaControls *installMediaControls(const QDBusConnection &bus = QDBusConnection::sessionBus());
    // Brings the player to the front from wherever it is: mini player, tray or taskbar.
    void raiseFromDesktop();
    // Media from outside (command line, another copy, the desktop): the first
    // plays, the rest join the playlist. Returns how many were playable.
    int openItems(const QStringList &items);
    // Receives what copies started later hand over; nullptr when another copy receives.
    SingleInstance *listenForOtherCopies(const QDBusConnection &bus = QDBusConnection::sessionBus());

    // Handlers that other windows or tests run directly.
    void tune(const Channel &channel);
    void closeProgram();

protected:
    void closeEvent(QCloseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createWindow();
    void createTimers();
    void createTabRowButtons();
    void createSystemPanel();
    void createPopupMenu(const ChannelCatalogue &catalogue);
    void createPlaybackControls();
    void createLayoutAndTray();
    void connectSideWindows();
    void onAction(QAction *action, std::function<void()> handler);
    void onButton(QAbstractButton *button, std::function<void()> handler);
    void toggleMiniPlayer();
    void placeVideo();
    void failOldPlayer(const QString &message);
    void createKeyboardShortcuts();
    PlayerView playerView();
    void startupTitle();
    void turnWheel(int angle);

    ProgramState m_state;
    std::unique_ptr<MediaEngine> m_engine;
    bool m_started = false;
    bool m_closing = false;
    int m_wheelRest = 0; // eighths of a degree not yet a whole notch
    SideWindows m_windows;

    ChannelStrip *m_strip = nullptr;
    std::unique_ptr<ChannelTuner> m_tuner;
    PlayerPanel *m_player = nullptr;
    VolumePanel *m_volume = nullptr;
    EffectsPanel *m_effects = nullptr;
    LoopsAndEffects *m_loops = nullptr;
    Transport *m_transport = nullptr;
    Reconnection *m_reconnection = nullptr;
    VolumeControl *m_volumeControl = nullptr;
    UpdateChecker *m_updateChecker = nullptr;
    WindowLayout *m_layout = nullptr;
    TrayIcon *m_tray = nullptr;
    std::unique_ptr<PlaylistSeam> m_playlistSeam;
    std::unique_ptr<MediaOpener> m_opener;
    std::unique_ptr<KeyboardShortcuts> m_keys;
    QMenu *m_popupMenu = nullptr;
    QLabel *m_labelVersao = nullptr;
    QWidget *m_panelSetas = nullptr;
    FlatButton *m_scrollLeft = nullptr;
    FlatButton *m_scrollRight = nullptr;
    struct TabRowButtons {
        FlatButton *unused = nullptr;
        FlatButton *pictureFit = nullptr;
        FlatButton *views = nullptr;
        FlatButton *volume = nullptr;
    } m_tabRow;
    struct SystemPageButtons {
        FlatButton *about = nullptr;
        FlatButton *options = nullptr;
        FlatButton *adultArea = nullptr;
        FlatButton *recording = nullptr;
    } m_system;
    struct MenuItems {
        QAction *normal = nullptr;
        QAction *clean = nullptr;
        QAction *fullScreen = nullptr;
        QAction *alwaysOnTop = nullptr;
        QAction *browser = nullptr;
        QAction *lyrics = nullptr;
        QAction *videos = nullptr;
        QAction *game = nullptr;
        QAction *interrupt = nullptr;
        QAction *options = nullptr;
        QAction *hide = nullptr;
    } m_menu;
    QHash<QString, QTimer *> m_timers;
};
