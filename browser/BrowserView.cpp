#include "browser/BrowserView.h"

#include "browser/PlaceholderView.h"
#if LUMI_WEBVIEW
#include "browser/WebEngineView.h"
#endif

BrowserView *createBrowserView(QWidget *parent)
{
#if LUMI_WEBVIEW
    QString error;
    if (BrowserView *view = WebEngineView::create(parent, &error))
        return view;
    auto *placeholder = new PlaceholderView(parent);
    placeholder->setNote(QStringLiteral("Não foi possível carregar o navegador embutido.\n") + error);
    return placeholder;
#else
    return new PlaceholderView(parent);
#endif
}
