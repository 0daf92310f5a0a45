// The real engine draws video through the libmpv render API into its
// QOpenGLWidget (under Xvfb with Mesa's software OpenGL).
#include "engine/MpvEngine.h"
#include "engine/VideoSurface.h"
#include "tests/support/Fixtures.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace
{

QString fixture(const QString &name)
{
    return Fixtures::path(name);
}

// The fixture is solid red; black or grey means nothing was drawn.
bool showsRed(VideoSurface *surface)
{
    const QImage frame = surface->grabFramebuffer();
    if (frame.isNull())
        return false;
    const QColor centre = frame.pixelColor(frame.width() / 2, frame.height() / 2);
    return centre.red() > 180 && centre.green() < 80 && centre.blue() < 80;
}

} // namespace

class VideoSurfaceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void urlWrittenBeforeTheSurfaceExistsPlaysOnceShown();
    void videoStillDrawsAfterFullScreenAndBack();
    void escapeAndDoubleClickLeaveFullScreen();
    void leftClickOnVideoIsReported();

private:
    VideoSurface *surface() const { return m_surface; }

    std::unique_ptr<QWidget> window;
    std::unique_ptr<MpvEngine> engine;
    VideoSurface *m_surface = nullptr; // moves between windows: found once
};

void VideoSurfaceTest::initTestCase()
{
    QVERIFY2(MpvEngine::openGlAvailable(), "no OpenGL here: run under Xvfb with Mesa");
}

void VideoSurfaceTest::init()
{
    window = std::make_unique<QWidget>();
    window->resize(320, 240);
    engine = std::make_unique<MpvEngine>(MpvEngine::Output::Screen);
    auto *layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(engine->videoWidget());
    engine->setLoop(true);
    m_surface = engine->videoWidget()->findChild<VideoSurface *>();
    QVERIFY(m_surface);
}

void VideoSurfaceTest::cleanup()
{
    engine.reset();
    window.reset();
}

void VideoSurfaceTest::urlWrittenBeforeTheSurfaceExistsPlaysOnceShown()
{
    QSignalSpy failures(engine.get(), &MpvEngine::renderFailed);
    engine->setUrl(fixture(QStringLiteral("red.mp4")));
    QCOMPARE(engine->status(), QStringLiteral("Conectando..."));
    QTest::qWait(300);
    QCOMPARE(engine->status(), QStringLiteral("Conectando..."));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE_WITH_TIMEOUT(engine->status(), QStringLiteral("Reproduzindo"), 8000);
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(surface()), 8000);
    QCOMPARE(failures.count(), 0);
}

void VideoSurfaceTest::videoStillDrawsAfterFullScreenAndBack()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    engine->setUrl(fixture(QStringLiteral("red.mp4")));
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(surface()), 8000);

    engine->setFullScreen(true);
    QVERIFY(engine->isFullScreen());
    QWidget *full = surface()->window();
    QVERIFY(full != window.get());
    QVERIFY(full->isFullScreen());
    QVERIFY(QTest::qWaitForWindowExposed(full));
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(surface()), 8000);

    engine->setFullScreen(false);
    QCOMPARE(surface()->window(), window.get());
    QTRY_VERIFY_WITH_TIMEOUT(showsRed(surface()), 8000);
    QCOMPARE(engine->status(), QStringLiteral("Reproduzindo"));
}

void VideoSurfaceTest::escapeAndDoubleClickLeaveFullScreen()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    engine->setUrl(fixture(QStringLiteral("red.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(engine->status(), QStringLiteral("Reproduzindo"), 8000);
    QSignalSpy clicks(engine.get(), &MediaEngine::clicked);

    engine->setFullScreen(true);
    QWidget *full = surface()->window();
    QVERIFY(QTest::qWaitForWindowExposed(full));
    QTest::keyClick(full, Qt::Key_Escape);
    QVERIFY(!engine->isFullScreen());
    QCOMPARE(surface()->window(), window.get());

    engine->setFullScreen(true);
    QVERIFY(QTest::qWaitForWindowExposed(surface()->window()));
    QTest::mouseDClick(surface(), Qt::LeftButton);
    QVERIFY(!engine->isFullScreen());
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QCOMPARE(clicks.count(), 0); // the double-click that left is no click
}

void VideoSurfaceTest::leftClickOnVideoIsReported()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QSignalSpy clicks(engine.get(), &MediaEngine::clicked);
    QTest::mouseClick(surface(), Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(surface(), Qt::RightButton);
    QCOMPARE(clicks.count(), 1);
}

int main(int argc, char **argv)
{
    // As the program does: the video keeps its GL context when it moves to
    // the full-screen window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    VideoSurfaceTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "videosurface_test.moc"
