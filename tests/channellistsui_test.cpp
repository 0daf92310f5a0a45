// The channel lists as the user meets them: windows driven through their
// controls, the engine faked, lists served from loopback, settings and cache
// in temporary folders.
#include "app/ChannelListsHub.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/AlternateAddressLists.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ChannelListsNotice.h"
#include "lists/ChannelListsWindow.h"
#include "lists/ChannelPicks.h"
#include "lists/ChannelWindow.h"
#include "lists/OwnChannelList.h"
#include "player/Player.h"
#include "player/Reconnection.h"
#include "player/SourceFailover.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/Dialogs.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
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

const QByteArray kList = "#EXTM3U\n"
                         "#EXTINF:-1 tvg-id=\"Band.br\" group-title=\"Notícias\",Band (1080p) [Geo-blocked]\n"
                         "http://127.0.0.1:9/band1\n"
                         "#EXTINF:-1 group-title=\"Esportes\",Esporte Total\n"
                         "http://127.0.0.1:9/esporte\n"
                         "#EXTINF:-1 tvg-id=\"Globo.br\",TV Globo\n"
                         "http://127.0.0.1:9/globo\n";
const QByteArray kOther = "#EXTM3U\n"
                          "#EXTINF:-1 http-user-agent=\"Agente/1\",Band\n"
                          "http://127.0.0.1:9/band2\n";
} // namespace

class ChannelListsUiTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cache"))));
        m_questions = 0;
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            if (request.text == Reconnection::questionText())
                ++m_questions;
            return request.escapeButton;
        });
        m_engine = new FakeEngine;
        m_program = std::make_unique<Program>(std::unique_ptr<MediaEngine>(m_engine),
            ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
        QVERIFY(m_program->started());
    }
    void cleanup()
    {
        m_program.reset();
        QFile::remove(OwnChannelList::path());
        setMessageHandler({});
        setTextHandler({});
    }

    void placeholderChannelSaysSoOncePerRunWithoutQuestion()
    {
        start({});
        closeNotice(); // the first start's notice
        auto *globo = m_program->mainWindow().findChild<QToolButton *>(QStringLiteral("SpeedButton90"));
        for (int click = 0; click < 2; ++click) {
            m_engine->calls.clear();
            globo->click();
            QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - TV Globo sem endereço"));
            QVERIFY(!m_engine->calls.join(QLatin1Char(' ')).contains(QLatin1String("setUrl")));
            QCOMPARE(bool(hub()->notice()), click == 0);
            closeNotice();
        }
        QCOMPARE(m_questions, 0);
    }

    void firstStartOffer_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("declined") << false;
    }
    void firstStartOffer()
    {
        QFETCH(bool, accept);
        start({ { u("Brasil"), u("http://127.0.0.1:9/br.m3u"), true },
            { u("Índice"), u("http://127.0.0.1:9/index.m3u"), false } });
        QVERIFY(hub()->notice());
        QVERIFY(hub()->notice()->findChild<QWidget *>(QStringLiteral("SuggestedListCheck2")));
        hub()
            ->notice()
            ->findChild<QPushButton *>(accept ? QStringLiteral("AcceptSuggestionsButton")
                                              : QStringLiteral("DeclineSuggestionsButton"))
            ->click();
        QVERIFY(hub()->registry().suggestionsAnswered());
        QStringList names;
        for (const ChannelListSource &list : hub()->registry().lists())
            names << list.name;
        QCOMPARE(names, accept ? QStringList { u("Brasil") } : QStringList {});

        // Asked once: the next start offers nothing.
        m_program.reset();
        m_engine = new FakeEngine;
        m_program = std::make_unique<Program>(std::unique_ptr<MediaEngine>(m_engine),
            ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
        start({ { u("Brasil"), u("http://127.0.0.1:9/br.m3u"), true } });
        QCOMPARE(bool(hub()->notice()), false);
    }

    void emptySuggestionsOfferNothing()
    {
        start({});
        QVERIFY(hub()->notice());
        QVERIFY(!hub()->notice()->findChild<QWidget *>(QStringLiteral("AcceptSuggestionsButton")));
        QVERIFY(!hub()->notice()->findChild<QWidget *>(QStringLiteral("SuggestedListCheck1")));
    }

    void listsWindowAddsRenamesAndRemoves()
    {
        LoopbackHttpServer server;
        LoopbackHttpServer::Response list;
        list.body = kList;
        server.setResponse(QStringLiteral("/lista.m3u"), list);
        start({});
        ChannelListsWindow *window = hub()->showListsWindow();
        auto *table = window->findChild<QTreeWidget *>(QStringLiteral("ChannelListsTable"));
        window->findChild<QLineEdit *>(QStringLiteral("ListAddressEdit"))
            ->setText(server.url(QStringLiteral("/lista.m3u")));
        window->findChild<QPushButton *>(QStringLiteral("AddListButton"))->click();
        QCOMPARE(table->topLevelItemCount(), 1);
        QTRY_COMPARE(table->topLevelItem(0)->text(2), u("3"));
        QTRY_VERIFY(window->findChild<QLabel *>(QStringLiteral("BuiltInCoverageLabel"))
                        ->text()
                        .startsWith(QLatin1String("2 dos 101")));

        setTextHandler([](QWidget *, const TextRequest &) { return u("Minha lista"); });
        window->findChild<QPushButton *>(QStringLiteral("RenameListButton"))->click();
        QCOMPARE(table->topLevelItem(0)->text(0), u("Minha lista"));
        window->findChild<QPushButton *>(QStringLiteral("RemoveListButton"))->click();
        QCOMPARE(table->topLevelItemCount(), 0);
    }

    void builtInChannelPlaysTheListsAddress()
    {
        addFileList(QStringLiteral("a.m3u"), kList);
        start({});
        QTRY_VERIFY(hub()
                        ->catalogue()
                        .byControl(QStringLiteral("SpeedButton90"))
                        ->address.startsWith(QLatin1String("http://127")));
        m_program->mainWindow().findChild<QToolButton *>(QStringLiteral("SpeedButton90"))->click();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/globo"));
        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - TV Globo"));
    }

    void channelWindowFiltersAndTunesWithAlternates()
    {
        addFileList(QStringLiteral("a.m3u"), kList);
        addFileList(QStringLiteral("b.m3u"), kOther);
        start({});
        QTRY_COMPARE(hub()->library().allChannels().size(), 4);
        ChannelWindow *window = hub()->showChannelWindow();
        window->findChild<QLineEdit *>(QStringLiteral("ChannelSearchEdit"))->setText(u("BÁND"));
        QCOMPARE(window->shownCount(), 2);
        QTest::keyClick(window->findChild<QListView *>(QStringLiteral("ChannelListView")), Qt::Key_Return);

        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - Band"));
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band1"));
        QVERIFY(m_engine->calls.contains(u("setRequestHeaders http://127.0.0.1:9/band2 Agente/1 ")));
        QListWidget *alternates = m_program->alternateAddressLists().listFor(u("Lumivortex TV - Band"));
        QVERIFY(alternates);
        QCOMPARE(alternates->count(), 2);
        QCOMPARE(hub()->picks().recents().value(0), u("id:band.br"));

        // Favourites are kept across runs.
        window->findChild<QPushButton *>(QStringLiteral("FavouriteButton"))->click();
        QVERIFY(ChannelPicks().isFavourite(u("id:band.br")));
    }

    void keysTuneNeighboursNumbersAndTheChannelBefore()
    {
        addFileList(QStringLiteral("a.m3u"), kList);
        addFileList(QStringLiteral("b.m3u"), kOther);
        start({});
        QTRY_COMPARE(hub()->library().allChannels().size(), 4);
        // Before "Canais" opens: every channel in list order; from no list channel, the first.
        hub()->tuneNeighbour(1);
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band1"));
        hub()->tuneNeighbour(1);
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/esporte"));
        hub()->tuneNeighbour(-1);
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band1"));
        hub()->tuneNeighbour(-1); // round to the last
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band2"));
        // Another entry of Band is no change of channel: back is Esporte Total.
        hub()->tuneLastChannel();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/esporte"));
        hub()->tuneLastChannel();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band2"));

        // "Canais" as it shows the lists: searched for Band, two rows.
        ChannelWindow *window = hub()->showChannelWindow();
        window->findChild<QLineEdit *>(QStringLiteral("ChannelSearchEdit"))->setText(u("band"));
        hub()->tuneNeighbour(1);
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band1"));
        hub()->channelNumberTimer().setInterval(0);
        hub()->typeChannelDigit(0);
        hub()->typeChannelDigit(2);
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band1")); // only after the pause
        QTRY_COMPARE(m_engine->url(), u("http://127.0.0.1:9/band2"));
        hub()->typeChannelDigit(3); // no third row: nothing
        QTRY_VERIFY(!hub()->channelNumberTimer().isActive());
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/band2"));
        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - Band"));
    }

    void ownListsAddressesPlayAndTheReconnectionRotatesThroughThem()
    {
        QVERIFY(QDir().mkpath(QFileInfo(OwnChannelList::path()).path()));
        QFile own(OwnChannelList::path());
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("#EXTM3U\r\n"
                  "#EXTINF:-1 group-title=\"Brasil\",TV Globo\r\nhttp://127.0.0.1:9/globo1\r\n"
                  "#EXTINF:-1,DIFM (Vocal Trance)\r\nhttp://127.0.0.1:9/vocal\r\n"
                  "#EXTINF:-1,TV Globo\r\nhttp://127.0.0.1:9/globo2\r\n");
        own.close();
        start({});
        QTRY_COMPARE(hub()->catalogue().byControl(QStringLiteral("SpeedButton90"))->address,
            u("http://127.0.0.1:9/globo1"));
        auto *globo = m_program->mainWindow().findChild<QToolButton *>(QStringLiteral("SpeedButton90"));
        QCOMPARE(globo->toolTip(),
            ChannelCatalogue::builtIn().byControl(QStringLiteral("SpeedButton90"))->tooltip);

        m_program->mainWindow().findChild<QAction *>(QStringLiteral("VocalTrance1"))->trigger();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/vocal"));
        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - DIFM (Vocal Trance)"));

        globo->click();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/globo1"));
        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - TV Globo"));
        m_engine->urlState.reset(); // the stream keeps failing
        // The reconnection's own rotation, as with "Trocar de fonte sozinho" off.
        m_program->player().failover().setEnabled(false);
        m_engine->emitState(MediaEngine::State::Failed, MediaEngine::Failure::CouldNotOpen);
        m_engine->calls.clear();
        for (int tick = 0; tick < 4; ++tick)
            m_program->player().reconnection().retryDroppedStream();
        QCOMPARE(m_engine->calls,
            QStringList({ u("setUrl http://127.0.0.1:9/globo1"), u("play"),
                u("setUrl http://127.0.0.1:9/globo2"), u("play"),
                u("play"), // the wrap tick replays the last address
                u("setUrl http://127.0.0.1:9/globo2"), u("play") }));
    }

    void listMarkedToAcceptInvalidCertificatesTellsTheEngine()
    {
        addFileList(QStringLiteral("a.m3u"), kList);
        addFileList(QStringLiteral("b.m3u"), kOther);
        start({});
        QTRY_COMPARE(hub()->library().allChannels().size(), 4);
        ChannelListsWindow *lists = hub()->showListsWindow();
        auto *table = lists->findChild<QTreeWidget *>(QStringLiteral("ChannelListsTable"));
        auto *box = lists->findChild<QCheckBox *>(QStringLiteral("AcceptInvalidCertificatesBox"));
        QCOMPARE(box->text(), u("aceitar certificados inválidos"));
        QVERIFY(!box->isChecked());
        table->setCurrentItem(table->topLevelItem(1)); // b.m3u
        box->click();
        QVERIFY(hub()->registry().lists().at(1).acceptInvalidCertificates);
        QVERIFY(!hub()->registry().lists().at(0).acceptInvalidCertificates);
        table->setCurrentItem(table->topLevelItem(0));
        QVERIFY(!box->isChecked());

        auto tuneBand = [&] {
            m_engine->calls.clear();
            ChannelWindow *window = hub()->showChannelWindow();
            window->findChild<QLineEdit *>(QStringLiteral("ChannelSearchEdit"))->setText(u("band"));
            QTest::keyClick(
                window->findChild<QListView *>(QStringLiteral("ChannelListView")), Qt::Key_Return);
            return m_engine->calls.filter(QStringLiteral("setAcceptInvalidCertificates"));
        };
        // Only the marked list's stream, an alternate of the channel tuned, skips the check.
        QCOMPARE(tuneBand(), QStringList { u("setAcceptInvalidCertificates http://127.0.0.1:9/band2 1") });
        QCOMPARE(tuneBand(), QStringList {});
        table->setCurrentItem(table->topLevelItem(1));
        QVERIFY(box->isChecked());
        box->click();
        QCOMPARE(tuneBand(), QStringList { u("setAcceptInvalidCertificates http://127.0.0.1:9/band2 0") });
    }

    void openAddressPlaysUnderSupervision()
    {
        start({});
        closeNotice();
        setTextHandler([](QWidget *, const TextRequest &) { return u("rtsp://127.0.0.1:9/camera"); });
        auto *item = m_program->mainWindow().findChild<QAction *>(QStringLiteral("OpenAddressItem"));
        QCOMPARE(item->shortcut(), QKeySequence(u("Ctrl+L")));
        item->trigger();
        QCOMPARE(m_engine->url(), u("rtsp://127.0.0.1:9/camera"));
        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - rtsp://127.0.0.1:9/camera"));
        m_engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(m_questions, 1);
    }

private:
    ChannelListsHub *hub() const { return &m_program->channelLists(); }
    void start(const QVector<SuggestedList> &suggested)
    {
        hub()->setSuggestedLists(suggested);
        hub()->start();
    }
    void closeNotice()
    {
        if (hub()->notice())
            hub()->notice()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
    int m_questions = 0;
};

QTEST_MAIN(ChannelListsUiTest)
#include "channellistsui_test.moc"
