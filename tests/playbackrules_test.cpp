// File-name and number-format rules shared by the player and the playlist.
#include "player/FileNames.h"
#include "player/NumberFormat.h"

#include <QtTest>

class PlaybackRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void fileNameIsTheTextAfterTheLastSeparator_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("linux path") << "/home/ana/Música/Banda - Faixa.mp3"
                                    << "Banda - Faixa.mp3"
                                    << ".mp3";
        QTest::newRow("windows path") << "C:\\Musicas\\a.b.MP3"
                                      << "a.b.MP3"
                                      << ".MP3";
        QTest::newRow("drive only") << "D:faixa.wma"
                                    << "faixa.wma"
                                    << ".wma";
        QTest::newRow("stream") << "mms://tv.lumivortex.example/live"
                                << "live"
                                << "";
        QTest::newRow("dot in folder only") << "/a.b/c"
                                            << "c"
                                            << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }
    void fileNameIsTheTextAfterTheLastSeparator()
    {
        QFETCH(QString, url);
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QCOMPARE(fileNamePart(url), name);
        QCOMPARE(fileExtension(url), extension);
    }

    void rateTextUsesTheLocaleSeparatorAndNoTrailingZeros_data()
    {
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("normal") << 1.0 << "pt_BR"
                                << "100%";
        QTest::newRow("one step up, comma") << 1.0 + 0.005 << "pt_BR"
                                            << "100,5%";
        QTest::newRow("one step up, point") << 1.0 + 0.005 << "en_US"
                                            << "100.5%";
        QTest::newRow("ten steps down") << 1.0 - 10 * 0.005 << "pt_BR"
                                        << "95%";
        QTest::newRow("thousands not grouped") << 12.5 << "en_US"
                                               << "1250%";
    }
    void rateTextUsesTheLocaleSeparatorAndNoTrailingZeros()
    {
        QFETCH(double, rate);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(rateText(rate, QLocale(locale)), text);
    }
};

QTEST_GUILESS_MAIN(PlaybackRulesTest)
#include "playbackrules_test.moc"
