#pragma once

#include "engine/LiveBuffer.h"
#include "engine/StreamRecorder.h"
#include "recording/RecordingList.h"
#include "recording/RecordingSchedule.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

// How a stream is opened (its headers and certificate choice), known where
// the channels are: a scheduled recording reads its address through it.
class RecordingSources
{
public:
    virtual ~RecordingSources() = default;
    virtual RecordingSource sourceFor(const QString &address) const = 0;
};

// Everything that records: starts a recording of a channel's current source
// beside whatever plays, follows the channel's source switches, stops it (by
// hand, at the end of its scheduled time, when the disk fills up, at the end
// of the program) and keeps the recordings list current. Scheduled
// recordings start and end here too. No widgets: the recordings window, the
// menus, the tray and the main window's mark are views of its signals.
class RecorderService : public QObject
{
    Q_OBJECT

public:
    struct Settings {
        // Where recordings go; empty: the user's videos folder + "/Lumivortex".
        QString folder;
        StreamRecorderSettings recorder;
        const RecordingSources *sources = nullptr; // null: the address alone
    };

    RecorderService(RecordingList &list, RecordingSchedule &schedule, const Settings &settings,
        QObject *parent = nullptr);
    // Stops every running recording (their files are closed before it returns).
    ~RecorderService() override;

    QString folder() const { return m_folder; }

    // Records channel from source, from now; returns the recording's id, or
    // an empty text (and message()) when the address is refused or the folder
    // cannot be made. The file is "<channel> <AAAA-MM-DD HHhMM>.ts".
    QString start(const QString &channel, const RecordingSource &source, const QString &programme = {});
    // The same, from the oldest picture the live buffer kept of the channel
    // playing now: that part is written from the buffer (part 1), and the
    // recorder goes on from the live edge (part 2 on), listed as one recording.
    // Without an active buffer it records from now.
    QString startFromBuffer(const QString &channel, const RecordingSource &source, LiveBuffer &buffer,
        const QString &programme = {});
    // The channel's source changed (reconnection, next address): every running
    // recording of it goes on from the new one.
    void switchSource(const QString &channel, const RecordingSource &source);
    void stop(const QString &id);
    void stopAll();
    // Forgets a scheduled recording, stopping it first when it runs.
    void cancelScheduled(const QString &scheduleId);

    bool isRecording() const { return !m_running.isEmpty(); }
    int runningCount() const { return int(m_running.size()); }
    bool isRecordingChannel(const QString &channel) const;
    // The address a running recording reads now; empty when it is not running.
    QString addressOf(const QString &id) const;

    // A file name of channel at `when` in folder that does not exist yet.
    static QString freeFileName(const QString &folder, const QString &channel, const QDateTime &when);

signals:
    // isRecording() changed: the red mark, the tray's text, the quit question.
    void recordingChanged(bool recording);
    void started(const QString &id);
    void stopped(const QString &id, Recording::State state);
    // A running recording's source stopped sending (it is being opened
    // again) / sends again.
    void interrupted(const QString &id, const QString &channel);
    void resumed(const QString &id);
    // A sentence for the user (Portuguese) about something that went wrong.
    void message(const QString &text);
    // Scheduled recordings whose time passed while the program was closed.
    void missed(const QList<ScheduledRecording> &entries);

private:
    struct Running {
        QPointer<StreamRecorder> recorder;
        QString channel;
        QString scheduleId;
        QString address; // the source read now
        QString keptPart; // part 1, written from the live buffer
        double keptSeconds = 0;
    };
    QString startRecorder(const QString &channel, const RecordingSource &source, const QString &programme,
        const QString &path, int firstPart, const QString &keptPart, double keptSeconds);
    void refresh(const QString &id);
    void onFinished(const QString &id, StreamRecorder::Outcome outcome);

    RecordingList &m_list;
    RecordingSchedule &m_schedule;
    const Settings m_settings;
    const QString m_folder;
    QHash<QString, Running> m_running; // by recording id
};
