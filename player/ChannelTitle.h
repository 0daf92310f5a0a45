#pragma once

#include "engine/MediaEngine.h"

#include <QObject>
#include <QString>

// The main window's title as tuning and the engine's state make it, and the
// last channel title: the bare title of the most recent tune (or of the start
// and the Player page), which is how the reconnection knows the channel.
class ChannelTitle : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    QString shown() const { return m_shown; }
    QString lastChannelTitle() const { return m_lastChannelTitle; }

    // A tune, the start and the Player page: the bare title, kept as the last channel title.
    void setChannelTitle(const QString &title);
    // The last channel title and the state's words; a ready state marks the
    // channel as congested.
    void showState(MediaEngine::State state, int bufferPercent);
    // A title that is no tune (a channel without an address); the last channel title stays.
    void showText(const QString &text);

signals:
    // Every write, also of the same text: the window shows it.
    void shownChanged(const QString &title);

private:
    QString m_shown;
    QString m_lastChannelTitle;
};
