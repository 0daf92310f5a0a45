// A channel whose live stream stops sending while its connection stays open,
// watched through the main window on the real libmpv engine (null outputs):
// the engine must give up within its network timeout, and the window's
// reconnection system must take over from there.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MpvEngine.h"
#include "options/OptionsWindow.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "tests/support/Fixtures.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"
#include "widgets/MessageBox.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace
{

using Fixtures::slowdown;

constexpr MediaEngine::State failed = MediaEngine::State::Failed;
constexpr MediaEngine::State playing = MediaEngine::State::Playing;
const QString channelTitle = QStringLiteral("Lumivortex TV - TV Globo");

QByteArray fixtureBytes(const QString &name)
{
    return Fixtures::bytes(name);
}

// TV Globo (a channel without alternate addresses) tuned to the loopback stream.
struct Window {
    explicit Window(const QString &address)
        : catalogue(ChannelCatalogue::builtIn())
    {
        catalogue.setAddress(QStringLiteral("SpeedButton90"), address);
        program = std::make_unique<Program>(std::make_unique<MpvEngine>(MpvEngine::Output::Null), catalogue,
            std::make_unique<RecordingPowerOff>(), 0);
        // The update check fetches from the Internet every three seconds.
        program->updateChecker().checkTimer()->stop();
        // Connected after the window's own handler: the title is already written.
        QObject::connect(&engine(), &MediaEngine::stateChanged, &form(), [this](MediaEngine::State state) {
            statuses << state;
            titles << form().windowTitle();
        });
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            asked << request.text;
            return answer;
        });
    }
    ~Window() { setMessageHandler({}); }

    MainWindow &form() { return program->mainWindow(); }
    MediaEngine &engine() { return program->player().engine(); }
    QCheckBox *option()
    {
        return program->optionsWindow().findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
    }
    QTimer *retry() { return form().findChild<QTimer *>(QStringLiteral("TimerTryAgain")); }
    void tune() { form().findChild<QToolButton *>(QStringLiteral("SpeedButton90"))->click(); }
    QString trail() const
    {
        QStringList names;
        for (MediaEngine::State state : statuses)
            names << QString::fromLatin1(QMetaEnum::fromType<MediaEngine::State>().valueToKey(int(state)));
        return names.join(QStringLiteral(" | "));
    }

    ChannelCatalogue catalogue;
    std::unique_ptr<Program> program;
    QList<MediaEngine::State> statuses;
    QStringList titles;
    QStringList asked;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
};

} // namespace

class WindowStallTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        server = std::make_unique<LoopbackHttpServer>();
        const QByteArray stream = fixtureBytes(QStringLiteral("live.ts"));
        LoopbackHttpServer::Response live;
        live.contentType = "video/mp2t";
        live.body = stream;
        live.endless = true;
        // Six of its eight seconds: enough for the demuxer's probe, which
        // otherwise waits for more until the network timeout.
        live.stallAfterBytes = stream.size() * 3 / 4;
        server->setResponse(QStringLiteral("/live"), live);
    }
    void cleanup() { server.reset(); }

    void stalledStreamIsMarkedAndRetried_data()
    {
        QTest::addColumn<bool>("systemOn");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("retries");
        // With the system already on the question still comes once per tune.
        QTest::newRow("system on, question cancelled") << true << int(QMessageBox::Cancel) << true;
        QTest::newRow("system off, question accepted") << false << int(QMessageBox::Ok) << true;
        QTest::newRow("system off, question cancelled") << false << int(QMessageBox::Cancel) << false;
    }

    void stalledStreamIsMarkedAndRetried()
    {
        QFETCH(bool, systemOn);
        QFETCH(int, answer);
        QFETCH(bool, retries);
        Window w(server->url(QStringLiteral("/live")));
        int connectionsAtReady = -1;
        QObject::connect(&w.engine(), &MediaEngine::stateChanged, &w.form(), [&](MediaEngine::State state) {
            if (state == failed && connectionsAtReady < 0)
                connectionsAtReady = server->connectionCount();
        });
        w.answer = QMessageBox::StandardButton(answer);
        w.option()->setChecked(systemOn);
        QCOMPARE(w.retry()->isActive(), systemOn);

        w.tune();
        QCOMPARE(w.engine().url(), server->url(QStringLiteral("/live")));
        QTRY_VERIFY2_WITH_TIMEOUT(w.statuses.contains(playing), qPrintable(w.trail()), 8000 * slowdown);
        QElapsedTimer sinceStall;
        sinceStall.start();
        QTRY_VERIFY2_WITH_TIMEOUT(w.statuses.contains(failed), qPrintable(w.trail()), 15000 * slowdown);
        QVERIFY2(sinceStall.elapsed() < 13000 * slowdown, qPrintable(QString::number(sinceStall.elapsed())));
        // A live stream that dies is not a file that ended.
        const QList<MediaEngine::State> afterPlaying = w.statuses.mid(w.statuses.indexOf(playing));
        QVERIFY2(!afterPlaying.contains(MediaEngine::State::Ended)
                && !afterPlaying.contains(MediaEngine::State::Stopped),
            qPrintable(w.trail()));
        QCOMPARE(
            w.titles.at(w.statuses.indexOf(failed)), channelTitle + QStringLiteral(" Canal Congestionado!"));
        QCOMPARE(w.asked.size(), 1);
        QVERIFY(w.asked.first().startsWith(QStringLiteral("Este canal pode estar congestionado")));
        QCOMPARE(w.option()->isChecked(), retries);
        QCOMPARE(w.retry()->isActive(), retries);
        if (!retries)
            return;

        // One tick of the running retry timer plays the channel again (unless
        // the timer itself has ticked already).
        if (w.engine().state() == failed)
            w.program->player().reconnection().retryDroppedStream();
        QTRY_VERIFY_WITH_TIMEOUT(server->connectionCount() > connectionsAtReady, 5000 * slowdown);
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 8000 * slowdown);
        QCOMPARE(w.form().windowTitle(), channelTitle + QStringLiteral(" Reproduzindo"));
        QCOMPARE(w.asked.size(), 1);
    }

private:
    std::unique_ptr<LoopbackHttpServer> server;
};

QTEST_MAIN(WindowStallTest)
#include "windowstall_test.moc"
