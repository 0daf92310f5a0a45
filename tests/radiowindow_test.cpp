// "Rádios" in the program: searching the loopback stand-in for the radio
// database through the window's controls, playing a station (and counting
// its click), the offline answer, favourites in "Canais", and the first-start
// offer's line that looks the built-in radios up. Engine faked; settings and
// caches in temporary folders.
#include "app/ChannelListsHub.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/RadioHub.h"
#include "lists/ChannelListsNotice.h"
#include "lists/ChannelListsWindow.h"
#include "lists/ChannelWindow.h"
#include "lists/LogoCache.h"
#include "player/AlternateAddresses.h"
#include "player/Player.h"
#include "radio/BuiltInRadioSearch.h"
#include "radio/RadioDirectory.h"
#include "radio/RadioWindow.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/Pictures.h"
#include "tests/support/RadioDatabaseStandIn.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

using Station = RadioDatabaseStandIn;

class RadioWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cache"))));
        m_db = std::make_unique<Station>();
        QList<QJsonObject> stations { Station::station(
                                          QStringLiteral("cbn"), QStringLiteral("Rádio CBN"), 300),
            Station::station(QStringLiteral("rock"), QStringLiteral("Rock Brasil"), 800, 9,
                QStringLiteral("BR"), QStringLiteral("rock")),
            Station::station(QStringLiteral("samba"), QStringLiteral("Samba de Raiz"), 50) };
        for (int i = 0; i < 97; ++i)
            stations << Station::station(
                QStringLiteral("s%1").arg(i), QStringLiteral("Estação %1").arg(i), i);
        m_db->setStations(stations);
        m_engine = new FakeEngine;
        m_program = std::make_unique<Program>(std::unique_ptr<MediaEngine>(m_engine),
            ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
        radio().useServers({ m_db->address() });
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
    }
    void cleanup()
    {
        setMessageHandler({});
        m_program.reset();
        m_db.reset();
        m_dir.reset();
    }

    void menuItemAndButtonOpenTheWindow()
    {
        auto *item = m_program->mainWindow().findChild<QAction *>(QStringLiteral("RadiosItem"));
        QVERIFY(item);
        QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QVERIFY(m_db->targets().isEmpty()); // nothing asked before the window opens
        item->trigger();
        QVERIFY(window() && window()->isVisible());
        QTRY_COMPARE(window()->shownCount(), 100);
        QVERIFY(m_program->mainWindow().findChild<QWidget *>(QStringLiteral("RadiosButton")));
    }

    void searchShowsTheMostPopularAndEnterPlaysWithAClick()
    {
        m_db->serveFavicons();
        RadioWindow *w = radio().showWindow();
        QTRY_COMPARE(w->shownCount(), 100);
        auto *list = w->findChild<QListView *>(QStringLiteral("RadioStations"));
        QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("Rock Brasil"));
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(m_engine->url(), QStringLiteral("http://stream.test/rock"));
        QCOMPARE(m_program->mainWindow().windowTitle(), QStringLiteral("Lumivortex TV - Rock Brasil"));
        QCOMPARE(m_program->player().alternates().entries(QStringLiteral("Lumivortex TV - Rock Brasil")),
            (QStringList {
                QStringLiteral("http://stream.test/rock"), QStringLiteral("http://stream.test/rock.pls") }));
        QTRY_COMPARE(m_db->clicks(QStringLiteral("rock")), 1);
        // The rows on screen fetch their pictures as they are drawn.
        LogoCache &logos = m_program->channelLists().logos();
        const QString rockPicture = m_db->address() + QStringLiteral("/favicon/rock.png");
        QTRY_VERIFY(!logos.logo(rockPicture).isNull());
        keepPicture(w, "radios");

        // The song on air, on the Player page.
        m_engine->emitStreamTitle(QStringLiteral("Banda X - Canção"));
        MainWindow &main = m_program->mainWindow();
        main.findChild<QTabBar *>(QStringLiteral("TabControl1"))->setCurrentIndex(5);
        QCOMPARE(
            main.findChild<QLabel *>(QStringLiteral("Label10"))->text(), QStringLiteral("Banda X - Canção"));
        keepPicture(&main, "player-musica-no-ar");
    }

    void typingFiltersAtOnceAndAsksAfterThePause()
    {
        RadioWindow *w = radio().showWindow();
        QTRY_COMPARE(w->shownCount(), 100);
        const int asked = int(m_db->targets().size());
        auto *search = w->findChild<QLineEdit *>(QStringLiteral("RadioSearch"));
        QTest::keyClicks(search, QStringLiteral("samba"));
        QCOMPARE(w->shownCount(), 1); // at once, from what is shown
        QCOMPARE(int(m_db->targets().size()), asked); // not yet asked
        QVERIFY(radio().directory().typingPause().isActive());
        radio().directory().typingPause().stop();
        radio().directory().searchNow();
        QTRY_VERIFY(!radio().directory().isSearching());
        QVERIFY(m_db->targets().last().contains(QStringLiteral("name=samba")));
        QCOMPARE(w->shownCount(), 1);
    }

    void offlineTheLastResultsStillShowAndPlay()
    {
        RadioWindow *w = radio().showWindow();
        QTRY_COMPARE(w->shownCount(), 100);
        QTRY_VERIFY(!radio().directory().isSearching());
        radio().useServers({ QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::unusedPort()) });
        auto *country = w->findChild<QComboBox *>(QStringLiteral("RadioCountry"));
        country->setCurrentIndex(country->findData(QStringLiteral("PT")));
        country->setCurrentIndex(country->findData(QStringLiteral("BR")));
        radio().directory().searchNow();
        QTRY_VERIFY(!radio().directory().isSearching());
        QCOMPARE(w->shownCount(), 100);
        QVERIFY(w->findChild<QLabel *>(QStringLiteral("RadioStatus"))
                    ->text()
                    .contains(QStringLiteral("guardados")));
        auto *list = w->findChild<QListView *>(QStringLiteral("RadioStations"));
        list->setCurrentIndex(list->model()->index(1, 0));
        QVERIFY(w->playSelected());
        QCOMPARE(m_engine->url(), QStringLiteral("http://stream.test/cbn"));
    }

    void favouriteStationsAppearInChannels()
    {
        RadioWindow *w = radio().showWindow();
        QTRY_COMPARE(w->shownCount(), 100);
        auto *list = w->findChild<QListView *>(QStringLiteral("RadioStations"));
        list->setCurrentIndex(
            list->model()->index(radio().directory().results().rowOf(QStringLiteral("samba")), 0));
        w->findChild<QPushButton *>(QStringLiteral("RadioFavouriteButton"))->click();
        ChannelWindow *channels = m_program->channelLists().showChannelWindow();
        QCOMPARE(channels->shownCount(), 1);
        auto *rows = channels->findChild<QListView *>(QStringLiteral("ChannelListView"));
        rows->setCurrentIndex(rows->model()->index(0, 0));
        QVERIFY(channels->tuneSelected());
        QCOMPARE(m_engine->url(), QStringLiteral("http://stream.test/samba"));
        // Kept across runs: a new program shows it again without asking anyone.
        m_program.reset();
        m_engine = new FakeEngine;
        m_program = std::make_unique<Program>(std::unique_ptr<MediaEngine>(m_engine),
            ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
        m_program->channelLists().start();
        radio().start();
        QCOMPARE(m_program->channelLists().showChannelWindow()->shownCount(), 1);
    }

    void firstStartOfferLooksTheBuiltInRadiosUp()
    {
        m_program->channelLists().setSuggestedLists(
            { { QStringLiteral("Lista"), m_db->address() + QStringLiteral("/l.m3u"), false } });
        m_program->channelLists().start();
        radio().start();
        ChannelListsNotice *notice = m_program->channelLists().notice();
        QVERIFY(notice);
        auto *line = notice->findChild<QCheckBox *>(QStringLiteral("RadioSearchCheck"));
        QVERIFY(line && line->isChecked());
        // The box grew for the line: its texts keep all their lines.
        QVERIFY(QTest::qWaitForWindowExposed(notice));
        QVERIFY(line->isVisible());
        for (const QLabel *text : notice->findChildren<QLabel *>())
            QVERIFY(text->height() >= text->heightForWidth(text->width()));
        QVERIFY(m_db->targets().isEmpty());
        QSignalSpy finished(&radio().builtInSearch(), &BuiltInRadioSearch::finished);
        notice->findChild<QPushButton *>(QStringLiteral("AcceptSuggestionsButton"))->click();
        QVERIFY(radio().builtInSearchAccepted());
        QVERIFY(finished.wait(60000));
        // CBN found its station: the button plays it, and the coverage counts it.
        const Channel *cbn = m_program->channelLists().catalogue().byControl(QStringLiteral("SpeedButton19"));
        QVERIFY(cbn);
        m_program->channelLists().tuneBuiltIn(*cbn);
        QCOMPARE(m_engine->url(), QStringLiteral("http://stream.test/cbn"));
        QCOMPARE(m_program->mainWindow().windowTitle(), QStringLiteral("Lumivortex TV - Radio CBN"));
        ChannelListsWindow *lists = m_program->channelLists().showListsWindow();
        QVERIFY(lists->findChild<QLabel *>(QStringLiteral("BuiltInCoverageLabel"))
                    ->text()
                    .startsWith(QStringLiteral("1 dos 101")));
    }

    void declinedOfferAsksNothing()
    {
        m_program->channelLists().setSuggestedLists(
            { { QStringLiteral("Lista"), m_db->address() + QStringLiteral("/l.m3u"), false } });
        m_program->channelLists().start();
        radio().start();
        m_program->channelLists()
            .notice()
            ->findChild<QPushButton *>(QStringLiteral("DeclineSuggestionsButton"))
            ->click();
        QVERIFY(!radio().builtInSearchAccepted());
        QTest::qWait(200);
        QVERIFY(m_db->targets().isEmpty());
    }

private:
    RadioHub &radio() { return m_program->radio(); }
    static RadioWindow *window()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *radioWindow = qobject_cast<RadioWindow *>(w))
                return radioWindow;
        return nullptr;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Station> m_db;
    FakeEngine *m_engine = nullptr;
    std::unique_ptr<Program> m_program;
};

QTEST_MAIN(RadioWindowTest)
#include "radiowindow_test.moc"
