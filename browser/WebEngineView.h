#pragma once

#include "browser/BrowserView.h"

// The browser control on Qt WebEngine. The QWebEngineView comes from the
// web-view module and is driven through its properties and slots, so the
// player itself never links the web engine.
class WebEngineView : public BrowserView
{
    Q_OBJECT

public:
    // Loads the module (once per run) and makes its view; null with the
    // reason in error when the module cannot be loaded.
    static WebEngineView *create(QWidget *parent, QString *error);

    void navigate(const QUrl &url) override;
    void goBack() override;
    void goForward() override;
    void stop() override;

private:
    explicit WebEngineView(QWidget *parent);

    QWidget *m_web = nullptr;
};
