#pragma once

#include "engine/VideoClicks.h"

#include <QPointer>
#include <QWindow>
#include <memory>

class QBackingStore;
class QWidget;
class VideoRenderContext;

// The video in a native child window of its own, placed among the widgets by
// a window container: each frame is drawn and shown in this window alone, so
// nothing around it is painted again per frame. Widgets that must show above
// it need native windows too (MediaEngine::keepAboveVideo).
// Input is the video widget's: clicks come out as signals; the context menu
// goes to the container, and the wheel and keys to its top-level widget, as
// if the window were not there. It never takes the keyboard focus.
class VideoWindow : public QWindow
{
    Q_OBJECT

public:
    explicit VideoWindow(VideoRenderContext &renderer);
    ~VideoWindow() override;

    // Wraps this window in a container widget, which owns it from then on.
    QWidget *embed(QWidget *parent);
    // Draws the current frame again (at the window's present size).
    void redraw();

signals:
    void leftClicked();
    void doubleClicked();

protected:
    void exposeEvent(QExposeEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void draw();
    QWidget *topLevelWidget() const;

    VideoRenderContext &m_renderer;
    std::unique_ptr<QBackingStore> m_backingStore; // software drawing only
    QPointer<QWidget> m_container;
    VideoClicks m_clicks;
};
