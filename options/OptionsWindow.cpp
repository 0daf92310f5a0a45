#include "options/OptionsWindow.h"

#include "base/ProgramState.h"
#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "options/PowerOffService.h"
#include "options/SleepSchedule.h"
#include "options/StayOnTop.h"
#include "widgets/CaptionFit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <utility>

namespace
{
template <typename T> T *named(T *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

} // namespace

OptionsWindow::OptionsWindow(MediaEngine &engine, ProgramState &state, QWidget *mainWindow,
    QTimer *timerTryAgain, QAction *alwaysOnTopMenuItem, PowerOffService &powerOff, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_engine(engine)
    , m_state(state)
    , m_mainWindow(mainWindow)
    , m_timerTryAgain(timerTryAgain)
    , m_alwaysOnTopMenuItem(alwaysOnTopMenuItem)
    , m_powerOff(powerOff)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Opções"));
    setFixedSize(314, 266);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    SpeedButton1 = named(new QToolButton(this), "SpeedButton1");
    SpeedButton1->setText(QStringLiteral("Tornar o Lumivortex meu Media Player padrão."));
    SpeedButton1->setGeometry(40, 16, 241, 33);
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    SpeedButton1->setEnabled(false); // offered, never available

    CheckBox1 = named(new QCheckBox(QStringLiteral("Ativar sistema Tenacor®."), this), "CheckBox1");
    CheckBox1->setGeometry(16, 60, 129, 17);
    CheckBox2 = named(new QCheckBox(QStringLiteral("Janela sempre visível"), this), "CheckBox2");
    CheckBox2->setGeometry(176, 60, 121, 17);

    Bevel1 = named(new QFrame(this), "Bevel1");
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 112, 297, 105);

    // A white panel over the frame's top edge carries the sleep timer's box, as a caption.
    Panel1 = named(new QWidget(this), "Panel1");
    Panel1->setGeometry(14, 96, 81, 33);
    Panel1->setBackgroundRole(QPalette::Base);
    Panel1->setAutoFillBackground(true);
    CheckBox3 = named(new QCheckBox(QStringLiteral("Sleep Timer"), Panel1), "CheckBox3");
    CheckBox3->setGeometry(4, 8, 77, 17);

    Label1 = named(new QLabel(QStringLiteral("Selecione o horário"), this), "Label1");
    Label1->move(24, 128);
    ComboBox1 = named(new QComboBox(this), "ComboBox1");
    ComboBox1->setGeometry(24, 144, 145, 21);
    ComboBox1->setEditable(false);
    ComboBox1->addItems(SleepSchedule::timesOfDay());
    ComboBox1->setCurrentIndex(0);
    CheckBox4 = named(new QCheckBox(QStringLiteral("Desligar o computador"), this), "CheckBox4");
    CheckBox4->setGeometry(24, 184, 145, 17);

    Button1 = named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    Button1->setGeometry(120, 232, 75, 25);

    fitCaptions(this, { SpeedButton1, CheckBox1, CheckBox2, CheckBox3, CheckBox4 });
    Label1->adjustSize();

    TimerSleepTimer = named(new QTimer(this), "TimerSleepTimer");
    TimerSleepTimer->setInterval(1000);

    // toggled, not clicked: the program ticks and unticks this box too, and
    // every actual change must flip the reconnection timer.
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(CheckBox2, &QCheckBox::clicked, this, [this] { CheckBox2Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(TimerSleepTimer, &QTimer::timeout, this, [this] { TimerSleepTimerTimer(); });

    m_lastTick = m_clock();
    TimerSleepTimer->start();
}

void OptionsWindow::showBeside(QWidget *mainWindow)
{
    // Before its first opening the window has no top of its own yet.
    const int top = testAttribute(Qt::WA_Moved) ? y() : mainWindow->y();
    move(mainWindow->x() - 20, top);
    show();
    raise();
    activateWindow();
}

void OptionsWindow::toggleAlwaysOnTop()
{
    safeCall([this] {
        if (StayOnTop::isOn(m_mainWindow)) {
            StayOnTop::set(m_mainWindow, false);
            raise();
            return;
        }
        m_engine.stop();
        m_state.ReconnectPromptSuppressed = true;
        StayOnTop::set(m_mainWindow, true);
        m_state.ReconnectPromptSuppressed = false;
    });
    // A checkable item flips its own mark when chosen; the mode alone decides
    // it, also when a failing stop left the mode as it was.
    m_alwaysOnTopMenuItem->setChecked(StayOnTop::isOn(m_mainWindow));
}

void OptionsWindow::CheckBox1Click()
{
    if (m_timerTryAgain->isActive())
        m_timerTryAgain->stop();
    else
        m_timerTryAgain->start();
}

void OptionsWindow::CheckBox2Click()
{
    toggleAlwaysOnTop();
}

void OptionsWindow::Button1Click()
{
    hide();
}

void OptionsWindow::TimerSleepTimerTimer()
{
    const QDateTime now = m_clock();
    const QDateTime previous = std::exchange(m_lastTick, now);
    const SleepSchedule schedule(CheckBox3->isChecked(), SleepSchedule::parseTime(ComboBox1->currentText()));
    if (!schedule.isDueBetween(previous, now))
        return;
    // A player that fails to stop must not keep the computer from powering off.
    safeCall([this] { m_engine.stop(); });
    if (CheckBox4->isChecked())
        safeCall([this] { m_powerOff.powerOff(); });
}

void OptionsWindow::setClock(Clock clock)
{
    m_clock = std::move(clock);
    m_lastTick = m_clock();
}
