// A machine where no OpenGL context can be made (the X11 platform's GL turned
// off): the engine still shows video by its software renderer, and where the
// video output itself fails the main window plays the sound and says so once.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MpvEngine.h"
#include "player/Player.h"
#include "player/Transport.h"
#include "tests/support/FixedFileChooser.h"
#include "tests/support/Fixtures.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"
#include "widgets/MessageBox.h"

#include <QOpenGLContext>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

using Fixtures::slowdown;

class VideoWithoutGlTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QOpenGLContext context;
        QVERIFY2(!context.create(), "this test needs QT_XCB_GL_INTEGRATION=none");
    }

    void automaticVideoShowsWithoutOpenGl()
    {
        QWidget window;
        window.resize(320, 240);
        MpvEngine engine;
        QSignalSpy unavailable(&engine, &MediaEngine::videoUnavailable);
        QVERIFY(engine.hasVideo());
        QVERIFY(engine.videoPath() != MpvEngine::VideoPath::OpenGLWindow);
        (new QVBoxLayout(&window))->addWidget(engine.videoWidget());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        engine.setUrl(Fixtures::path(QStringLiteral("red.mp4")));
        const QPoint centre = window.mapToGlobal(window.rect().center());
        auto centreIsRed = [&] {
            const QColor pixel
                = window.screen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage().pixelColor(0, 0);
            return pixel.red() > 180 && pixel.green() < 80 && pixel.blue() < 80;
        };
        QTRY_VERIFY_WITH_TIMEOUT(centreIsRed(), 8000 * slowdown);
        QCOMPARE(unavailable.count(), 0);
    }

    void failedVideoOutputPlaysTheSoundAndSaysSoOnce()
    {
        const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        QStringList asked;
        setMessageHandler([&asked](QWidget *, const MessageRequest &request) {
            asked << request.text;
            return QMessageBox::Ok;
        });
        {
            // OpenGL asked for and none to be had: no video output at all.
            Program program(
                std::make_unique<MpvEngine>(MpvEngine::Output::Screen, MpvEngine::VideoPath::OpenGLWindow),
                catalogue, std::make_unique<RecordingPowerOff>(), 0);
            MainWindow &form = program.mainWindow();
            MediaEngine &engine = program.player().engine();
            FixedFileChooser chooser;
            program.player().transport().setFileChooser(&chooser);
            program.updateChecker().checkTimer()->stop();
            form.show();
            for (const char *clip : { "clip5.mp4", "clip2.mp4" }) {
                chooser.answer = Fixtures::path(QString::fromLatin1(clip));
                form.findChild<QToolButton *>(QStringLiteral("SpeedButton44"))->click();
                QTRY_COMPARE_WITH_TIMEOUT(engine.state(), MediaEngine::State::Playing, 8000 * slowdown);
                QTRY_VERIFY_WITH_TIMEOUT(engine.currentPosition() > 0.5, 8000 * slowdown);
            }
        }
        setMessageHandler({});
        QCOMPARE(asked,
            QStringList {
                QStringLiteral("Este computador não consegue exibir vídeo; só o som será reproduzido.") });
    }
};

QTEST_MAIN(VideoWithoutGlTest)
#include "videowithoutgl_test.moc"
