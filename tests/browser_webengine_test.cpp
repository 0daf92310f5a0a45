#include "browser/BrowserWindow.h"
#include "browser/WebEngineView.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <unistd.h>

// Whether the web engine's library is mapped into this process.
static bool webEngineLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    return maps.readAll().contains("libQt6WebEngineCore");
}

class BrowserWebEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void asRootTheSandboxedEngineIsNeverLoaded();
    void webEngineIsNotLoadedBeforeTheWindowIsShown();
    void typedLocalFileLoadsInTheWebView();
    void backReturnsToThePreviousPage();

private:
    QWidget *webWidget() const;
    bool searchAndWait(const QString &text);
    QString page(const char *name, const char *title);

    BrowserWindow *m_form = nullptr;
};

void BrowserWebEngineTest::initTestCase()
{
    // Before anything has made a browser window, the engine must stay out of the process.
    QVERIFY(!webEngineLoaded());
}

QWidget *BrowserWebEngineTest::webWidget() const
{
    for (QWidget *child : m_form->findChildren<QWidget *>())
        if (qstrcmp(child->metaObject()->className(), "QWebEngineView") == 0)
            return child;
    return nullptr;
}

QString BrowserWebEngineTest::page(const char *name, const char *title)
{
    const QString path = qEnvironmentVariable("LUMI_FIXTURE_DIR") + QLatin1Char('/') + QLatin1String(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the page fixture");
    file.write(QByteArray("<!doctype html><html><head><meta charset=\"utf-8\"><title>") + title
        + "</title></head><body><p>Lumivortex</p></body></html>");
    return path;
}

bool BrowserWebEngineTest::searchAndWait(const QString &text)
{
    QSignalSpy loaded(webWidget(), SIGNAL(loadFinished(bool)));
    m_form->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(text);
    m_form->go();
    return loaded.wait(30000) && loaded.constFirst().constFirst().toBool();
}

// Chromium aborts the process when it must sandbox itself as root: the
// program must say so instead of loading it.
void BrowserWebEngineTest::asRootTheSandboxedEngineIsNeverLoaded()
{
    if (geteuid() != 0)
        QSKIP("only a process running as root meets this");
    const QByteArray switchOff = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    QString error;
    QWidget parent;
    WebEngineView *view = WebEngineView::create(&parent, &error);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", switchOff);
    QVERIFY(view == nullptr);
    QVERIFY2(error.contains(QStringLiteral("administrador")), qPrintable(error));
    QVERIFY(!webEngineLoaded());
}

void BrowserWebEngineTest::webEngineIsNotLoadedBeforeTheWindowIsShown()
{
    m_form = new BrowserWindow;
    QVERIFY(!webEngineLoaded());
    QVERIFY(m_form->view() == nullptr);

    m_form->show();
    QVERIFY(qobject_cast<WebEngineView *>(m_form->view()) != nullptr);
    QVERIFY(webWidget() != nullptr);
    QVERIFY(webEngineLoaded());
}

void BrowserWebEngineTest::typedLocalFileLoadsInTheWebView()
{
    QVERIFY(m_form != nullptr);
    const QString path = page("pagina1.html", "Primeira");
    QVERIFY(searchAndWait(path));
    QCOMPARE(webWidget()->property("url").toUrl(), QUrl::fromLocalFile(path));
    QCOMPARE(webWidget()->property("title").toString(), QStringLiteral("Primeira"));
}

void BrowserWebEngineTest::backReturnsToThePreviousPage()
{
    QVERIFY(m_form != nullptr);
    QVERIFY(searchAndWait(page("pagina2.html", "Segunda")));
    QCOMPARE(webWidget()->property("title").toString(), QStringLiteral("Segunda"));

    QSignalSpy loaded(webWidget(), SIGNAL(loadFinished(bool)));
    m_form->goBack();
    QVERIFY(loaded.wait(30000));
    QCOMPARE(webWidget()->property("title").toString(), QStringLiteral("Primeira"));
    delete m_form;
    m_form = nullptr;
}

int main(int argc, char **argv)
{
    // As the player does: the web engine and the video surface share GL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    BrowserWebEngineTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "browser_webengine_test.moc"
