#include "engine/VideoWindow.h"

#include "engine/VideoRenderContext.h"

#include <QBackingStore>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QImage>
#include <QOpenGLContext>
#include <QWidget>

VideoWindow::VideoWindow(VideoRenderContext &renderer)
    : m_renderer(renderer)
{
    setObjectName(QStringLiteral("VideoWindow"));
    // Focus here would take the keys from the widgets (Alt+Enter, Esc).
    setFlag(Qt::WindowDoesNotAcceptFocus);
    if (renderer.kind() == VideoRenderContext::Kind::OpenGL) {
        setSurfaceType(QSurface::OpenGLSurface);
        setFormat(renderer.glContext()->format());
    } else {
        setSurfaceType(QSurface::RasterSurface);
        m_backingStore = std::make_unique<QBackingStore>(this);
    }
    connect(&renderer, &VideoRenderContext::frameReady, this, &VideoWindow::draw);
}

VideoWindow::~VideoWindow() = default;

QWidget *VideoWindow::embed(QWidget *parent)
{
    m_container = QWidget::createWindowContainer(this, parent);
    m_container->setObjectName(QStringLiteral("VideoWindowContainer"));
    // The container makes a raster window GL-capable, as widget windows are
    // where GL is to hand; that would load the GL driver for software drawing.
    if (m_backingStore)
        setSurfaceType(QSurface::RasterSurface);
    // A native container holds this window inside its own native window, so
    // the window stacks and clips with the widgets around it.
    m_container->setAttribute(Qt::WA_NativeWindow);
    // A focused container hands the focus on to this window.
    m_container->setFocusPolicy(Qt::NoFocus);
    return m_container;
}

void VideoWindow::redraw()
{
    draw();
}

void VideoWindow::draw()
{
    if (!isExposed() || size().isEmpty()) {
        m_renderer.skipFrame();
        return;
    }
    const QSize pixels = size() * devicePixelRatio();
    if (!m_backingStore) {
        if (!m_renderer.render(this, pixels))
            m_renderer.skipFrame();
        return;
    }
    if (m_backingStore->size() != size())
        m_backingStore->resize(size());
    const QRect area(QPoint(), size());
    m_backingStore->beginPaint(area);
    QPaintDevice *device = m_backingStore->paintDevice();
    if (device->devType() == QInternal::Image) {
        auto *image = static_cast<QImage *>(device);
        m_renderer.render(*image, QRect(QPoint(), pixels), VideoRenderContext::showsAlpha(this));
    } else {
        m_renderer.skipFrame();
    }
    m_backingStore->endPaint();
    m_backingStore->flush(area);
}

void VideoWindow::exposeEvent(QExposeEvent *)
{
    if (isExposed())
        draw();
}

void VideoWindow::resizeEvent(QResizeEvent *)
{
    if (m_backingStore)
        m_backingStore->resize(size());
}

QWidget *VideoWindow::topLevelWidget() const
{
    return m_container ? m_container->window() : nullptr;
}

void VideoWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && m_container) {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, event->position().toPoint(),
            event->globalPosition().toPoint(), event->modifiers());
        QCoreApplication::sendEvent(m_container, &menu);
    }
}

void VideoWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_clicks.isClick(*event, size()))
        emit leftClicked();
}

void VideoWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_clicks.isDoubleClick(*event))
        emit doubleClicked();
}

void VideoWindow::wheelEvent(QWheelEvent *event)
{
    QWidget *target = topLevelWidget();
    if (!target)
        return;
    QWheelEvent forwarded(target->mapFromGlobal(event->globalPosition()), event->globalPosition(),
        event->pixelDelta(), event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
        event->inverted(), event->source());
    QCoreApplication::sendEvent(target, &forwarded);
}

void VideoWindow::keyPressEvent(QKeyEvent *event)
{
    if (QWidget *target = topLevelWidget())
        QCoreApplication::sendEvent(target, event);
}

void VideoWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (QWidget *target = topLevelWidget())
        QCoreApplication::sendEvent(target, event);
}
