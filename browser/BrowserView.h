#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>

// The web browser control behind the browser window: the four operations the
// window uses on it. The window makes its view the first time it is shown, so
// the web engine costs nothing until the user opens the browser.
class BrowserView : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Starts loading the address (no flags, frame, post data or headers).
    virtual void navigate(const QUrl &url) = 0;
    // Back and forward without history do nothing.
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void stop() = 0;
};

// Makes the view as a child of parent.
using BrowserViewFactory = std::function<BrowserView *(QWidget *parent)>;

// The view this build provides: the web engine with ENABLE_WEBVIEW, otherwise
// the placeholder.
BrowserView *createBrowserView(QWidget *parent);
