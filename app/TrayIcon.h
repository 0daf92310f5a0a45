#pragma once

#include <QObject>
#include <optional>

class QAction;
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

    // Takes the notification area as there or not instead of asking the
    // desktop (tests, whose desktop has none).
    void assumeTrayAvailable(bool available) { m_assumedAvailable = available; }

    void hideToTray();
    void returnFromTray();
    void trayIconDoubleClicked() { returnFromTray(); }
    bool iconShown() const;
    QMenu *menu() const { return m_menu; }
    // What records now ("Gravando: Globo"), in the menu's first line and the
    // icon's tooltip; empty: nothing records, and neither says anything.
    void setRecordingStatus(const QString &text);
    QString toolTip() const;

signals:
    // "Abrir Playlist".
    void playlistRequested();
    // "Fechar": the program ends at once, without the main window's closing steps.
    void endRequested();

private:
    bool trayAvailable() const;

    QWidget &m_window;
    std::optional<bool> m_assumedAvailable;
    QSystemTrayIcon *m_icon;
    QMenu *m_menu;
    QAction *m_recordingStatus = nullptr;
    QAction *m_recordingSeparator = nullptr;
};
