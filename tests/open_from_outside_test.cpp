// Media from outside the window: the first item plays, the rest join the
// playlist, and a copy started later hands its items to the running one.
#include "app/SingleInstance.h"
#include "playlist/PlaylistWindow.h"
#include "tests/support/FakeProgram.h"
#include "widgets/MessageBox.h"

#include <QDBusConnection>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
struct Harness : FakeProgram {
    Harness()
    {
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
    }
    ~Harness() { setMessageHandler({}); }
    MainWindow &window = program.mainWindow();
    PlaylistWindow &playlist = program.playlistWindow();
};

QDBusConnection secondCopy()
{
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second-copy"));
}
} // namespace

class OpenFromOutsideTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        for (const char *name : { "clip.mp4", "musica.mp3" }) {
            QFile file(m_dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run inside dbus-run-session");
    }

    void firstItemPlaysAndTheRestJoinThePlaylist()
    {
        Harness h;
        const QString clip = m_dir.filePath(QStringLiteral("clip.mp4"));
        const QString address = QStringLiteral("http://127.0.0.1/live/index.m3u8");
        QCOMPARE(h.program.openItems({ clip, address, m_dir.filePath(QStringLiteral("musica.mp3")) }), 3);
        QCOMPARE(h.engine->url(), clip);
        QVERIFY(h.engine->calls.contains(QStringLiteral("play")));
        QCOMPARE(h.playlist.count(), 2);
    }

    void unplayableItemsAreLeftOut()
    {
        Harness h;
        QCOMPARE(h.program.openItems({ QStringLiteral("relativo.mp4"),
                     m_dir.filePath(QStringLiteral("sumiu.mp4")), QStringLiteral("ftp://127.0.0.1/a.mp4") }),
            0);
        QVERIFY(h.engine->url().isEmpty());
        QCOMPARE(h.playlist.count(), 0);
    }

    void runningCopyPlaysWhatTheNextCopyHandsOver()
    {
        Harness h;
        QVERIFY(h.program.listenForOtherCopies());
        const QString address = QStringLiteral("rtsp://127.0.0.1:8554/cam");
        QVERIFY(SingleInstance::handOver({ address }, secondCopy()));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(h.engine->url(), address);
        QVERIFY(h.window.isVisible());
    }

    void withNoRunningCopyTheNewOneStarts()
    {
        Harness h;
        QVERIFY(!SingleInstance::handOver({ QStringLiteral("rtsp://127.0.0.1/cam") }, secondCopy()));
        QVERIFY(h.engine->url().isEmpty());
    }

    void secondCopyWithoutMediaLeavesTheFirstReceiving()
    {
        Harness first;
        Harness second;
        QVERIFY(first.program.listenForOtherCopies());
        QCOMPARE(second.program.listenForOtherCopies(secondCopy()), nullptr);
        QVERIFY(SingleInstance::handOver({ QStringLiteral("udp://@:1234") }, secondCopy()));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(first.engine->url(), QStringLiteral("udp://@:1234"));
        QVERIFY(second.engine->url().isEmpty());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(OpenFromOutsideTest)
#include "open_from_outside_test.moc"
