#pragma once

#include "lists/ListChannel.h"

#include <QWidget>

class GuideRowNotes;
class QLabel;
class QTextEdit;

// Beside "Canais": the selected channel's programme on now, the next one and
// the rest of the day, each with its times, episode, rating, categories and
// description. Everything from the guide is written as plain text.
class ChannelGuidePanel : public QWidget
{
    Q_OBJECT

public:
    explicit ChannelGuidePanel(GuideRowNotes &notes, QWidget *parent = nullptr);

    void showChannel(const ListChannel &channel);
    QString text() const;

private:
    void showAgain();

    GuideRowNotes &m_notes;
    ListChannel m_channel;
    bool m_hasChannel = false;
    QLabel *m_heading = nullptr;
    QTextEdit *m_programmes = nullptr;
};
