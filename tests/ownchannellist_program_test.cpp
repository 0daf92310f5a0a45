// The whole program built on a catalogue with the user's list applied: the
// buttons tune to the user's addresses and the reconnection system rotates
// through them.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/AlternateAddressLists.h"
#include "channels/ChannelCatalogue.h"
#include "channels/OwnChannelList.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}
} // namespace

class OwnChannelListProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile file(m_dir.filePath(QStringLiteral("channels.m3u")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#EXTM3U\r\n"
                   "#EXTINF:-1 group-title=\"Brasil\",TV Globo\r\nhttp://own.test/globo1\r\n"
                   "#EXTINF:-1,DIFM (Vocal Trance)\r\nhttp://own.test/vocal\r\n"
                   "#EXTINF:-1,TV Globo\r\nhttp://own.test/globo2\r\n");
        file.close();
        QString note;
        m_catalogue = OwnChannelList::withListAt(ChannelCatalogue::builtIn(), file.fileName(), &note);
        QVERIFY2(note.isEmpty(), qPrintable(note));
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
    }
    void cleanup() { setMessageHandler({}); }

    void buttonsTuneToTheUsersAddresses()
    {
        auto *engine = new FakeEngine;
        Program program(
            std::unique_ptr<MediaEngine>(engine), m_catalogue, std::make_unique<RecordingPowerOff>(), 0);
        QVERIFY(program.started());
        auto *globo = program.mainWindow().findChild<QToolButton *>(QStringLiteral("SpeedButton90"));
        QVERIFY(globo);
        const Channel *builtIn = ChannelCatalogue::builtIn().byControl(QStringLiteral("SpeedButton90"));
        QCOMPARE(globo->toolTip(), builtIn->tooltip);

        globo->click();
        QCOMPARE(engine->url(), u("http://own.test/globo1"));
        QCOMPARE(program.mainWindow().windowTitle(), u("Lumivortex TV - TV Globo"));

        program.mainWindow().findChild<QAction *>(QStringLiteral("VocalTrance1"))->trigger();
        QCOMPARE(engine->url(), u("http://own.test/vocal"));
        QCOMPARE(program.mainWindow().windowTitle(), u("Lumivortex TV - DIFM (Vocal Trance)"));
    }

    void reconnectionRotatesThroughTheUsersAddresses()
    {
        auto *engine = new FakeEngine;
        Program program(
            std::unique_ptr<MediaEngine>(engine), m_catalogue, std::make_unique<RecordingPowerOff>(), 0);
        QVERIFY(program.started());
        auto *list = program.alternateAddressLists().findChild<QListWidget *>(
            OwnChannelList::listBoxFor(QStringLiteral("SpeedButton90")));
        QVERIFY(list);
        QCOMPARE(list->count(), 2);

        program.mainWindow().findChild<QToolButton *>(QStringLiteral("SpeedButton90"))->click();
        engine->urlState.reset(); // the stream keeps failing
        engine->emitState(MediaEngine::State::Failed);
        engine->calls.clear();
        for (int tick = 0; tick < 4; ++tick)
            program.player().reconnection().retryDroppedStream();
        QCOMPARE(engine->calls,
            (QStringList { u("setUrl http://own.test/globo1"), u("play"), u("setUrl http://own.test/globo2"),
                u("play"),
                u("play"), // the wrap tick replays the last address
                u("setUrl http://own.test/globo2"), u("play") }));
    }

private:
    QTemporaryDir m_dir;
    ChannelCatalogue m_catalogue = ChannelCatalogue::builtIn();
};

QTEST_MAIN(OwnChannelListProgramTest)
#include "ownchannellist_program_test.moc"
