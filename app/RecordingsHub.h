#pragma once

#include "app/MainWindow.h"
#include "recording/RecorderService.h"
#include "recording/RecordingsDialogs.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <memory>

class ChannelListsHub;
class GuideGridModel;
class GuideLibrary;
class GuideWindow;
class Player;
class QTimer;
class RecordingList;
class RecordingSchedule;
class RecordingsWindow;
struct ListChannel;

// Brings recording into the program: "Central de Gravação" (the Sistema
// page's button, a context-menu item) and its window, "Gravar" (context menu,
// R, the window's button) for what plays, the recordings following the
// channel's source switches, the guide's "Gravar este programa", the red mark,
// the tray's line and tooltip, the messages (a full disk, missed starts) and
// the question before quitting while something records. Recordings go to the
// user's videos folder + "/Lumivortex"; the list and the schedule are kept in
// the per-user data folder.
class RecordingsHub : public QObject, public QuitGuard, public RecordableChannels, public RecordingSources
{
    Q_OBJECT

public:
    struct Places {
        QString dataFolder; // empty: the per-user data folder
        QString videosFolder; // empty: the user's videos folder + "/Lumivortex"
    };

    RecordingsHub(MainWindow &main, Player &player, ChannelListsHub &channels, const Places &places = {},
        const StreamRecorderSettings &recorder = {});
    ~RecordingsHub() override;

    // Reads the schedule: starts already due begin, missed ones are reported.
    void start();

    RecordingList &list() const { return *m_list; }
    RecordingSchedule &schedule() const { return *m_schedule; }
    RecorderService &recorder() const { return *m_recorder; }
    RecordingsWindow *window() const { return m_window.get(); }
    RecordingsWindow *showWindow();
    // Tests answer the window's questions.
    void setDialogs(RecordingsDialogs *dialogs) { m_dialogs = dialogs; }
    // Where a recording's programme is looked up; none: recordings have no programme.
    void setGuides(const GuideLibrary *guides) { m_guides = guides; }

    // "Gravar": what plays now, from now or from the start of the live buffer.
    // The new recording's id; empty (and said) when nothing recordable plays.
    QString recordWhatPlays(bool fromBufferStart);
    // "Gravar este programa" of the guide: scheduled with the lead and trail around it.
    bool scheduleProgramme(
        const ListChannel &channel, const QString &title, const QDateTime &start, const QDateTime &end);
    // Connects a guide window's "Gravar este programa".
    void watchGuideWindow(GuideWindow &window, const GuideGridModel &model);

    // The channel's name as recordings show it: the window title without its prefix.
    static QString channelName(const QString &windowTitle);

    // QuitGuard: asks while something records; stops the recordings on yes.
    bool mayQuit(QWidget *parent) override;
    // RecordableChannels: the one that plays, the favourites and recents, the built-in ones with an address.
    QVector<ChannelChoice> recordableChannels() const override;
    // RecordingSources: as the engine opens it.
    RecordingSource sourceFor(const QString &address) const override;

private:
    void addMenuItemsAndButtons();
    void showRecordingState();
    void tell(const QString &text);
    void reportMissed(const QList<ScheduledRecording> &entries);
    bool recordable() const;
    QString programmeNow(const QString &channel, const QString &address) const;
    void watchForDeadSource(const QString &id, const QString &channel);
    void moveToNextSource(const QString &id, const QString &channel);

    MainWindow &m_main;
    Player &m_player;
    ChannelListsHub &m_channels;
    StandardRecordingsDialogs m_standardDialogs;
    RecordingsDialogs *m_dialogs = &m_standardDialogs;
    const GuideLibrary *m_guides = nullptr;
    WallClock m_clock;
    std::unique_ptr<RecordingList> m_list;
    std::unique_ptr<RecordingSchedule> m_schedule;
    std::unique_ptr<RecorderService> m_recorder;
    std::unique_ptr<RecordingsWindow> m_window;
    QHash<QString, QTimer *> m_deadSourceTimers; // by recording id
    bool m_started = false;
};
