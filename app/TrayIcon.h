#pragma once

#include <QObject>
#include <functional>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// Hiding the main window to the notification area while playback goes on.
// Where the desktop has no notification area the window is minimised instead,
// so the user is never left without a way back.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    TrayIcon(QWidget &mainWindow, QObject *parent);

    std::function<void()> showPlaylist;
    // Ends the program at once, without the main window's closing steps.
    std::function<void()> endProgram;
    // Whether a notification area exists; tests replace it.
    std::function<bool()> trayAvailable;

    void hideToTray();
    void returnFromTray();
    void trayIconDoubleClicked() { returnFromTray(); }
    bool iconShown() const;
    QMenu *menu() const { return m_menu; }

private:
    QWidget &m_window;
    QSystemTrayIcon *m_icon;
    QMenu *m_menu;
};
