#include "browser/WebEngineView.h"

#include <QVBoxLayout>
#include <QWebEngineView>

WebEngineView::WebEngineView(QWidget *parent)
    : BrowserView(parent)
{
    m_view = new QWebEngineView(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
}

void WebEngineView::navigate(const QUrl &url)
{
    m_view->load(url);
}

void WebEngineView::goBack()
{
    m_view->back();
}

void WebEngineView::goForward()
{
    m_view->forward();
}

void WebEngineView::stop()
{
    m_view->stop();
}
