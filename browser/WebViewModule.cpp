// The only code that links Qt WebEngine. It is a module the player loads the
// first time the browser window is shown: linked into the program, the web
// engine alone would add about 27 MB and a few hundred milliseconds to every start.
#include <QWebEngineView>

extern "C" Q_DECL_EXPORT QWidget *lumiCreateWebView(QWidget *parent)
{
    return new QWebEngineView(parent);
}
