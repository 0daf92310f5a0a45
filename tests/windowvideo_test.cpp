// The main window on the real engine with its video shown (under Xvfb): the
// first play keeps the window's native window, plays with the window hidden,
// and leaves the pop-up panels drawn above the video; the screen is read back
// from the X server.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "engine/DeferredEngine.h"
#include "engine/MpvEngine.h"
#include "playback/MiniPlayerWindow.h"
#include "player/Transport.h"
#include "tests/support/FixedFileChooser.h"
#include "tests/support/Fixtures.h"
#include "tests/support/RunningProgram.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QBackingStore>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <memory>

using Path = MpvEngine::VideoPath;
Q_DECLARE_METATYPE(MpvEngine::VideoPath)

namespace
{

using Fixtures::slowdown;

constexpr MediaEngine::State playing = MediaEngine::State::Playing;

// What the screen shows over a widget's rectangle.
QImage onScreen(const QWidget *widget)
{
    const QPoint at = widget->mapToGlobal(QPoint(0, 0));
    return widget->screen()->grabWindow(0, at.x(), at.y(), widget->width(), widget->height()).toImage();
}

bool isRed(QColor pixel)
{
    return pixel.red() > 180 && pixel.green() < 80 && pixel.blue() < 80;
}

int redPixels(const QImage &image)
{
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += isRed(image.pixelColor(x, y));
    return red;
}

struct Window : RunningProgram {
    using RunningProgram::RunningProgram;

    template <typename T = QToolButton> T *control(const char *name)
    {
        return form().findChild<T *>(QString::fromLatin1(name));
    }
    void willOpen(const QString &path)
    {
        chooser.answer = path;
        player().transport().setFileChooser(&chooser);
    }
    bool show()
    {
        form().show();
        return QTest::qWaitForWindowExposed(&form());
    }

    FixedFileChooser chooser;
};

std::unique_ptr<MediaEngine> programEngine()
{
    return std::make_unique<DeferredEngine>(
        []() -> std::unique_ptr<MediaEngine> { return std::make_unique<MpvEngine>(); });
}

} // namespace

class WindowVideoTest : public QObject
{
    Q_OBJECT

private slots:
    void firstPlayKeepsTheMainWindowsNativeWindow()
    {
        Window w(programEngine());
        QVERIFY(w.show());
        const WId before = w.form().winId();
        const QWindow *handle = w.form().windowHandle();
        w.willOpen(Fixtures::path(QStringLiteral("red.mp4")));
        w.control("SpeedButton44")->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 8000 * slowdown);
        QTRY_VERIFY_WITH_TIMEOUT(
            isRed(onScreen(w.control<QWidget>("WindowsMediaPlayer1")).pixelColor(268, 150)), 8000 * slowdown);
        QCOMPARE(w.form().winId(), before);
        QCOMPARE(w.form().windowHandle(), handle);
        QVERIFY(w.asked.isEmpty());
    }

    void firstPlayWithTheMainWindowHiddenPlaysAtOnce()
    {
        Window w(programEngine());
        QVERIFY(w.show());
        // The mini player takes the main window's place, then opens a file.
        w.control("SpeedButton77")->click();
        QVERIFY(!w.form().isVisible());
        w.willOpen(Fixtures::path(QStringLiteral("red.mp4")));
        w.program.miniPlayer().findChild<QToolButton *>(QStringLiteral("SpeedButton7"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 8000 * slowdown);
        QVERIFY(!w.form().isVisible());

        w.program.miniPlayer().findChild<QToolButton *>(QStringLiteral("SpeedButton8"))->click();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form()));
        QTRY_VERIFY_WITH_TIMEOUT(
            isRed(onScreen(w.control<QWidget>("WindowsMediaPlayer1")).pixelColor(268, 150)), 8000 * slowdown);
    }

    void cleanScreenGivesTheVideoTheWholeWindow()
    {
        Window w(programEngine());
        QVERIFY(w.show());
        w.willOpen(Fixtures::path(QStringLiteral("red.mp4")));
        w.control("SpeedButton44")->click();
        QTRY_COMPARE_WITH_TIMEOUT(w.engine().state(), playing, 8000 * slowdown);
        // The 4:3 clip fills the width; only a taller video area reaches the strip's rows.
        auto stripRowIsRed = [&] { return isRed(onScreen(&w.form()).pixelColor(268, 430)); };
        QTRY_VERIFY_WITH_TIMEOUT(isRed(onScreen(&w.form()).pixelColor(268, 150)), 8000 * slowdown);
        QVERIFY(!stripRowIsRed());
        w.form().findChild<QAction *>(QStringLiteral("Pocket1"))->trigger(); // "Tela Limpa"
        QTRY_VERIFY_WITH_TIMEOUT(stripRowIsRed(), 3000);
        w.form().findChild<QAction *>(QStringLiteral("Customizavel1"))->trigger(); // "Normal"
        QTRY_VERIFY_WITH_TIMEOUT(!stripRowIsRed(), 3000);
    }

    void popUpPanelsShowAboveThePlayingVideo_data()
    {
        QTest::addColumn<Path>("path");
        QTest::newRow("software window") << Path::SoftwareWindow;
        QTest::newRow("OpenGL window") << Path::OpenGLWindow;
        QTest::newRow("software widget") << Path::SoftwareWidget;
    }

    void popUpPanelsShowAboveThePlayingVideo()
    {
        QFETCH(Path, path);
        Window w(std::make_unique<MpvEngine>(MpvEngine::Output::Screen, path));
        QVERIFY(w.show());
        w.engine().setLoop(true);
        w.willOpen(Fixtures::path(QStringLiteral("red.mp4")));
        w.control("SpeedButton44")->click();
        QWidget *video = w.control<QWidget>("WindowsMediaPlayer1");
        QTRY_VERIFY_WITH_TIMEOUT(isRed(onScreen(video).pixelColor(268, 150)), 8000 * slowdown);

        w.control("SpeedButton16")->click(); // "Volume"
        w.control("SpeedButton51")->click(); // effects
        for (bool afterFullScreen : { false, true }) {
            if (afterFullScreen) {
                w.engine().setFullScreen(true);
                w.engine().setFullScreen(false);
                w.control("SpeedButton16")->click();
            }
            // Frames go on being drawn under the open panels.
            const double shownAt = w.engine().currentPosition();
            QTRY_VERIFY_WITH_TIMEOUT(w.engine().currentPosition() > shownAt + 0.5, 3000 * slowdown);
            for (const char *name : { "PanelVolume", "PanelEfeitos" }) {
                QWidget *panel = w.control<QWidget>(name);
                QVERIFY2(panel->isVisible(), name);
                QTRY_COMPARE_WITH_TIMEOUT(redPixels(onScreen(panel)), 0, 3000);
                // Nor in the window's own buffer, which Wayland shows whole.
                const auto *buffer = static_cast<const QImage *>(w.form().backingStore()->paintDevice());
                QCOMPARE(redPixels(buffer->copy(QRect(panel->mapTo(&w.form(), QPoint()), panel->size()))), 0);
            }
            QTRY_VERIFY_WITH_TIMEOUT(isRed(onScreen(video).pixelColor(268, 150)), 3000);
        }
    }
};

QTEST_MAIN(WindowVideoTest)
#include "windowvideo_test.moc"
