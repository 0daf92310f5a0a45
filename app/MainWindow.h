#pragma once

#include "app/ContextMenu.h"
#include "channels/ChannelCatalogue.h"

#include <QList>
#include <QRect>
#include <QWidget>
#include <memory>

class ChannelStrip;
class EffectsPanel;
class FlatButton;
class KeyboardShortcuts;
class Player;
class PlayerPanel;
class PageButtonPlacer;
class QAction;
class QLabel;
class TrayIcon;
class VolumeControl;
class VolumePanel;
class WindowLayout;

// Asked before the program ends by the user's choice (closing the window,
// the tray's "Fechar"); false keeps it running.
class QuitGuard
{
public:
    virtual ~QuitGuard() = default;
    virtual bool mayQuit(QWidget *parent) = 0;
};

// The main window: the video on top, the channel strip with its category
// pages below, the pop-up panels and the context menu. It shows the player it
// is given and drives it from its controls; what belongs to other windows it
// asks for with its signals, which the composition root (Program) connects.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    using MenuItem = ContextMenu::Item;

    explicit MainWindow(const ChannelCatalogue &catalogue, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the player's video, title and transport on the window's controls
    // and sets the engine up as the window is designed. False when the engine
    // refuses (the old-player failure has been shown; the program must end).
    bool showPlayer(Player &player);
    bool started() const { return m_started; }

    // The version text, kept in the hidden version label.
    QString versionText() const;

    // Controls that features add: a button on the Sistema page (the next free
    // place), a button on the Player page at the given place, and a section of
    // the context menu (after "Sleep Timer e Opções", also reachable by its
    // shortcuts with the menu closed). The caller connects them.
    FlatButton *addSystemPageButton(const char *objectName, const QString &caption);
    FlatButton *addPlayerPageButton(const char *objectName, const QString &caption, const QRect &place);
    // A button in the first free slot of the Radio tab's second page.
    FlatButton *addRadioPageButton(const char *objectName, const QString &caption);
    QList<QAction *> addMenuSection(const QList<MenuItem> &items);

    // The pop-up panels that open over the video (volume, effects): what lies
    // over the video must give way to them.
    QList<QWidget *> popupPanels() const;
    bool isCleanScreen() const;

    void switchToPlayerTab();
    void showFullScreen();
    // The "Tela Sempre Visível" item's mark.
    void setStayOnTopChecked(bool on);
    // The volume panel's bar shows the engine's volume (set from outside).
    void showVolumeLevel();
    // Back from the notification area (or from minimised where there is none).
    void returnFromTray();
    TrayIcon &tray() const { return *m_tray; }

    // The red mark over the video while anything records.
    void setRecordingMark(bool shown);
    bool recordingMarkShown() const;
    void setQuitGuard(QuitGuard *guard) { m_quitGuard = guard; }

signals:
    void channelChosen(const Channel &channel);
    void aboutRequested();
    void optionsRequested();
    void stayOnTopRequested();
    void browserRequested();
    void lyricsModeRequested();
    void videosModeRequested();
    void lyricsSearchRequested(const QString &song);
    void gameRequested();
    // The playlist beside the window ("Playlist", Ctrl+P), or as it is (the tray menu).
    void playlistRequested();
    void playlistFromTrayRequested();
    void miniPlayerToggleRequested();
    void openAddressRequested();
    // PageUp/PageDown (-1/+1): the neighbour of the channel on, in the channel list as shown.
    void channelStepRequested(int step);
    // Backspace: the channel tuned before.
    void lastChannelRequested();
    // A digit of a channel number typed on the window.
    void channelDigitTyped(int digit);
    // "Central de Gravação" on the Sistema page.
    void recordingsRequested();
    void filesDropped(const QStringList &paths);
    // The program is to end: 0 from the tray's "Fechar".
    void endRequested(int exitCode);
    // "Tela Limpa" was entered (true) or left for "Normal" (false).
    void cleanScreenChanged(bool clean);
    // The window was closed; the player has been shut down.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createTabRowButtons();
    void createSystemPanel();
    void connectMenu();
    void createPlayerViews(Player &player);
    void createKeyboardShortcuts(Player &player);
    void placeVideo();
    void startupTitle();
    void closeProgram();
    void turnWheel(int angle);

    Player *m_player = nullptr;
    bool m_started = false;
    bool m_closing = false;
    int m_wheelRest = 0; // eighths of a degree not yet a whole notch

    ChannelStrip *m_strip = nullptr;
    PlayerPanel *m_playerPanel = nullptr;
    VolumePanel *m_volume = nullptr;
    EffectsPanel *m_effects = nullptr;
    VolumeControl *m_volumeControl = nullptr;
    WindowLayout *m_layout = nullptr;
    TrayIcon *m_tray = nullptr;
    std::unique_ptr<KeyboardShortcuts> m_keys;
    ContextMenu *m_popupMenu = nullptr;
    std::unique_ptr<PageButtonPlacer> m_pageButtons;
    QLabel *m_labelVersao = nullptr;
    QLabel *m_recordingMark = nullptr;
    QuitGuard *m_quitGuard = nullptr;
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
};
