#include "engine/VideoSurface.h"

#include "engine/MediaEngine.h"
#include "engine/VideoRenderContext.h"
#include "engine/VideoWidget.h"
#include "engine/VideoWindow.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

VideoSurface::VideoSurface(mpv_handle *mpv)
    : m_mpv(mpv)
{
    m_host = new QWidget;
    m_host->setObjectName(QStringLiteral("videoHost"));
    m_host->setAttribute(Qt::WA_StyledBackground);
    m_host->setStyleSheet(QStringLiteral("#videoHost { background: black; }"));
    auto *layout = new QVBoxLayout(m_host);
    layout->setContentsMargins(0, 0, 0, 0);
    m_clickTimer.setObjectName(QStringLiteral("clickTimer"));
    m_clickTimer.setSingleShot(true);
    connect(&m_clickTimer, &QTimer::timeout, this, &VideoSurface::clicked);
}

VideoSurface::~VideoSurface()
{
    // The windows before the render context they draw with.
    m_clickTimer.stop();
    delete m_fullScreenWindow.data();
    delete m_video.data();
    delete m_host.data();
    m_renderer.reset();
}

bool VideoSurface::makeVideo(Path requested)
{
    Path path = requested;
    if (path == Path::Automatic) {
        // Only on X11 can native widgets show above a native video window.
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            path = Path::SoftwareWidget;
        else
            path = VideoRenderContext::hardwareOpenGl() ? Path::OpenGLWindow : Path::SoftwareWindow;
    }
    QList<Path> tries = { path };
    // The software widget needs neither OpenGL nor a native window.
    if (requested == Path::Automatic && path != Path::SoftwareWidget)
        tries << Path::SoftwareWidget;
    for (Path next : tries) {
        try {
            makeVideoOutput(next);
            return true;
        } catch (const EngineError &) {
            m_renderer.reset();
        }
    }
    return false;
}

void VideoSurface::makeVideoOutput(Path path)
{
    const bool gl = path == Path::OpenGLWindow;
    m_renderer = std::make_unique<VideoRenderContext>(
        m_mpv, gl ? VideoRenderContext::Kind::OpenGL : VideoRenderContext::Kind::Software);
    if (path == Path::SoftwareWidget) {
        auto *widget = new VideoWidget(*m_renderer, m_host);
        connect(widget, &VideoWidget::leftClicked, this, &VideoSurface::onSurfaceClicked);
        connect(widget, &VideoWidget::doubleClicked, this, &VideoSurface::onSurfaceDoubleClicked);
        m_videoWidget = widget;
        m_video = widget;
    } else {
        // The video window and the widgets kept above it need native windows;
        // their siblings (the whole main window) need not follow.
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        auto *window = new VideoWindow(*m_renderer);
        connect(window, &VideoWindow::leftClicked, this, &VideoSurface::onSurfaceClicked);
        connect(window, &VideoWindow::doubleClicked, this, &VideoSurface::onSurfaceDoubleClicked);
        m_videoWindow = window;
        m_video = window->embed(m_host);
        // A new native window goes on top of its siblings: the widgets kept
        // above the video are raised again over it.
        window->installEventFilter(this);
    }
    m_host->layout()->addWidget(m_video);
    m_path = path;
}

void VideoSurface::keepAbove(QWidget *widget)
{
    if (!widget || m_keptAbove.contains(widget))
        return;
    m_keptAbove.append(widget);
    raiseAboveVideo();
}

void VideoSurface::raiseAboveVideo()
{
    // A native video window covers whatever its parent window paints: only
    // native widgets stacked above it show there.
    if (!m_videoWindow || !m_videoWindow->handle() || !m_video)
        return;
    for (const QPointer<QWidget> &widget : std::as_const(m_keptAbove)) {
        if (!widget || widget->window() != m_video->window())
            continue;
        widget->winId();
        widget->raise();
    }
}

void VideoSurface::setFullScreen(bool fullScreen)
{
    if (fullScreen == m_fullScreen)
        return;
    m_fullScreen = fullScreen;
    m_clickTimer.stop();
    if (!m_video)
        return;
    if (fullScreen) {
        auto *window = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window->setObjectName(QStringLiteral("videoFullScreen"));
        window->setAttribute(Qt::WA_StyledBackground);
        window->setStyleSheet(QStringLiteral("#videoFullScreen { background: black; }"));
        window->setWindowTitle(QStringLiteral("Lumivortex TV"));
        auto *layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_video);
        window->installEventFilter(this);
        m_fullScreenWindow = window;
        window->showFullScreen();
        window->activateWindow();
        if (m_videoWidget)
            m_videoWidget->setFocus();
    } else {
        m_host->layout()->addWidget(m_video);
        m_video->show();
        if (QWidget *window = m_fullScreenWindow.data()) {
            m_fullScreenWindow.clear();
            window->removeEventFilter(this);
            window->hide();
            window->deleteLater();
        }
    }
}

bool VideoSurface::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_videoWindow && event->type() == QEvent::Show)
        raiseAboveVideo();
    // Closing the full-screen window (Alt+F4) returns the video to its place.
    if (watched == m_fullScreenWindow && event->type() == QEvent::Close) {
        event->ignore();
        setFullScreen(false);
        return true;
    }
    // Esc is taken from the window's own key events rather than a shortcut, which
    // acts only once the window manager has made the window active.
    if (watched == m_fullScreenWindow && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        setFullScreen(false);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void VideoSurface::onSurfaceClicked()
{
    // In full screen a click waits to see whether it is the first half of
    // the double-click that leaves.
    if (m_fullScreen)
        m_clickTimer.start(QApplication::doubleClickInterval());
    else
        emit clicked();
}

void VideoSurface::onSurfaceDoubleClicked()
{
    if (!m_fullScreen)
        return;
    m_clickTimer.stop();
    setFullScreen(false);
}

void VideoSurface::redraw()
{
    if (m_videoWindow)
        m_videoWindow->redraw();
    else if (m_videoWidget)
        m_videoWidget->update();
}
