#pragma once

#include "recording/RecordingsDialogs.h"

#include <QDateTime>
#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QTimeEdit;

// "Agendar gravação": a channel, a day, a start and an end. An end at or
// before the start is on the next day (a programme past midnight). "Agendar"
// is refused, with the reason in the dialog, while the end has passed.
class ScheduleDialog : public QDialog
{
    Q_OBJECT

public:
    ScheduleDialog(const QVector<ChannelChoice> &channels, const QDateTime &now, QWidget *parent = nullptr);

    // What the fields say now (its id empty).
    ScheduledRecording entry() const;
    // Accepts when the fields make a recording to come; otherwise says why.
    void accept() override;

private:
    const QVector<ChannelChoice> m_channels;
    const QDateTime m_now;
    QComboBox *m_channel = nullptr;
    QDateEdit *m_day = nullptr;
    QTimeEdit *m_start = nullptr;
    QTimeEdit *m_end = nullptr;
    QLabel *m_problem = nullptr;
};
