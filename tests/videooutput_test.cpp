// The real engine draws video by each of its paths (a native window, software
// or OpenGL, and the widget) under Xvfb with Mesa's software OpenGL; what
// reaches the screen is read back from the X server.
#include "engine/MpvEngine.h"
#include "engine/VideoRenderContext.h"
#include "tests/support/Fixtures.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>
#include <memory>

using Path = MpvEngine::VideoPath;
Q_DECLARE_METATYPE(MpvEngine::VideoPath)

namespace
{

QString fixture(const QString &name)
{
    return Fixtures::path(name);
}

// The fixture is solid red; black or grey means nothing was drawn there.
bool showsRed(const QWidget *area)
{
    const QPoint centre = area->mapToGlobal(area->rect().center());
    const QImage shot = area->screen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage();
    const QColor pixel = shot.isNull() ? QColor() : shot.pixelColor(0, 0);
    return pixel.red() > 180 && pixel.green() < 80 && pixel.blue() < 80;
}

// The top-level widget records what reaches it from the video.
class Window : public QWidget
{
public:
    int wheels = 0;
    QKeyCombination lastKey;

protected:
    void wheelEvent(QWheelEvent *) override { ++wheels; }
    void keyPressEvent(QKeyEvent *event) override { lastKey = event->keyCombination(); }
};

} // namespace

class VideoOutputTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void urlWrittenBeforeTheVideoIsShownPlaysAtOnce_data() { paths(); }
    void urlWrittenBeforeTheVideoIsShownPlaysAtOnce();
    void videoStillDrawsAfterFullScreenAndBack_data() { paths(); }
    void videoStillDrawsAfterFullScreenAndBack();
    void escapeAndDoubleClickLeaveFullScreen_data() { paths(); }
    void escapeAndDoubleClickLeaveFullScreen();
    void leftClickOnVideoIsReported_data() { paths(); }
    void leftClickOnVideoIsReported();
    void menuWheelAndKeysOnTheVideoWindowReachTheWidgets();
    void softwareRasterisersAreRecognised_data();
    void softwareRasterisersAreRecognised();

private:
    static void paths();
    void makeEngine(Path path);
    // Where mouse input lands: the native video window, or the video widget.
    QObject *videoInput() const;
    QWidget *videoArea() const;

    std::unique_ptr<Window> window;
    std::unique_ptr<MpvEngine> engine;
};

void VideoOutputTest::paths()
{
    QTest::addColumn<Path>("path");
    QTest::newRow("software window") << Path::SoftwareWindow;
    QTest::newRow("OpenGL window") << Path::OpenGLWindow;
    QTest::newRow("software widget") << Path::SoftwareWidget;
}

void VideoOutputTest::init()
{
    window = std::make_unique<Window>();
    window->resize(320, 240);
}

void VideoOutputTest::makeEngine(Path path)
{
    engine = std::make_unique<MpvEngine>(MpvEngine::Output::Screen, path);
    QVERIFY(engine->hasVideo());
    QCOMPARE(engine->videoPath(), path);
    auto *layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(engine->videoWidget());
    engine->setLoop(true);
}

void VideoOutputTest::cleanup()
{
    engine.reset();
    window.reset();
}

// Both move between windows (full screen), so they are looked up by name.
QObject *VideoOutputTest::videoInput() const
{
    for (QWindow *w : QGuiApplication::allWindows())
        if (w->objectName() == QLatin1String("VideoWindow"))
            return w;
    return videoArea();
}

QWidget *VideoOutputTest::videoArea() const
{
    for (QWidget *w : QApplication::allWidgets())
        if (w->objectName() == QLatin1String("VideoWindowContainer")
            || w->objectName() == QLatin1String("VideoWidget"))
            return w;
    return nullptr;
}

void VideoOutputTest::urlWrittenBeforeTheVideoIsShownPlaysAtOnce()
{
    QFETCH(Path, path);
    makeEngine(path);
    QSignalSpy unavailable(engine.get(), &MediaEngine::videoUnavailable);
    engine->setUrl(fixture(QStringLiteral("red.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), MediaEngine::State::Playing, 8000);
    // Frames nobody sees must not hold playback up.
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentPosition() > 1.0, 8000);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(videoArea()), 8000);
    QCOMPARE(unavailable.count(), 0);
}

void VideoOutputTest::videoStillDrawsAfterFullScreenAndBack()
{
    QFETCH(Path, path);
    makeEngine(path);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    engine->setUrl(fixture(QStringLiteral("red.mp4")));
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(videoArea()), 8000);

    engine->setFullScreen(true);
    QVERIFY(engine->isFullScreen());
    QWidget *full = videoArea()->window();
    QVERIFY(full != window.get());
    QVERIFY(full->isFullScreen());
    QVERIFY(QTest::qWaitForWindowExposed(full));
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(videoArea()), 8000);

    engine->setFullScreen(false);
    QCOMPARE(videoArea()->window(), window.get());
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(videoArea()), 8000);
    QCOMPARE(engine->state(), MediaEngine::State::Playing);
}

void VideoOutputTest::escapeAndDoubleClickLeaveFullScreen()
{
    QFETCH(Path, path);
    makeEngine(path);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    engine->setUrl(fixture(QStringLiteral("red.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->state(), MediaEngine::State::Playing, 8000);
    QSignalSpy clicks(engine.get(), &MediaEngine::clicked);

    engine->setFullScreen(true);
    QWidget *full = videoArea()->window();
    QVERIFY(QTest::qWaitForWindowExposed(full));
    QTest::keyClick(full, Qt::Key_Escape);
    QVERIFY(!engine->isFullScreen());
    QCOMPARE(videoArea()->window(), window.get());

    engine->setFullScreen(true);
    QVERIFY(QTest::qWaitForWindowExposed(videoArea()->window()));
    QObject *input = videoInput();
    if (auto *w = qobject_cast<QWindow *>(input))
        QTest::mouseDClick(w, Qt::LeftButton);
    else
        QTest::mouseDClick(qobject_cast<QWidget *>(input), Qt::LeftButton);
    QVERIFY(!engine->isFullScreen());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QCOMPARE(clicks.count(), 0); // the double-click that left is no click
}

void VideoOutputTest::leftClickOnVideoIsReported()
{
    QFETCH(Path, path);
    makeEngine(path);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy clicks(engine.get(), &MediaEngine::clicked);
    QObject *input = videoInput();
    for (Qt::MouseButton button : { Qt::LeftButton, Qt::RightButton }) {
        if (auto *w = qobject_cast<QWindow *>(input))
            QTest::mouseClick(w, button);
        else
            QTest::mouseClick(qobject_cast<QWidget *>(input), button);
    }
    QCOMPARE(clicks.count(), 1);
}

void VideoOutputTest::menuWheelAndKeysOnTheVideoWindowReachTheWidgets()
{
    makeEngine(Path::SoftwareWindow);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget *host = engine->videoWidget();
    host->setContextMenuPolicy(Qt::CustomContextMenu);
    QSignalSpy menus(host, &QWidget::customContextMenuRequested);
    auto *video = qobject_cast<QWindow *>(videoInput());
    QVERIFY(video);

    QTest::mousePress(video, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseRelease(video, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(menus.count(), 1);
    QWheelEvent wheel(QPointF(10, 10), video->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, 120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(video, &wheel);
    QCOMPARE(window->wheels, 1);
    QTest::keyClick(video, Qt::Key_Return, Qt::AltModifier);
    QCOMPARE(window->lastKey, QKeyCombination(Qt::AltModifier, Qt::Key_Return));
}

void VideoOutputTest::softwareRasterisersAreRecognised_data()
{
    QTest::addColumn<QByteArray>("renderer");
    QTest::addColumn<bool>("software");
    QTest::newRow("llvmpipe") << QByteArray("llvmpipe (LLVM 15.0.6, 256 bits)") << true;
    QTest::newRow("softpipe") << QByteArray("softpipe") << true;
    QTest::newRow("classic swrast") << QByteArray("Software Rasterizer") << true;
    QTest::newRow("unknown") << QByteArray() << true;
    QTest::newRow("Intel") << QByteArray("Mesa Intel(R) UHD Graphics 620 (KBL GT2)") << false;
    QTest::newRow("AMD") << QByteArray("AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0)")
                         << false;
}

void VideoOutputTest::softwareRasterisersAreRecognised()
{
    QFETCH(QByteArray, renderer);
    QFETCH(bool, software);
    QCOMPARE(VideoRenderContext::isSoftwareRenderer(renderer), software);
}

QTEST_MAIN(VideoOutputTest)
#include "videooutput_test.moc"
