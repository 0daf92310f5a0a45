#include "tests/support/LoopbackHttpServer.h"
#include "update/HttpDownload.h"
#include "update/UpdateChecker.h"
#include "update/UpdateSettings.h"
#include "update/UpdateWindow.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using Response = LoopbackHttpServer::Response;

namespace
{
const QString kVersion = QStringLiteral("0.9.29");

QByteArray settingsFile(const QByteArray &version, const QByteArray &notes = "Novos canais")
{
    return "[Lumivortex]\r\nVers\xE3o=" + version + "\r\nCorre\xE7\xF5" + "es=" + notes
        + "\r\nLinkDownloadAtualizacao=http://lumivortex.example/setup.exe\r\n";
}

} // namespace

class UpdateCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void timerAndComponentAreFoundFromTheMainWindow();
    void questionIsComposedVerbatim();
    void versionDecidesWhetherToAsk_data();
    void versionDecidesWhetherToAsk();
    void okShowsTheUpdateWindow();
    void cancelDeletesTheSettingsFileAndIsNotAskedAgain();
    void nothingIsAskedBeforeAnyVersionWasRead();
    void laterFileWithoutTheKeyKeepsTheVersion();
    void tickDuringAFetchLeavesItAlone();
    void failedFetchPassesUnnoticed();
    void oversizedSettingsFileIsRefused();
    void defaultQuestionIsAnInformationBox();
    void checkingEndsWithTheFirstAnswer_data();
    void checkingEndsWithTheFirstAnswer();
    void unreachableServerIsAskedLessAndLessOften();
    void emptyAddressChecksNothing();

private:
    void serve(const QByteArray &body)
    {
        Response r;
        r.body = body;
        m_server->setResponse(QStringLiteral("/lumivortex/check.ini"), r);
    }
    // One tick of the check timer and the fetch it starts, to its end.
    void tick()
    {
        m_checker->fetchSettings();
        QTRY_VERIFY_WITH_TIMEOUT(!m_checker->settingsFetch()->isRunning(), 15000);
    }

    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_mainWindow;
    std::unique_ptr<UpdateWindow> m_updateWindow;
    UpdateChecker *m_checker = nullptr;
    QStringList m_questions;
    bool m_answer = true;
};

void UpdateCheckTest::init()
{
    m_server = std::make_unique<LoopbackHttpServer>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_questions.clear();
    m_answer = true;
    m_mainWindow = std::make_unique<QWidget>();
    m_updateWindow = std::make_unique<UpdateWindow>();
    setMessageHandler([this](QWidget *, const MessageRequest &request) {
        m_questions.append(request.text);
        return m_answer ? QMessageBox::Ok : QMessageBox::Cancel;
    });
    m_checker = new UpdateChecker(kVersion, m_server->url(QStringLiteral("/lumivortex/check.ini")),
        m_updateWindow.get(), m_mainWindow.get());
    m_checker->setSettingsFilePath(m_dir->filePath(QStringLiteral("check.ini")));
    // Ticks are driven by hand.
    m_checker->checkTimer()->stop();
}

void UpdateCheckTest::cleanup()
{
    setMessageHandler({});
    m_mainWindow.reset();
    m_updateWindow.reset();
    QTRY_COMPARE_WITH_TIMEOUT(HttpDownload::runningWorkers(), 0, 15000);
    m_server.reset();
    m_dir.reset();
}

void UpdateCheckTest::timerAndComponentAreFoundFromTheMainWindow()
{
    QWidget mainWindow;
    UpdateChecker checker(
        kVersion, m_server->url(QStringLiteral("/lumivortex/check.ini")), nullptr, &mainWindow);
    auto *timer = mainWindow.findChild<QTimer *>(QStringLiteral("TimerUpdateCheck"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 3000);
    QVERIFY(timer->isActive());
    auto *get = mainWindow.findChild<HttpDownload *>(QStringLiteral("HTTPGet_CheckINI"));
    QVERIFY(get);
    QCOMPARE(get->MaxBytes(), qint64(64 * 1024));
    QVERIFY(get->OnDoneFile);
    QCOMPARE(QFileInfo(checker.settingsFilePath()).fileName(), QStringLiteral("check.ini"));
    checker.setParent(nullptr);
}

void UpdateCheckTest::questionIsComposedVerbatim()
{
    QCOMPARE(UpdateChecker::questionText(
                 QStringLiteral("0.9.29"), QStringLiteral("0.9.30"), QStringLiteral("Mais canais")),
        QStringLiteral("Uma nova versão do Lumivortex já está disponivel, deseja atualizar?\n\n"
                       "Sua Versão é: 0.9.29\n"
                       "A nova versão é: 0.9.30\n\n"
                       "Atualizações da nova versão: \n\n"
                       "Mais canais"));
}

void UpdateCheckTest::versionDecidesWhetherToAsk_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("asked");
    QTest::newRow("same version") << QByteArray("0.9.29") << false;
    QTest::newRow("newer") << QByteArray("0.9.30") << true;
    QTest::newRow("older text counts too") << QByteArray("0.9.28") << true;
    QTest::newRow("any difference") << QByteArray("0.9.29b") << true;
}

void UpdateCheckTest::versionDecidesWhetherToAsk()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, asked);
    serve(settingsFile(version));
    tick();
    QCOMPARE(m_checker->newVersion(), QString::fromLatin1(version));
    QCOMPARE(m_checker->updateNotes(), QStringLiteral("Novos canais"));
    QCOMPARE(m_questions.size(), asked ? 1 : 0);
    QCOMPARE(m_checker->updatePrompted(), asked);
    if (asked)
        QCOMPARE(m_questions.constFirst(),
            UpdateChecker::questionText(
                QStringLiteral("0.9.29"), QString::fromLatin1(version), QStringLiteral("Novos canais")));
    QVERIFY(m_server->requests().constFirst().startsWith("GET /lumivortex/check.ini HTTP/1.0"));
}

void UpdateCheckTest::okShowsTheUpdateWindow()
{
    serve(settingsFile("0.9.30"));
    tick();
    QCOMPARE(m_questions.size(), 1);
    QVERIFY(m_updateWindow->isVisible());
    QVERIFY(QFile::exists(m_checker->settingsFilePath()));
}

void UpdateCheckTest::cancelDeletesTheSettingsFileAndIsNotAskedAgain()
{
    m_answer = false;
    serve(settingsFile("0.9.30"));
    tick();
    QCOMPARE(m_questions.size(), 1);
    QVERIFY(!m_updateWindow->isVisible());
    QVERIFY(!QFile::exists(m_checker->settingsFilePath()));
    tick();
    tick();
    QCOMPARE(m_server->requests().size(), 3);
    QCOMPARE(m_questions.size(), 1);
    QVERIFY(QFile::exists(m_checker->settingsFilePath()));
}

void UpdateCheckTest::nothingIsAskedBeforeAnyVersionWasRead()
{
    serve(QByteArray());
    tick();
    serve("[Lumivortex]\r\nLinkDownloadAtualizacao=http://lumivortex.example/x\r\n");
    tick();
    QCOMPARE(m_server->requests().size(), 2);
    QVERIFY(m_checker->newVersion().isEmpty());
    QVERIFY(m_questions.isEmpty());
    QVERIFY(!m_checker->updatePrompted());
    // Once a version is known the question comes.
    serve(settingsFile("0.9.30"));
    tick();
    QCOMPARE(m_questions.size(), 1);
}

void UpdateCheckTest::laterFileWithoutTheKeyKeepsTheVersion()
{
    serve(settingsFile("0.9.29", "Notas"));
    tick();
    serve("[Lumivortex]\r\n");
    tick();
    QCOMPARE(m_checker->newVersion(), QStringLiteral("0.9.29"));
    QCOMPARE(m_checker->updateNotes(), QStringLiteral("Notas"));
    QVERIFY(m_questions.isEmpty());
}

void UpdateCheckTest::tickDuringAFetchLeavesItAlone()
{
    Response slow;
    slow.body = settingsFile("0.9.30");
    slow.chunkBytes = 20;
    slow.chunkDelayMs = 30;
    m_server->setResponse(QStringLiteral("/lumivortex/check.ini"), slow);
    m_checker->fetchSettings();
    QTRY_VERIFY(QFileInfo(m_checker->settingsFilePath()).size() > 0);
    m_checker->fetchSettings();
    QVERIFY(QFile::exists(m_checker->settingsFilePath()));
    QTRY_VERIFY_WITH_TIMEOUT(!m_checker->settingsFetch()->isRunning(), 15000);
    QCOMPARE(m_server->connectionCount(), 1);
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(m_checker->newVersion(), QStringLiteral("0.9.30"));
}

void UpdateCheckTest::failedFetchPassesUnnoticed()
{
    Response error;
    error.status = 500;
    error.body = settingsFile("0.9.30");
    m_server->setResponse(QStringLiteral("/lumivortex/check.ini"), error);
    tick();
    QVERIFY(m_questions.isEmpty());
    QVERIFY(m_checker->newVersion().isEmpty());
    QVERIFY(!m_updateWindow->isVisible());
}

void UpdateCheckTest::oversizedSettingsFileIsRefused()
{
    Response endless;
    endless.endless = true;
    endless.body = settingsFile("0.9.30");
    m_server->setResponse(QStringLiteral("/lumivortex/check.ini"), endless);
    tick();
    QVERIFY(m_questions.isEmpty());
    QVERIFY(QFileInfo(m_checker->settingsFilePath()).size() <= 64 * 1024);
}

void UpdateCheckTest::defaultQuestionIsAnInformationBox()
{
    QList<MessageRequest> requests;
    setMessageHandler([&](QWidget *, const MessageRequest &request) {
        requests.append(request);
        return QMessageBox::Cancel;
    });
    QWidget mainWindow;
    UpdateChecker checker(
        kVersion, m_server->url(QStringLiteral("/lumivortex/check.ini")), m_updateWindow.get(), &mainWindow);
    checker.checkTimer()->stop();
    checker.setSettingsFilePath(m_dir->filePath(QStringLiteral("other.ini")));
    serve(settingsFile("0.9.30"));
    checker.fetchSettings();
    QTRY_VERIFY_WITH_TIMEOUT(!checker.settingsFetch()->isRunning(), 15000);
    setMessageHandler({});
    checker.setParent(nullptr);

    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.constFirst().caption, QStringLiteral("Information"));
    QCOMPARE(requests.constFirst().icon, QMessageBox::Information);
    QCOMPARE(requests.constFirst().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(requests.constFirst().escapeButton, QMessageBox::Cancel);
    QVERIFY(!m_updateWindow->isVisible());
    QVERIFY(!QFile::exists(checker.settingsFilePath()));
}

void UpdateCheckTest::checkingEndsWithTheFirstAnswer_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::newRow("no newer version") << QByteArray("0.9.29");
    QTest::newRow("question asked") << QByteArray("0.9.30");
}

void UpdateCheckTest::checkingEndsWithTheFirstAnswer()
{
    QFETCH(QByteArray, version);
    m_checker->checkTimer()->start();
    // Until the server answers, every 3 s.
    Response unavailable;
    unavailable.status = 503;
    m_server->setResponse(QStringLiteral("/lumivortex/check.ini"), unavailable);
    tick();
    QVERIFY(m_checker->checkTimer()->isActive());
    serve(settingsFile(version));
    tick();
    QVERIFY(!m_checker->checkTimer()->isActive());
    QCOMPARE(m_server->requests().size(), 2);
}

void UpdateCheckTest::unreachableServerIsAskedLessAndLessOften()
{
    UpdateChecker checker(kVersion,
        QStringLiteral("http://127.0.0.1:%1/lumivortex/check.ini").arg(LoopbackHttpServer::unusedPort()),
        nullptr, m_mainWindow.get());
    checker.setSettingsFilePath(m_dir->filePath(QStringLiteral("unreachable.ini")));
    QTimer *timer = checker.checkTimer();
    QCOMPARE(timer->interval(), 3000);
    QList<int> intervals;
    for (int i = 0; i < 12; ++i) {
        checker.fetchSettings();
        QTRY_VERIFY_WITH_TIMEOUT(!checker.settingsFetch()->isRunning(), 15000);
        intervals << timer->interval() / 1000;
    }
    QCOMPARE(intervals, (QList<int> { 6, 12, 24, 48, 96, 192, 384, 768, 1536, 1800, 1800, 1800 }));
    QVERIFY(timer->isActive());
    checker.setParent(nullptr);
}

void UpdateCheckTest::emptyAddressChecksNothing()
{
    UpdateChecker checker(kVersion, QString(), m_updateWindow.get(), m_mainWindow.get());
    QVERIFY(!checker.checkTimer()->isActive());
    checker.fetchSettings();
    QVERIFY(!checker.settingsFetch()->isRunning());
    checker.setParent(nullptr);
}

QTEST_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
