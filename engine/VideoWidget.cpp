#include "engine/VideoWidget.h"

#include "engine/VideoRenderContext.h"

#include <QImage>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <cstring>

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
    const QTransform toDevice = painter.deviceTransform();
    QPaintDevice *target = painter.paintEngine()->paintDevice();
    auto *image = target->devType() == QInternal::Image ? static_cast<QImage *>(target) : nullptr;
    if (!image || image->depth() != 32 || toDevice.type() > QTransform::TxScale) {
        QImage frame(size() * devicePixelRatioF(), QImage::Format_RGB32);
        frame.setDevicePixelRatio(devicePixelRatioF());
        m_renderer.render(frame, frame.rect(), true);
        painter.drawImage(rect(), frame);
        return;
    }
    // The frame is written into the window's buffer in place. libmpv fills the
    // whole video area, so what lies outside this paint's region (opaque
    // widgets above the video, not repainted now) is put back afterwards.
    const QRect area = toDevice.mapRect(QRectF(rect())).toAlignedRect() & image->rect();
    const QRegion outside = toDevice.map(QRegion(rect()) - event->region()) & area;
    QList<QImage> kept;
    for (const QRect &part : outside)
        kept << image->copy(part);
    painter.end();
    m_renderer.render(*image, area, VideoRenderContext::showsAlpha(window()->windowHandle()));
    qsizetype next = 0;
    for (const QRect &part : outside) {
        const QImage &pixels = kept.at(next++);
        for (int y = 0; y < part.height(); ++y)
            std::memcpy(image->scanLine(part.top() + y) + part.left() * 4, pixels.constScanLine(y),
                size_t(part.width()) * 4);
    }
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
