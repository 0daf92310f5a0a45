#include "browser/BrowserView.h"

#if LUMI_WEBVIEW
#include "browser/WebEngineView.h"
#else
#include "browser/PlaceholderView.h"
#endif

BrowserView *createBrowserView(QWidget *parent)
{
#if LUMI_WEBVIEW
    return new WebEngineView(parent);
#else
    return new PlaceholderView(parent);
#endif
}
