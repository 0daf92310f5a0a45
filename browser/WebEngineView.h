#pragma once

#include "browser/BrowserView.h"

class QWebEngineView;

// The browser control on Qt WebEngine; built only with ENABLE_WEBVIEW.
class WebEngineView : public BrowserView
{
    Q_OBJECT

public:
    explicit WebEngineView(QWidget *parent = nullptr);

    void navigate(const QUrl &url) override;
    void goBack() override;
    void goForward() override;
    void stop() override;

private:
    QWebEngineView *m_view = nullptr;
};
