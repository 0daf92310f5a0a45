#pragma once

#include <QDateTime>
#include <QWidget>
#include <functional>

class MediaEngine;
class PowerOffService;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;
struct ProgramState;

// The options window: the sleep timer (stops playback at a time of day and can
// power the computer off), the main window's always-on-top mode and the switch
// of the reconnection system. Created once, hidden; closed only by "OK".
class OptionsWindow : public QWidget
{
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // timerTryAgain is the main window's reconnection timer; alwaysOnTopMenuItem
    // its checkable "Tela Sempre Visível" item, whose own handler calls
    // toggleAlwaysOnTop() (this window only keeps its check mark).
    OptionsWindow(MediaEngine &engine, ProgramState &state, QWidget *mainWindow, QTimer *timerTryAgain,
        QAction *alwaysOnTopMenuItem, PowerOffService &powerOff, QWidget *parent = nullptr);

    // Opens the window 20 pixels left of the main window's left edge, top unchanged.
    void showBeside(QWidget *mainWindow);
    // The main window's current mode decides, not the check box.
    void toggleAlwaysOnTop();

    // The reconnection check box, which some tunes untick.
    QCheckBox *reconnectOption() const { return CheckBox1; }
    void CheckBox1Click();
    void CheckBox2Click();
    void Button1Click();
    void TimerSleepTimerTimer();

    // Where the sleep timer reads the local time; tests drive their own clock.
    // The next tick measures from the new clock's present moment.
    void setClock(Clock clock);

private:
    MediaEngine &m_engine;
    ProgramState &m_state;
    QWidget *m_mainWindow;
    QTimer *m_timerTryAgain;
    QAction *m_alwaysOnTopMenuItem;
    PowerOffService &m_powerOff;

    QToolButton *SpeedButton1;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox2;
    QFrame *Bevel1;
    QWidget *Panel1;
    QCheckBox *CheckBox3;
    QLabel *Label1;
    QComboBox *ComboBox1;
    QCheckBox *CheckBox4;
    QPushButton *Button1;
    QTimer *TimerSleepTimer;

    Clock m_clock;
    QDateTime m_lastTick;
};
