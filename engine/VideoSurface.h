#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

struct mpv_handle;
class VideoRenderContext;
class VideoWidget;
class VideoWindow;

// Where libmpv's pictures are shown: the host widget a window places, the
// video output inside it, the widgets kept above a native video window, and
// full screen, which moves the video into a frameless window of its own; Esc,
// a double-click or closing that window returns it.
class VideoSurface : public QObject
{
    Q_OBJECT

public:
    // How frames reach the screen. Automatic picks what costs least here: on
    // X11 a native video window, drawn with OpenGL when a graphics card does
    // it and by libmpv's software renderer otherwise; elsewhere (Wayland) the
    // software renderer into the widget, so widgets can show above the video.
    enum class Path { Automatic, SoftwareWidget, SoftwareWindow, OpenGLWindow };

    // Makes the host, still without a video output.
    explicit VideoSurface(mpv_handle *mpv);
    ~VideoSurface() override;

    // A path other than Automatic is used as asked or not at all. False when
    // no video output could be made; the host then stays black.
    bool makeVideo(Path requested);
    // The path in use; meaningless without video (hasVideo()).
    Path path() const { return m_path; }
    bool hasVideo() const { return m_renderer != nullptr; }
    QWidget *host() const { return m_host; }

    void keepAbove(QWidget *widget);
    void setFullScreen(bool fullScreen);
    bool isFullScreen() const { return m_fullScreen; }
    void redraw();

signals:
    // A click on the video; in full screen only once it is plainly not the
    // first half of a double-click.
    void clicked();

private:
    void makeVideoOutput(Path path);
    void raiseAboveVideo();
    void onSurfaceClicked();
    void onSurfaceDoubleClicked();
    bool eventFilter(QObject *watched, QEvent *event) override;

    mpv_handle *const m_mpv;
    QPointer<QWidget> m_host; // what videoWidget() returns; holds the video
    std::unique_ptr<VideoRenderContext> m_renderer;
    QPointer<QWidget> m_video; // the VideoWidget, or the VideoWindow's container
    QPointer<VideoWindow> m_videoWindow;
    QPointer<VideoWidget> m_videoWidget;
    Path m_path = Path::Automatic;
    QList<QPointer<QWidget>> m_keptAbove;
    QPointer<QWidget> m_fullScreenWindow;
    QTimer m_clickTimer;
    bool m_fullScreen = false;
};
