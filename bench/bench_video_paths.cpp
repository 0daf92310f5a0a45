// CPU of each way of drawing the video, measured alone: a 537x473 window with a
// 537x393 video area and a panel over it, playing the same file. The engine's
// own paths, and the ways it does not take: the render API in a QOpenGLWidget
// (the old design) and, on X11, libmpv's own output embedded by window id. The
// floor is the same file decoded with no output at all.
//   bench_video_paths [--seconds N]   (as bench_playing: X11 under xvfb-run, or Wayland)
#include "bench/PlayingCpu.h"
#include "engine/MpvEngine.h"
#include "engine/MpvLibrary.h"

#include <QApplication>
#include <QFrame>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QTemporaryDir>
#include <QWindow>
#include <clocale>
#include <functional>
#include <memory>

using namespace PlayingCpu;

namespace
{

const QSize kWindow(537, 473);
const QRect kVideo(0, 0, 537, 393);

// A bare libmpv player for the paths the engine does not take.
class BarePlayer
{
public:
    explicit BarePlayer(const QList<std::pair<const char *, QByteArray>> &options)
        : m_lib(MpvLibrary::get())
        , m_mpv(m_lib.create())
    {
        for (const auto &[name, value] : options)
            m_lib.setOptionString(m_mpv, name, value.constData());
        const char *const common[][2] = { { "ao", "null" }, { "ytdl", "no" }, { "hwdec", "auto-safe" },
            { "loop-file", "inf" }, { "input-cursor", "no" }, { "input-default-bindings", "no" },
            { "load-scripts", "no" }, { "video-unscaled", "no" } };
        for (const auto &option : common)
            m_lib.setOptionString(m_mpv, option[0], option[1]);
        if (m_lib.initialize(m_mpv) < 0)
            fail("libmpv could not be initialised");
    }
    ~BarePlayer()
    {
        if (m_render)
            m_lib.renderContextFree(m_render);
        m_lib.terminateDestroy(m_mpv);
    }
    void play(const QString &video)
    {
        const QByteArray path = video.toUtf8();
        const char *args[] = { "loadfile", path.constData(), nullptr };
        m_lib.command(m_mpv, args);
    }
    mpv_handle *handle() const { return m_mpv; }
    const MpvLibrary &lib() const { return m_lib; }
    mpv_render_context *m_render = nullptr;

private:
    const MpvLibrary &m_lib;
    mpv_handle *m_mpv;
};

// The old design: the render API drawing into a QOpenGLWidget.
class OpenGlWidget : public QOpenGLWidget
{
public:
    OpenGlWidget(BarePlayer &player, QWidget *parent)
        : QOpenGLWidget(parent)
        , m_player(player)
    {
    }

protected:
    void initializeGL() override
    {
        mpv_opengl_init_params gl { [](void *, const char *name) -> void * {
                                       return reinterpret_cast<void *>(
                                           QOpenGLContext::currentContext()->getProcAddress(
                                               QByteArray(name)));
                                   },
            nullptr };
        mpv_render_param params[] { { MPV_RENDER_PARAM_API_TYPE,
                                        const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL) },
            { MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl }, { MPV_RENDER_PARAM_INVALID, nullptr } };
        if (m_player.lib().renderContextCreate(&m_player.m_render, m_player.handle(), params) < 0)
            fail("no render context in the QOpenGLWidget");
        m_player.lib().renderContextSetUpdateCallback(
            m_player.m_render,
            [](void *self) {
                QMetaObject::invokeMethod(
                    static_cast<QOpenGLWidget *>(self), qOverload<>(&QWidget::update), Qt::QueuedConnection);
            },
            this);
    }
    void paintGL() override
    {
        mpv_opengl_fbo fbo { int(defaultFramebufferObject()), int(width() * devicePixelRatioF()),
            int(height() * devicePixelRatioF()), 0 };
        int flipY = 1;
        mpv_render_param params[] { { MPV_RENDER_PARAM_OPENGL_FBO, &fbo },
            { MPV_RENDER_PARAM_FLIP_Y, &flipY }, { MPV_RENDER_PARAM_INVALID, nullptr } };
        m_player.lib().renderContextRender(m_player.m_render, params);
    }

private:
    BarePlayer &m_player;
};

struct Window {
    Window()
    {
        top.resize(kWindow);
        panel = new QFrame(&top);
        panel->setAutoFillBackground(true);
        panel->setGeometry(488, 224, 49, 169);
    }
    QWidget top;
    QFrame *panel;
};

struct Candidate {
    const char *name;
    bool x11Only;
    // Sets playback up in the window; what it returns keeps it alive.
    std::function<std::shared_ptr<void>(Window &, const QString &video)> start;
};

std::shared_ptr<void> startEngine(
    Window &w, const QString &video, MpvEngine::Output output, MpvEngine::VideoPath path)
{
    auto engine = std::make_shared<MpvEngine>(output, path);
    QWidget *area = engine->videoWidget();
    area->setParent(&w.top);
    area->setGeometry(kVideo);
    area->lower();
    engine->keepAboveVideo(w.panel);
    engine->setStretchToFit(true);
    engine->setLoop(true);
    w.top.show();
    engine->setUrl(video);
    if (!runUntil([&] { return engine->state() == MediaEngine::State::Playing; }, 20000))
        fail("the engine did not start playing");
    return engine;
}

std::shared_ptr<void> startEmbedded(Window &w, const QString &video, const char *output)
{
    auto *area = new QWidget(&w.top);
    area->setGeometry(kVideo);
    area->lower();
    w.top.show();
    const QByteArray wid = QByteArray::number(qulonglong(area->winId()));
    auto player = std::make_shared<BarePlayer>(QList<std::pair<const char *, QByteArray>> {
        { "vo", output }, { "gpu-context", "x11egl" }, { "wid", wid } });
    player->play(video);
    return player;
}

const Candidate kCandidates[] = {
    { "engine: software renderer, native window", false,
        [](Window &w, const QString &v) {
            return startEngine(w, v, MpvEngine::Output::Screen, MpvEngine::VideoPath::SoftwareWindow);
        } },
    { "engine: software renderer, in the widget", false,
        [](Window &w, const QString &v) {
            return startEngine(w, v, MpvEngine::Output::Screen, MpvEngine::VideoPath::SoftwareWidget);
        } },
    { "engine: OpenGL render API, native window", false,
        [](Window &w, const QString &v) {
            return startEngine(w, v, MpvEngine::Output::Screen, MpvEngine::VideoPath::OpenGLWindow);
        } },
    { "OpenGL render API in a QOpenGLWidget (old)", false,
        [](Window &w, const QString &v) -> std::shared_ptr<void> {
            auto player = std::make_shared<BarePlayer>(
                QList<std::pair<const char *, QByteArray>> { { "vo", "libmpv" } });
            auto *area = new OpenGlWidget(*player, &w.top);
            area->setGeometry(kVideo);
            area->lower();
            w.top.show();
            if (!runUntil([&] { return player->m_render != nullptr; }, 10000))
                fail("the QOpenGLWidget was never initialised");
            player->play(v);
            return player;
        } },
    { "libmpv's own x11 output by window id", true,
        [](Window &w, const QString &v) { return startEmbedded(w, v, "x11"); } },
    { "libmpv's own OpenGL output by window id", true,
        [](Window &w, const QString &v) { return startEmbedded(w, v, "gpu"); } },
};

} // namespace

int main(int argc, char **argv)
{
    ensureDisplay(argc, argv);
    int seconds = 10;
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--seconds") == 0)
            seconds = std::atoi(argv[i + 1]);
    if (seconds < 1 || seconds > kVideoSeconds - 15)
        fail("--seconds must be between 1 and 25");

    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const bool wayland = QGuiApplication::platformName() == QLatin1String("wayland");
    const char *platform = wayland ? "Wayland" : "X11";
    QTemporaryDir dir;
    const QString video = makeVideo(dir.path());

    double floor = 0;
    {
        auto engine = std::make_unique<MpvEngine>(MpvEngine::Output::Null);
        engine->setLoop(true);
        engine->setUrl(video);
        if (!runUntil([&] { return engine->state() == MediaEngine::State::Playing; }, 20000))
            fail("the decoding floor did not start");
        runFor(kSettleMs);
        floor = ownCpuPercentOver(seconds);
    }
    std::printf("%s: decoding alone, no output: %.1f %%\n", platform, floor);
    std::printf("PATHS|decoding alone, no output, %s|%.1f|-\n", platform, floor);
    for (const Candidate &candidate : kCandidates) {
        if (candidate.x11Only && wayland)
            continue;
        double cpu = 0;
        {
            Window window;
            const std::shared_ptr<void> playing = candidate.start(window, video);
            runFor(kSettleMs);
            cpu = ownCpuPercentOver(seconds);
        }
        std::printf("%s: %s: %.1f %% (%.2fx the floor)\n", platform, candidate.name, cpu, cpu / floor);
        std::printf("PATHS|%s, %s|%.1f|%.2f\n", candidate.name, platform, cpu, cpu / floor);
    }
    return 0;
}
