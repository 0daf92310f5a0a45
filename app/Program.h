#pragma once

#include "app/GuideHub.h"
#include "game/GamePorts.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <memory>

class AboutDialog;
class AlternateAddressLists;
class BrowserProcess;
class ChannelCatalogue;
class ChannelListsHub;
class FaqDialog;
class FolderPickerWindow;
class GameWindow;
class GuideChoices;
class GuideFeed;
class GuideLibrary;
class GuideRegistry;
class KeptOptions;
class LiveBufferChoice;
class MainWindow;
class MediaControls;
class MediaEngine;
class MediaOpener;
class MiniPlayerWindow;
class OptionsWindow;
class Player;
class PlaylistWindow;
class PowerOffService;
class RadioHub;
class RecordingsHub;
class SingleInstance;
class UpdateChecker;
class UpdateWindow;

// The composition root. It makes the player and the eleven windows of a run,
// once and in the design's order with the main window first, with the
// desktop services beside them, and connects them: each window receives the
// parts of the player it shows and drives, and asks for other windows with
// its signals, which are connected here. Everything is destroyed together:
// the side windows first, then the player (its engine's video lies in the
// main window), then the main window.
class Program : public QObject
{
    Q_OBJECT

public:
    Program(std::unique_ptr<MediaEngine> engine, const ChannelCatalogue &catalogue,
        std::unique_ptr<PowerOffService> powerOff, GamePorts gamePorts);
    ~Program() override;

    // False when the main window could not set up its engine.
    bool started() const;

    Player &player() const { return *m_player; }
    MainWindow &mainWindow() const { return *m_mainWindow; }
    OptionsWindow &optionsWindow() const { return *m_options; }
    LiveBufferChoice &liveBufferChoice() const { return *m_liveBufferChoice; }
    MiniPlayerWindow &miniPlayer() const { return *m_miniPlayer; }
    PlaylistWindow &playlistWindow() const { return *m_playlist; }
    BrowserProcess &browser() const { return *m_browser; }
    AlternateAddressLists &alternateAddressLists() const { return *m_alternateLists; }
    // The user's channel lists and their windows; start() brings the lists in.
    ChannelListsHub &channelLists() const;
    // The radio database's stations, the "Rádios" window and the built-in radios' look-up.
    RadioHub &radio() const;
    // The programme guides: where they come from, the user's guide channel
    // choices, and what is on; start() loads them.
    GuideRegistry &guideRegistry() const { return *m_guideRegistry; }
    GuideChoices &guideChoices() const { return *m_guideChoices; }
    GuideLibrary &guides() const { return *m_guides; }
    GuideFeed &guideFeed() const { return *m_guideFeed; }
    // Where the guides show: "Canais", the banner, "Guia de programação".
    GuideHub &guideHub() const { return *m_guideHub; }
    UpdateChecker &updateChecker() const;
    // Recording: "Central de Gravação", "Gravar", the schedule.
    RecordingsHub &recordings() const;

    // Shows the main window and brings the channel lists in.
    void start();
    // Puts the player on the desktop's media controls; nullptr without a bus.
    MediaControls *installMediaControls(const QDBusConnection &bus = QDBusConnection::sessionBus());
    // Receives what copies started later hand over; nullptr when another copy receives.
    SingleInstance *listenForOtherCopies(const QDBusConnection &bus = QDBusConnection::sessionBus());
    // Media from outside (command line, another copy, the desktop): the first
    // plays, the rest join the playlist. Returns how many were playable.
    int openItems(const QStringList &items);
    // Brings the player to the front from wherever it is: mini player, tray or taskbar.
    void raiseFromDesktop();
    // The main window and the mini player stand in for each other.
    void toggleMiniPlayer();

signals:
    // The program is to end at once with this status, without the main
    // window's closing steps (the tray's "Fechar", a fatal engine failure);
    // the application's loop is told too.
    void endRequested(int exitCode);

private:
    void createSideWindows(const ChannelCatalogue &catalogue, GamePorts gamePorts);
    void connectMainWindow();
    void failTune();

    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<Player> m_player;
    std::unique_ptr<PowerOffService> m_powerOff;
    std::unique_ptr<KeptOptions> m_keptOptions;
    std::unique_ptr<LiveBufferChoice> m_liveBufferChoice;
    std::unique_ptr<AboutDialog> m_about;
    std::unique_ptr<OptionsWindow> m_options;
    // The browser window runs in a process of its own; this is the player's side of it.
    std::unique_ptr<BrowserProcess> m_browser;
    std::unique_ptr<MiniPlayerWindow> m_miniPlayer;
    std::unique_ptr<PlaylistWindow> m_playlist;
    std::unique_ptr<GameWindow> m_game;
    std::unique_ptr<UpdateWindow> m_update;
    std::unique_ptr<FolderPickerWindow> m_folderPicker;
    std::unique_ptr<AlternateAddressLists> m_alternateLists;
    std::unique_ptr<FaqDialog> m_faq;
    std::unique_ptr<MediaOpener> m_opener;
    std::unique_ptr<GuideRegistry> m_guideRegistry;
    std::unique_ptr<GuideChoices> m_guideChoices;
    std::unique_ptr<GuideLibrary> m_guides;
    std::unique_ptr<GuideFeed> m_guideFeed;
    // These live in the main window's object tree, where tools find them.
    QPointer<ChannelListsHub> m_channelLists;
    QPointer<RadioHub> m_radio;
    QPointer<GuideHub> m_guideHub;
    QPointer<RecordingsHub> m_recordings;
    QPointer<UpdateChecker> m_updateChecker;
    QPointer<MediaControls> m_mediaControls;
    QPointer<SingleInstance> m_singleInstance;
    bool m_started = false;
};

// The player's engine: made with the first thing played, and with it the GL
// share context the video needs; nothing of GL exists before.
std::unique_ptr<MediaEngine> makePlayerEngine();

// Program entry: application set-up, the windows, the message loop.
int runProgram(int argc, char **argv);
