#pragma once

#include "engine/VideoClicks.h"

#include <QWidget>

class VideoRenderContext;

// The video drawn by libmpv's software renderer straight into the window's own
// buffer, in place: one pass per frame over the video's pixels and no native
// window. For where a native child window would cover the widgets meant to
// show above the video (Wayland gives a child window's widgets no pixels).
class VideoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VideoWidget(VideoRenderContext &renderer, QWidget *parent = nullptr);

signals:
    void leftClicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void onFrameReady();

    VideoRenderContext &m_renderer;
    VideoClicks m_clicks;
};
