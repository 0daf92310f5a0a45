// Recording in the whole program, on the fake engine, with real recorders on
// live channels of the loopback server: "Gravar" records the channel that
// plays into the user's videos folder, goes on while another channel plays
// and follows the channel to its next address; the red mark, the tray's line,
// the question on quit, the full-disk message, the schedule's missed starts
// and the guide's "Gravar este programa".
#include "app/RecordingsHub.h"
#include "app/TrayIcon.h"
#include "engine/DeferredEngine.h"
#include "engine/LiveBuffer.h"
#include "engine/MpvEngine.h"
#include "guide/GuideChoices.h"
#include "guide/GuideLibrary.h"
#include "guide/GuideMatcher.h"
#include "guide/GuideRegistry.h"
#include "guide/GuideWindow.h"
#include "guide/ProgrammeDetailsPanel.h"
#include "player/AlternateAddresses.h"
#include "player/Reconnection.h"
#include "player/Transport.h"
#include "recording/RecordingList.h"
#include "recording/RecordingsWindow.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/Fixtures.h"
#include "tests/support/GuideBytes.h"
#include "tests/support/GuideFixtures.h"
#include "tests/support/LiveStream.h"
#include "tests/support/MediaProbe.h"
#include "tests/support/RunningProgram.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace
{
const QString kTitleA = QStringLiteral("Lumivortex TV - Canal Um");
const QString kTitleB = QStringLiteral("Lumivortex TV - Canal Dois");

// Answers every message box with `answer` and keeps what they said.
struct Boxes {
    Boxes()
    {
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            texts << request.text;
            return answer;
        });
    }
    ~Boxes() { setMessageHandler({}); }
    QStringList texts;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
};

const Recording &only(RecordingsHub &hub)
{
    return hub.list().recordings().first();
}
} // namespace

class RecordingsHubTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void sistemaButtonOpensTheRecordingsWindow();
    void recordKeyRecordsTheChannelIntoTheVideosFolder();
    void recordingGoesOnWhileAnotherChannelPlays();
    void recordingFollowsTheChannelToItsNextAddress();
    void recordingOfAChannelNotWatchedMovesOnFromADeadAddress();
    void quittingWhileRecordingAsksFirst();
    void tooLittleDiskLeftStopsTheRecordingAndSaysSo();
    void scheduleMissedWhileClosedIsReportedAtStart();
    void nothingToRecordIsSaid();
    void recordingIsNamedAfterTheProgrammeOnNow();
    void guideProgrammeIsScheduledFromItsDetails();
    void windowShowsRunningFinishedAndScheduledTogether();
    void realEngineRecordsFromTheBufferWhileAnotherChannelPlays();

private:
    QString videos() const { return m_home.filePath(QStringLiteral("Vídeos")); }
    QString folder() const { return videos() + QStringLiteral("/Lumivortex"); }
    QAction *menuItem(FakeProgram &h, const char *name)
    {
        return h.window().findChild<QAction *>(QString::fromLatin1(name));
    }

    QTemporaryDir m_home;
    std::unique_ptr<LoopbackHttpServer> m_server;
    QString m_mounted;
};

void RecordingsHubTest::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("cache"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    // The desktop's own name for the videos folder, as a Portuguese desktop writes it.
    QDir().mkpath(m_home.filePath(QStringLiteral("config")));
    QFile dirs(m_home.filePath(QStringLiteral("config/user-dirs.dirs")));
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_VIDEOS_DIR=\"" + QFile::encodeName(videos()) + "\"\n");
}

void RecordingsHubTest::init()
{
    m_server = std::make_unique<LoopbackHttpServer>();
    QDir(m_home.filePath(QStringLiteral("data"))).removeRecursively();
}

void RecordingsHubTest::cleanup()
{
    m_server.reset();
    if (!m_mounted.isEmpty())
        QProcess::execute(QStringLiteral("umount"), { QStringLiteral("-l"), m_mounted });
    m_mounted.clear();
    QDir(folder()).removeRecursively();
}

void RecordingsHubTest::sistemaButtonOpensTheRecordingsWindow()
{
    FakeProgram h;
    FlatButton *button = h.window().findChild<FlatButton *>(QStringLiteral("SpeedButton89"));
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    QCOMPARE(button->text(), QStringLiteral("Central\nde\nGravação"));
    button->click();
    RecordingsWindow *window = h.program.recordings().window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Central de Gravação"));
    // Nothing plays: "Gravar" has nothing to record.
    QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("RecordButton"))->isEnabled());
}

void RecordingsHubTest::recordKeyRecordsTheChannelIntoTheVideosFolder()
{
    LiveStream live(*m_server, LiveStream::named(QStringLiteral("/um"), 2));
    FakeProgram h;
    RecordingsHub &hub = h.program.recordings();
    h.player().tune({ kTitleA, live.tsUrl(), false });
    QAction *record = menuItem(h, "RecordItem");
    QVERIFY(record);
    QCOMPARE(record->shortcut(), QKeySequence(Qt::Key_R));
    QVERIFY(!h.window().recordingMarkShown());
    record->trigger();

    QCOMPARE(hub.list().rowCount(), 1);
    const QString file = only(hub).files.value(0);
    QTRY_VERIFY_WITH_TIMEOUT(!only(hub).files.isEmpty(), 5000 * Fixtures::slowdown);
    QCOMPARE(QFileInfo(only(hub).files.first()).absolutePath(), folder());
    QVERIFY2(QFileInfo(only(hub).files.first())
                 .fileName()
                 .contains(QRegularExpression(
                     QStringLiteral("^Canal Um \\d{4}-\\d\\d-\\d\\d \\d\\dh\\d\\d\\.ts$"))),
        qPrintable(only(hub).files.first()));
    QVERIFY(h.window().recordingMarkShown());
    QCOMPARE(h.window().tray().toolTip(), QStringLiteral("Lumivortex TV — Gravando: Canal Um"));
    QTRY_VERIFY_WITH_TIMEOUT(only(hub).bytes > 100000, 10000 * Fixtures::slowdown);

    hub.recorder().stop(only(hub).id);
    QTRY_COMPARE_WITH_TIMEOUT(int(only(hub).state), int(Recording::State::Finished), 10000);
    QVERIFY(!h.window().recordingMarkShown());
    QVERIFY(h.window().tray().toolTip().isEmpty());
    QVERIFY(QFileInfo(only(hub).files.first()).size() > 100000);
    Q_UNUSED(file);
}

void RecordingsHubTest::recordingGoesOnWhileAnotherChannelPlays()
{
    LiveStream one(*m_server, LiveStream::named(QStringLiteral("/um"), 2));
    FakeProgram h;
    RecordingsHub &hub = h.program.recordings();
    h.player().tune({ kTitleA, one.tsUrl(), false });
    QVERIFY(!hub.recordWhatPlays(false).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(only(hub).bytes > 0, 10000 * Fixtures::slowdown);
    // Another channel, a stop, a file: the recording does not care.
    h.player().tune({ kTitleB, QStringLiteral("http://127.0.0.1:9/dois"), false });
    h.player().transport().stop();
    const qint64 before = only(hub).bytes;
    QTRY_VERIFY_WITH_TIMEOUT(only(hub).bytes > before + 100000, 10000 * Fixtures::slowdown);
    QCOMPARE(only(hub).channel, QStringLiteral("Canal Um"));
    QCOMPARE(int(only(hub).state), int(Recording::State::Running));
}

void RecordingsHubTest::recordingFollowsTheChannelToItsNextAddress()
{
    LiveStream first(*m_server, LiveStream::named(QStringLiteral("/primeira"), 2));
    LiveStream second(*m_server, LiveStream::named(QStringLiteral("/segunda"), 2));
    FakeProgram h;
    RecordingsHub &hub = h.program.recordings();
    h.player().alternates().setEntries(kTitleA, { first.tsUrl(), second.tsUrl() });
    h.player().tune({ kTitleA, first.tsUrl(), false });
    QVERIFY(!hub.recordWhatPlays(false).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(only(hub).bytes > 0, 10000 * Fixtures::slowdown);

    // The first address dies for good; the reconnection moves the picture on.
    first.kill();
    Boxes boxes;
    h.player().reconnection().setOn(true);
    for (int tick = 0; tick < 4 && h.player().loaded().address != second.tsUrl(); ++tick) {
        h.engine->emitState(MediaEngine::State::Failed);
        h.player().reconnection().retryDroppedStream();
    }
    QCOMPARE(h.player().loaded().address, second.tsUrl());
    const qint64 before = only(hub).bytes;
    // The recorder alone would knock on the dead address forever.
    QTRY_VERIFY_WITH_TIMEOUT(only(hub).bytes > before + 100000, 10000 * Fixtures::slowdown);
    QCOMPARE(hub.list().rowCount(), 1);
}

void RecordingsHubTest::recordingOfAChannelNotWatchedMovesOnFromADeadAddress()
{
    LiveStream first(*m_server, LiveStream::named(QStringLiteral("/primeira"), 2));
    LiveStream second(*m_server, LiveStream::named(QStringLiteral("/segunda"), 2));
    FakeProgram h;
    RecordingsHub &hub = h.program.recordings();
    h.player().alternates().setEntries(kTitleA, { first.tsUrl(), second.tsUrl() });
    h.player().tune({ kTitleA, first.tsUrl(), false });
    const QString id = hub.recordWhatPlays(false);
    QVERIFY(!id.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(only(hub).bytes > 0, 10000 * Fixtures::slowdown);
    h.player().tune({ kTitleB, QStringLiteral("http://127.0.0.1:9/dois"), false });

    // Nobody watches the channel: no reconnection moves the picture, the recording moves itself.
    first.kill();
    QTRY_COMPARE_WITH_TIMEOUT(hub.recorder().addressOf(id), second.tsUrl(), 15000 * Fixtures::slowdown);
    const qint64 before = only(hub).bytes;
    QTRY_VERIFY_WITH_TIMEOUT(only(hub).bytes > before + 100000, 10000 * Fixtures::slowdown);
}

void RecordingsHubTest::quittingWhileRecordingAsksFirst()
{
    LiveStream live(*m_server, LiveStream::named(QStringLiteral("/um"), 2));
    FakeProgram h;
    Boxes boxes;
    RecordingsHub &hub = h.program.recordings();
    QSignalSpy closed(&h.window(), &MainWindow::closed);
    h.window().show();
    // Nothing records: closing asks nothing.
    QVERIFY(hub.mayQuit(&h.window()));
    QVERIFY(boxes.texts.isEmpty());

    h.player().tune({ kTitleA, live.tsUrl(), false });
    QVERIFY(!hub.recordWhatPlays(false).isEmpty());
    boxes.answer = QMessageBox::No;
    h.window().close();
    QCOMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts.first().contains(QStringLiteral("gravação em andamento (Canal Um)")));
    QVERIFY(h.window().isVisible());
    QCOMPARE(closed.size(), 0);
    // The tray's "Fechar" asks the same.
    h.window().tray().menu()->findChild<QAction *>(QStringLiteral("Fechar1"))->trigger();
    QCOMPARE(boxes.texts.size(), 2);
    QCOMPARE(h.endings.size(), 0);
    QCOMPARE(int(only(hub).state), int(Recording::State::Running));

    boxes.answer = QMessageBox::Yes;
    h.window().close();
    QCOMPARE(closed.size(), 1);
}

void RecordingsHubTest::tooLittleDiskLeftStopsTheRecordingAndSaysSo()
{
    // A disk of 1 GB and 8 MB: the recording must stop with over 1 GB still free.
    QDir().mkpath(folder());
    const qint64 size = (qint64(1) << 30) + (8 << 20);
    if (QProcess::execute(QStringLiteral("mount"),
            { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                QStringLiteral("size=%1").arg(size), QStringLiteral("tmpfs"), folder() })
        != 0)
        QSKIP("this machine lets no test mount a small file system (tmpfs needs root or a user namespace)");
    m_mounted = folder();
    LiveStream::Options options = LiveStream::named(QStringLiteral("/um"), 8);
    options.bitrateKbps = 3000;
    LiveStream live(*m_server, options);
    FakeProgram h;
    Boxes boxes;
    RecordingsHub &hub = h.program.recordings();
    h.player().tune({ kTitleA, live.tsUrl(), false });
    QVERIFY(!hub.recordWhatPlays(false).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(
        int(only(hub).state), int(Recording::State::DiskFull), 30000 * Fixtures::slowdown);
    QTRY_COMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts.first().contains(QStringLiteral("disco está quase cheio")),
        qPrintable(boxes.texts.first()));
    QVERIFY(!h.window().recordingMarkShown());
    const qint64 bytes = QFileInfo(only(hub).files.first()).size();
    QVERIFY2(bytes > (2 << 20) && bytes <= (8 << 20) - (qint64(1) << 20), qPrintable(QString::number(bytes)));
}

void RecordingsHubTest::scheduleMissedWhileClosedIsReportedAtStart()
{
    const QString data = m_home.filePath(QStringLiteral("data/") + QCoreApplication::applicationName());
    QDir().mkpath(data);
    const QDateTime start = QDateTime::currentDateTime().addDays(-1);
    QJsonObject entry { { QStringLiteral("id"), QStringLiteral("x1") },
        { QStringLiteral("channel"), QStringLiteral("Canal Um") },
        { QStringLiteral("address"), QStringLiteral("http://127.0.0.1:9/um") },
        { QStringLiteral("programme"), QStringLiteral("Jornal") },
        { QStringLiteral("start"), start.toString(Qt::ISODate) },
        { QStringLiteral("end"), start.addSecs(3600).toString(Qt::ISODate) } };
    QFile file(data + QStringLiteral("/recording-schedule.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject { { QStringLiteral("scheduled"), QJsonArray { entry } } }).toJson());
    file.close();

    FakeProgram h;
    Boxes boxes;
    h.program.recordings().start();
    QTRY_COMPARE(boxes.texts.size(), 1);
    QVERIFY2(boxes.texts.first().contains(QStringLiteral("• Canal Um — Jornal, ")),
        qPrintable(boxes.texts.first()));
    QVERIFY(h.program.recordings().schedule().entries().isEmpty());
}

void RecordingsHubTest::nothingToRecordIsSaid()
{
    FakeProgram h;
    Boxes boxes;
    // A local file is not a broadcast.
    h.player().startFile(QStringLiteral("/tmp/musica.mp3"));
    menuItem(h, "RecordItem")->trigger();
    QTRY_COMPARE(boxes.texts.size(), 1);
    QVERIFY(boxes.texts.first().startsWith(QStringLiteral("Não há o que gravar")));
    QCOMPARE(h.program.recordings().list().rowCount(), 0);
}

void RecordingsHubTest::recordingIsNamedAfterTheProgrammeOnNow()
{
    LiveStream live(*m_server, LiveStream::named(QStringLiteral("/um"), 2));
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QFile guideFile(dir.filePath(QStringLiteral("guia.xml")));
    QVERIFY(guideFile.open(QIODevice::WriteOnly));
    guideFile.write("<tv><channel id=\"um\"><display-name>Canal Um</display-name></channel>"
                    "<programme start=\""
        + GuideBytes::brasilia(now.addSecs(-600)) + "\" stop=\"" + GuideBytes::brasilia(now.addSecs(600))
        + "\" channel=\"um\"><title>Jornal &amp; Cia</title></programme></tv>");
    guideFile.close();
    GuideRegistry registry(dir.filePath(QStringLiteral("guides.ini")), dir.filePath(QStringLiteral("cache")));
    GuideChoices choices(dir.filePath(QStringLiteral("choices.ini")));
    registry.add(QString(), guideFile.fileName());
    GuideLibrary guides(registry, choices);
    ListChannel channel;
    channel.name = channel.title = QStringLiteral("Canal Um");
    channel.address = live.tsUrl();
    guides.setChannels({ GuideChannelQuery::forEntry(channel) });
    guides.start();
    QTRY_VERIFY_WITH_TIMEOUT(
        guides.isIdle() && !guides.schedule(GuideChannelQuery::forEntry(channel)).isEmpty(), 10000);

    FakeProgram h;
    RecordingsHub &hub = h.program.recordings();
    hub.setGuides(&guides);
    h.player().tune({ kTitleA, live.tsUrl(), false });
    QVERIFY(!hub.recordWhatPlays(false).isEmpty());
    QCOMPARE(only(hub).programme, QStringLiteral("Jornal & Cia"));
    hub.recorder().stopAll();
    QTRY_COMPARE_WITH_TIMEOUT(int(only(hub).state), int(Recording::State::Finished), 10000);
}

void RecordingsHubTest::guideProgrammeIsScheduledFromItsDetails()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    GuideMatcher matcher;
    matcher.setGuides(
        { { QStringLiteral("br"), GuideFixtures::store(GuideFixtures::schedule("globo", now, 30), now) } });
    ListChannel globo = GuideFixtures::entry(QStringLiteral("TV Globo"), QStringLiteral("globo"));
    globo.address = QStringLiteral("http://127.0.0.1:9/globo");
    GuideGridModel model;
    model.setChannels(GuideGridModel::rowsFor({ globo }, { 0 }, {}, matcher));
    model.setNow(now);
    GuideWindow guide(&model);
    FakeProgram h;
    RecordingsHub &hub = h.program.recordings();
    hub.watchGuideWindow(guide, model);
    auto *record = guide.details()->findChild<QPushButton *>(QStringLiteral("RecordProgrammeButton"));
    QVERIFY(record);

    const QModelIndex channel = model.index(0, 0);
    QModelIndex past, next;
    for (int row = 0; row < model.rowCount(channel); ++row) {
        const QModelIndex programme = model.index(row, 0, channel);
        if (programme.data(GuideGridModel::StopRole).toLongLong() <= now)
            past = programme;
        else if (!next.isValid() && programme.data(GuideGridModel::StartRole).toLongLong() > now)
            next = programme;
    }
    QVERIFY(past.isValid() && next.isValid());
    // What has ended cannot be recorded.
    guide.details()->show(past);
    QVERIFY(record->isHidden());
    guide.details()->show(next);
    QVERIFY(!record->isHidden());
    record->click();

    QCOMPARE(hub.schedule().entries().size(), 1);
    const ScheduledRecording entry = hub.schedule().entries().first();
    QCOMPARE(entry.channel, QStringLiteral("TV Globo"));
    QCOMPARE(entry.address, globo.address);
    QCOMPARE(entry.programme, next.data().toString());
    QCOMPARE(entry.start.toSecsSinceEpoch(), next.data(GuideGridModel::StartRole).toLongLong() - 2 * 60);
    QCOMPARE(entry.end.toSecsSinceEpoch(), next.data(GuideGridModel::StopRole).toLongLong() + 5 * 60);
    // Asked twice, it is scheduled once.
    record->click();
    QCOMPARE(hub.schedule().entries().size(), 1);
    QVERIFY(hub.window() && hub.window()->isVisible());
}

void RecordingsHubTest::windowShowsRunningFinishedAndScheduledTogether()
{
    LiveStream one(*m_server, LiveStream::named(QStringLiteral("/um"), 1));
    LiveStream two(*m_server, LiveStream::named(QStringLiteral("/dois"), 1));
    FakeProgram h;
    RecordingsHub &hub = h.program.recordings();
    h.player().tune({ kTitleB, two.tsUrl(), false });
    const QString finished = hub.recordWhatPlays(false);
    QTRY_VERIFY_WITH_TIMEOUT(hub.list().find(finished)->bytes > 200000, 10000 * Fixtures::slowdown);
    hub.recorder().stop(finished);
    QTRY_COMPARE_WITH_TIMEOUT(int(hub.list().find(finished)->state), int(Recording::State::Finished), 10000);
    h.player().tune({ kTitleA, one.tsUrl(), false });
    const QString running = hub.recordWhatPlays(false);
    ScheduledRecording later;
    later.channel = QStringLiteral("Canal Dois");
    later.address = two.tsUrl();
    later.programme = QStringLiteral("Jornal da Noite");
    later.start = QDateTime::currentDateTime().addSecs(3 * 3600);
    later.end = later.start.addSecs(3600);
    QVERIFY(hub.schedule().add(later));

    RecordingsWindow *window = hub.showWindow();
    window->select(running);
    QTRY_VERIFY_WITH_TIMEOUT(hub.list().find(running)->seconds > 3, 10000 * Fixtures::slowdown);
    const QAbstractItemModel *table
        = window->findChild<QTableView *>(QStringLiteral("RecordingsTable"))->model();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->index(0, 5).data().toString(), QStringLiteral("Gravando"));
    QCOMPARE(table->index(1, 5).data().toString(), QStringLiteral("Concluída"));
    // A running recording's length moves as it records.
    QVERIFY(table->index(0, 3).data().toString() != QStringLiteral("00:00"));
    QCOMPARE(window->findChild<QTreeWidget *>(QStringLiteral("ScheduledTable"))->topLevelItemCount(), 1);
    QVERIFY(window->findChild<QPushButton *>(QStringLiteral("StopRecordingButton"))->isEnabled());
    const QString shots = qEnvironmentVariable("LUMI_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::qWait(200);
        QVERIFY(window->grab().save(shots + QStringLiteral("/recordings-window.png")));
        h.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&h.window()));
        QTest::qWait(200);
        QVERIFY(h.window().grab().save(shots + QStringLiteral("/main-window-recording.png")));
    }
}

void RecordingsHubTest::realEngineRecordsFromTheBufferWhileAnotherChannelPlays()
{
    LiveStream one(*m_server, LiveStream::named(QStringLiteral("/um")));
    LiveStream two(*m_server, LiveStream::named(QStringLiteral("/dois")));
    // As the program makes its engine, with null outputs.
    RunningProgram h(std::make_unique<DeferredEngine>([]() -> std::unique_ptr<MediaEngine> {
        return std::make_unique<MpvEngine>(MpvEngine::Output::Null);
    }));
    RecordingsHub &hub = h.program.recordings();
    h.player().tune({ kTitleA, one.tsUrl(), false });
    QTRY_COMPARE_WITH_TIMEOUT(h.engine().state(), MediaEngine::State::Playing, 15000 * Fixtures::slowdown);
    LiveBuffer *buffer = h.engine().liveBuffer();
    QVERIFY(buffer);
    QTRY_VERIFY_WITH_TIMEOUT(
        buffer->isActive() && buffer->secondsAvailable() > 3, 15000 * Fixtures::slowdown);
    const double kept = buffer->secondsAvailable();
    const QString id = hub.recordWhatPlays(true);
    QVERIFY(!id.isEmpty());

    // Watching another channel changes nothing for the recording.
    h.player().tune({ kTitleB, two.tsUrl(), false });
    QTRY_COMPARE_WITH_TIMEOUT(h.engine().state(), MediaEngine::State::Playing, 15000 * Fixtures::slowdown);
    QTRY_VERIFY_WITH_TIMEOUT(hub.list().find(id)->seconds > kept + 4, 20000 * Fixtures::slowdown);
    hub.recorder().stop(id);
    QTRY_COMPARE_WITH_TIMEOUT(int(hub.list().find(id)->state), int(Recording::State::Finished), 10000);
    const Recording done = *hub.list().find(id);
    QCOMPARE(done.files.size(), 2);
    QCOMPARE(done.channel, QStringLiteral("Canal Um"));
    // What the buffer kept, then what came live: both play.
    QVERIFY2(MediaProbe::of(done.files.at(0)).duration > kept - 1.5, qPrintable(done.files.at(0)));
    QVERIFY2(MediaProbe::of(done.files.at(1)).duration > 3, qPrintable(done.files.at(1)));
}

QTEST_MAIN(RecordingsHubTest)
#include "recordingshub_test.moc"
