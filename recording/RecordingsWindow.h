#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QTreeWidget;
class RecorderService;
class RecordableChannels;
class RecordingList;
class RecordingSchedule;
class RecordingTable;
class RecordingsDialogs;
class WallClock;
struct Recording;

// "Central de Gravação": every recording with its channel, programme, start,
// length, size and state, to play, open its folder, rename, delete (after a
// question) or stop; "Gravar" for what plays now (from now or from the start
// of what the live buffer kept); the scheduled recordings, added by hand or
// from the guide, and cancelled here. A view of the recordings list and the
// schedule; what plays is asked of the program by its signals.
class RecordingsWindow : public QWidget
{
    Q_OBJECT

public:
    RecordingsWindow(RecordingList &list, RecordingSchedule &schedule, RecorderService &recorder,
        RecordingsDialogs &dialogs, const RecordableChannels &channels, const WallClock &clock,
        QWidget *parent = nullptr);
    ~RecordingsWindow() override;

    // Whether "Gravar" has something to record (a channel or stream plays),
    // and whether the live buffer has kept some of it.
    void setRecordable(bool recordable, bool bufferKept);
    // A sentence about the last thing that went wrong (or empty).
    void showProblem(const QString &text);
    // Selects the recording (the newest after "Gravar").
    void select(const QString &id);
    QString selectedId() const;

    void stopSelected();
    void playSelected();
    void openFolder();
    void renameSelected();
    void deleteSelected();
    void scheduleByHand();
    void cancelSelectedSchedule();

signals:
    void recordRequested(bool fromBufferStart);
    void playRequested(const QString &path);

private:
    const Recording *selected() const;
    void updateButtons();
    void showSchedule();

    RecordingList &m_list;
    RecordingSchedule &m_schedule;
    RecorderService &m_recorder;
    RecordingsDialogs &m_dialogs;
    const RecordableChannels &m_channels;
    const WallClock &m_clock;
    RecordingTable *m_table = nullptr;
    QTableView *m_view = nullptr;
    QPushButton *m_record = nullptr;
    QCheckBox *m_fromBuffer = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_play = nullptr;
    QPushButton *m_openFolder = nullptr;
    QPushButton *m_rename = nullptr;
    QPushButton *m_delete = nullptr;
    QLabel *m_problem = nullptr;
    QTreeWidget *m_scheduled = nullptr;
    QPushButton *m_scheduleButton = nullptr;
    QPushButton *m_unschedule = nullptr;
    bool m_recordable = false;
};
