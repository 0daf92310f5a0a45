#pragma once

#include <QOpenGLWidget>
#include <atomic>

struct MpvLibrary;
struct mpv_handle;
struct mpv_render_context;

// Draws libmpv's video through its render API. The render context lives as
// long as this widget's GL context: Qt replaces that context when the widget
// moves to another top-level window (full screen), so the render context is
// freed with the old one and made again in initializeGL().
class VideoSurface : public QOpenGLWidget
{
    Q_OBJECT

public:
    explicit VideoSurface(mpv_handle *mpv, QWidget *parent = nullptr);
    ~VideoSurface() override;

    bool hasRenderContext() const { return m_render != nullptr; }

signals:
    // A render context was made; libmpv can open video now.
    void renderContextReady();
    // libmpv could not make a render context on this GL context.
    void renderFailed();
    void leftClicked();
    void doubleClicked();

protected:
    void initializeGL() override;
    void paintGL() override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void freeRenderContext();
    void onRenderUpdate();
    static void renderUpdateCallback(void *surface);

    const MpvLibrary &m_lib;
    mpv_handle *m_mpv;
    mpv_render_context *m_render = nullptr;
    std::atomic<bool> m_updateQueued { false };
    bool m_inDoubleClick = false;
};
