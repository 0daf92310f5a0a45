#include "browser/WebEngineView.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>
#include <QVBoxLayout>
#include <unistd.h>

namespace
{

using CreateWebView = QWidget *(*)(QWidget *parent);

// Only from beside the program (the build tree, and tests, which get a copy
// beside them) or from under lib/ where it is installed, found from the
// program's own folder so the package works under any prefix. Never from a
// path written in at build time: an installed program would then load
// whatever is later put at that path.
QStringList moduleCandidates()
{
    QStringList paths { QCoreApplication::applicationDirPath() + QStringLiteral("/lumivortex-webview.so") };
#ifdef LUMI_WEBVIEW_INSTALLED
    paths.append(QCoreApplication::applicationDirPath()
        + QLatin1String("/" LUMI_WEBVIEW_INSTALLED "/lumivortex-webview.so"));
#endif
    return paths;
}

CreateWebView resolveModule(QString *error)
{
    static CreateWebView create = nullptr;
    if (create != nullptr)
        return create;
    QStringList failures;
    for (const QString &path : moduleCandidates()) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary module(path);
        create = reinterpret_cast<CreateWebView>(module.resolve("lumiCreateWebView"));
        if (create != nullptr)
            return create;
        failures.append(module.errorString());
    }
    if (error != nullptr)
        *error = failures.isEmpty() ? QStringLiteral("lumivortex-webview.so não encontrado.")
                                    : failures.join(QLatin1Char('\n'));
    return nullptr;
}

// The web engine's own switches for running without its sandbox.
bool runsAsRootWithSandbox()
{
    if (geteuid() != 0 || qEnvironmentVariableIntValue("QTWEBENGINE_DISABLE_SANDBOX") != 0)
        return false;
    return !qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox"));
}

} // namespace

WebEngineView *WebEngineView::create(QWidget *parent, QString *error)
{
    // Loaded after QApplication, the web engine crashes unless the application
    // was made with shared GL contexts (Qt::AA_ShareOpenGLContexts set first).
    if (QOpenGLContext::globalShareContext() == nullptr) {
        if (error != nullptr)
            *error = QStringLiteral("Contextos OpenGL compartilhados não foram ativados.");
        return nullptr;
    }
    // Chromium ends the whole process when it is asked to sandbox itself as
    // root; a player run as root keeps playing and says why there is no browser.
    if (runsAsRootWithSandbox()) {
        if (error != nullptr)
            *error
                = QStringLiteral("O navegador embutido não abre com o Lumivortex rodando como administrador "
                                 "(root).");
        return nullptr;
    }
    const CreateWebView make = resolveModule(error);
    if (make == nullptr)
        return nullptr;
    auto *view = new WebEngineView(parent);
    view->m_web = make(view);
    view->layout()->addWidget(view->m_web);
    view->setFocusProxy(view->m_web);
    return view;
}

WebEngineView::WebEngineView(QWidget *parent)
    : BrowserView(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void WebEngineView::navigate(const QUrl &url)
{
    // QWebEngineView's "url" property loads the address, as load() does.
    m_web->setProperty("url", url);
}

void WebEngineView::goBack()
{
    QMetaObject::invokeMethod(m_web, "back");
}

void WebEngineView::goForward()
{
    QMetaObject::invokeMethod(m_web, "forward");
}

void WebEngineView::stop()
{
    QMetaObject::invokeMethod(m_web, "stop");
}
