// The guide where the user meets it, in the program with a fake engine and a
// local guide: "Guia de programação" from the context menu after "Canais",
// the Sistema page and Ctrl+G, tuning from its grid; the banner after a tune
// and on I, hidden in "Tela Limpa", never over the pop-up panels; "Canais"
// rows and the selected channel's day, and "Escolher guia…".
#include "app/ChannelListsHub.h"
#include "app/GuideHub.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/RecordingsHub.h"
#include "guide/ChannelGuidePanel.h"
#include "guide/GuideChannelDialog.h"
#include "guide/GuideGridView.h"
#include "guide/GuideWindow.h"
#include "guide/ProgrammeBanner.h"
#include "guide/ProgrammeDetailsPanel.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ChannelPicks.h"
#include "lists/ChannelWindow.h"
#include "player/Player.h"
#include "recording/RecordingSchedule.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/LocalGuide.h"
#include "tests/support/Pictures.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>
#include <algorithm>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QString clock(qint64 when)
{
    return QDateTime::fromSecsSinceEpoch(when).toString(QStringLiteral("HH:mm"));
}

const QByteArray kList = "#EXTM3U\n"
                         "#EXTINF:-1 group-title=\"Abertos\",TV Globo HD\n"
                         "http://127.0.0.1:9/globo\n"
                         "#EXTINF:-1 tvg-id=\"SBT\" group-title=\"Abertos\",SBT\n"
                         "http://127.0.0.1:9/sbt\n"
                         "#EXTINF:-1 group-title=\"Rádio\",Globo FM\n"
                         "http://127.0.0.1:9/globofm\n"
                         "#EXTINF:-1,TV Globo\n"
                         "http://127.0.0.1:9/globo-builtin\n";
} // namespace

class GuideHubTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cache"))));
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
        m_engine = new FakeEngine;
        m_program = std::make_unique<Program>(std::unique_ptr<MediaEngine>(m_engine),
            ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
        QVERIFY(m_program->started());
        m_hour = LocalGuide::hourOf(QDateTime::currentSecsSinceEpoch());

        const QString list = m_dir->filePath(QStringLiteral("canais.m3u"));
        QVERIFY(LocalGuide::write(list, kList));
        QVERIFY(!m_program->channelLists().registry().add(QString(), list).isEmpty());
        const QString guide = m_dir->filePath(QStringLiteral("guia.xml"));
        QVERIFY(LocalGuide::write(guide,
            LocalGuide::around(
                m_hour, "<desc>Notícias do dia</desc><rating><value>[L] Livre</value></rating>")));
        m_program->guideRegistry().add(u("Guia local"), guide);
        m_program->channelLists().setSuggestedLists({});
        m_program->mainWindow().show();
        m_program->channelLists().start();
        QTRY_COMPARE(m_program->channelLists().library().allChannels().size(), 4);
        QVector<GuideChannelQuery> channels;
        const ListChannels all = m_program->channelLists().library().allChannels();
        for (qsizetype i = 0; i < all.size(); ++i)
            channels << GuideChannelQuery::forEntry(all.at(i));
        m_program->guides().setChannels(channels);
        m_program->guides().start();
        QTRY_VERIFY(m_program->guides().isIdle() && !m_program->guides().matcher().guides().isEmpty());
        m_program->guideHub().rowNotes().fixNow(m_hour + 15 * 60);
        m_program->guideHub().tuned().fixNow(m_hour + 15 * 60);
    }
    void cleanup()
    {
        m_program.reset();
        setMessageHandler({});
    }

    void guideWindowOpensAfterCanaisFromTheSistemaPageAndCtrlG()
    {
        MainWindow &main = m_program->mainWindow();
        const QList<QAction *> items = main.findChild<QMenu *>(QStringLiteral("PopupMenu1"))->actions();
        const auto canais = std::find_if(items.begin(), items.end(),
            [](QAction *a) { return a->objectName() == QLatin1String("ChannelsItem"); });
        QVERIFY(canais != items.end() && canais + 1 != items.end());
        QAction *guide = *(canais + 1);
        QCOMPARE(guide->objectName(), QStringLiteral("GuideItem"));
        QCOMPARE(guide->text(), u("Guia de programação"));
        QCOMPARE(guide->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
        guide->trigger();
        QVERIFY(m_program->guideHub().guideWindow() && m_program->guideHub().guideWindow()->isVisible());
        m_program->guideHub().guideWindow()->close();
        main.findChild<QAbstractButton *>(QStringLiteral("GuideButton"))->click();
        QVERIFY(m_program->guideHub().guideWindow()->isVisible());
    }

    void enterOnTheGridTunesTheChannel()
    {
        GuideWindow *window = m_program->guideHub().showGuideWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(window->grid()->hasFocus());
        QTest::keyClick(window->grid(), Qt::Key_Return); // the first channel's row
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/globo"));
        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - TV Globo HD"));
        QVERIFY(m_program->guideHub().bannerState().isShown());
        keepPicture(window, "guia-grade");
        keepPicture(&m_program->mainWindow(), "guia-faixa-sobre-o-canal");
    }

    void recordThisProgrammeSchedulesIt()
    {
        GuideWindow *window = m_program->guideHub().showGuideWindow();
        const QAbstractItemModel *grid = window->grid()->model();
        const QModelIndex globo = grid->index(0, 0);
        QModelIndex next;
        for (int row = 0; row < grid->rowCount(globo) && !next.isValid(); ++row)
            if (grid->index(row, 0, globo).data(GuideGridModel::StartRole).toLongLong() == m_hour + 3600)
                next = grid->index(row, 0, globo);
        QVERIFY(next.isValid());
        window->details()->show(next);
        window->details()->findChild<QPushButton *>(QStringLiteral("RecordProgrammeButton"))->click();
        const QList<ScheduledRecording> entries = m_program->recordings().schedule().entries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().programme, next.data().toString());
        QCOMPARE(entries.first().address, u("http://127.0.0.1:9/globo"));
    }

    void tuneShowsTheBannerThenIBringsItBackButNotInCleanScreen()
    {
        GuideHub &hub = m_program->guideHub();
        ProgrammeBanner *banner = hub.banner();
        m_program->channelLists().tuneListChannel(m_program->channelLists().library().allChannels().at(1));
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->channelText(), u("SBT"));
        QCOMPARE(banner->nowText(), clock(m_hour) + u("–") + clock(m_hour + 3600) + u("  SBT 0"));
        QCOMPARE(banner->progressPercent(), 25);
        QCOMPARE(banner->nextText(),
            u("Depois: ") + clock(m_hour + 3600) + u("–") + clock(m_hour + 7200) + u(" SBT 1"));
        // The window title stays as a tune makes it.
        QCOMPARE(m_program->mainWindow().windowTitle(), u("Lumivortex TV - SBT"));

        hub.bannerState().timeUp();
        QVERIFY(!banner->isVisible());
        QTest::keyClick(&m_program->mainWindow(), Qt::Key_I);
        QVERIFY(banner->isVisible());
        QTest::keyClick(&m_program->mainWindow(), Qt::Key_I);
        QVERIFY(!banner->isVisible());

        QTest::keyClick(&m_program->mainWindow(), Qt::Key_I);
        m_program->mainWindow().findChild<QAction *>(QStringLiteral("Pocket1"))->trigger(); // "Tela Limpa"
        QVERIFY(!banner->isVisible());
        m_program->channelLists().tuneListChannel(m_program->channelLists().library().allChannels().at(0));
        QVERIFY(!banner->isVisible());
        QTest::keyClick(&m_program->mainWindow(), Qt::Key_I);
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->channelText(), u("TV Globo HD"));

        // A file in the channel's place: nothing to say, and I does nothing.
        m_program->player().startFile(m_dir->filePath(QStringLiteral("musica.mp3")));
        QVERIFY(!banner->isVisible());
        QTest::keyClick(&m_program->mainWindow(), Qt::Key_I);
        QVERIFY(!banner->isVisible());
    }

    void builtInChannelShowsTheGuideOfTheEntryItPlays()
    {
        m_program->mainWindow().findChild<QAbstractButton *>(QStringLiteral("SpeedButton90"))->click();
        QCOMPARE(m_engine->url(), u("http://127.0.0.1:9/globo-builtin"));
        ProgrammeBanner *banner = m_program->guideHub().banner();
        QVERIFY(banner->isVisible());
        QCOMPARE(banner->channelText(), u("TV Globo"));
        QVERIFY(banner->nowText().endsWith(u("tv-globo 0")));
        QCOMPARE(m_program->guideHub().tuned().programmeOnNow(), u("tv-globo 0"));
    }

    void bannerGivesWayToThePopupPanels()
    {
        MainWindow &main = m_program->mainWindow();
        ProgrammeBanner *banner = m_program->guideHub().banner();
        m_program->channelLists().tuneListChannel(m_program->channelLists().library().allChannels().at(1));
        QVERIFY(banner->isVisible());
        for (QWidget *panel : main.popupPanels()) {
            panel->show();
            // A panel high on the video, as a short window puts it.
            panel->move(panel->x(), 20);
            QVERIFY(!banner->isVisible() || !banner->geometry().intersects(panel->geometry()));
            panel->hide();
        }
        QVERIFY(banner->isVisible());
    }

    void canaisRowsSayWhatIsOnAndTheSelectedChannelsDay()
    {
        ChannelWindow *window = m_program->channelLists().showChannelWindow();
        auto *list = window->findChild<QListView *>(QStringLiteral("ChannelListView"));
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), 44);
        auto *panel = window->findChild<ChannelGuidePanel *>();
        QVERIFY(panel);
        list->setCurrentIndex(list->model()->index(0, 0));
        const QString day = panel->text();
        QVERIFY2(day.startsWith(u("Agora\n") + clock(m_hour) + u("–") + clock(m_hour + 3600)
                     + u("  tv-globo 0\n[L] Livre\nNotícias do dia")),
            qPrintable(day));
        QVERIFY(day.contains(u("Depois\n") + clock(m_hour + 3600)));
        // The row's tooltip: its name as written, then what comes next.
        const QPoint at = list->visualRect(list->model()->index(1, 0)).center();
        QHelpEvent tip(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &tip);
        QCOMPARE(QToolTip::text(),
            u("SBT · Depois: ") + clock(m_hour + 3600) + u("–") + clock(m_hour + 7200) + u(" SBT 1"));
        // Beside "Fontes…" in the row's menu.
        const QList<QAction *> rowActions = list->actions();
        const auto choose = std::find_if(rowActions.cbegin(), rowActions.cend(),
            [](QAction *action) { return action->objectName() == QLatin1String("ChooseGuideAction"); });
        QVERIFY(choose != rowActions.cend());
        QCOMPARE((*choose)->text(), u("Escolher guia…"));
        keepPicture(window, "canais-agora-e-depois");
    }

    void chosenGuideChannelIsKeptAndShown()
    {
        ChannelWindow *window = m_program->channelLists().showChannelWindow();
        auto *list = window->findChild<QListView *>(QStringLiteral("ChannelListView"));
        list->setCurrentIndex(list->model()->index(2, 0)); // Globo FM: no prefix match
        const ListChannel globoFm = window->currentChannel();
        QCOMPARE(globoFm.name, u("Globo FM"));
        QVERIFY(m_program->guideHub().rowNotes().noteFor(globoFm).isEmpty());

        GuideChannelDialog dialog(
            globoFm.name, m_program->guides().matcher(), m_program->guideRegistry(), std::nullopt);
        dialog.setSearchText(u("sbt"));
        QCOMPARE(dialog.shownCount(), 1);
        QCOMPARE(dialog.answer()->channelId, u("SBT"));
        dialog.setSearchText(u("GLOBO"));
        QCOMPARE(dialog.shownCount(), 1);
        QCOMPARE(dialog.answer()->channelId, u("tv-globo"));
        const GuideChoices::Choice chosen = *dialog.answer();
        m_program->guideChoices().choose(ChannelPicks::identityOf(globoFm), chosen.guideId, chosen.channelId);
        QTRY_VERIFY(m_program->guideHub().rowNotes().noteFor(globoFm).line.endsWith(u("tv-globo 0")));
        QVERIFY(GuideChoices(GuideChoices::defaultPath()).choiceFor(ChannelPicks::identityOf(globoFm)));

        // Asked again, the dialog starts on the choice kept.
        GuideChannelDialog again(globoFm.name, m_program->guides().matcher(), m_program->guideRegistry(),
            m_program->guideChoices().choiceFor(ChannelPicks::identityOf(globoFm)));
        QCOMPARE(again.answer()->channelId, u("tv-globo"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
    FakeEngine *m_engine = nullptr;
    qint64 m_hour = 0;
};

QTEST_MAIN(GuideHubTest)
#include "guidehub_test.moc"
