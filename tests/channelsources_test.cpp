// One channel, many sources, as the user meets it: merged rows in "Canais",
// "Fontes…" and the kept choice, built-in buttons on the same ranked sources,
// favourites following the merged channel, and "Verificar canais" against a
// loopback server marking a channel "fora do ar". The engine is faked;
// settings and cache live in temporary folders.
#include "app/ChannelListsHub.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ChannelListsWindow.h"
#include "lists/ChannelPicks.h"
#include "lists/ChannelSources.h"
#include "lists/ChannelWindow.h"
#include "lists/ListChannelModel.h"
#include "lists/SourcesDialog.h"
#include "player/AlternateAddresses.h"
#include "player/Player.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Pictures.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/MessageBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QStringList rowsOf(const QListView *view, int role = Qt::DisplayRole)
{
    QStringList rows;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        rows << view->model()->index(row, 0).data(role).toString();
    return rows;
}
} // namespace

class ChannelSourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cache"))));
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
        startProgram();
    }
    void cleanup()
    {
        m_program.reset();
        setMessageHandler({});
    }

    void channelOfManyListsIsOneRowTriedInRankOrder()
    {
        addFileList(QStringLiteral("a.m3u"),
            "#EXTM3U\n"
            "#EXTINF:-1 tvg-id=\"Globo.br@SD\",TV Globo [Geo-blocked]\nhttp://127.0.0.1:9/globo-geo\n"
            "#EXTINF:-1,Globo FM\nhttp://127.0.0.1:9/globofm\n");
        addFileList(QStringLiteral("b.m3u"),
            "#EXTM3U\n"
            "#EXTINF:-1 tvg-id=\"Globo.br@HD\",TV Globo (1080p)\nhttp://127.0.0.1:9/globo-hd\n"
            "#EXTINF:-1 status=\"online\",TV GLOBO HD\nhttp://127.0.0.1:9/globo-online\n");
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().entries().size(), 4);
        ChannelWindow *window = hub()->showChannelWindow();
        auto *view = window->findChild<QListView *>(QStringLiteral("ChannelListView"));
        QCOMPARE(rowsOf(view), QStringList({ u("TV Globo"), u("Globo FM") }));
        QCOMPARE(view->model()->index(0, 0).data(ListChannelModel::SourceCountRole).toInt(), 3);

        view->setCurrentIndex(view->model()->index(0, 0));
        QVERIFY(window->tuneSelected());
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/globo-online"));
        QCOMPARE(m_program->player().alternates().entries(u("Lumivortex TV - TV Globo")),
            QStringList({ u("http://127.0.0.1:9/globo-online"), u("http://127.0.0.1:9/globo-hd"),
                u("http://127.0.0.1:9/globo-geo") }));
        QCOMPARE(hub()->picks().recents().value(0), u("id:globo.br"));
    }

    void pickedSourceIsKeptAndTheBuiltInButtonUsesIt()
    {
        addFileList(QStringLiteral("a.m3u"),
            "#EXTM3U\n"
            "#EXTINF:-1 tvg-id=\"Globo.br\",TV Globo\nhttp://127.0.0.1:9/globo1\n"
            "#EXTINF:-1,TV Globo (720p)\nhttp://127.0.0.1:9/globo2\n"
            "#EXTINF:-1,TV Globo [Not 24/7]\nhttp://127.0.0.1:9/globo3\n");
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().size(), 1);
        ChannelWindow *window = hub()->showChannelWindow();
        auto *view = window->findChild<QListView *>(QStringLiteral("ChannelListView"));
        view->setCurrentIndex(view->model()->index(0, 0));
        SourcesDialog *sources = window->showSourcesOfSelected();
        QVERIFY(sources);
        auto *list = sources->findChild<QListWidget *>(QStringLiteral("SourcesList"));
        QCOMPARE(list->count(), 3);
        QVERIFY(list->item(2)->text().contains(u("Not 24/7")));
        keepPicture(sources, "fontes");
        // "Mover para o topo" puts the third first, and so it stays.
        sources->selectRow(2);
        sources->findChild<QPushButton *>(QStringLiteral("MoveSourceToTopButton"))->click();
        QCOMPARE(sources->sources().first().address, u("http://127.0.0.1:9/globo3"));
        // Picking one plays it, and it is kept too.
        sources->selectRow(1);
        sources->findChild<QPushButton *>(QStringLiteral("PlaySourceButton"))->click();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/globo1"));

        // After a restart the built-in button tries the kept choice first.
        startProgram();
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().size(), 1);
        m_program->mainWindow().findChild<QToolButton *>(QStringLiteral("SpeedButton90"))->click();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/globo1"));
        QCOMPARE(m_program->player().alternates().entries(u("Lumivortex TV - TV Globo")).size(), 3);
    }

    void sourceThatPlaysWellComesFirstNextTime()
    {
        addFileList(QStringLiteral("a.m3u"),
            "#EXTM3U\n#EXTINF:-1,Rede Vida\nhttp://127.0.0.1:9/vida1\n#EXTINF:-1,Rede Vida HD\n"
            "http://127.0.0.1:9/vida2\n");
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().size(), 1);
        const int channel = 0;
        hub()->tuneListChannel(hub()->sources().rankedSources(channel).at(1));
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/vida2"));
        m_engine->emitState(MediaEngine::State::Playing);
        auto *playedWell = hub()->findChild<QTimer *>(QStringLiteral("SourcePlayedWellTimer"));
        QVERIFY(playedWell && playedWell->isActive());
        QCOMPARE(hub()->sources().rankedSources(channel).first().address, u("http://127.0.0.1:9/vida1"));
        playedWell->start(1); // ten seconds of playing, at once
        QTRY_COMPARE(hub()->sources().rankedSources(channel).first().address, u("http://127.0.0.1:9/vida2"));
    }

    void favouriteFollowsTheMergedChannel()
    {
        // Marked before a second list brought the id: it still marks the merged row.
        ChannelPicks(ChannelPicks::defaultPath()).setFavourite(u("name:tvcultura"), true);
        startProgram();
        addFileList(QStringLiteral("a.m3u"), "#EXTM3U\n#EXTINF:-1,TV Cultura\nhttp://127.0.0.1:9/c1\n");
        addFileList(QStringLiteral("b.m3u"),
            "#EXTM3U\n#EXTINF:-1 tvg-id=\"Cultura.br\",TV Cultura\nhttp://127.0.0.1:9/c2\n");
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().entries().size(), 2);
        ChannelWindow *window = hub()->showChannelWindow();
        auto *view = window->findChild<QListView *>(QStringLiteral("ChannelListView"));
        QCOMPARE(view->model()->rowCount(), 1);
        QVERIFY(view->model()->index(0, 0).data(ListChannelModel::FavouriteRole).toBool());
        auto *groups = window->findChild<QListWidget *>(QStringLiteral("ChannelGroupList"));
        groups->setCurrentRow(1); // "Favoritos"
        QCOMPARE(window->shownCount(), 1);
        view->setCurrentIndex(view->model()->index(0, 0));
        window->toggleFavourite();
        QCOMPARE(window->shownCount(), 0);
        QVERIFY(hub()->picks().favourites().isEmpty());
    }

    void checkMarksADeadChannelOffAirAndLast()
    {
        LoopbackHttpServer server;
        LoopbackHttpServer::Response live;
        live.body = "\x47 transport stream";
        server.setResponse(QStringLiteral("/live.ts"), live);
        const QByteArray list = "#EXTM3U\n#EXTINF:-1,Canal Morto\n"
            + server.url(QStringLiteral("/gone1")).toUtf8() + "\n#EXTINF:-1,Canal Morto HD\n"
            + server.url(QStringLiteral("/gone2")).toUtf8() + "\n#EXTINF:-1,Canal Vivo\n"
            + server.url(QStringLiteral("/live.ts")).toUtf8() + "\n";
        addFileList(QStringLiteral("a.m3u"), list);
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().size(), 2);
        ChannelWindow *window = hub()->showChannelWindow();
        auto *view = window->findChild<QListView *>(QStringLiteral("ChannelListView"));
        QCOMPARE(rowsOf(view), QStringList({ u("Canal Morto"), u("Canal Vivo") }));

        ChannelListsWindow *lists = hub()->showListsWindow();
        auto *progress = lists->findChild<QProgressBar *>(QStringLiteral("SourceCheckProgress"));
        QVERIFY(progress);
        lists->findChild<QPushButton *>(QStringLiteral("CheckSourcesButton"))->click();
        QVERIFY(progress->isVisibleTo(lists));
        keepPicture(lists, "verificar-canais");
        QTRY_VERIFY_WITH_TIMEOUT(!hub()->sources().checker().isRunning(), 15000);
        QVERIFY(!progress->isVisibleTo(lists));
        QVERIFY(lists->findChild<QLabel *>(QStringLiteral("SourceCheckStateLabel"))
                    ->text()
                    .contains(u("1 no ar, 2 fora do ar")));

        QCOMPARE(rowsOf(view), QStringList({ u("Canal Vivo"), u("Canal Morto") }));
        QCOMPARE(view->model()->index(1, 0).data(ListChannelModel::OffAirRole).toBool(), true);
        keepPicture(window, "canais-fora-do-ar");
        window->findChild<QCheckBox *>(QStringLiteral("OnAirOnlyBox"))->setChecked(true);
        QCOMPARE(rowsOf(view), QStringList({ u("Canal Vivo") }));

        // Kept with the list: a restart shows the same.
        startProgram();
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().size(), 2);
        QVERIFY(hub()->sources().isOffAir(hub()->sources().channels().channelOfKey(u("name:canalmorto"))));
    }

    void favouritesAreCheckedOnceADay()
    {
        addFileList(QStringLiteral("a.m3u"), "#EXTM3U\n#EXTINF:-1,Rede Vida\nhttp://127.0.0.1:9/vida\n");
        hub()->start();
        QTRY_COMPARE(hub()->sources().channels().size(), 1);
        ChannelSources &sources = hub()->sources();
        const QStringList picks { u("name:redevida") };
        const QDateTime start = QDateTime::currentDateTimeUtc();
        QVERIFY(sources.checkDaily(picks, start));
        QCOMPARE(sources.checker().totalCount(), 1);
        sources.checker().cancel();
        QVERIFY(!sources.checkDaily(picks, start.addSecs(23 * 3600)));
        QVERIFY(!sources.checker().isRunning());
        QVERIFY(sources.checkDaily(picks, start.addSecs(25 * 3600)));
        QVERIFY(sources.checker().isRunning());
    }

private:
    ChannelListsHub *hub() const { return &m_program->channelLists(); }
    void startProgram()
    {
        m_program.reset();
        m_engine = new FakeEngine;
        m_program = std::make_unique<Program>(std::unique_ptr<MediaEngine>(m_engine),
            ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
        QVERIFY(m_program->started());
    }
    void addFileList(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        QVERIFY(!hub()->registry().add(QString(), file.fileName()).isEmpty());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
    FakeEngine *m_engine = nullptr;
};

QTEST_MAIN(ChannelSourcesTest)
#include "channelsources_test.moc"
