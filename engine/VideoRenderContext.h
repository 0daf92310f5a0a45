#pragma once

#include <QObject>
#include <QSize>
#include <atomic>
#include <memory>

struct MpvLibrary;
struct mpv_handle;
struct mpv_render_context;
class QByteArray;
class QImage;
class QOffscreenSurface;
class QOpenGLContext;
class QRect;
class QSurface;
class QWindow;

// libmpv's render context, made as soon as the engine is, so a URL never waits
// for a window to be shown. Software: libmpv scales and converts each frame into
// memory we hand it, with no OpenGL at all. OpenGL: libmpv draws with our GL
// context, which lives on an offscreen surface until a window is drawn into.
class VideoRenderContext : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Software, OpenGL };

    // Throws EngineError when no GL context can be made (OpenGL) or libmpv
    // refuses the render context.
    VideoRenderContext(mpv_handle *mpv, Kind kind, QObject *parent = nullptr);
    ~VideoRenderContext() override;

    Kind kind() const { return m_kind; }
    // The GL context windows draw with; null for Software.
    QOpenGLContext *glContext() const { return m_gl.get(); }

    // Software: draws the current frame, scaled to fit, into area of image
    // (a 32-bit RGB format). libmpv leaves the alpha byte undefined: with
    // opaque set it is made 0xff, for surfaces that show alpha (Wayland's).
    void render(QImage &image, const QRect &area, bool opaque);
    // Whether window shows its pixels' alpha, so video drawn there must be made opaque.
    static bool showsAlpha(const QWindow *window);
    // OpenGL: draws the current frame into surface's default framebuffer and
    // swaps it. False when the context cannot be made current there.
    bool render(QSurface *surface, QSize pixels);
    // Marks the frame as shown without drawing it (nothing on screen shows the
    // video now), so playback never waits for a window to appear.
    void skipFrame();

    // Whether OpenGL here is drawn by a graphics card. Software rasterisers
    // draw video more slowly than libmpv's own software renderer.
    static bool hardwareOpenGl();
    // Whether a GL_RENDERER string names a software rasteriser (Mesa's llvmpipe …).
    static bool isSoftwareRenderer(const QByteArray &glRenderer);

signals:
    // libmpv has a new frame to show; emitted on the GUI thread.
    void frameReady();

private:
    static void updateCallback(void *context);
    void onUpdate();
    bool makeCurrentOffscreen();

    const MpvLibrary &m_lib;
    const Kind m_kind;
    std::unique_ptr<QOpenGLContext> m_gl;
    std::unique_ptr<QOffscreenSurface> m_offscreen;
    mpv_render_context *m_render = nullptr;
    std::atomic<bool> m_updateQueued { false };
};
