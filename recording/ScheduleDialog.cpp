#include "recording/ScheduleDialog.h"

#include "base/PlainText.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

ScheduleDialog::ScheduleDialog(const QVector<ChannelChoice> &channels, const QDateTime &now, QWidget *parent)
    : QDialog(parent)
    , m_channels(channels)
    , m_now(now)
{
    setObjectName(QStringLiteral("ScheduleDialog"));
    setWindowTitle(QStringLiteral("Agendar gravação"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    m_channel = new QComboBox(this);
    m_channel->setObjectName(QStringLiteral("ScheduleChannel"));
    m_channel->setAccessibleName(QStringLiteral("Canal"));
    for (const ChannelChoice &choice : channels)
        m_channel->addItem(PlainText::line(choice.name));
    form->addRow(QStringLiteral("Canal:"), m_channel);

    // The next whole quarter of an hour, for an hour: a common programme slot.
    const QDateTime from
        = QDateTime(now.date(), QTime(now.time().hour(), now.time().minute() / 15 * 15)).addSecs(15 * 60);
    m_day = new QDateEdit(from.date(), this);
    m_day->setObjectName(QStringLiteral("ScheduleDay"));
    m_day->setAccessibleName(QStringLiteral("Dia"));
    m_day->setCalendarPopup(true);
    m_day->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    m_day->setMinimumDate(now.date());
    form->addRow(QStringLiteral("Dia:"), m_day);
    m_start = new QTimeEdit(from.time(), this);
    m_start->setObjectName(QStringLiteral("ScheduleStart"));
    m_start->setAccessibleName(QStringLiteral("Início"));
    m_start->setDisplayFormat(QStringLiteral("HH:mm"));
    form->addRow(QStringLiteral("Início:"), m_start);
    m_end = new QTimeEdit(from.addSecs(60 * 60).time(), this);
    m_end->setObjectName(QStringLiteral("ScheduleEnd"));
    m_end->setAccessibleName(QStringLiteral("Fim"));
    m_end->setDisplayFormat(QStringLiteral("HH:mm"));
    form->addRow(QStringLiteral("Fim:"), m_end);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("ScheduleProblem"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problem->hide();
    layout->addWidget(m_problem);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Agendar"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ScheduleAccept"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ScheduleDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    if (channels.isEmpty()) {
        m_problem->setText(
            QStringLiteral("Nenhum canal com endereço para gravar. Adicione uma lista de canais."));
        m_problem->show();
        buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    }
}

ScheduledRecording ScheduleDialog::entry() const
{
    ScheduledRecording entry;
    const int row = m_channel->currentIndex();
    if (row >= 0 && row < m_channels.size()) {
        entry.channel = m_channels.at(row).name;
        entry.address = m_channels.at(row).address;
    }
    entry.start = QDateTime(m_day->date(), m_start->time());
    entry.end = QDateTime(m_day->date(), m_end->time());
    if (entry.end <= entry.start)
        entry.end = entry.end.addDays(1);
    return entry;
}

void ScheduleDialog::accept()
{
    const ScheduledRecording chosen = entry();
    QString problem;
    if (chosen.channel.isEmpty())
        problem = QStringLiteral("Escolha um canal.");
    else if (chosen.end <= m_now)
        problem = QStringLiteral("Este horário já passou. Escolha um fim depois de agora.");
    if (!problem.isEmpty()) {
        m_problem->setText(problem);
        m_problem->show();
        return;
    }
    QDialog::accept();
}
