#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>

class MediaEngine;
class PowerOffService;
class QAction;
class QCheckBox;
class QComboBox;
class QTimer;
struct ProgramState;

// The options window: the sleep timer (stops playback at a time of day and can
// power the computer off), the main window's always-on-top mode and the switch
// of the reconnection system. Created once, hidden; closed only by "OK".
class OptionsWindow : public QWidget
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // reconnectTimer is the main window's reconnection timer; alwaysOnTopMenuItem
    // its checkable "Tela Sempre Visível" item, whose own handler calls
    // toggleAlwaysOnTop() (this window only keeps its check mark).
    OptionsWindow(MediaEngine &engine, ProgramState &state, QWidget *mainWindow, QTimer *reconnectTimer,
        QAction *alwaysOnTopMenuItem, PowerOffService &powerOff, QWidget *parent = nullptr);

    // Opens the window 20 pixels left of the main window's left edge, top unchanged.
    void showBeside(QWidget *mainWindow);
    // The main window's current mode decides, not the check box.
    void toggleAlwaysOnTop();

    // "Ativar sistema Tenacor®.": tuning and the reconnect question tick and
    // untick it too.
    QCheckBox *reconnectOption() const { return m_reconnect; }

    // Every change of the reconnection box flips the reconnection timer.
    void toggleReconnection();
    // "OK"
    void accept();
    // Once a second: stops playback, and powers off if asked, when the sleep time has come.
    void sleepTick();

    // Where the sleep timer reads the local time; tests drive their own clock.
    // The next tick measures from the new clock's present moment.
    void setClock(Clock clock);

private:
    MediaEngine &m_engine;
    ProgramState &m_state;
    QWidget *m_mainWindow;
    QTimer *m_reconnectTimer;
    QAction *m_alwaysOnTopMenuItem;
    PowerOffService &m_powerOff;

    QCheckBox *m_reconnect = nullptr;
    QCheckBox *m_alwaysOnTop = nullptr;
    QCheckBox *m_sleepArmed = nullptr;
    QComboBox *m_sleepTime = nullptr;
    QCheckBox *m_powerOffWhenDue = nullptr;
    QTimer *m_sleepTimer = nullptr;

    Clock m_clock;
    QDateTime m_lastTick;
};
