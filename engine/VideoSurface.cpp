#include "engine/VideoSurface.h"

#include "engine/MpvLibrary.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <utility>

namespace
{

void *getProcAddress(void *, const char *name)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void *>(context->getProcAddress(QByteArray(name))) : nullptr;
}

} // namespace

VideoSurface::VideoSurface(mpv_handle *mpv, QWidget *parent)
    : QOpenGLWidget(parent)
    , m_lib(MpvLibrary::get())
    , m_mpv(mpv)
{
    setObjectName(QStringLiteral("VideoSurface"));
    setFocusPolicy(Qt::StrongFocus);
}

VideoSurface::~VideoSurface()
{
    // Our slot must not run from the base destructor, where the context dies.
    if (QOpenGLContext *gl = context())
        gl->disconnect(this);
    freeRenderContext();
}

void VideoSurface::initializeGL()
{
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &VideoSurface::freeRenderContext,
        Qt::DirectConnection);
    mpv_opengl_init_params gl { &getProcAddress, nullptr };
    mpv_render_param params[] {
        { MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL) },
        { MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &gl },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    if (m_lib.renderContextCreate(&m_render, m_mpv, params) < 0) {
        m_render = nullptr;
        emit renderFailed();
        return;
    }
    m_lib.renderContextSetUpdateCallback(m_render, &VideoSurface::renderUpdateCallback, this);
    emit renderContextReady();
}

void VideoSurface::paintGL()
{
    if (!m_render) {
        QOpenGLContext::currentContext()->functions()->glClearColor(0, 0, 0, 1);
        QOpenGLContext::currentContext()->functions()->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo { int(defaultFramebufferObject()), int(width() * ratio), int(height() * ratio), 0 };
    int flipY = 1;
    mpv_render_param params[] {
        { MPV_RENDER_PARAM_OPENGL_FBO, &fbo },
        { MPV_RENDER_PARAM_FLIP_Y, &flipY },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    m_lib.renderContextRender(m_render, params);
}

void VideoSurface::freeRenderContext()
{
    if (!m_render)
        return;
    // The render context owns GL objects: free it with its GL context current.
    makeCurrent();
    m_lib.renderContextSetUpdateCallback(m_render, nullptr, nullptr);
    m_lib.renderContextFree(m_render);
    m_render = nullptr;
    doneCurrent();
}

// Runs on a libmpv thread: only queue the work for the GUI thread.
void VideoSurface::renderUpdateCallback(void *surface)
{
    auto *self = static_cast<VideoSurface *>(surface);
    if (!self->m_updateQueued.exchange(true))
        QMetaObject::invokeMethod(self, &VideoSurface::onRenderUpdate, Qt::QueuedConnection);
}

void VideoSurface::onRenderUpdate()
{
    m_updateQueued = false;
    if (m_render && (m_lib.renderContextUpdate(m_render) & MPV_RENDER_UPDATE_FRAME))
        update();
}

void VideoSurface::mouseReleaseEvent(QMouseEvent *event)
{
    // The release that ends a double-click is no click of its own.
    const bool endsDoubleClick = std::exchange(m_inDoubleClick, false);
    if (event->button() == Qt::LeftButton && !endsDoubleClick && rect().contains(event->position().toPoint()))
        emit leftClicked();
    QOpenGLWidget::mouseReleaseEvent(event);
}

void VideoSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_inDoubleClick = true;
        emit doubleClicked();
    }
    QOpenGLWidget::mouseDoubleClickEvent(event);
}
