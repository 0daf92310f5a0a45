#include "about/AboutDialog.h"
#include "about/FaqDialog.h"
#include "playlist/PlaylistWindow.h"
#include "tests/support/FakePlaylistPlayback.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>

// Receives what QDesktopServices::openUrl hands to the system.
class UrlSink : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class AboutWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void versionTextShowsTheProgramVersion();
    void eachLinkOpensItsAddressOutside_data();
    void eachLinkOpensItsAddressOutside();
    void linkAddressesAreReservedExamples();
    void okClosesTheModalAboutWindow();
    void faqButtonShowsTheFaqWindow();
    void faqButtonWithoutFaqWindowDoesNothing();
    void faqAnswersWhatUsersAsk_data();
    void faqAnswersWhatUsersAsk();
    void faqShowsWhereThisUsersPlaylistIsKept();
    void faqNamesOnlyPlaylistButtonsThatExist();
    void faqIsReadOnly();
    void faqOkClosesIt();
    void windowsKeepTheirSize();

private:
    UrlSink m_sink;
};

void AboutWindowTest::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("LumivortexTeste"));
    QCoreApplication::setApplicationName(QStringLiteral("about_window"));
    for (const QString &scheme :
        { QStringLiteral("https"), QStringLiteral("http"), QStringLiteral("mailto") })
        QDesktopServices::setUrlHandler(scheme, &m_sink, "open");
}

void AboutWindowTest::cleanupTestCase()
{
    for (const QString &scheme :
        { QStringLiteral("https"), QStringLiteral("http"), QStringLiteral("mailto") })
        QDesktopServices::unsetUrlHandler(scheme);
}

void AboutWindowTest::versionTextShowsTheProgramVersion()
{
    AboutDialog about;
    auto *label = about.findChild<QLabel *>(QStringLiteral("Label2"));
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), QStringLiteral("Versão 0.9.29"));
    about.setVersion(QStringLiteral("1.2.3"));
    QCOMPARE(label->text(), QStringLiteral("Versão 1.2.3"));
}

void AboutWindowTest::eachLinkOpensItsAddressOutside_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QUrl>("address");
    QTest::newRow("web page") << QStringLiteral("Label3") << QUrl(AboutLinks::WebPage);
    QTest::newRow("mail") << QStringLiteral("Label4")
                          << QUrl(QStringLiteral("mailto:") + AboutLinks::MailAddress);
    QTest::newRow("community") << QStringLiteral("Label5") << QUrl(AboutLinks::CommunityPage);
}

void AboutWindowTest::eachLinkOpensItsAddressOutside()
{
    QFETCH(QString, label);
    QFETCH(QUrl, address);
    m_sink.opened.clear();
    AboutDialog about;
    about.show();
    auto *link = about.findChild<QLabel *>(label);
    QVERIFY(link != nullptr);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_sink.opened, QList<QUrl> { address });
    // A right click is no click on a link.
    QTest::mouseClick(link, Qt::RightButton);
    QCOMPARE(m_sink.opened.size(), 1);
}

void AboutWindowTest::linkAddressesAreReservedExamples()
{
    for (const QString &page : { AboutLinks::WebPage, AboutLinks::CommunityPage }) {
        const QUrl url(page, QUrl::StrictMode);
        QVERIFY(url.isValid());
        QVERIFY2(url.host().endsWith(QStringLiteral(".example")), qPrintable(page));
    }
    QVERIFY(AboutLinks::MailAddress.endsWith(QStringLiteral(".example")));
}

void AboutWindowTest::okClosesTheModalAboutWindow()
{
    AboutDialog about;
    about.open();
    QVERIFY(about.isVisible());
    QVERIFY(about.isModal());
    auto *ok = about.findChild<QPushButton *>(QStringLiteral("Button1"));
    QVERIFY(ok != nullptr);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(about.result(), int(QDialog::Accepted));
}

void AboutWindowTest::faqButtonShowsTheFaqWindow()
{
    FaqDialog faq;
    AboutDialog about;
    about.setFaqWindow(&faq);
    about.open();
    auto *button = about.findChild<QPushButton *>(QStringLiteral("Button2"));
    QVERIFY(button != nullptr);
    QCOMPARE(button->text(), QStringLiteral("F.A.Q."));
    QVERIFY(!faq.isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(faq.isVisible());
    // Shown above the modal About window, the F.A.Q. must not be blocked by it.
    QCOMPARE(faq.windowModality(), Qt::ApplicationModal);
    QVERIFY(about.isVisible());
}

void AboutWindowTest::faqButtonWithoutFaqWindowDoesNothing()
{
    AboutDialog about;
    about.open();
    QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("Button2")), Qt::LeftButton);
    QVERIFY(about.isVisible());
}

void AboutWindowTest::faqAnswersWhatUsersAsk_data()
{
    QTest::addColumn<QString>("expected");
    QTest::newRow("reconnection") << QStringLiteral("sistema Tenacor®");
    QTest::newRow("reconnection interval") << QStringLiteral("1,2 segundo");
    QTest::newRow("congested everywhere")
        << QStringLiteral("Todos os canais mostram \"Canal Congestionado!\"");
    QTest::newRow("game port") << QStringLiteral("porta TCP 23");
    QTest::newRow("game port without privileges") << QStringLiteral("porta TCP 2323");
    QTest::newRow("channel lists") << QStringLiteral("Em \"Listas de canais\" (no menu do botão \"V\"");
    QTest::newRow("channel without address") << QStringLiteral("termina em \"sem endereço\"");
    QTest::newRow("playlist starts empty") << QStringLiteral("A lista na tela começa vazia");
    QTest::newRow("game roles") << QStringLiteral("\"Sou Servidor.\"");
    QTest::newRow("own channel list") << QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
            + QStringLiteral("/channels.m3u");
}

void AboutWindowTest::faqAnswersWhatUsersAsk()
{
    QFETCH(QString, expected);
    FaqDialog faq;
    auto *text = faq.findChild<QTextBrowser *>(QStringLiteral("RichEdit1"));
    QVERIFY(text != nullptr);
    QVERIFY2(text->toPlainText().contains(expected), qPrintable(expected));
}

void AboutWindowTest::faqShowsWhereThisUsersPlaylistIsKept()
{
    FaqDialog faq;
    faq.show();
    const QString store
        = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Default.lpl");
    QVERIFY(store.contains(QStringLiteral("LumivortexTeste/about_window")));
    const QString plain = faq.findChild<QTextBrowser *>(QStringLiteral("RichEdit1"))->toPlainText();
    QVERIFY2(plain.contains(store), qPrintable(plain));
}

void AboutWindowTest::faqNamesOnlyPlaylistButtonsThatExist()
{
    FaqDialog faq;
    const QString plain = faq.findChild<QTextBrowser *>(QStringLiteral("RichEdit1"))->toPlainText();
    const qsizetype from = plain.indexOf(QStringLiteral("Onde fica a minha playlist?"));
    const qsizetype to = plain.indexOf(QStringLiteral("Como funciona o Jogo da Vovó?"));
    QVERIFY(from >= 0 && to > from);
    const QString answer = plain.mid(from, to - from);
    FakePlaylistPlayback playback;
    PlaylistWindow playlist(playback, &playback.main);
    QStringList captions;
    for (const QAbstractButton *button : playlist.findChildren<QAbstractButton *>())
        captions << button->text();
    QStringList named;
    auto quoted = QRegularExpression(QStringLiteral("\"([^\"]+)\"")).globalMatch(answer);
    while (quoted.hasNext())
        named << quoted.next().captured(1);
    QVERIFY2(!named.isEmpty(), qPrintable(answer));
    for (const QString &caption : named)
        QVERIFY2(captions.contains(caption), qPrintable(caption));
}

void AboutWindowTest::faqIsReadOnly()
{
    FaqDialog faq;
    auto *text = faq.findChild<QTextBrowser *>(QStringLiteral("RichEdit1"));
    const QString before = text->toPlainText();
    faq.show();
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("xyz"));
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->toPlainText(), before);
}

void AboutWindowTest::faqOkClosesIt()
{
    FaqDialog faq;
    faq.show();
    QTest::mouseClick(faq.findChild<QPushButton *>(QStringLiteral("Button1")), Qt::LeftButton);
    QVERIFY(!faq.isVisible());
}

void AboutWindowTest::windowsKeepTheirSize()
{
    AboutDialog about;
    FaqDialog faq;
    for (QWidget *window : { static_cast<QWidget *>(&about), static_cast<QWidget *>(&faq) }) {
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(window->width() <= 480);
    }
}

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
