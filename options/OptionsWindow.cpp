#include "options/OptionsWindow.h"

#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "options/PowerOffService.h"
#include "options/SleepSchedule.h"
#include "options/StayOnTop.h"
#include "player/LiveBufferChoice.h"
#include "player/Reconnection.h"
#include "player/SourceFailover.h"
#include "widgets/CaptionFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
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

OptionsWindow::OptionsWindow(MediaEngine &engine, Reconnection &reconnection, SourceFailover &failover,
    QWidget *mainWindow, PowerOffService &powerOff, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_engine(engine)
    , m_reconnection(reconnection)
    , m_mainWindow(mainWindow)
    , m_powerOff(powerOff)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Opções"));
    setFixedSize(314, 266);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    auto *defaultPlayer = named(new QToolButton(this), "SpeedButton1");
    defaultPlayer->setText(QStringLiteral("Tornar o Lumivortex meu Media Player padrão."));
    defaultPlayer->setGeometry(40, 16, 241, 33);
    defaultPlayer->setToolButtonStyle(Qt::ToolButtonTextOnly);
    defaultPlayer->setEnabled(false); // offered, never available

    m_reconnect = named(new QCheckBox(QStringLiteral("Ativar sistema Tenacor®."), this), "CheckBox1");
    m_reconnect->setGeometry(16, 60, 129, 17);
    m_alwaysOnTop = named(new QCheckBox(QStringLiteral("Janela sempre visível"), this), "CheckBox2");
    m_alwaysOnTop->setGeometry(176, 60, 121, 17);
    // In the free row above the sleep timer's frame.
    m_switchSources
        = named(new QCheckBox(QString::fromUtf8("Trocar de fonte sozinho quando um canal cair"), this),
            "SwitchSourcesBox");
    m_switchSources->setAccessibleName(m_switchSources->text());
    m_switchSources->setGeometry(16, 79, 290, 17);
    m_switchSources->setChecked(failover.isEnabled());
    connect(m_switchSources, &QCheckBox::toggled, &failover, &SourceFailover::setEnabled);
    connect(&failover, &SourceFailover::enabledChanged, m_switchSources, &QCheckBox::setChecked);

    auto *sleepFrame = named(new QFrame(this), "Bevel1");
    sleepFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    sleepFrame->setGeometry(8, 112, 297, 105);

    // A white panel over the frame's top edge carries the sleep timer's box, as a caption.
    auto *sleepCaption = named(new QWidget(this), "Panel1");
    sleepCaption->setGeometry(14, 96, 81, 33);
    sleepCaption->setBackgroundRole(QPalette::Base);
    sleepCaption->setAutoFillBackground(true);
    m_sleepArmed = named(new QCheckBox(QStringLiteral("Sleep Timer"), sleepCaption), "CheckBox3");
    m_sleepArmed->setGeometry(4, 8, 77, 17);

    auto *timeCaption = named(new QLabel(QStringLiteral("Selecione o horário"), this), "Label1");
    timeCaption->move(24, 128);
    m_sleepTime = named(new QComboBox(this), "ComboBox1");
    m_sleepTime->setGeometry(24, 144, 145, 21);
    m_sleepTime->setEditable(false);
    m_sleepTime->addItems(SleepSchedule::timesOfDay());
    m_sleepTime->setCurrentIndex(0);
    m_powerOffWhenDue = named(new QCheckBox(QStringLiteral("Desligar o computador"), this), "CheckBox4");
    m_powerOffWhenDue->setGeometry(24, 184, 145, 17);

    auto *ok = m_ok = named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    ok->setGeometry(120, 232, 75, 25);

    fitCaptions(this,
        { defaultPlayer, m_reconnect, m_alwaysOnTop, m_switchSources, m_sleepArmed, m_powerOffWhenDue });
    timeCaption->adjustSize();

    m_sleepTimer = named(new QTimer(this), "TimerSleepTimer");
    m_sleepTimer->setInterval(1000);

    // The box shows the reconnection system, which tuning and the question
    // switch too; the user's changes switch it.
    m_reconnect->setChecked(m_reconnection.isOn());
    connect(m_reconnect, &QCheckBox::toggled, &m_reconnection, &Reconnection::setOn);
    connect(&m_reconnection, &Reconnection::switchedOn, m_reconnect, &QCheckBox::setChecked);
    connect(m_alwaysOnTop, &QCheckBox::clicked, this, [this] { toggleAlwaysOnTop(); });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_sleepTimer, &QTimer::timeout, this, [this] { sleepTick(); });

    m_lastTick = m_clock();
    m_sleepTimer->start();
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
        m_reconnection.setPromptSuppressed(true);
        StayOnTop::set(m_mainWindow, true);
        m_reconnection.setPromptSuppressed(false);
    });
    // A checkable item flips its own mark when chosen; the mode alone decides
    // it, also when a failing stop left the mode as it was.
    emit stayOnTopChanged(StayOnTop::isOn(m_mainWindow));
}

void OptionsWindow::accept()
{
    hide();
}

void OptionsWindow::sleepTick()
{
    const QDateTime now = m_clock();
    const QDateTime previous = std::exchange(m_lastTick, now);
    const SleepSchedule schedule(
        m_sleepArmed->isChecked(), SleepSchedule::parseTime(m_sleepTime->currentText()));
    if (!schedule.isDueBetween(previous, now))
        return;
    // A player that fails to stop must not keep the computer from powering off.
    safeCall([this] { m_engine.stop(); });
    if (m_powerOffWhenDue->isChecked())
        safeCall([this] { m_powerOff.powerOff(); });
}

void OptionsWindow::setClock(Clock clock)
{
    m_clock = std::move(clock);
    m_lastTick = m_clock();
}

void OptionsWindow::showLiveBufferChoice(LiveBufferChoice &choice)
{
    // One row under the sleep timer's frame; "OK" moves down to make room.
    constexpr int rowTop = 226;
    constexpr int rowHeight = 30;
    setFixedSize(width(), height() + rowHeight);
    m_ok->move(m_ok->x(), m_ok->y() + rowHeight);

    auto *keep = named(new QCheckBox(QStringLiteral("Guardar até"), this), "LiveBufferCheckBox");
    keep->setGeometry(16, rowTop + 2, 85, 17);
    auto *minutes = named(new QSpinBox(this), "LiveBufferMinutes");
    minutes->setGeometry(104, rowTop, 56, 21);
    minutes->setRange(LiveBufferChoice::leastMinutes, LiveBufferChoice::mostMinutes);
    minutes->setAccessibleName(QStringLiteral("Minutos da transmissão guardados"));
    auto *unit = named(new QLabel(QStringLiteral("minutos da transmissão"), this), "LiveBufferLabel");
    unit->move(166, rowTop + 3);
    unit->adjustSize();
    keep->setToolTip(QStringLiteral("Guarda o canal ao vivo para pausar e voltar"));
    fitCaptions(this, { keep });

    auto show = [keep, minutes, &choice] {
        keep->setChecked(choice.enabled());
        minutes->setValue(choice.minutes());
        minutes->setEnabled(choice.enabled());
    };
    show();
    connect(keep, &QCheckBox::toggled, &choice, &LiveBufferChoice::setEnabled);
    connect(minutes, &QSpinBox::valueChanged, &choice, &LiveBufferChoice::setMinutes);
    connect(&choice, &LiveBufferChoice::changed, this, show);
}
