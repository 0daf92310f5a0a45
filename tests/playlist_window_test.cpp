// The playlist window PlaylistWindow with a fake main window and a FakeEngine:
// adding, dropping, loading, saving, clearing, deleting, reordering, playing,
// searching, and the monitored-folder controls.
#include "playlist/PlaylistRules.h"
#include "playlist/PlaylistStore.h"
#include "playlist/PlaylistWindow.h"
#include "tests/support/FakePlaylistPlayback.h"
#include "tests/support/FileBytes.h"
#include "widgets/ButtonColour.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <memory>

namespace
{

// The window with its dialogs and boxes answered by the test.
class ScriptedForm10 : public PlaylistWindow
{
public:
    ScriptedForm10(PlaylistPlayback &playback, const QWidget *mainWindow)
        : PlaylistWindow(playback, mainWindow)
    {
        setFileHandler([this](QWidget *, const FileRequest &request) {
            if (request.kind == FileRequest::Kind::Save) {
                ++saveDialogs;
                return saveAnswer.isEmpty() ? QStringList() : QStringList { saveAnswer };
            }
            ++openDialogs;
            return openAnswer;
        });
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            if (request.icon == QMessageBox::Question) {
                confirmations << request.text;
                return confirmAnswer ? QMessageBox::Ok : QMessageBox::Cancel;
            }
            (request.icon == QMessageBox::Critical ? errors : notices) << request.text;
            return QMessageBox::Ok;
        });
    }
    ~ScriptedForm10() override
    {
        setFileHandler({});
        setMessageHandler({});
    }

    QStringList openAnswer;
    QString saveAnswer;
    bool confirmAnswer = true;
    int openDialogs = 0;
    int saveDialogs = 0;
    QStringList confirmations;
    QStringList errors;
    QStringList notices;
};

QStringList storeKeys(const QString &path)
{
    PlaylistStore store(path);
    QStringList keys;
    store.ReadSection(QStringLiteral("Musica"), &keys);
    return keys;
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QString storePath()
{
    return PlaylistRules::defaultStorePath();
}

} // namespace

class PlaylistWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Window and controls.
    void windowHasItsControls();
    void monitoredFolderControlsAreGreyedAndInert();
    void captionsFitTheirControls();
    void showBesidePlacesItFifteenPixelsLeft();

    // Drops.
    void dropFollowsTheFileRules_data();
    void dropFollowsTheFileRules();
    void storeLivesInPerUserDataFolder();
    void dropOnWindowIsHandledOnceTheDragEnds();
    void dropOnMainWindowRefreshesTotal();
    void longDropPathIsTakenWhole();
    void nameWithLineBreakIsRefusedAndBatchGoesOn();
    void batchLeavesSameBytesAsPerFileWrites();
    void writeFailureShowsMessageAndListShowsOnlyTheStore();
    void leftoverDefaultIniIsTakenOver();

    // "Abrir".
    void abrirAddsMusicWhateverTheLetterCase();
    void abrirWithPlaylistReplacesTheList();
    void abrirMusicThenPlaylistAddsBothThenLoads();
    void abrirCancelledOrForeignChangesNothing_data();
    void abrirCancelledOrForeignChangesNothing();
    void legacyWindows1252ListLoadsAndPlays();
    void playlistWithoutSectionLoadsEmpty();
    void oversizedPlaylistIsRefusedAndListStays();

    // "Salvar", "Limpar", Delete, reordering.
    void salvarAppendsExtensionOnlyWhenMissing_data();
    void salvarAppendsExtensionOnlyWhenMissing();
    void salvarAfterLoadingCopiesTheDefaultStore();
    void salvarWithoutStoreWritesNothing();
    void salvarThatCannotWriteSaysSo_data();
    void salvarThatCannotWriteSaysSo();
    void limparEmptiesListAndDeletesStore();
    void limparCancelledKeepsAll();
    void deleteWithNothingSelectedAsksAboutZero();
    void deleteRemovesSelectedButKeepsStore();
    void dragReordersTheDisplayListOnly_data();
    void dragReordersTheDisplayListOnly();
    void dragWithTheMouseMovesTheItem();
    void clickOnOneItemListStartsNoDrag();

    // Playing and searching.
    void playReadsPathFromStoreInOrder();
    void filledListStartsAtFirstItem();
    void sameNameTwicePlaysTheLastPath();
    void nameWithoutPathReplaysCurrentMedia();
    void nameWithoutPathAndNoMediaPlaysNothing();
    void emptyListOperationsDoNothing();
    void previousOnFirstAndNextOnLastReplay();
    void nextMovesFocusWithoutChangingSelection();
    void searchSelectsByPrefix_data();
    void searchSelectsByPrefix();
    void afterFailedSearchEveryPlayStartsFirst_data();
    void afterFailedSearchEveryPlayStartsFirst();
    void enterPlaysTheFoundItem();
    void itemValueShowsClickedPosition();
    void doubleClickPlaysTheItem();
    void buttonsSwallowErrorsOthersShowOneBox();
    void nextAfterLoadingUsesTheLoadedStore();

private:
    QListWidget *list() const { return m_form->findChild<QListWidget *>(QStringLiteral("ListBox1")); }
    QLineEdit *edit() const { return m_form->findChild<QLineEdit *>(QStringLiteral("Edit1")); }
    QString labelText(const char *name) const
    {
        return m_form->findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
    QStringList items() const;
    void fill(const QStringList &names);
    QStringList engineUrls() const;

    QTemporaryDir m_files;
    std::unique_ptr<FakePlaylistPlayback> m_host;
    std::unique_ptr<ScriptedForm10> m_form;
};

void PlaylistWindowTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_files.isValid());
}

void PlaylistWindowTest::init()
{
    QDir(PlaylistRules::dataFolder()).removeRecursively();
    m_host = std::make_unique<FakePlaylistPlayback>();
    m_form = std::make_unique<ScriptedForm10>(*m_host, &m_host->main);
    connect(m_form.get(), &PlaylistWindow::playerPageWanted, this,
        [this] { m_host->calls << QStringLiteral("playerTab"); });
}

void PlaylistWindowTest::cleanup()
{
    m_form.reset();
    m_host.reset();
    QDir(PlaylistRules::dataFolder()).removeRecursively();
}

QStringList PlaylistWindowTest::items() const
{
    QStringList texts;
    for (int i = 0; i < list()->count(); ++i)
        texts << list()->item(i)->text();
    return texts;
}

// Names added through a drop of ".mp3" files in folder /m.
void PlaylistWindowTest::fill(const QStringList &names)
{
    QStringList paths;
    for (const QString &name : names)
        paths << QStringLiteral("/m/") + name + QStringLiteral(".mp3");
    if (paths.size() == 1)
        paths << QStringLiteral("/m/ignored.txt");
    m_form->dropFiles(paths, true);
    m_host->calls.clear();
    m_host->fakeEngine.calls.clear();
}

QStringList PlaylistWindowTest::engineUrls() const
{
    QStringList urls;
    for (const QString &call : m_host->fakeEngine.calls) {
        if (call.startsWith(QLatin1String("setUrl ")))
            urls << call.mid(7);
    }
    return urls;
}

// --- window and controls -----------------------------------------------------

void PlaylistWindowTest::windowHasItsControls()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Lumivortex Playlist"));
    QCOMPARE(m_form->height(), m_host->main.height());
    QCOMPARE(m_form->width(), 369);
    const QList<QPair<const char *, QString>> buttons { { "SpeedButton1",
                                                            QStringLiteral("Abra musicas ou playlist") },
        { "SpeedButton2", QStringLiteral("Salve sua playlist") },
        { "SpeedButton3", QStringLiteral("Limpar toda a lista") } };
    for (const auto &button : buttons) {
        auto *b = m_form->findChild<QToolButton *>(QString::fromLatin1(button.first));
        QVERIFY2(b, button.first);
        QCOMPARE(b->toolTip(), button.second);
        QVERIFY(b->isEnabled());
    }
    QCOMPARE(
        m_form->findChild<QToolButton *>(QStringLiteral("SpeedButton1"))->text(), QStringLiteral("Abrir"));
    QCOMPARE(
        m_form->findChild<QToolButton *>(QStringLiteral("SpeedButton2"))->text(), QStringLiteral("Salvar"));
    QCOMPARE(
        m_form->findChild<QToolButton *>(QStringLiteral("SpeedButton3"))->text(), QStringLiteral("Limpar"));
    for (const char *name : { "SpeedButton4", "SpeedButton5", "SpeedButton6" })
        QVERIFY2(
            !m_form->findChild<QToolButton *>(QString::fromLatin1(name))->accessibleName().isEmpty(), name);
    QCOMPARE(labelText("Label1"), QStringLiteral("Localizar na lista:"));
    QCOMPARE(labelText("Label2"), QStringLiteral("Item:"));
    QCOMPARE(labelText("Label3"), QStringLiteral("Total:"));
    QCOMPARE(labelText("Label6"), QStringLiteral("0"));
    QCOMPARE(labelText("Label4"), QStringLiteral("Duração:"));
    QVERIFY(m_form->findChild<QLabel *>(QStringLiteral("Label4"))->isHidden());
    QVERIFY(m_form->findChild<QLabel *>(QStringLiteral("Label7"))->isHidden());
    QCOMPARE(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(list()->count(), 0);
    QVERIFY(m_form->acceptDrops());
}

// Linux fonts are wider than the design's: no caption may be cut or run into
// the number beside it.
void PlaylistWindowTest::captionsFitTheirControls()
{
    m_form->show();
    for (const char *name : { "SpeedButton7", "CheckBox1" }) {
        auto *button = m_form->findChild<QAbstractButton *>(QString::fromLatin1(name));
        QVERIFY2(button->sizeHint().width() <= button->width(), name);
    }
    const auto label
        = [this](const char *name) { return m_form->findChild<QLabel *>(QString::fromLatin1(name)); };
    QVERIFY(label("Label2")->geometry().right() < label("Label5")->x());
    QVERIFY(label("Label3")->geometry().right() < label("Label6")->x());
    QVERIFY(
        label("Label1")->geometry().bottom() < m_form->findChild<QLineEdit *>(QStringLiteral("Edit1"))->y());
}

void PlaylistWindowTest::monitoredFolderControlsAreGreyedAndInert()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto *button = m_form->findChild<QToolButton *>(QStringLiteral("SpeedButton7"));
    auto *check = m_form->findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
    QCOMPARE(button->text(), QStringLiteral("Monitoramento de pasta..."));
    QCOMPARE(button->toolTip(), QStringLiteral("Configure a pasta a ser monitorada"));
    QCOMPARE(check->text(), QStringLiteral("Carregar Pasta Monitorada"));
    QCOMPARE(
        check->toolTip(), QStringLiteral("Secione esta opção para utilizar a pasta previamente configurada"));
    QVERIFY(!button->isEnabled());
    QVERIFY(!check->isEnabled());
    QTest::mouseClick(check, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!check->isChecked());
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY2(!top->isVisible() || top == m_form.get(), qPrintable(top->objectName()));
}

void PlaylistWindowTest::showBesidePlacesItFifteenPixelsLeft()
{
    m_form->move(40, 77);
    m_host->main.move(300, 200);
    m_form->showBeside(&m_host->main);
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->pos(), QPoint(285, 77));
}

// --- drops ------------------------------------------------------------------

void PlaylistWindowTest::dropFollowsTheFileRules_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("played");
    QTest::addColumn<bool>("shown");
    QTest::newRow("one .WMA plays without the list")
        << strings({ "/m/x.WMA" }) << QStringList() << strings({ "/m/x.WMA" }) << false;
    QTest::newRow("a.mp3 and b.wmv") << strings({ "/m/a.mp3", "/m/b.wmv" }) << strings({ "a" })
                                     << strings({ "/m/b.wmv" }) << true;
    QTest::newRow("c.WMV alone") << strings({ "/m/c.WMV" }) << QStringList() << QStringList() << false;
    QTest::newRow("one wmv plays") << strings({ "/m/v.wmv" }) << QStringList() << strings({ "/m/v.wmv" })
                                   << false;
    QTest::newRow("video not last is ignored")
        << strings({ "/m/b.wmv", "/m/a.mp3" }) << strings({ "a" }) << QStringList() << true;
    QTest::newRow("music in order") << strings({ "/m/a.mp3", "/m/t.txt", "/m/B.WAV", "/m/c.wma" })
                                    << strings({ "a", "B", "c" }) << QStringList() << true;
    QTest::newRow("nothing playable")
        << strings({ "/m/t.txt", "/m/u.doc" }) << QStringList() << QStringList() << false;
    QTest::newRow("today's audio joins the list")
        << strings({ "/m/a.flac", "/m/b.OPUS", "/m/c.m4a", "/m/d.aac", "/m/e.ogg" })
        << strings({ "a", "b", "c", "d", "e" }) << QStringList() << true;
    QTest::newRow("today's video plays")
        << strings({ "/m/a.mp3", "/m/v.MKV" }) << strings({ "a" }) << strings({ "/m/v.MKV" }) << true;
    QTest::newRow("one mp4 plays") << strings({ "/m/v.mp4" }) << QStringList() << strings({ "/m/v.mp4" })
                                   << false;
    QTest::newRow("one webm plays") << strings({ "/m/v.webm" }) << QStringList() << strings({ "/m/v.webm" })
                                    << false;
}

void PlaylistWindowTest::dropFollowsTheFileRules()
{
    QFETCH(QStringList, paths);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, played);
    QFETCH(bool, shown);
    m_form->dropFiles(paths, true);
    QCOMPARE(items(), listed);
    QCOMPARE(engineUrls(), played);
    QCOMPARE(m_form->isVisible(), shown);
    QCOMPARE(labelText("Label6"), QString::number(listed.size()));
    QCOMPARE(QFile::exists(storePath()), !listed.isEmpty());
    if (!listed.isEmpty())
        QCOMPARE(storeKeys(storePath()), listed);
    QCOMPARE(m_host->calls.contains(QStringLiteral("playerTab")), !listed.isEmpty() || !played.isEmpty());
    if (!played.isEmpty()) {
        const QString name = played.constLast().mid(3);
        QCOMPARE(m_host->calls.mid(m_host->calls.lastIndexOf(QStringLiteral("playerTab")) + 1),
            (QStringList { QStringLiteral("playForm"), QStringLiteral("nowPlaying ") + name }));
        QVERIFY(m_host->fakeEngine.calls.contains(QStringLiteral("play")));
    }
    QVERIFY(m_form->errors.isEmpty());
}

void PlaylistWindowTest::storeLivesInPerUserDataFolder()
{
    m_form->dropFiles({ QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3") }, true);
    const QString expected
        = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Default.lpl");
    QCOMPARE(readBytes(expected), QByteArray("\r\n[Musica]\r\na=/m/a.mp3\r\nb=/m/b.mp3\r\n"));
    QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/Default.lpl")));
    // The hidden attribute has no meaning here: the store keeps its name.
    QVERIFY(!QFile::exists(PlaylistRules::dataFolder() + QStringLiteral("/.Default.lpl")));
}

void PlaylistWindowTest::dropOnWindowIsHandledOnceTheDragEnds()
{
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(QStringLiteral("/m/a.mp3")), QUrl(QStringLiteral("http://x/b.mp3")),
        QUrl::fromLocalFile(QStringLiteral("/m/c d.mp3")) });
    QDragEnterEvent enter(QPoint(10, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_form.get(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(list()->count(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("c d") }));
    QCOMPARE(storeKeys(storePath()), items());
}

void PlaylistWindowTest::dropOnMainWindowRefreshesTotal()
{
    m_form->dropFiles({ QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3") }, false);
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    QCOMPARE(labelText("Label6"), QStringLiteral("2"));
    QVERIFY(m_form->isVisible());
}

void PlaylistWindowTest::longDropPathIsTakenWhole()
{
    const QString folder = QStringLiteral("/m/") + QString(300, QLatin1Char('p'));
    const QString path = folder + QStringLiteral("/Faixa longa.mp3");
    m_form->dropFiles({ path, QStringLiteral("/m/b.mp3") }, true);
    QCOMPARE(items().constFirst(), QStringLiteral("Faixa longa"));
    PlaylistStore store(storePath());
    QCOMPARE(store.ReadString(QStringLiteral("Musica"), QStringLiteral("Faixa longa"), QString()), path);
}

void PlaylistWindowTest::nameWithLineBreakIsRefusedAndBatchGoesOn()
{
    m_form->dropFiles({ QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b\n[Outra]\nc=d.mp3"),
                          QStringLiteral("/m/e\rf.mp3"), QStringLiteral("/m/g.mp3") },
        true);
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("g") }));
    QCOMPARE(readBytes(storePath()), QByteArray("\r\n[Musica]\r\na=/m/a.mp3\r\ng=/m/g.mp3\r\n"));
    QCOMPARE(m_form->notices.size(), 1);
    QVERIFY(m_form->notices.constFirst().contains(QStringLiteral("quebra de linha")));
    QVERIFY(m_form->notices.constFirst().contains(QStringLiteral("/m/b\u23CE[Outra]\u23CEc=d.mp3")));
    QVERIFY(m_form->errors.isEmpty());
}

void PlaylistWindowTest::batchLeavesSameBytesAsPerFileWrites()
{
    const QByteArray before = "\r\n[Musica]\r\nvelha=/m/velha.mp3\r\n\r\n[Outra]\r\nz=1\r\n";
    QDir().mkpath(PlaylistRules::dataFolder());
    writeBytes(storePath(), before);
    const QString reference = m_files.filePath(QStringLiteral("reference.lpl"));
    writeBytes(reference, before);

    QStringList paths;
    for (int i = 0; i < 150; ++i)
        paths << QStringLiteral("/m/%1/Faixa %2.%3")
                     .arg(i)
                     .arg(i % 90)
                     .arg(QLatin1String(i % 2 ? "mp3" : "WMA"));
    paths << QStringLiteral("/m/x=y.mp3") << QStringLiteral("/m/ a .mp3") << QStringLiteral("/m/velha.wav")
          << QStringLiteral("/m/ a .wma") << QStringLiteral("/m/Ação.mp3");
    m_form->dropFiles(paths, true);

    PlaylistStore perFile(reference);
    for (const QString &path : paths)
        perFile.WriteString(QStringLiteral("Musica"), PlaylistRules::displayName(path), path);
    QCOMPARE(readBytes(storePath()), readBytes(reference));
    QCOMPARE(list()->count(), paths.size());
}

void PlaylistWindowTest::writeFailureShowsMessageAndListShowsOnlyTheStore()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    // The store's place taken by a folder: no rewrite can succeed.
    QVERIFY(QFile::remove(storePath()));
    QVERIFY(QDir().mkpath(storePath()));
    m_form->dropFiles(
        { QStringLiteral("/m/c.mp3"), QStringLiteral("/m/d.mp3"), QStringLiteral("/m/v.wmv") }, true);
    QCOMPARE(m_form->errors.size(), 1);
    const QString prefix = QStringLiteral("Cannot create file \"%1\". ").arg(storePath());
    QVERIFY2(m_form->errors.constFirst().startsWith(prefix), qPrintable(m_form->errors.constFirst()));
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    QCOMPARE(labelText("Label6"), QStringLiteral("2"));
    // The operation stopped there: the video was not started.
    QVERIFY(engineUrls().isEmpty());
    QCOMPARE(m_form->store()->ReadString(QStringLiteral("Musica"), QStringLiteral("c"), QStringLiteral("-")),
        QStringLiteral("-"));
}

void PlaylistWindowTest::leftoverDefaultIniIsTakenOver()
{
    QDir().mkpath(PlaylistRules::dataFolder());
    writeBytes(PlaylistRules::leftoverStorePath(), "\r\n[Musica]\r\nantiga=/m/antiga.mp3\r\n");
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    QVERIFY(!QFile::exists(PlaylistRules::leftoverStorePath()));
    QCOMPARE(readBytes(storePath()),
        QByteArray("\r\n[Musica]\r\nantiga=/m/antiga.mp3\r\na=/m/a.mp3\r\nb=/m/b.mp3\r\n"));
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));

    // With a store present the leftover stays where it is.
    writeBytes(PlaylistRules::leftoverStorePath(), "\r\n[Musica]\r\noutra=/m/outra.mp3\r\n");
    fill({ QStringLiteral("c"), QStringLiteral("d") });
    QVERIFY(QFile::exists(PlaylistRules::leftoverStorePath()));
    QCOMPARE(storeKeys(storePath()),
        (QStringList { QStringLiteral("antiga"), QStringLiteral("a"), QStringLiteral("b"),
            QStringLiteral("c"), QStringLiteral("d") }));
}

// --- "Abrir" ----------------------------------------------------------------

void PlaylistWindowTest::abrirAddsMusicWhateverTheLetterCase()
{
    m_form->openAnswer = { QStringLiteral("/m/Faixa.mP3"), QStringLiteral("/m/capa.jpg") };
    m_form->openFiles();
    QCOMPARE(m_form->openDialogs, 1);
    // The files after the first are not tested against the music extensions.
    QCOMPARE(items(), (QStringList { QStringLiteral("Faixa"), QStringLiteral("capa") }));
    QCOMPARE(
        readBytes(storePath()), QByteArray("\r\n[Musica]\r\nFaixa=/m/Faixa.mP3\r\ncapa=/m/capa.jpg\r\n"));
    QCOMPARE(labelText("Label6"), QStringLiteral("2"));
    QVERIFY(engineUrls().isEmpty());
    QCOMPARE(m_form->store()->FileName(), storePath());
}

void PlaylistWindowTest::abrirWithPlaylistReplacesTheList()
{
    fill({ QStringLiteral("velha") });
    const QByteArray storeBefore = readBytes(storePath());
    const QString playlist = m_files.filePath(QStringLiteral("lista.LPL"));
    writeBytes(playlist, "\r\n[Musica]\r\nUm=/x/Um.mp3\r\nDois=/x/Dois.wma\r\n");
    m_form->openAnswer = { playlist, QStringLiteral("/m/a.mp3") };
    m_form->openFiles();
    QCOMPARE(items(), (QStringList { QStringLiteral("Um"), QStringLiteral("Dois") }));
    QCOMPARE(labelText("Label6"), QStringLiteral("2"));
    QCOMPARE(m_form->store()->FileName(), playlist);
    QCOMPARE(readBytes(storePath()), storeBefore);
    QCOMPARE(readBytes(playlist), QByteArray("\r\n[Musica]\r\nUm=/x/Um.mp3\r\nDois=/x/Dois.wma\r\n"));
}

void PlaylistWindowTest::abrirMusicThenPlaylistAddsBothThenLoads()
{
    const QString playlist = m_files.filePath(QStringLiteral("lista.lpl"));
    writeBytes(playlist, "[Musica]\r\nUm=/x/Um.mp3\r\n");
    m_form->openAnswer = { QStringLiteral("/m/a.mp3"), playlist };
    m_form->openFiles();
    QCOMPARE(storeKeys(storePath()), (QStringList { QStringLiteral("a"), QStringLiteral("lista") }));
    QCOMPARE(items(), QStringList { QStringLiteral("Um") });
    QCOMPARE(m_form->store()->FileName(), playlist);
}

void PlaylistWindowTest::abrirCancelledOrForeignChangesNothing_data()
{
    QTest::addColumn<QStringList>("answer");
    QTest::newRow("cancelled") << QStringList();
    QTest::newRow("no music, no playlist") << strings({ "/m/capa.jpg", "/m/a.mp3" });
}

void PlaylistWindowTest::abrirCancelledOrForeignChangesNothing()
{
    QFETCH(QStringList, answer);
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    const QByteArray before = readBytes(storePath());
    const PlaylistStore *store = m_form->store();
    m_form->openAnswer = answer;
    m_form->openFiles();
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    QCOMPARE(readBytes(storePath()), before);
    QCOMPARE(m_form->store(), store);
}

void PlaylistWindowTest::oversizedPlaylistIsRefusedAndListStays()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    const PlaylistStore *store = m_form->store();
    const QString huge = m_files.filePath(QStringLiteral("enorme.lpl"));
    QFile file(huge);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(PlaylistStore::MaxFileBytes + 1));
    file.close();
    m_form->openAnswer = { huge };
    m_form->openFiles();
    QCOMPARE(m_form->errors,
        QStringList { QStringLiteral("O arquivo \"%1\" não foi lido: tem mais de 64 MiB.").arg(huge) });
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    QCOMPARE(m_form->store(), store);
}

void PlaylistWindowTest::legacyWindows1252ListLoadsAndPlays()
{
    // A list saved by the Windows version: ANSI code page, CR LF.
    const QString playlist = m_files.filePath(QStringLiteral("antiga.lpl"));
    writeBytes(playlist,
        "\r\n[Musica]\r\nCan\xe7\xe3o=/m/Can\xe7\xe3o.mp3\r\nA\xe7\xfa\x63\x61r=/m/"
        "A\xe7\xfa\x63\x61r.wma\r\n");
    m_form->openAnswer = { playlist };
    m_form->openFiles();
    QCOMPARE(items(), (QStringList { QStringLiteral("Canção"), QStringLiteral("Açúcar") }));
    m_form->playNext();
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("/m/Açúcar.wma") });
}

void PlaylistWindowTest::playlistWithoutSectionLoadsEmpty()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    const QString playlist = m_files.filePath(QStringLiteral("vazia.lpl"));
    writeBytes(playlist, "[Outra]\r\nx=/m/x.mp3\r\n");
    m_form->openAnswer = { playlist };
    m_form->openFiles();
    QCOMPARE(list()->count(), 0);
    QCOMPARE(labelText("Label6"), QStringLiteral("0"));
}

// --- "Salvar", "Limpar", Delete, reordering ------------------------------------

void PlaylistWindowTest::salvarAppendsExtensionOnlyWhenMissing_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare name") << "lista"
                               << "lista.lpl";
    QTest::newRow("lpl given") << "lista.lpl"
                               << "lista.lpl";
    QTest::newRow("LPL given") << "lista.LPL"
                               << "lista.LPL";
    QTest::newRow("other extension") << "lista.txt"
                                     << "lista.txt.lpl";
}

void PlaylistWindowTest::salvarAppendsExtensionOnlyWhenMissing()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QTemporaryDir target;
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    // An existing file is replaced without asking.
    writeBytes(target.filePath(written), "old");
    m_form->saveAnswer = target.filePath(chosen);
    m_form->saveList();
    QCOMPARE(m_form->saveDialogs, 1);
    QCOMPARE(readBytes(target.filePath(written)), readBytes(storePath()));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList { written });
    QVERIFY(m_form->confirmations.isEmpty());
}

void PlaylistWindowTest::salvarAfterLoadingCopiesTheDefaultStore()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    const QString playlist = m_files.filePath(QStringLiteral("outra.lpl"));
    writeBytes(playlist, "[Musica]\r\nUm=/x/Um.mp3\r\n");
    m_form->loadPlaylist(playlist);
    // Deleting and reordering do not reach the store either.
    list()->item(0)->setSelected(true);
    m_form->deleteSelectedItems();
    QTemporaryDir target;
    m_form->saveAnswer = target.filePath(QStringLiteral("copia"));
    m_form->saveList();
    QCOMPARE(readBytes(target.filePath(QStringLiteral("copia.lpl"))),
        QByteArray("\r\n[Musica]\r\na=/m/a.mp3\r\nb=/m/b.mp3\r\n"));
}

void PlaylistWindowTest::salvarWithoutStoreWritesNothing()
{
    QTemporaryDir target;
    m_form->saveAnswer = target.filePath(QStringLiteral("lista"));
    m_form->saveList();
    QVERIFY(QDir(target.path()).entryList(QDir::Files).isEmpty());
    // Nothing was saved, and the user is told so.
    QVERIFY(m_form->errors.isEmpty());
    QCOMPARE(m_form->notices,
        QStringList { QStringLiteral("A lista não foi salva: ela ainda não tem músicas. Adicione músicas com "
                                     "\"Abrir\" ou arrastando arquivos para esta janela.") });
    m_form->saveAnswer.clear();
    m_form->saveList();
    QCOMPARE(m_form->saveDialogs, 2);
}

void PlaylistWindowTest::salvarThatCannotWriteSaysSo_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::newRow("folder missing") << QStringLiteral("falta/lista");
    QTest::newRow("name taken by a folder") << QStringLiteral("pasta");
}

void PlaylistWindowTest::salvarThatCannotWriteSaysSo()
{
    QFETCH(QString, chosen);
    fill({ QStringLiteral("a") });
    QTemporaryDir target;
    QVERIFY(QDir(target.path()).mkdir(QStringLiteral("pasta.lpl")));
    m_form->saveAnswer = target.filePath(chosen);
    m_form->saveList();
    QCOMPARE(m_form->errors.size(), 1);
    const QString prefix = QStringLiteral("A lista não foi salva em \"%1\": ")
                               .arg(target.filePath(chosen + QStringLiteral(".lpl")));
    QVERIFY2(m_form->errors.constFirst().startsWith(prefix), qPrintable(m_form->errors.constFirst()));
    QCOMPARE(QDir(target.path()).entryList(QDir::Files), QStringList());
}

void PlaylistWindowTest::limparEmptiesListAndDeletesStore()
{
    fill({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
    const PlaylistStore *store = m_form->store();
    m_form->clearList();
    QCOMPARE(
        m_form->confirmations, QStringList { QStringLiteral("Deseja deletar todos os itens da lista?") });
    QCOMPARE(list()->count(), 0);
    QCOMPARE(labelText("Label6"), QStringLiteral("0"));
    QVERIFY(!QFile::exists(storePath()));
    QCOMPARE(m_form->store(), store);
}

void PlaylistWindowTest::limparCancelledKeepsAll()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    m_form->confirmAnswer = false;
    m_form->clearList();
    QCOMPARE(list()->count(), 2);
    QVERIFY(QFile::exists(storePath()));
}

void PlaylistWindowTest::deleteWithNothingSelectedAsksAboutZero()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    QVERIFY(list()->selectedItems().isEmpty());
    QTest::keyClick(list(), Qt::Key_Delete);
    QCOMPARE(
        m_form->confirmations, QStringList { QStringLiteral("Deseja deletar este(s) 0 item(s) da lista?") });
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
}

void PlaylistWindowTest::deleteRemovesSelectedButKeepsStore()
{
    fill({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d") });
    const QByteArray before = readBytes(storePath());
    list()->item(0)->setSelected(true);
    list()->item(1)->setSelected(true);
    list()->item(3)->setSelected(true);
    m_form->confirmAnswer = false;
    m_form->deleteSelectedItems();
    QCOMPARE(list()->count(), 4);
    m_form->confirmAnswer = true;
    m_form->deleteSelectedItems();
    QCOMPARE(m_form->confirmations.constLast(), QStringLiteral("Deseja deletar este(s) 3 item(s) da lista?"));
    QCOMPARE(items(), QStringList { QStringLiteral("c") });
    QCOMPARE(labelText("Label6"), QStringLiteral("1"));
    QCOMPARE(readBytes(storePath()), before);
}

void PlaylistWindowTest::dragReordersTheDisplayListOnly_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("order");
    QTest::newRow("down") << 0 << 2 << "BCAD";
    QTest::newRow("up") << 3 << 1 << "ADBC";
    QTest::newRow("to the end") << 1 << 3 << "ACDB";
    QTest::newRow("to the top") << 2 << 0 << "CABD";
    QTest::newRow("in place") << 1 << 1 << "ABCD";
}

void PlaylistWindowTest::dragReordersTheDisplayListOnly()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, order);
    fill({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D") });
    const QByteArray before = readBytes(storePath());
    list()->setCurrentRow(from);
    m_form->startItemDrag();
    list()->setCurrentRow(to);
    m_form->finishItemDrag();
    QCOMPARE(items().join(QString()), order);
    QCOMPARE(m_form->currentIndex(), to);
    QCOMPARE(readBytes(storePath()), before);
    // The drag ended: another release moves nothing.
    list()->setCurrentRow(0);
    m_form->finishItemDrag();
    QCOMPARE(items().join(QString()), order);
}

void PlaylistWindowTest::dragWithTheMouseMovesTheItem()
{
    fill({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D") });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QWidget *viewport = list()->viewport();
    const QPoint first = list()->visualItemRect(list()->item(0)).center();
    const QPoint third = list()->visualItemRect(list()->item(2)).center();
    QTest::mousePress(viewport, Qt::LeftButton, {}, first);
    QTest::mouseMove(viewport, third);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, third);
    QCOMPARE(items().join(QString()), QStringLiteral("BCAD"));
    QCOMPARE(m_form->currentIndex(), 2);
}

void PlaylistWindowTest::clickOnOneItemListStartsNoDrag()
{
    fill({ QStringLiteral("A") });
    list()->setCurrentRow(0);
    m_form->startItemDrag();
    m_form->finishItemDrag();
    QCOMPARE(items(), QStringList { QStringLiteral("A") });
    fill({ QStringLiteral("B"), QStringLiteral("C") });
    // No drag was pending from the one-item click.
    list()->setCurrentRow(2);
    m_form->finishItemDrag();
    QCOMPARE(items().join(QString()), QStringLiteral("ABC"));
}

// --- playing and searching --------------------------------------------------------

void PlaylistWindowTest::playReadsPathFromStoreInOrder()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    m_host->tickEnabled = true;
    list()->setCurrentRow(1);
    m_form->play();
    QVERIFY(m_host->promptSuppressed);
    QCOMPARE(m_host->calls,
        (QStringList { QStringLiteral("tick off"), QStringLiteral("tick on"), QStringLiteral("playForm"),
            QStringLiteral("nowPlaying b.mp3") }));
    QCOMPARE(m_host->fakeEngine.calls,
        (QStringList { QStringLiteral("setUrl /m/b.mp3"), QStringLiteral("play") }));
    QCOMPARE(m_form->currentIndex(), 1);
}

void PlaylistWindowTest::filledListStartsAtFirstItem()
{
    fill({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
    QCOMPARE(m_form->currentIndex(), 0);
    QCOMPARE(list()->currentRow(), 0);
    QCOMPARE(m_form->count(), 3);
    QVERIFY(list()->selectedItems().isEmpty());
    // Adding to a list that has items leaves the current item where it is.
    list()->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    fill({ QStringLiteral("d"), QStringLiteral("e") });
    QCOMPARE(m_form->currentIndex(), 2);
    m_form->play();
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("/m/c.mp3") });
}

void PlaylistWindowTest::sameNameTwicePlaysTheLastPath()
{
    m_form->dropFiles({ QStringLiteral("/m/a.mp3"), QStringLiteral("/n/a.wma") }, true);
    QCOMPARE(items(), (QStringList { QStringLiteral("a"), QStringLiteral("a") }));
    QCOMPARE(readBytes(storePath()), QByteArray("\r\n[Musica]\r\na=/n/a.wma\r\n"));
    m_form->play();
    m_form->playNext();
    QCOMPARE(engineUrls(), (QStringList { QStringLiteral("/n/a.wma"), QStringLiteral("/n/a.wma") }));
}

void PlaylistWindowTest::nameWithoutPathReplaysCurrentMedia()
{
    fill({ QStringLiteral("x=y"), QStringLiteral("b") });
    m_host->fakeEngine.setUrl(QStringLiteral("http://radio/stream"));
    m_host->fakeEngine.calls.clear();
    m_form->play();
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("http://radio/stream") });
    QVERIFY(m_host->tickEnabled);
}

void PlaylistWindowTest::nameWithoutPathAndNoMediaPlaysNothing()
{
    fill({ QStringLiteral("x=y"), QStringLiteral("b") });
    m_host->tickEnabled = true;
    m_form->play();
    QVERIFY(engineUrls().isEmpty());
    QVERIFY(m_host->promptSuppressed);
    QCOMPARE(m_host->calls, QStringList { QStringLiteral("tick off") });
    QVERIFY(!m_host->tickEnabled);
}

void PlaylistWindowTest::emptyListOperationsDoNothing()
{
    m_form->play();
    m_form->playNext();
    m_form->playPrevious();
    m_form->playClickedItem();
    m_form->playOnEnter(QChar(13));
    QVERIFY(m_host->calls.isEmpty());
    QVERIFY(m_host->fakeEngine.calls.isEmpty());
    QVERIFY(!m_host->promptSuppressed);
    QCOMPARE(m_form->currentIndex(), -1);
    QVERIFY(m_form->errors.isEmpty());
}

void PlaylistWindowTest::previousOnFirstAndNextOnLastReplay()
{
    fill({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
    m_form->playPrevious();
    QCOMPARE(m_form->currentIndex(), 0);
    m_form->playNext();
    m_form->playNext();
    m_form->playNext();
    QCOMPARE(m_form->currentIndex(), 2);
    m_form->playPrevious();
    QCOMPARE(engineUrls(),
        (QStringList { QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.mp3"), QStringLiteral("/m/c.mp3"),
            QStringLiteral("/m/c.mp3"), QStringLiteral("/m/b.mp3") }));
}

void PlaylistWindowTest::nextMovesFocusWithoutChangingSelection()
{
    fill({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d") });
    list()->item(0)->setSelected(true);
    list()->item(3)->setSelected(true);
    list()->setCurrentRow(1, QItemSelectionModel::NoUpdate);
    m_form->playNext();
    QCOMPARE(m_form->currentIndex(), 2);
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("/m/c.mp3") });
    QVERIFY(list()->item(0)->isSelected());
    QVERIFY(!list()->item(2)->isSelected());
    QVERIFY(list()->item(3)->isSelected());
    QCOMPARE(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
}

void PlaylistWindowTest::searchSelectsByPrefix_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    QTest::newRow("ab") << "ab" << 1;
    QTest::newRow("x") << "x" << 2;
    QTest::newRow("q") << "q" << -1;
    QTest::newRow("ABC") << "ABC" << 0;
    QTest::newRow("empty") << "" << -1;
}

void PlaylistWindowTest::searchSelectsByPrefix()
{
    QFETCH(QString, text);
    QFETCH(int, found);
    fill({ QStringLiteral("Abc"), QStringLiteral("abd"), QStringLiteral("Xyz") });
    list()->item(2)->setSelected(true);
    edit()->setText(QStringLiteral("z"));
    edit()->setText(text);
    QCOMPARE(list()->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(m_form->currentIndex(), found);
    const QList<QListWidgetItem *> selected = list()->selectedItems();
    QCOMPARE(selected.size(), found < 0 ? 0 : 1);
    if (found >= 0)
        QCOMPARE(list()->row(selected.constFirst()), found);
}

void PlaylistWindowTest::afterFailedSearchEveryPlayStartsFirst_data()
{
    QTest::addColumn<int>("operation");
    QTest::newRow("Enter") << 0;
    QTest::newRow("play") << 1;
    QTest::newRow("previous") << 2;
    QTest::newRow("next") << 3;
    QTest::newRow("double-click") << 4;
}

void PlaylistWindowTest::afterFailedSearchEveryPlayStartsFirst()
{
    QFETCH(int, operation);
    fill({ QStringLiteral("Abc"), QStringLiteral("abd"), QStringLiteral("Xyz") });
    list()->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    edit()->setText(QStringLiteral("q"));
    QCOMPARE(m_form->currentIndex(), -1);
    switch (operation) {
    case 0:
        QTest::keyClick(edit(), Qt::Key_Return);
        break;
    case 1:
        m_form->play();
        break;
    case 2:
        m_form->playPrevious();
        break;
    case 3:
        m_form->playNext();
        break;
    default:
        m_form->playClickedItem();
        break;
    }
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("/m/Abc.mp3") });
    QCOMPARE(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(m_form->currentIndex(), 0);
    // The list itself has its focus on the first item, not only our reading of it.
    QCOMPARE(list()->currentRow(), 0);
}

void PlaylistWindowTest::enterPlaysTheFoundItem()
{
    fill({ QStringLiteral("Abc"), QStringLiteral("abd"), QStringLiteral("Xyz") });
    QTest::keyClicks(edit(), QStringLiteral("xy"));
    QTest::keyClick(edit(), Qt::Key_Enter);
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("/m/Xyz.mp3") });
    // Next after the search goes on from the found item.
    m_form->playOnEnter(QLatin1Char('a'));
    edit()->setText(QStringLiteral("ab"));
    m_form->playNext();
    QCOMPARE(engineUrls().constLast(), QStringLiteral("/m/Xyz.mp3"));
    QCOMPARE(engineUrls().size(), 2);
}

void PlaylistWindowTest::itemValueShowsClickedPosition()
{
    fill({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d") });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    edit()->setText(QStringLiteral("zz"));
    QTest::mouseClick(
        list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(2)).center());
    QCOMPARE(labelText("Label5"), QStringLiteral("3"));
    QCOMPARE(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
    m_form->playNext();
    m_form->playPrevious();
    m_form->playPrevious();
    QCOMPARE(labelText("Label5"), QStringLiteral("3"));
    QCOMPARE(engineUrls(),
        (QStringList { QStringLiteral("/m/d.mp3"), QStringLiteral("/m/c.mp3"), QStringLiteral("/m/b.mp3") }));
}

void PlaylistWindowTest::doubleClickPlaysTheItem()
{
    fill({ QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QPoint second = list()->visualItemRect(list()->item(1)).center();
    // The first click of a double-click, then the double-click itself.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, second);
    QVERIFY(engineUrls().isEmpty());
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("/m/b.mp3") });
    QCOMPARE(labelText("Label5"), QStringLiteral("2"));
}

void PlaylistWindowTest::buttonsSwallowErrorsOthersShowOneBox()
{
    fill({ QStringLiteral("a"), QStringLiteral("b") });
    m_host->fakeEngine.failingCalls = { QStringLiteral("setUrl") };
    m_host->tickEnabled = true;
    m_form->play();
    m_form->playNext();
    m_form->playPrevious();
    QVERIFY(m_form->errors.isEmpty());
    // A failure after the timer was switched off leaves it off.
    QVERIFY(!m_host->tickEnabled);
    m_form->playClickedItem();
    QCOMPARE(m_form->errors, QStringList { QStringLiteral("scripted failure of setUrl") });
    m_form->playOnEnter(QChar(13));
    QCOMPARE(m_form->errors.size(), 2);
    // A failing play form inside a drop reaches the box too.
    m_host->fakeEngine.failingCalls = { QStringLiteral("play") };
    m_form->dropFiles({ QStringLiteral("/m/z.mp3") }, true);
    QCOMPARE(m_form->errors.constLast(), QStringLiteral("scripted failure of play"));
    QCOMPARE(m_form->errors.size(), 3);
}

void PlaylistWindowTest::nextAfterLoadingUsesTheLoadedStore()
{
    const QString playlist = m_files.filePath(QStringLiteral("carregada.lpl"));
    writeBytes(playlist, "[Musica]\r\nUm=/x/Um.mp3\r\nDois=/x/Dois.mp3\r\n");
    m_form->loadPlaylist(playlist);
    m_form->playNext();
    QCOMPARE(engineUrls(), QStringList { QStringLiteral("/x/Dois.mp3") });
    // Adding files opens the default store: names only in the loaded file now
    // replay the current media.
    m_form->dropFiles({ QStringLiteral("/m/Tres.mp3"), QStringLiteral("/m/Quatro.mp3") }, true);
    m_form->playPrevious();
    QCOMPARE(engineUrls().constLast(), QStringLiteral("/x/Dois.mp3"));
    list()->setCurrentRow(3, QItemSelectionModel::NoUpdate);
    m_form->play();
    QCOMPARE(engineUrls().constLast(), QStringLiteral("/m/Quatro.mp3"));
}

QTEST_MAIN(PlaylistWindowTest)
#include "playlist_window_test.moc"
