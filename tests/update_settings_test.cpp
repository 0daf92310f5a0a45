#include "update/HttpDownload.h"
#include "update/TransferText.h"
#include "update/UpdateSettings.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class UpdateSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void keysAreFoundInEitherEncoding_data();
    void keysAreFoundInEitherEncoding();
    void settingsFileGivesItsFourValues();
    void missingFileGivesNoValues();
    void settingsFileLivesInTheCacheFolder();
    void configuredServerAddressIsAnHttpCheckIni();
    void amountsUseTheLocalesSeparators_data();
    void amountsUseTheLocalesSeparators();
    void progressTextWithoutTotal();
    void speedRoundsHalvesToEven_data();
    void speedRoundsHalvesToEven();
};

void UpdateSettingsTest::keysAreFoundInEitherEncoding_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    const QString versao = QStringLiteral("Versão");
    QTest::newRow("windows-1252 key")
        << QByteArray("[Lumivortex]\r\nVers\xE3o=0.9.30\r\n") << versao << true << "0.9.30";
    QTest::newRow("utf-8 key") << QByteArray("[Lumivortex]\nVers\xC3\xA3o=0.9.31\n") << versao << true
                               << "0.9.31";
    QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF[Lumivortex]\nVers\xC3\xA3o=1.0\n") << versao
                                    << true << "1.0";
    QTest::newRow("windows-1252 value")
        << QByteArray("[Lumivortex]\nCorre\xE7\xF5\x65s=Corre\xE7\xE3o de \x93\x62ugs\x94\n")
        << QStringLiteral("Correções") << true << QStringLiteral("Correção de “bugs”");
    QTest::newRow("names without regard to case")
        << QByteArray("[LUMIVORTEX]\nVERS\xC3O=2\n") << versao << true << "2";
    QTest::newRow("blanks and quotes dropped")
        << QByteArray("[ Lumivortex ]\n  Vers\xE3o  =  \"0.9.30 beta\"  \n") << versao << true
        << "0.9.30 beta";
    QTest::newRow("first match wins")
        << QByteArray("[Lumivortex]\nVers\xE3o=1\nVers\xE3o=2\n") << versao << true << "1";
    QTest::newRow("empty value is a value")
        << QByteArray("[Lumivortex]\nVers\xE3o=\n") << versao << true << "";
    QTest::newRow("other section") << QByteArray("[Outro]\nVers\xE3o=9\n[Lumivortex]\nX=1\n") << versao
                                   << false << "";
    QTest::newRow("key before any section")
        << QByteArray("Vers\xE3o=9\n[Lumivortex]\n") << versao << false << "";
    QTest::newRow("unaccented key is another key")
        << QByteArray("[Lumivortex]\nVersao=9\n") << versao << false << "";
    QTest::newRow("comment") << QByteArray("[Lumivortex]\n;Vers\xE3o=9\n") << versao << false << "";
    QTest::newRow("empty file") << QByteArray() << versao << false << "";
}

void UpdateSettingsTest::keysAreFoundInEitherEncoding()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(bool, found);
    const std::optional<QString> value = iniValue(content, QStringLiteral("Lumivortex"), key);
    QCOMPARE(value.has_value(), found);
    if (found)
        QTEST(*value, "value");
}

void UpdateSettingsTest::settingsFileGivesItsFourValues()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("check.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Lumivortex]\r\n"
               "Vers\xE3o=0.9.30\r\n"
               "Corre\xE7\xF5\x65s=Novos canais\r\n"
               "LinkDownloadAtualizacao=http://lumivortex.example/setup.exe\r\n"
               "NomeDownloadAtualizacao=Lumivortex-0.9.30.exe\r\n");
    file.close();
    const UpdateSettings settings = readUpdateSettings(path);
    QCOMPARE(settings.version.value_or(QString()), QStringLiteral("0.9.30"));
    QCOMPARE(settings.notes.value_or(QString()), QStringLiteral("Novos canais"));
    QCOMPARE(
        settings.downloadLink.value_or(QString()), QStringLiteral("http://lumivortex.example/setup.exe"));
    QCOMPARE(settings.downloadName.value_or(QString()), QStringLiteral("Lumivortex-0.9.30.exe"));
}

void UpdateSettingsTest::missingFileGivesNoValues()
{
    const UpdateSettings settings = readUpdateSettings(QStringLiteral("/nonexistent/check.ini"));
    QVERIFY(!settings.version && !settings.notes && !settings.downloadLink && !settings.downloadName);
}

void UpdateSettingsTest::settingsFileLivesInTheCacheFolder()
{
    const QString path = updateSettingsFilePath();
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("check.ini"));
    QCOMPARE(QFileInfo(path).absolutePath(), QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
    QVERIFY(QFileInfo(QFileInfo(path).absolutePath()).isDir());
}

void UpdateSettingsTest::configuredServerAddressIsAnHttpCheckIni()
{
    const QString url = QString::fromLatin1(kUpdateSettingsUrl);
    if (url.isEmpty())
        QSKIP("no update server configured: the program checks nothing");
    const HttpUrlParts parts = HttpDownload::splitUrl(url);
    QVERIFY(url.startsWith(QLatin1String("http://")));
    QVERIFY(parts.valid);
    QCOMPARE(parts.path.section(QLatin1Char('/'), -1), QStringLiteral("check.ini"));
}

void UpdateSettingsTest::amountsUseTheLocalesSeparators_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("pt_BR zero") << "pt_BR" << 0.0 << "0,00";
    QTest::newRow("pt_BR grouped") << "pt_BR" << 1234567.891 << "1.234.567,89";
    QTest::newRow("pt_BR rounding") << "pt_BR" << 0.005 << "0,01";
    QTest::newRow("en_US grouped") << "en_US" << 204800.0 << "204,800.00";
    QTest::newRow("C still groups") << "C" << 1234.5 << "1,234.50";
}

void UpdateSettingsTest::amountsUseTheLocalesSeparators()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QTEST(formatAmount(value, QLocale(locale)), "text");
}

void UpdateSettingsTest::progressTextWithoutTotal()
{
    QCOMPARE(progressText(0, 1536, QLocale(QStringLiteral("pt_BR"))),
        QStringLiteral("Total: 0,00 MB\nRecebido: 0,00 MB (1,50 KB)"));
    QCOMPARE(progressText(3 * 1024 * 1024, 1024 * 1024 + 512 * 1024, QLocale(QStringLiteral("pt_BR"))),
        QStringLiteral("Total: 3,00 MB\nRecebido: 1,50 MB (1.536,00 KB)"));
}

void UpdateSettingsTest::speedRoundsHalvesToEven_data()
{
    QTest::addColumn<double>("received");
    QTest::addColumn<double>("previous");
    QTest::addColumn<QString>("text");
    QTest::newRow("2.5 to 2") << 5.0 << 0.0 << "Velocidade 2 KBps";
    QTest::newRow("3.5 to 4") << 7.0 << 0.0 << "Velocidade 4 KBps";
    QTest::newRow("nothing new") << 300.0 << 300.0 << "Velocidade 0 KBps";
    QTest::newRow("large") << 204800.0 << 0.0 << "Velocidade 102400 KBps";
    QTest::newRow("fraction") << 10.9 << 0.0 << "Velocidade 5 KBps";
}

void UpdateSettingsTest::speedRoundsHalvesToEven()
{
    QFETCH(double, received);
    QFETCH(double, previous);
    QTEST(speedText(received, previous), "text");
}

QTEST_GUILESS_MAIN(UpdateSettingsTest)
#include "update_settings_test.moc"
