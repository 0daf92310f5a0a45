// The browser window in a process of its own: the player's commands reach the
// window, the process starts on the first request, ends with the player and
// is started again after a crash.
#include "browser/BrowserCommands.h"
#include "browser/BrowserProcess.h"
#include "browser/BrowserWindow.h"
#include "browser/PlaceholderView.h"
#include "browser/SearchAddress.h"
#include "widgets/ButtonColour.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class BrowserProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void playerCommandsDriveTheWindow();
    void unknownLineChangesNothing();
    void endOfInputEndsTheBrowserProcess();
    void processStartsOnFirstRequestAndGetsEveryCommand();
    void crashedBrowserIsStartedAgainOnTheNextRequest();

private:
    QList<QJsonObject> linesWritten() const;
    QColor modeColour(const char *name) const
    {
        return ButtonColour::of(m_form->findChild<QLabel *>(QLatin1String(name)));
    }

    BrowserWindow *m_form = nullptr;
    QTemporaryDir m_dir;
};

void BrowserProcessTest::init()
{
    m_form = new BrowserWindow;
    m_form->setViewFactory([](QWidget *parent) -> BrowserView * { return new PlaceholderView(parent); });
}

void BrowserProcessTest::cleanup()
{
    delete m_form;
    m_form = nullptr;
}

QList<QJsonObject> BrowserProcessTest::linesWritten() const
{
    QFile file(m_dir.filePath(QStringLiteral("commands")));
    QList<QJsonObject> lines;
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray &line : file.readAll().split('\n'))
            if (!line.isEmpty())
                lines.append(QJsonDocument::fromJson(line).object());
    return lines;
}

void BrowserProcessTest::playerCommandsDriveTheWindow()
{
    const QPoint centre(400, 300);
    QVERIFY(BrowserCommands::apply(*m_form, BrowserCommands::showCentredAt(centre)));
    QVERIFY(m_form->isVisible());
    QVERIFY((m_form->geometry().center() - centre).manhattanLength() <= 2);

    QVERIFY(BrowserCommands::apply(*m_form, BrowserCommands::selectVideosMode()));
    QCOMPARE(modeColour("Label3"), QColor(0, 0, 255));
    QVERIFY(BrowserCommands::apply(*m_form, BrowserCommands::selectLyricsMode()));
    QCOMPARE(modeColour("Label4"), QColor(0, 0, 255));
    QCOMPARE(modeColour("Label3"), QColor(0, 0, 0));

    m_form->move(10, 10);
    const QRect placed = m_form->geometry();
    QVERIFY(BrowserCommands::apply(
        *m_form, BrowserCommands::searchLyricsFor(QStringLiteral("Tom & Jerry.mp3"), centre)));
    // Already open: it stays where it is and searches.
    QCOMPARE(m_form->geometry(), placed);
    auto *view = qobject_cast<PlaceholderView *>(m_form->view());
    QCOMPARE(view->navigations().size(), 1);
    QCOMPARE(
        view->navigations().constFirst(), SearchAddress::lyricsSearch(QStringLiteral("Tom & Jerry.mp3")));
}

void BrowserProcessTest::unknownLineChangesNothing()
{
    QVERIFY(!BrowserCommands::apply(*m_form, "{\"command\":\"format\"}"));
    QVERIFY(!BrowserCommands::apply(*m_form, "not json"));
    QVERIFY(!m_form->isVisible());
}

void BrowserProcessTest::endOfInputEndsTheBrowserProcess()
{
    int pipeEnds[2];
    QCOMPARE(::pipe(pipeEnds), 0);
    BrowserCommandReader reader(pipeEnds[0], *m_form);
    QSignalSpy closed(&reader, &BrowserCommandReader::inputClosed);
    const QByteArray command = BrowserCommands::selectVideosMode();
    // Two commands in one write, the second split over two.
    QCOMPARE(::write(pipeEnds[1], command.constData(), command.size()), command.size());
    QCOMPARE(::write(pipeEnds[1], "{\"command\":", 11), 11);
    QTest::qWait(50);
    QCOMPARE(modeColour("Label3"), QColor(0, 0, 255));
    QCOMPARE(::write(pipeEnds[1], "\"lyrics\"}\n", 10), 10);
    ::close(pipeEnds[1]);
    QVERIFY(closed.wait(5000));
    QCOMPARE(modeColour("Label4"), QColor(0, 0, 255));
    ::close(pipeEnds[0]);
}

void BrowserProcessTest::processStartsOnFirstRequestAndGetsEveryCommand()
{
    // Stands for the browser process: keeps what it is told and ends with its input.
    BrowserProcess browser(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"),
            QStringLiteral("cat > '%1'").arg(m_dir.filePath(QStringLiteral("commands"))) });
    QVERIFY(!browser.isRunning());
    QWidget main;
    main.setGeometry(200, 150, 600, 400);
    browser.showCentredOn(&main);
    QVERIFY(browser.isRunning());
    browser.selectLyricsMode();
    browser.searchLyricsFor(QStringLiteral("Banda_X.mp3"));

    QSignalSpy ended(&browser, &BrowserProcess::ended);
    browser.end();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!browser.isRunning());
    const QList<QJsonObject> lines = linesWritten();
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0].value(QStringLiteral("command")).toString(), QStringLiteral("show"));
    QCOMPARE(lines[0].value(QStringLiteral("x")).toInt(), main.geometry().center().x());
    QCOMPARE(lines[0].value(QStringLiteral("y")).toInt(), main.geometry().center().y());
    QCOMPARE(lines[1].value(QStringLiteral("command")).toString(), QStringLiteral("lyrics"));
    QCOMPARE(lines[2].value(QStringLiteral("text")).toString(), QStringLiteral("Banda_X.mp3"));
}

void BrowserProcessTest::crashedBrowserIsStartedAgainOnTheNextRequest()
{
    const QString starts = m_dir.filePath(QStringLiteral("starts"));
    BrowserProcess browser(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"), QStringLiteral("echo started >> '%1'; kill -SEGV $$").arg(starts) });
    QSignalSpy ended(&browser, &BrowserProcess::ended);
    browser.showCentredOn(nullptr);
    QVERIFY(ended.wait(5000));
    QVERIFY(!browser.isRunning());
    browser.showCentredOn(nullptr);
    QVERIFY(ended.wait(5000));
    QFile file(starts);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("started"), 2);
}

QTEST_MAIN(BrowserProcessTest)
#include "browser_process_test.moc"
