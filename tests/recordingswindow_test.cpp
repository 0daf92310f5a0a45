// "Central de Gravação" as a view: each recording's columns, the question
// before deleting, the buttons a running recording allows, the schedule by
// hand and its dialog's times.
#include "recording/RecorderService.h"
#include "recording/RecordingList.h"
#include "recording/RecordingSchedule.h"
#include "recording/RecordingTable.h"
#include "recording/RecordingsDialogs.h"
#include "recording/RecordingsWindow.h"
#include "recording/ScheduleDialog.h"
#include "widgets/MessageBox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

namespace
{
class AnsweringDialogs : public RecordingsDialogs
{
public:
    std::optional<QString> askNewName(QWidget *, const Recording &) override { return name; }
    std::optional<ScheduledRecording> askSchedule(
        QWidget *, const QVector<ChannelChoice> &channels, const QDateTime &) override
    {
        offered = channels;
        return schedule;
    }
    void openFolder(const QString &folder) override { opened << folder; }

    std::optional<QString> name;
    std::optional<ScheduledRecording> schedule;
    QVector<ChannelChoice> offered;
    QStringList opened;
};

class Channels : public RecordableChannels
{
public:
    QVector<ChannelChoice> recordableChannels() const override
    {
        return { { QStringLiteral("Canal Um"), QStringLiteral("http://127.0.0.1:9/um") } };
    }
};
} // namespace

class RecordingsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowShowsChannelProgrammeStartLengthSizeAndState();
    void deletingAsksAndOnlyYesDeletesTheFiles();
    void runningRecordingCanOnlyBeStopped();
    void scheduleByHandIsListedAndCancelled();
    void endBeforeStartIsOnTheNextDay();
    void endThatPassedIsRefused();

private:
    QString addFinished(const QString &channel, const QString &programme);
    QPushButton *button(const char *name) { return m_window->findChild<QPushButton *>(QLatin1String(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    WallClock m_clock;
    AnsweringDialogs m_dialogs;
    Channels m_channels;
    std::unique_ptr<RecordingList> m_list;
    std::unique_ptr<RecordingSchedule> m_schedule;
    std::unique_ptr<RecorderService> m_recorder;
    std::unique_ptr<RecordingsWindow> m_window;
};

void RecordingsWindowTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_list = std::make_unique<RecordingList>(m_dir->filePath(QStringLiteral("recordings.json")));
    m_schedule
        = std::make_unique<RecordingSchedule>(m_dir->filePath(QStringLiteral("schedule.json")), m_clock);
    RecorderService::Settings settings;
    settings.folder = m_dir->filePath(QStringLiteral("Lumivortex"));
    m_recorder = std::make_unique<RecorderService>(*m_list, *m_schedule, settings);
    m_window = std::make_unique<RecordingsWindow>(
        *m_list, *m_schedule, *m_recorder, m_dialogs, m_channels, m_clock);
    m_window->show();
}

void RecordingsWindowTest::cleanup()
{
    setMessageHandler({});
    m_window.reset();
    m_recorder.reset();
    m_schedule.reset();
    m_list.reset();
    m_dir.reset();
}

QString RecordingsWindowTest::addFinished(const QString &channel, const QString &programme)
{
    Recording r;
    r.channel = channel;
    r.programme = programme;
    r.start = QDateTime(QDate(2026, 12, 9), QTime(20, 30));
    r.seconds = 3723.6;
    r.bytes = 1536 * 1024;
    r.state = Recording::State::Finished;
    const QString path = m_dir->filePath(channel + QStringLiteral(".ts"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
    r.files << path;
    return m_list->add(r);
}

void RecordingsWindowTest::rowShowsChannelProgrammeStartLengthSizeAndState()
{
    addFinished(QStringLiteral("<b>Canal Um</b>"), QStringLiteral("Jornal"));
    const QAbstractItemModel *table
        = m_window->findChild<QTableView *>(QStringLiteral("RecordingsTable"))->model();
    QCOMPARE(table->rowCount(), 1);
    QStringList row;
    for (int column = 0; column < table->columnCount(); ++column)
        row << table->index(0, column).data().toString();
    QCOMPARE(row.mid(0, 4),
        QStringList({ QStringLiteral("<b>Canal Um</b>"), QStringLiteral("Jornal"),
            QStringLiteral("09/12/2026 20:30"), QStringLiteral("1:02:03") }));
    QCOMPARE(
        row.at(4), QLocale::system().formattedDataSize(1536 * 1024, 1, QLocale::DataSizeTraditionalFormat));
    QCOMPARE(row.at(5), QStringLiteral("Concluída"));
    QCOMPARE(RecordingTable::lengthText(59.9), QStringLiteral("00:59"));
}

void RecordingsWindowTest::deletingAsksAndOnlyYesDeletesTheFiles()
{
    const QString id = addFinished(QStringLiteral("Canal Um"), QStringLiteral("Jornal"));
    const QString file = m_list->find(id)->files.first();
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::No;
    setMessageHandler([&](QWidget *, const MessageRequest &request) {
        asked << request.text;
        return answer;
    });
    m_window->select(id);
    button("DeleteRecordingButton")->click();
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked.first().contains(QStringLiteral("“Canal Um — Jornal”")));
    QVERIFY(QFile::exists(file));
    QCOMPARE(m_list->rowCount(), 1);
    answer = QMessageBox::Yes;
    button("DeleteRecordingButton")->click();
    QVERIFY(!QFile::exists(file));
    QCOMPARE(m_list->rowCount(), 0);
}

void RecordingsWindowTest::runningRecordingCanOnlyBeStopped()
{
    const QString finished = addFinished(QStringLiteral("Canal Um"), QString());
    Recording running = *m_list->find(finished);
    running.state = Recording::State::Running;
    running.id.clear();
    const QString id = m_list->add(running);
    m_window->select(id);
    QVERIFY(button("StopRecordingButton")->isEnabled());
    QVERIFY(!button("DeleteRecordingButton")->isEnabled());
    QVERIFY(!button("RenameRecordingButton")->isEnabled());
    m_window->select(finished);
    QVERIFY(!button("StopRecordingButton")->isEnabled());
    QVERIFY(button("DeleteRecordingButton")->isEnabled());
    // A name already taken is refused and said.
    m_dialogs.name = QStringLiteral("Canal Um");
    QFile taken(m_dir->filePath(QStringLiteral("Outro.ts")));
    taken.open(QIODevice::WriteOnly);
    m_dialogs.name = QStringLiteral("Outro");
    button("RenameRecordingButton")->click();
    QVERIFY(!m_window->findChild<QLabel *>(QStringLiteral("RecordingsProblem"))->isHidden());
    QCOMPARE(QFileInfo(m_list->find(finished)->files.first()).fileName(), QStringLiteral("Canal Um.ts"));
}

void RecordingsWindowTest::scheduleByHandIsListedAndCancelled()
{
    ScheduledRecording entry;
    entry.channel = QStringLiteral("Canal Um");
    entry.address = QStringLiteral("http://127.0.0.1:9/um");
    entry.start = QDateTime::currentDateTime().addSecs(3600);
    entry.end = entry.start.addSecs(1800);
    m_dialogs.schedule = entry;
    button("ScheduleButton")->click();
    QCOMPARE(m_dialogs.offered.size(), 1);
    auto *scheduled = m_window->findChild<QTreeWidget *>(QStringLiteral("ScheduledTable"));
    QCOMPARE(scheduled->topLevelItemCount(), 1);
    QCOMPARE(scheduled->topLevelItem(0)->text(0), QStringLiteral("Canal Um"));
    QCOMPARE(scheduled->topLevelItem(0)->text(3), entry.start.toString(QStringLiteral("HH:mm")));
    QCOMPARE(scheduled->topLevelItem(0)->text(5), QStringLiteral("Aguardando"));
    QCOMPARE(m_schedule->entries().size(), 1);
    scheduled->topLevelItem(0)->setSelected(true);
    button("UnscheduleButton")->click();
    QCOMPARE(m_schedule->entries().size(), 0);
    QCOMPARE(scheduled->topLevelItemCount(), 0);
}

void RecordingsWindowTest::endBeforeStartIsOnTheNextDay()
{
    const QDateTime now(QDate(2026, 12, 9), QTime(22, 10));
    ScheduleDialog dialog({ { QStringLiteral("Canal Um"), QStringLiteral("http://127.0.0.1:9/um") } }, now);
    dialog.findChild<QTimeEdit *>(QStringLiteral("ScheduleStart"))->setTime(QTime(23, 30));
    dialog.findChild<QTimeEdit *>(QStringLiteral("ScheduleEnd"))->setTime(QTime(0, 30));
    const ScheduledRecording entry = dialog.entry();
    QCOMPARE(entry.start, QDateTime(QDate(2026, 12, 9), QTime(23, 30)));
    QCOMPARE(entry.end, QDateTime(QDate(2026, 12, 10), QTime(0, 30)));
    QCOMPARE(entry.channel, QStringLiteral("Canal Um"));
}

void RecordingsWindowTest::endThatPassedIsRefused()
{
    const QDateTime now(QDate(2026, 12, 9), QTime(22, 10));
    ScheduleDialog dialog({ { QStringLiteral("Canal Um"), QStringLiteral("http://127.0.0.1:9/um") } }, now);
    dialog.findChild<QTimeEdit *>(QStringLiteral("ScheduleStart"))->setTime(QTime(20, 0));
    dialog.findChild<QTimeEdit *>(QStringLiteral("ScheduleEnd"))->setTime(QTime(21, 0));
    dialog.show();
    dialog.findChild<QPushButton *>(QStringLiteral("ScheduleAccept"))->click();
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("ScheduleProblem"))
                ->text()
                .contains(QStringLiteral("já passou")));
    dialog.findChild<QTimeEdit *>(QStringLiteral("ScheduleEnd"))->setTime(QTime(23, 0));
    dialog.findChild<QPushButton *>(QStringLiteral("ScheduleAccept"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

QTEST_MAIN(RecordingsWindowTest)
#include "recordingswindow_test.moc"
