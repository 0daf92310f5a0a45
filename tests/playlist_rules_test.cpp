// Playlist text rules: display names, file kinds, saved names, the search.
#include "base/MediaFormats.h"
#include "playlist/PlaylistRules.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTest>

using namespace PlaylistRules;

class PlaylistRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void displayNameDropsFolderAndLastExtension_data();
    void displayNameDropsFolderAndLastExtension();
    void fileKindFollowsItsOwnLetterCaseRule_data();
    void fileKindFollowsItsOwnLetterCaseRule();
    void openDialogsOfferTodaysFormats();
    void savedNameGetsExtensionOnlyOnce_data();
    void savedNameGetsExtensionOnlyOnce();
    void storeLivesInPerUserDataFolder();
    void searchStartsAtSecondItemAndWraps_data();
    void searchStartsAtSecondItemAndWraps();
};

void PlaylistRulesTest::displayNameDropsFolderAndLastExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain") << "/home/u/Musicas/Banda - Faixa.mp3"
                           << "Banda - Faixa"
                           << ".mp3";
    QTest::newRow("two dots") << "/m/a.b.mp3"
                              << "a.b"
                              << ".mp3";
    QTest::newRow("dot in folder") << "/m.d/faixa"
                                   << "faixa"
                                   << "";
    QTest::newRow("no folder") << "Faixa.mP3"
                               << "Faixa"
                               << ".mP3";
    QTest::newRow("equals") << "/m/x=y.mp3"
                            << "x=y"
                            << ".mp3";
    QTest::newRow("blanks kept") << "/m/ a .mp3"
                                 << " a "
                                 << ".mp3";
    QTest::newRow("only extension") << "/m/.mp3"
                                    << ""
                                    << ".mp3";
    QTest::newRow("backslash is a name character") << "/m/a\\b.wma"
                                                   << "a\\b"
                                                   << ".wma";
}

void PlaylistRulesTest::displayNameDropsFolderAndLastExtension()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(displayName(path), name);
    QCOMPARE(PlaylistRules::extension(path), extension);
}

void PlaylistRulesTest::fileKindFollowsItsOwnLetterCaseRule_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("music");
    QTest::addColumn<bool>("video");
    QTest::addColumn<bool>("playlist");
    QTest::newRow("mp3") << "/m/a.mp3" << true << false << false;
    QTest::newRow("MP3") << "/m/a.MP3" << true << false << false;
    QTest::newRow("WMA") << "/m/a.WMA" << true << false << false;
    QTest::newRow("wav") << "/m/a.wav" << true << false << false;
    QTest::newRow("ogg") << "/m/a.ogg" << true << false << false;
    QTest::newRow("OPUS") << "/m/a.OPUS" << true << false << false;
    QTest::newRow("flac") << "/m/a.flac" << true << false << false;
    QTest::newRow("m4a") << "/m/a.m4a" << true << false << false;
    QTest::newRow("aac") << "/m/a.aac" << true << false << false;
    QTest::newRow("mp4") << "/m/v.mp4" << false << true << false;
    QTest::newRow("MKV") << "/m/v.MKV" << false << true << false;
    QTest::newRow("webm") << "/m/v.webm" << false << true << false;
    QTest::newRow("txt") << "/m/t.txt" << false << false << false;
    QTest::newRow("wmv") << "/m/b.wmv" << false << true << false;
    QTest::newRow("WMV") << "/m/c.WMV" << false << false << false;
    QTest::newRow("mpeg") << "/m/c.mpeg" << false << true << false;
    QTest::newRow("mpg") << "/m/c.mpg" << false << true << false;
    QTest::newRow("asf") << "/m/c.asf" << false << true << false;
    QTest::newRow("Asf") << "/m/c.Asf" << false << false << false;
    QTest::newRow("avi") << "/m/c.avi" << false << false << false;
    QTest::newRow("lpl") << "/m/l.lpl" << false << false << true;
    QTest::newRow("LPL") << "/m/l.LPL" << false << false << true;
    QTest::newRow("mp3 folder") << "/m/a.mp3/x" << false << false << false;
}

void PlaylistRulesTest::fileKindFollowsItsOwnLetterCaseRule()
{
    QFETCH(QString, path);
    QFETCH(bool, music);
    QFETCH(bool, video);
    QFETCH(bool, playlist);
    QCOMPARE(isMusicFile(path), music);
    QCOMPARE(isVideoFile(path), video);
    QCOMPARE(isPlaylistFile(path), playlist);
}

void PlaylistRulesTest::openDialogsOfferTodaysFormats()
{
    const QStringList playlist = openDialogFilters();
    QCOMPARE(playlist,
        (QStringList { QStringLiteral("Musica (*.mp3 *.wma *.wav *.ogg *.opus *.flac *.m4a *.aac)"),
            QStringLiteral("Lumivortex Playlist (*.lpl)"), QStringLiteral("Todos os arquivos (*)") }));
    QCOMPARE(MediaFormats::playerOpenFilter().split(QStringLiteral(";;")),
        (QStringList { QStringLiteral("Audio e Video (*.mp3 *.wma *.wav *.mpg *.mpeg *.avi *.wmv *.asf *.ogg "
                                      "*.opus *.flac *.m4a *.aac *.mp4 *.mkv *.webm)"),
            QStringLiteral("Audio (*.mp3 *.wma *.wav *.ogg *.opus *.flac *.m4a *.aac)"),
            QStringLiteral("Video (*.mpg *.mpeg *.avi *.wmv *.asf *.mp4 *.mkv *.webm)"),
            QStringLiteral("Todos os arquivos (*)") }));
}

void PlaylistRulesTest::savedNameGetsExtensionOnlyOnce_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("target");
    QTest::newRow("bare") << "/h/lista"
                          << "/h/lista.lpl";
    QTest::newRow("with lpl") << "/h/lista.lpl"
                              << "/h/lista.lpl";
    QTest::newRow("with LPL") << "/h/lista.LPL"
                              << "/h/lista.LPL";
    QTest::newRow("other extension") << "/h/lista.txt"
                                     << "/h/lista.txt.lpl";
    QTest::newRow("lpl inside") << "/h/lista.lpl.bak"
                                << "/h/lista.lpl.bak.lpl";
}

void PlaylistRulesTest::savedNameGetsExtensionOnlyOnce()
{
    QFETCH(QString, chosen);
    QFETCH(QString, target);
    QCOMPARE(savedPlaylistPath(chosen), target);
}

void PlaylistRulesTest::storeLivesInPerUserDataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(!folder.isEmpty());
    QCOMPARE(dataFolder(), folder);
    QCOMPARE(defaultStorePath(), folder + QStringLiteral("/Default.lpl"));
    QCOMPARE(leftoverStorePath(), folder + QStringLiteral("/Default.ini"));
    QVERIFY(!defaultStorePath().startsWith(QCoreApplication::applicationDirPath() + QLatin1Char('/')));
}

void PlaylistRulesTest::searchStartsAtSecondItemAndWraps_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    const QStringList abc { QStringLiteral("Abc"), QStringLiteral("abd"), QStringLiteral("Xyz") };
    QTest::newRow("ab finds abd, not Abc") << abc << "ab" << 1;
    QTest::newRow("x finds Xyz") << abc << "x" << 2;
    QTest::newRow("q finds nothing") << abc << "q" << -1;
    QTest::newRow("abc wraps to the first") << abc << "ABC" << 0;
    QTest::newRow("whole text longer than item") << abc << "Abcd" << -1;
    QTest::newRow("one item") << QStringList { QStringLiteral("Um") } << "u" << 0;
    QTest::newRow("empty text selects nothing") << abc << "" << -1;
    QTest::newRow("empty list") << QStringList() << "a" << -1;
    QTest::newRow("accents ignore case")
        << QStringList { QStringLiteral("x"), QStringLiteral("Ágata") } << "á" << 1;
}

void PlaylistRulesTest::searchStartsAtSecondItemAndWraps()
{
    QFETCH(QStringList, items);
    QFETCH(QString, text);
    QFETCH(int, found);
    QCOMPARE(findByPrefix(items, text), found);
}

QTEST_GUILESS_MAIN(PlaylistRulesTest)
#include "playlist_rules_test.moc"
