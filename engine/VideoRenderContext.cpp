#include "engine/VideoRenderContext.h"

#include "engine/MediaEngine.h"
#include "engine/MpvLibrary.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QRect>
#include <QWindow>
#include <mpv/render.h>

namespace
{

// QImage's 32-bit formats hold 0xAARRGGBB words; libmpv names formats by byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr char softwareFormat[] = "bgr0";
#else
constexpr char softwareFormat[] = "0rgb";
#endif

void *getProcAddress(void *context, const char *name)
{
    return reinterpret_cast<void *>(static_cast<QOpenGLContext *>(context)->getProcAddress(QByteArray(name)));
}

// libmpv leaves the fourth byte undefined (often 0): a surface that shows
// alpha would show the video see-through.
void makeOpaque(QImage &image, const QRect &area)
{
    const qsizetype stride = image.bytesPerLine();
    uchar *line = image.bits() + area.top() * stride + area.left() * 4;
    for (int y = 0; y < area.height(); ++y, line += stride) {
        auto *pixel = reinterpret_cast<quint32 *>(line);
        int left = area.width();
        if (reinterpret_cast<quintptr>(pixel) % 8 != 0 && left > 0) {
            *pixel++ |= 0xff000000u;
            --left;
        }
        // Two pixels a word: this pass runs over every frame.
        auto *pairs = reinterpret_cast<quint64 *>(pixel);
        for (int i = 0; i < left / 2; ++i)
            pairs[i] |= 0xff000000ff000000u;
        if (left % 2)
            pixel[left - 1] |= 0xff000000u;
    }
}

bool hasGraphicsDevice()
{
    const QStringList nodes
        = QDir(QStringLiteral("/dev/dri"))
              .entryList({ QStringLiteral("renderD*"), QStringLiteral("card*") }, QDir::System);
    return !nodes.isEmpty() || QFile::exists(QStringLiteral("/dev/nvidiactl"));
}

} // namespace

VideoRenderContext::VideoRenderContext(mpv_handle *mpv, Kind kind, QObject *parent)
    : QObject(parent)
    , m_lib(MpvLibrary::get())
    , m_kind(kind)
{
    if (kind == Kind::Software) {
        mpv_render_param params[] {
            { MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_SW) },
            { MPV_RENDER_PARAM_INVALID, nullptr },
        };
        if (m_lib.renderContextCreate(&m_render, mpv, params) < 0)
            throw EngineError("libmpv refused a software render context");
    } else {
        m_gl = std::make_unique<QOpenGLContext>();
        if (!m_gl->create())
            throw EngineError("no OpenGL context can be made");
        m_offscreen = std::make_unique<QOffscreenSurface>();
        m_offscreen->setFormat(m_gl->format());
        m_offscreen->create();
        if (!makeCurrentOffscreen())
            throw EngineError("the OpenGL context cannot be made current");
        mpv_opengl_init_params gl { &getProcAddress, m_gl.get() };
        mpv_render_param params[] {
            { MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL) },
            { MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl },
            { MPV_RENDER_PARAM_INVALID, nullptr },
        };
        const int created = m_lib.renderContextCreate(&m_render, mpv, params);
        m_gl->doneCurrent();
        if (created < 0)
            throw EngineError("libmpv refused an OpenGL render context");
    }
    m_lib.renderContextSetUpdateCallback(m_render, &VideoRenderContext::updateCallback, this);
}

VideoRenderContext::~VideoRenderContext()
{
    // The render context owns GL objects: free it with its GL context current.
    if (m_gl)
        makeCurrentOffscreen();
    m_lib.renderContextSetUpdateCallback(m_render, nullptr, nullptr);
    m_lib.renderContextFree(m_render);
    if (m_gl)
        m_gl->doneCurrent();
}

bool VideoRenderContext::makeCurrentOffscreen()
{
    return m_offscreen->isValid() && m_gl->makeCurrent(m_offscreen.get());
}

// Runs on a libmpv thread: only queue the work for the GUI thread.
void VideoRenderContext::updateCallback(void *context)
{
    auto *self = static_cast<VideoRenderContext *>(context);
    if (!self->m_updateQueued.exchange(true))
        QMetaObject::invokeMethod(self, &VideoRenderContext::onUpdate, Qt::QueuedConnection);
}

void VideoRenderContext::onUpdate()
{
    m_updateQueued = false;
    if (m_lib.renderContextUpdate(m_render) & MPV_RENDER_UPDATE_FRAME)
        emit frameReady();
}

void VideoRenderContext::render(QImage &image, const QRect &area, bool opaque)
{
    const QRect target = area & image.rect();
    if (m_kind != Kind::Software || target.isEmpty() || image.depth() != 32) {
        skipFrame();
        return;
    }
    int size[2] = { target.width(), target.height() };
    size_t stride = size_t(image.bytesPerLine());
    uchar *first = image.bits() + target.y() * image.bytesPerLine() + target.x() * 4;
    mpv_render_param params[] {
        { MPV_RENDER_PARAM_SW_SIZE, size },
        { MPV_RENDER_PARAM_SW_FORMAT, const_cast<char *>(softwareFormat) },
        { MPV_RENDER_PARAM_SW_STRIDE, &stride },
        { MPV_RENDER_PARAM_SW_POINTER, first },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    m_lib.renderContextRender(m_render, params);
    if (opaque)
        makeOpaque(image, target);
}

bool VideoRenderContext::showsAlpha(const QWindow *window)
{
    // X11 draws windows on a visual without alpha unless they asked for one.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return window && window->format().hasAlpha();
    return true;
}

bool VideoRenderContext::render(QSurface *surface, QSize pixels)
{
    if (m_kind != Kind::OpenGL || !m_gl->makeCurrent(surface))
        return false;
    mpv_opengl_fbo fbo { int(m_gl->defaultFramebufferObject()), pixels.width(), pixels.height(), 0 };
    int flipY = 1;
    mpv_render_param params[] {
        { MPV_RENDER_PARAM_OPENGL_FBO, &fbo },
        { MPV_RENDER_PARAM_FLIP_Y, &flipY },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    m_lib.renderContextRender(m_render, params);
    m_gl->swapBuffers(surface);
    return true;
}

void VideoRenderContext::skipFrame()
{
    if (m_gl && !makeCurrentOffscreen())
        return;
    int skip = 1;
    mpv_render_param params[] {
        { MPV_RENDER_PARAM_SKIP_RENDERING, &skip },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    m_lib.renderContextRender(m_render, params);
}

bool VideoRenderContext::hardwareOpenGl()
{
    // Without a graphics device only a software rasteriser could answer, and
    // asking would map it (tens of megabytes) for nothing.
    if (!hasGraphicsDevice())
        return false;
    QOpenGLContext context;
    if (!context.create())
        return false;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return false;
    const auto *renderer = reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    const bool software = isSoftwareRenderer(renderer ? QByteArray(renderer) : QByteArray());
    context.doneCurrent();
    return !software;
}

bool VideoRenderContext::isSoftwareRenderer(const QByteArray &glRenderer)
{
    const QByteArray name = glRenderer.toLower();
    for (const char *software : { "llvmpipe", "softpipe", "software", "swrast" })
        if (name.contains(software))
            return true;
    return name.isEmpty();
}
