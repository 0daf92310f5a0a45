#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>

class LiveBufferChoice;
class MediaEngine;
class PowerOffService;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTimer;
class Reconnection;
class SourceFailover;

// The options window: the sleep timer (stops playback at a time of day and can
// power the computer off), the main window's always-on-top mode and the switch
// of the reconnection system, and whether a failing channel goes on to its next
// source by itself. Created once, hidden; closed only by "OK".
class OptionsWindow : public QWidget
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // mainWindow is the window kept on top and placed beside; the reconnection
    // option shows and switches the player's reconnection system.
    OptionsWindow(MediaEngine &engine, Reconnection &reconnection, SourceFailover &failover,
        QWidget *mainWindow, PowerOffService &powerOff, QWidget *parent = nullptr);

    // Opens the window 20 pixels left of the main window's left edge, top unchanged.
    void showBeside(QWidget *mainWindow);
    // The main window's current mode decides, not the check box.
    void toggleAlwaysOnTop();

    // "OK"
    void accept();
    // Once a second: stops playback, and powers off if asked, when the sleep time has come.
    void sleepTick();

    // Where the sleep timer reads the local time; tests drive their own clock.
    // The next tick measures from the new clock's present moment.
    void setClock(Clock clock);

    // Shows and changes how much of a live channel is kept: "Guardar até N
    // minutos da transmissão". choice must outlive the window.
    void showLiveBufferChoice(LiveBufferChoice &choice);

signals:
    // The main window's mode changed (its "Tela Sempre Visível" item shows it).
    void stayOnTopChanged(bool on);

private:
    MediaEngine &m_engine;
    Reconnection &m_reconnection;
    QWidget *m_mainWindow;
    PowerOffService &m_powerOff;

    QCheckBox *m_reconnect = nullptr;
    QCheckBox *m_alwaysOnTop = nullptr;
    QCheckBox *m_switchSources = nullptr;
    QCheckBox *m_sleepArmed = nullptr;
    QComboBox *m_sleepTime = nullptr;
    QCheckBox *m_powerOffWhenDue = nullptr;
    QTimer *m_sleepTimer = nullptr;
    QPushButton *m_ok = nullptr;

    Clock m_clock;
    QDateTime m_lastTick;
};
