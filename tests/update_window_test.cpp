#include "net/TlsTrust.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/LoopbackTlsProxy.h"
#include "update/HttpDownload.h"
#include "update/TransferText.h"
#include "update/UpdateWindow.h"
#include "widgets/Dialogs.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

Q_DECLARE_METATYPE(LoopbackTlsProxy::Certificate)

using Response = LoopbackHttpServer::Response;

namespace
{

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

} // namespace

class UpdateWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowHasTheDesignedControls();
    void progressShowsSizesInTheSystemLocale();
    void progressWithoutTotalLeavesTheBarEmpty();
    void speedFallsToZeroWhenNoDataArrives();
    void downloadGoesToTheChosenFile();
    void downloadFollowsARedirectToHttps_data();
    void downloadFollowsARedirectToHttps();
    void serverProposesANameNotAPlace();
    void savingCancelledStartsNothing();
    void missingSettingsFileKeepsTheLastValues();
    void failedDownloadTellsTheUserAndLeavesNoFile_data();
    void failedDownloadTellsTheUserAndLeavesNoFile();
    void failureBeforeTheAnswerKeepsAnEarlierFile();
    void bodyWithoutLengthStopsAtTheDownloadLimit();
    void cancelDeletesOnlyTheCancelledTransfersFile();
    void cancelBeforeAnyDownloadDeletesNothing();
    void chosenFileIsReplacedOnlyByAWholeDownload_data();
    void chosenFileIsReplacedOnlyByAWholeDownload();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    void writeSettings(const QString &link, const QString &name)
    {
        writeFile(m_form->settingsFilePath(),
            "[Lumivortex]\r\nVers\xE3o=0.9.30\r\nLinkDownloadAtualizacao=" + link.toUtf8()
                + "\r\nNomeDownloadAtualizacao=" + name.toUtf8() + "\r\n");
    }
    template <typename T> T *control(const char *name) const
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    QProgressBar *bar() const { return control<QProgressBar>("Gauge1"); }
    QLabel *sizeText() const { return control<QLabel>("Label3"); }
    QLabel *speedText() const { return control<QLabel>("Label4"); }
    QTimer *speedTimer() const { return control<QTimer>("Timer1"); }
    QTimer *closeTimer() const { return control<QTimer>("Timer2"); }
    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!m_form->download()->isRunning(), 15000); }

    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<UpdateWindow> m_form;
    QStringList m_messages;
    QStringList m_proposed;
    QString m_chosen;
};

void UpdateWindowTest::init()
{
    m_server = std::make_unique<LoopbackHttpServer>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_form = std::make_unique<UpdateWindow>();
    m_form->setSettingsFilePath(path(QStringLiteral("check.ini")));
    m_messages.clear();
    m_proposed.clear();
    m_chosen = path(QStringLiteral("setup.exe"));
    setFileHandler([this](QWidget *, const FileRequest &request) {
        m_proposed.append(request.proposed);
        return m_chosen.isEmpty() ? QStringList() : QStringList { m_chosen };
    });
    setMessageHandler([this](QWidget *, const MessageRequest &request) {
        m_messages.append(request.text);
        return QMessageBox::Ok;
    });
}

void UpdateWindowTest::cleanup()
{
    setMessageHandler({});
    setFileHandler({});
    m_form.reset();
    QTRY_COMPARE_WITH_TIMEOUT(HttpDownload::runningWorkers(), 0, 15000);
    m_server.reset();
    m_dir.reset();
}

void UpdateWindowTest::windowHasTheDesignedControls()
{
    UpdateWindow &form = *m_form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Lumivortex Update"));
    QCOMPARE(form.size(), QSize(281, 154));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!form.isVisible());

    auto *gauge = form.findChild<QProgressBar *>(QStringLiteral("Gauge1"));
    QVERIFY(gauge);
    QCOMPARE(gauge->size(), QSize(265, 21));
    QCOMPARE(gauge->value(), 0);
    QCOMPARE(gauge->palette().color(QPalette::Highlight), QColor(138, 191, 255));
    QVERIFY(form.findChild<QLabel *>(QStringLiteral("Label3"))->text().isEmpty());
    QVERIFY(form.findChild<QLabel *>(QStringLiteral("Label4"))->text().isEmpty());
    QCOMPARE(form.findChild<QPushButton *>(QStringLiteral("Button1"))->text(), QStringLiteral("Download"));
    QCOMPARE(form.findChild<QPushButton *>(QStringLiteral("Button2"))->text(), QStringLiteral("Cancelar"));
    for (const char *name : { "Timer1", "Timer2" }) {
        auto *timer = form.findChild<QTimer *>(QLatin1String(name));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 2000);
        QVERIFY(!timer->isActive());
    }
    QVERIFY(form.findChild<QFileDialog *>(QStringLiteral("SaveDialog1")));
    auto *get = form.findChild<HttpDownload *>(QStringLiteral("HTTPGet1"));
    QVERIFY(get);
    QVERIFY(get->OnProgress && get->OnDoneFile && get->OnError);
    QCOMPARE(form.previousKB(), 0.0);
}

void UpdateWindowTest::progressShowsSizesInTheSystemLocale()
{
    m_form->showProgress(4 * 1024 * 1024, 1024 * 1024);
    QCOMPARE(bar()->maximum(), 4 * 1024 * 1024);
    QCOMPARE(bar()->value(), 1024 * 1024);
    QCOMPARE(sizeText()->text(), progressText(4 * 1024 * 1024, 1024 * 1024, QLocale::system()));
    // The test runs with LC_ALL=pt_BR.UTF-8.
    QCOMPARE(sizeText()->text(), QStringLiteral("Total: 4,00 MB\nRecebido: 1,00 MB (1.024,00 KB)"));
    QCOMPARE(m_form->receivedKB(), 1024.0);
}

void UpdateWindowTest::progressWithoutTotalLeavesTheBarEmpty()
{
    m_form->showProgress(0, 5 * 1024 * 1024);
    QVERIFY(bar()->maximum() > 0); // a zero maximum would make it a busy indicator
    QCOMPARE(bar()->value(), 0);
    QVERIFY(sizeText()->text().startsWith(QStringLiteral("Total: 0,00 MB\nRecebido: 5,00 MB")));
}

void UpdateWindowTest::speedFallsToZeroWhenNoDataArrives()
{
    m_form->showProgress(0, 1000 * 1024);
    m_form->showSpeed();
    QCOMPARE(speedText()->text(), QStringLiteral("Velocidade 500 KBps"));
    QCOMPARE(m_form->previousKB(), 1000.0);
    m_form->showSpeed();
    QCOMPARE(speedText()->text(), QStringLiteral("Velocidade 0 KBps"));
}

void UpdateWindowTest::downloadGoesToTheChosenFile()
{
    Response r;
    r.body = QByteArray(300 * 1024, 'u');
    m_server->setResponse(QStringLiteral("/setup.exe"), r);
    writeSettings(m_server->url(QStringLiteral("/setup.exe")), QStringLiteral("Lumivortex-0.9.30.exe"));
    m_form->show();

    m_form->startDownload();
    QCOMPARE(m_proposed, QStringList { QStringLiteral("Lumivortex-0.9.30.exe") });
    QCOMPARE(m_form->download()->URL(), m_server->url(QStringLiteral("/setup.exe")));
    QVERIFY(speedTimer()->isActive());
    waitIdle();
    QCOMPARE(m_messages, QStringList { QStringLiteral("Atualização Concluída") });
    QCOMPARE(readFile(m_chosen), r.body);
    QCOMPARE(bar()->value(), bar()->maximum());
    QVERIFY(!QFile::exists(m_form->settingsFilePath()));
    QVERIFY(!m_form->isVisible());
    QVERIFY(!speedTimer()->isActive());
    QCOMPARE(m_form->saveDialogFileName(), m_chosen);
}

void UpdateWindowTest::downloadFollowsARedirectToHttps_data()
{
    QTest::addColumn<LoopbackTlsProxy::Certificate>("certificate");
    QTest::addColumn<bool>("done");
    QTest::newRow("certificate that verifies") << LoopbackTlsProxy::Certificate::Trusted << true;
    QTest::newRow("self-signed certificate") << LoopbackTlsProxy::Certificate::SelfSigned << false;
}

void UpdateWindowTest::downloadFollowsARedirectToHttps()
{
    QFETCH(LoopbackTlsProxy::Certificate, certificate);
    QFETCH(bool, done);
    // libcurl refused every such redirect while only http was allowed for the first address.
    TlsTrust::setCaFile(LoopbackTlsProxy::testCaFile());
    LoopbackTlsProxy tls(m_server->port(), certificate);
    Response moved;
    moved.status = 301;
    moved.location = tls.url(QStringLiteral("/setup.exe")).toLatin1();
    m_server->setResponse(QStringLiteral("/moved.exe"), moved);
    Response r;
    r.body = QByteArray(300 * 1024, 's');
    m_server->setResponse(QStringLiteral("/setup.exe"), r);
    writeSettings(m_server->url(QStringLiteral("/moved.exe")), QStringLiteral("setup.exe"));
    m_form->show();
    m_form->startDownload();
    waitIdle();
    TlsTrust::setCaFile(QString());
    QCOMPARE(m_messages,
        QStringList { done ? QStringLiteral("Atualização Concluída")
                           : QStringLiteral("Não foi possível baixar a atualização. Verifique sua conexão e "
                                            "tente novamente.") });
    QCOMPARE(QFile::exists(m_chosen), done);
    if (done)
        QCOMPARE(readFile(m_chosen), r.body);
    QCOMPARE(m_server->requests().size(), done ? 2 : 1);
}

void UpdateWindowTest::serverProposesANameNotAPlace()
{
    writeSettings(
        m_server->url(QStringLiteral("/x")), QStringLiteral("../../.config/autostart/Lumivortex.exe"));
    m_chosen.clear();
    m_form->startDownload();
    QCOMPARE(m_proposed, QStringList { QStringLiteral("Lumivortex.exe") });
}

void UpdateWindowTest::savingCancelledStartsNothing()
{
    writeSettings(m_server->url(QStringLiteral("/x")), QStringLiteral("a.exe"));
    m_chosen.clear();
    m_form->startDownload();
    QVERIFY(!m_form->download()->isRunning());
    QVERIFY(!speedTimer()->isActive());
    QCOMPARE(m_server->connectionCount(), 0);
}

void UpdateWindowTest::missingSettingsFileKeepsTheLastValues()
{
    writeSettings(QStringLiteral("http://lumivortex.example/a.exe"), QStringLiteral("a.exe"));
    m_chosen.clear();
    m_form->startDownload();
    QFile::remove(m_form->settingsFilePath());
    m_form->startDownload();
    QCOMPARE(m_form->download()->URL(), QStringLiteral("http://lumivortex.example/a.exe"));
    QCOMPARE(m_proposed, (QStringList { QStringLiteral("a.exe"), QStringLiteral("a.exe") }));
}

void UpdateWindowTest::failedDownloadTellsTheUserAndLeavesNoFile_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("length");
    QTest::newRow("not found") << 404 << int(Response::Length::Correct);
    QTest::newRow("server error") << 500 << int(Response::Length::Correct);
    QTest::newRow("connection ends early") << 200 << int(Response::Length::Long);
    QTest::newRow("no length") << 200 << int(Response::Length::Missing);
}

void UpdateWindowTest::failedDownloadTellsTheUserAndLeavesNoFile()
{
    QFETCH(int, status);
    QFETCH(int, length);
    Response r;
    r.status = status;
    r.length = Response::Length(length);
    r.body = QByteArray(100 * 1024, 'p');
    m_server->setResponse(QStringLiteral("/setup.exe"), r);
    writeSettings(m_server->url(QStringLiteral("/setup.exe")), QStringLiteral("setup.exe"));
    m_form->show();

    m_form->startDownload();
    waitIdle();
    QCOMPARE(m_messages,
        QStringList { QStringLiteral(
            "Não foi possível baixar a atualização. Verifique sua conexão e tente novamente.") });
    QVERIFY(!QFile::exists(m_chosen));
    QVERIFY(m_form->isVisible());
    QVERIFY(QFile::exists(m_form->settingsFilePath()));
    QVERIFY(!speedTimer()->isActive());
}

void UpdateWindowTest::bodyWithoutLengthStopsAtTheDownloadLimit()
{
    // Before the limit an endless body filled the disk; nothing announced its size.
    Response r;
    r.endless = true;
    r.body = QByteArray(64 * 1024, 'u');
    m_server->setResponse(QStringLiteral("/setup.exe"), r);
    writeSettings(m_server->url(QStringLiteral("/setup.exe")), QStringLiteral("setup.exe"));
    m_form->show();
    m_form->startDownload();
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->download()->isRunning(), 120000);
    QCOMPARE(m_messages,
        QStringList { QStringLiteral(
            "Não foi possível baixar a atualização. Verifique sua conexão e tente novamente.") });
    QCOMPARE(m_form->receivedKB(), 256.0 * 1024);
    QVERIFY(!QFile::exists(m_chosen));
}

void UpdateWindowTest::failureBeforeTheAnswerKeepsAnEarlierFile()
{
    writeFile(m_chosen, "earlier");
    writeSettings(QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(LoopbackHttpServer::unusedPort()),
        QStringLiteral("setup.exe"));
    m_form->startDownload();
    waitIdle();
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(readFile(m_chosen), QByteArray("earlier"));
}

void UpdateWindowTest::cancelDeletesOnlyTheCancelledTransfersFile()
{
    Response drip;
    drip.body = QByteArray(4000, 'd');
    drip.chunkBytes = 100;
    drip.chunkDelayMs = 50;
    m_server->setResponse(QStringLiteral("/setup.exe"), drip);
    writeSettings(m_server->url(QStringLiteral("/setup.exe")), QStringLiteral("setup.exe"));
    m_form->show();

    const QString first = m_chosen;
    m_form->startDownload();
    QTRY_VERIFY(m_form->receivedKB() > 0);
    const QString partial = m_form->download()->runningFileName();
    QVERIFY(QFileInfo(partial).size() > 0);
    // "Download" again during the transfer only names another file: the user's own.
    const QString named = path(QStringLiteral("my-document.txt"));
    writeFile(named, "keep me");
    m_chosen = named;
    m_form->startDownload();
    QCOMPARE(m_form->download()->runningFileName(), partial);
    QCOMPARE(m_form->saveDialogFileName(), named);

    m_form->cancel();
    QVERIFY(closeTimer()->isActive());
    waitIdle();
    QVERIFY(!QFile::exists(first));
    QVERIFY(!QFile::exists(partial));
    QCOMPARE(readFile(named), QByteArray("keep me"));
    QVERIFY(m_messages.isEmpty()); // the user's own cancel needs no message
    QVERIFY(m_form->isVisible());
    m_form->closeAfterCancel();
    QVERIFY(!m_form->isVisible());
    QVERIFY(!closeTimer()->isActive());
    QCOMPARE(readFile(named), QByteArray("keep me"));
}

void UpdateWindowTest::cancelBeforeAnyDownloadDeletesNothing()
{
    writeFile(m_chosen, "not ours");
    m_form->download()->setFileName(m_chosen);
    m_form->show();
    m_form->cancel();
    QVERIFY(closeTimer()->isActive());
    m_form->closeAfterCancel();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(readFile(m_chosen), QByteArray("not ours"));
    QVERIFY(m_messages.isEmpty());
}

void UpdateWindowTest::chosenFileIsReplacedOnlyByAWholeDownload_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QByteArray>("left");
    const QByteArray update(64 * 1024, 'n');
    QTest::newRow("finished") << 200 << int(Response::Length::Correct) << false << update;
    QTest::newRow("not found") << 404 << int(Response::Length::Correct) << false << QByteArray("previous");
    QTest::newRow("cut short") << 200 << int(Response::Length::Long) << false << QByteArray("previous");
    QTest::newRow("cancelled") << 200 << int(Response::Length::Correct) << true << QByteArray("previous");
}

void UpdateWindowTest::chosenFileIsReplacedOnlyByAWholeDownload()
{
    QFETCH(int, status);
    QFETCH(int, length);
    QFETCH(bool, cancel);
    QFETCH(QByteArray, left);
    Response r;
    r.status = status;
    r.length = Response::Length(length);
    r.body = QByteArray(64 * 1024, 'n');
    if (cancel) {
        r.chunkBytes = 1024;
        r.chunkDelayMs = 50;
    }
    m_server->setResponse(QStringLiteral("/setup.exe"), r);
    writeSettings(m_server->url(QStringLiteral("/setup.exe")), QStringLiteral("setup.exe"));
    writeFile(m_chosen, "previous");
    QFile::setPermissions(
        m_chosen, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);

    m_form->startDownload();
    if (cancel) {
        QTRY_VERIFY(m_form->receivedKB() > 0);
        QCOMPARE(readFile(m_chosen), QByteArray("previous"));
        m_form->cancel();
    }
    waitIdle();
    QCOMPARE(readFile(m_chosen), left);
    const QFileDevice::Permissions modeBits(0x7077);
    QCOMPARE(QFileInfo(m_chosen).permissions() & modeBits,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    // Nothing of the transfer is left beside it.
    QStringList files = QDir(m_dir->path()).entryList(QDir::Files);
    files.removeAll(QStringLiteral("check.ini"));
    QCOMPARE(files, QStringList { QStringLiteral("setup.exe") });
}

QTEST_MAIN(UpdateWindowTest)
#include "update_window_test.moc"
