#include "browser/AdultArea.h"
#include "browser/BrowserWindow.h"
#include "browser/PlaceholderView.h"
#include "browser/SearchAddress.h"
#include "widgets/ButtonColour.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

// Receives what QDesktopServices::openUrl hands to the system.
class UrlSink : public QObject
{
    Q_OBJECT

public:
    QStringList *events = nullptr;
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url)
    {
        opened.append(url);
        events->append(QStringLiteral("open ") + url.toString());
    }
};

class BrowserWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void webViewIsNotMadeBeforeFirstShow();
    void controlsSitWhereTheDesignPutsThem_data();
    void controlsSitWhereTheDesignPutsThem();
    void modeLabelsDoNotOverlap();
    void browserModeIsActiveAtStart();
    void clickedModeTurnsBlueAndTheOthersBlack_data();
    void clickedModeTurnsBlueAndTheOthersBlack();
    void enterInTheSearchBoxRunsTheSearch();
    void eachModeNavigatesToItsAddress_data();
    void eachModeNavigatesToItsAddress();
    void firstSearchOpensTheTypedAddressUnchanged();
    void browserModeReadsTextWithoutSchemeAsAddress();
    void emptyBrowserSearchNavigatesNowhere();
    void unusableAddressIsReportedNotLoaded();
    void searchMovesFocusToTheView();
    void lyricsSearchFromNowPlayingUsesLetrasWhateverTheMode();
    void backAndForwardWithoutHistoryChangeNothing();
    void stopReachesTheView();
    void menuEntriesSelectTheirMode();
    void windowIsCentredOnTheMainWindow();
    void lyricsSearchOpensTheWindowOverTheMainWindow();
    void adultAreaWarnsThenOpensTheSiteOutside();
    void webViewThatCannotBeMadeLeavesAPlaceholder();

private:
    BrowserWindow *makeWindow();
    PlaceholderView *placeholder() const;
    QLabel *label(const char *name) const { return m_form->findChild<QLabel *>(QLatin1String(name)); }
    QLineEdit *edit() const { return m_form->findChild<QLineEdit *>(QStringLiteral("Edit1")); }
    QToolButton *button(const char *name) const
    {
        return m_form->findChild<QToolButton *>(QLatin1String(name));
    }

    BrowserWindow *m_form = nullptr;
    int m_viewsMade = 0;
    QList<MessageRequest> m_messages;
    QStringList m_events;
};

void BrowserWindowTest::init()
{
    m_viewsMade = 0;
    m_messages.clear();
    m_events.clear();
    setMessageHandler([this](QWidget *, const MessageRequest &request) {
        m_messages.append(request);
        m_events.append(QStringLiteral("message"));
        return QMessageBox::Ok;
    });
    m_form = makeWindow();
}

void BrowserWindowTest::cleanup()
{
    delete m_form;
    m_form = nullptr;
    setMessageHandler({});
}

BrowserWindow *BrowserWindowTest::makeWindow()
{
    auto *form = new BrowserWindow;
    // The main build has the web engine; this test puts the placeholder in its place.
    form->setViewFactory([this](QWidget *parent) -> BrowserView * {
        ++m_viewsMade;
        return new PlaceholderView(parent);
    });
    return form;
}

PlaceholderView *BrowserWindowTest::placeholder() const
{
    return qobject_cast<PlaceholderView *>(m_form->view());
}

void BrowserWindowTest::webViewIsNotMadeBeforeFirstShow()
{
    QCOMPARE(m_viewsMade, 0);
    QVERIFY(m_form->view() == nullptr);
    QVERIFY(m_form->findChild<QWidget *>(QStringLiteral("WebBrowser1")) == nullptr);

    m_form->show();
    QCOMPARE(m_viewsMade, 1);
    QVERIFY(m_form->findChild<BrowserView *>(QStringLiteral("WebBrowser1")) == m_form->view());

    m_form->hide();
    m_form->show();
    QCOMPARE(m_viewsMade, 1);
    // The view fills what the 49-pixel panel leaves.
    QCOMPARE(m_form->view()->y(), 49);
    QCOMPARE(m_form->view()->height(), m_form->height() - 49);
    QCOMPARE(m_form->view()->width(), m_form->width());
}

void BrowserWindowTest::controlsSitWhereTheDesignPutsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::newRow("back") << QStringLiteral("SpeedButton1") << QRect(16, 8, 41, 33);
    QTest::newRow("forward") << QStringLiteral("SpeedButton2") << QRect(64, 8, 41, 33);
    QTest::newRow("stop") << QStringLiteral("SpeedButton3") << QRect(112, 8, 41, 33);
    QTest::newRow("search") << QStringLiteral("SpeedButton4") << QRect(432, 8, 41, 33);
    QTest::newRow("search box") << QStringLiteral("Edit1") << QRect(160, 12, 265, 21);
    QTest::newRow("title") << QStringLiteral("Label1") << QRect(488, 16, 199, 27);
}

void BrowserWindowTest::controlsSitWhereTheDesignPutsThem()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QWidget *control = m_form->findChild<QWidget *>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(), place);
}

void BrowserWindowTest::modeLabelsDoNotOverlap()
{
    QCOMPARE(label("Label2")->pos(), QPoint(160, 34));
    QCOMPARE(label("Label3")->pos(), QPoint(232, 34));
    QCOMPARE(label("Label4")->pos(), QPoint(298, 34));
    QVERIFY(label("Label2")->geometry().right() < label("Label3")->x());
    QVERIFY(label("Label3")->geometry().right() < label("Label4")->x());
    QVERIFY(label("Label4")->geometry().right() < 432);
    QVERIFY(label("Label4")->geometry().bottom() < 49);
}

void BrowserWindowTest::browserModeIsActiveAtStart()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Lumivortex Browser"));
    QCOMPARE(label("Label5")->text(), QStringLiteral("Localizar:"));
    QCOMPARE(label("Label2")->text(), QStringLiteral("Modo Browser"));
    QCOMPARE(label("Label3")->text(), QStringLiteral("Modo Videos"));
    QCOMPARE(label("Label4")->text(), QStringLiteral("Modo Letras"));
    QCOMPARE(label("Label1")->text(), QStringLiteral("Lumivortex Browser"));
    QVERIFY(!label("Label1")->isEnabled());
    QCOMPARE(label("Label2")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(label("Label3")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QCOMPARE(label("Label4")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QCOMPARE(label("Label3")->cursor().shape(), Qt::PointingHandCursor);
}

void BrowserWindowTest::clickedModeTurnsBlueAndTheOthersBlack_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::newRow("videos") << QStringLiteral("Label3");
    QTest::newRow("letras") << QStringLiteral("Label4");
    QTest::newRow("browser again") << QStringLiteral("Label2");
}

void BrowserWindowTest::clickedModeTurnsBlueAndTheOthersBlack()
{
    QFETCH(QString, clicked);
    m_form->show();
    QApplication::setActiveWindow(m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    // Start from another mode, so every row changes something.
    QTest::mouseClick(label(clicked == QStringLiteral("Label3") ? "Label4" : "Label3"), Qt::LeftButton);
    QTest::mouseClick(m_form->findChild<QLabel *>(clicked), Qt::LeftButton);
    for (const char *name : { "Label2", "Label3", "Label4" }) {
        const QColor expected = QLatin1String(name) == clicked ? QColor(0, 0, 255) : QColor(0, 0, 0);
        QCOMPARE(label(name)->palette().color(QPalette::WindowText), expected);
    }
    QCOMPARE(QApplication::focusWidget(), edit());
    // Selecting a mode searches nothing.
    QVERIFY(placeholder()->navigations().isEmpty());
}

void BrowserWindowTest::enterInTheSearchBoxRunsTheSearch()
{
    m_form->show();
    QTest::mouseClick(label("Label3"), Qt::LeftButton);
    QTest::keyClicks(edit(), QStringLiteral("Mr. Bean"));
    QVERIFY(placeholder()->navigations().isEmpty());
    QTest::keyClick(edit(), Qt::Key_Return);
    QCOMPARE(
        placeholder()->navigations(), QList<QUrl> { SearchAddress::videoSearch(QStringLiteral("Mr. Bean")) });
    QTest::keyClick(edit(), Qt::Key_Enter);
    QCOMPARE(placeholder()->navigations().size(), 2);
}

void BrowserWindowTest::eachModeNavigatesToItsAddress_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("address");
    const QByteArray lyrics = SearchAddress::LyricsSearchSite.toLatin1();
    const QByteArray videos = SearchAddress::VideoSearchSite.toLatin1();
    QTest::newRow("videos, extension cut")
        << QStringLiteral("Label3") << QStringLiteral("Mr. Bean") << videos + "/videosearch?q=Mr";
    QTest::newRow("videos, backslash kept")
        << QStringLiteral("Label3") << QStringLiteral("a\\b.c") << videos + "/videosearch?q=a%5Cb";
    QTest::newRow("videos, ampersand") << QStringLiteral("Label3") << QStringLiteral("Tom & Jerry")
                                       << videos + "/videosearch?q=Tom+%26+Jerry";
    QTest::newRow("letras, worked example")
        << QStringLiteral("Label4") << QStringLiteral("Banda_X - Minha Musica.mp3")
        << lyrics + "/search?hl=pt-BR&q=Banda+X+-+Minha+Musica+lyrics&btnG=Pesquisar&meta=";
    QTest::newRow("letras, hash and accents")
        << QStringLiteral("Label4") << QStringLiteral("Canção #1")
        << lyrics + "/search?hl=pt-BR&q=Can%C3%A7%C3%A3o+%231+lyrics&btnG=Pesquisar&meta=";
    QTest::newRow("browser, as typed")
        << QStringLiteral("Label2") << QStringLiteral("https://a.example/Mr. Bean.mp3")
        << QByteArray("https://a.example/Mr.%20Bean.mp3");
}

void BrowserWindowTest::eachModeNavigatesToItsAddress()
{
    QFETCH(QString, mode);
    QFETCH(QString, text);
    QFETCH(QByteArray, address);
    m_form->show();
    QTest::mouseClick(m_form->findChild<QLabel *>(mode), Qt::LeftButton);
    edit()->setText(text);
    QTest::mouseClick(button("SpeedButton4"), Qt::LeftButton);
    QCOMPARE(placeholder()->navigations().size(), 1);
    QCOMPARE(placeholder()->navigations().constFirst().toEncoded(), address);
}

void BrowserWindowTest::firstSearchOpensTheTypedAddressUnchanged()
{
    const QString typed = QStringLiteral("https://a.example/busca?q=Tom&x=1#fim");
    m_form->show();
    edit()->setText(typed);
    m_form->go();
    QCOMPARE(placeholder()->navigations(), QList<QUrl> { QUrl(typed) });
    QCOMPARE(placeholder()->navigations().constFirst().toString(), typed);
}

void BrowserWindowTest::browserModeReadsTextWithoutSchemeAsAddress()
{
    m_form->show();
    edit()->setText(QStringLiteral("www.exemplo.example"));
    m_form->go();
    edit()->setText(QStringLiteral("/tmp/pagina.html"));
    m_form->go();
    const QList<QUrl> expected { QUrl(QStringLiteral("http://www.exemplo.example")),
        QUrl::fromLocalFile(QStringLiteral("/tmp/pagina.html")) };
    QCOMPARE(placeholder()->navigations(), expected);
}

void BrowserWindowTest::emptyBrowserSearchNavigatesNowhere()
{
    m_form->show();
    edit()->setText(QStringLiteral("  "));
    m_form->go();
    QVERIFY(placeholder()->navigations().isEmpty());
    QVERIFY(m_messages.isEmpty());
}

void BrowserWindowTest::unusableAddressIsReportedNotLoaded()
{
    m_form->show();
    edit()->setText(QStringLiteral("isto nao e endereco"));
    m_form->go();
    QVERIFY(placeholder()->navigations().isEmpty());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.constFirst().text.contains(QStringLiteral("isto nao e endereco")));
}

void BrowserWindowTest::searchMovesFocusToTheView()
{
    m_form->show();
    QApplication::setActiveWindow(m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    QTest::mouseClick(label("Label4"), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), edit());
    QTest::keyClicks(edit(), QStringLiteral("Tom"));
    QTest::keyClick(edit(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_form->view());
}

void BrowserWindowTest::lyricsSearchFromNowPlayingUsesLetrasWhateverTheMode()
{
    m_form->show();
    QTest::mouseClick(label("Label3"), Qt::LeftButton);
    edit()->setText(QStringLiteral("algo antigo"));
    m_form->hide();

    m_form->searchLyricsFor(QStringLiteral("Banda_X - Minha Musica.mp3"));
    QVERIFY(m_form->isVisible());
    QCOMPARE(edit()->text(), QStringLiteral("Banda_X - Minha Musica.mp3"));
    QCOMPARE(label("Label4")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(label("Label3")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QCOMPARE(placeholder()->navigations(),
        QList<QUrl> { SearchAddress::lyricsSearch(QStringLiteral("Banda_X - Minha Musica.mp3")) });
    QCOMPARE(m_viewsMade, 1);
}

void BrowserWindowTest::backAndForwardWithoutHistoryChangeNothing()
{
    m_form->show();
    QTest::mouseClick(button("SpeedButton1"), Qt::LeftButton);
    QTest::mouseClick(button("SpeedButton2"), Qt::LeftButton);
    QVERIFY(placeholder()->currentUrl().isEmpty());

    for (const char *address : { "https://um.example/", "https://dois.example/" }) {
        edit()->setText(QLatin1String(address));
        m_form->go();
    }
    QTest::mouseClick(button("SpeedButton1"), Qt::LeftButton);
    QCOMPARE(placeholder()->currentUrl(), QUrl(QStringLiteral("https://um.example/")));
    QTest::mouseClick(button("SpeedButton1"), Qt::LeftButton);
    QCOMPARE(placeholder()->currentUrl(), QUrl(QStringLiteral("https://um.example/")));
    QTest::mouseClick(button("SpeedButton2"), Qt::LeftButton);
    QCOMPARE(placeholder()->currentUrl(), QUrl(QStringLiteral("https://dois.example/")));
    QCOMPARE(placeholder()->navigations().size(), 2);
}

void BrowserWindowTest::stopReachesTheView()
{
    m_form->show();
    QTest::mouseClick(button("SpeedButton3"), Qt::LeftButton);
    QCOMPARE(placeholder()->stopCount(), 1);
    QCOMPARE(ButtonColour::of(button("SpeedButton3")), ButtonColour::Red);
}

void BrowserWindowTest::menuEntriesSelectTheirMode()
{
    QWidget main;
    main.setGeometry(100, 100, 900, 700);
    main.show();
    m_form->showCentredOn(&main);
    m_form->selectVideosMode();
    QCOMPARE(label("Label3")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(m_form->focusWidget(), edit());
    m_form->selectLyricsMode();
    QCOMPARE(label("Label4")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(label("Label3")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QVERIFY(placeholder()->navigations().isEmpty());
}

void BrowserWindowTest::windowIsCentredOnTheMainWindow()
{
    QWidget main;
    main.setGeometry(200, 150, 900, 700);
    main.show();
    m_form->showCentredOn(&main);
    QVERIFY(m_form->isVisible());
    const QPoint offset = m_form->geometry().center() - main.geometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
        qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
}

void BrowserWindowTest::lyricsSearchOpensTheWindowOverTheMainWindow()
{
    // Never shown before: the now-playing label's window is the active one.
    QWidget main;
    main.setGeometry(300, 200, 700, 600);
    main.show();
    QApplication::setActiveWindow(&main);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    m_form->searchLyricsFor(QStringLiteral("Tom & Jerry.mp3"));
    QPoint offset = m_form->geometry().center() - main.geometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
        qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));

    // Hidden again after the main window moved: it opens over it once more.
    m_form->hide();
    main.move(100, 50);
    m_form->searchLyricsFor(QStringLiteral("Tom & Jerry.mp3"));
    offset = m_form->geometry().center() - main.geometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
        qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
    QCOMPARE(placeholder()->navigations().size(), 2);
}

void BrowserWindowTest::adultAreaWarnsThenOpensTheSiteOutside()
{
    UrlSink sink;
    sink.events = &m_events;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &sink, "open");
    openAdultArea(nullptr);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QCOMPARE(m_messages.size(), 1);
    const MessageRequest &box = m_messages.constFirst();
    QCOMPARE(box.text,
        QStringLiteral("Ao entrar nessa area, o Lumivortex abrirá seu Navegador (Browser) e o levará\r"
                       "a um site com varias webcams ao vivo.\r"
                       "você estará ciente do conteudo adulto que nela encontrará,\r"
                       "além de declarar ter 18 anos ou mais e assumir total responsabilidade por "
                       "possiveis\r"
                       "danos ao proprio pudor."));
    QVERIFY(!box.text.contains(QLatin1Char('\n')));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(sink.opened, QList<QUrl> { QUrl(SearchAddress::AdultAreaAddress) });
    QCOMPARE(m_events,
        (QStringList {
            QStringLiteral("message"), QStringLiteral("open ") + SearchAddress::AdultAreaAddress }));
    // The built-in browser is not used for it.
    QCOMPARE(m_viewsMade, 0);
}

void BrowserWindowTest::webViewThatCannotBeMadeLeavesAPlaceholder()
{
    // The build's own view: offscreen there are no shared GL contexts, without
    // which the web engine would crash when loaded; the window must fall back.
    BrowserWindow form;
    form.show();
    auto *view = qobject_cast<PlaceholderView *>(form.view());
    QVERIFY(view != nullptr);
    QVERIFY(view->note().contains(QStringLiteral("navegador embutido")));
    form.findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("https://a.example/"));
    form.go();
    QCOMPARE(view->navigations(), QList<QUrl> { QUrl(QStringLiteral("https://a.example/")) });
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libQt6WebEngineCore"));
}

QTEST_MAIN(BrowserWindowTest)
#include "browser_window_test.moc"
