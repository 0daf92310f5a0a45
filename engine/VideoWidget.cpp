#include "engine/VideoWidget.h"

#include "engine/VideoRenderContext.h"

#include <QImage>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

VideoWidget::VideoWidget(VideoRenderContext &renderer, QWidget *parent)
    : QWidget(parent)
    , m_renderer(renderer)
{
    setObjectName(QStringLiteral("VideoWidget"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    connect(&renderer, &VideoRenderContext::frameReady, this, &VideoWidget::onFrameReady);
}

void VideoWidget::onFrameReady()
{
    const QWindow *shown = window()->windowHandle();
    if (isVisible() && shown && shown->isExposed())
        update();
    else
        m_renderer.skipFrame();
}

void VideoWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QPaintDevice *target = painter.paintEngine()->paintDevice();
    const QRect area = painter.deviceTransform().mapRect(QRectF(rect())).toAlignedRect();
    // A repaint of the whole video writes the frame into the window's buffer
    // directly; widgets above it are painted over it afterwards in the same pass.
    // A partial repaint (a sibling's) must not write outside its region.
    auto *image = target->devType() == QInternal::Image ? static_cast<QImage *>(target) : nullptr;
    if (image && image->depth() == 32 && event->region().boundingRect() == rect()
        && painter.deviceTransform().type() <= QTransform::TxScale) {
        painter.end();
        m_renderer.render(*image, area, VideoRenderContext::showsAlpha(window()->windowHandle()));
        return;
    }
    QImage frame(area.size(), QImage::Format_RGB32);
    frame.setDevicePixelRatio(devicePixelRatioF());
    m_renderer.render(frame, frame.rect(), true);
    painter.drawImage(rect(), frame);
}

void VideoWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_clicks.isClick(*event, size()))
        emit leftClicked();
    QWidget::mouseReleaseEvent(event);
}

void VideoWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_clicks.isDoubleClick(*event))
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
