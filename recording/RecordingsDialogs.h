#pragma once

#include "recording/RecordingSchedule.h"

#include <QString>
#include <QVector>
#include <optional>

class QWidget;
struct Recording;

// A channel that can be recorded: its name as the recordings show it and
// the address a recording reads.
struct ChannelChoice {
    QString name;
    QString address;
};

// The channels the schedule offers (the one that plays first); the program knows them.
class RecordableChannels
{
public:
    virtual ~RecordableChannels() = default;
    virtual QVector<ChannelChoice> recordableChannels() const = 0;
};

// What the recordings window asks the user and the desktop; tests answer instead.
class RecordingsDialogs
{
public:
    virtual ~RecordingsDialogs() = default;
    // The new name of a recording's files; nothing when cancelled.
    virtual std::optional<QString> askNewName(QWidget *parent, const Recording &recording) = 0;
    // A recording by hand (channel, day, start, end); nothing when cancelled.
    virtual std::optional<ScheduledRecording> askSchedule(
        QWidget *parent, const QVector<ChannelChoice> &channels, const QDateTime &now)
        = 0;
    // Shows the folder in the desktop's file manager.
    virtual void openFolder(const QString &folder) = 0;
};

// The real dialogs: an input box, the schedule dialog, the desktop's file manager.
class StandardRecordingsDialogs : public RecordingsDialogs
{
public:
    std::optional<QString> askNewName(QWidget *parent, const Recording &recording) override;
    std::optional<ScheduledRecording> askSchedule(
        QWidget *parent, const QVector<ChannelChoice> &channels, const QDateTime &now) override;
    void openFolder(const QString &folder) override;
};
