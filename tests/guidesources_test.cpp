// "Guias de programação" in "Listas de canais", driven through its controls:
// adding guides by address, file and suggestion, what each row shows once a
// guide is read, renaming, the offset, and what may not be removed. Guides
// served from loopback, settings and cache in temporary folders.
#include "app/ChannelListsHub.h"
#include "guide/GuideFeed.h"
#include "guide/GuideRegistry.h"
#include "guide/GuideSourcesPanel.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ChannelListsNotice.h"
#include "lists/ChannelListsWindow.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/GuideBytes.h"
#include "tests/support/LoopbackHttpServer.h"
#include "widgets/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace
{

QByteArray guideAroundNow()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QDateTime hour = now.addSecs(-(now.toSecsSinceEpoch() % 3600));
    QByteArray xml = "<tv><channel id=\"Globo.br\"><display-name>TV Globo</display-name></channel>";
    for (int h = -1; h < 3; ++h)
        xml += "<programme start=\"" + GuideBytes::brasilia(hour.addSecs(h * 3600)) + "\" stop=\""
            + GuideBytes::brasilia(hour.addSecs((h + 1) * 3600))
            + "\" channel=\"Globo.br\"><title>Jornal</title></programme>";
    return xml + "</tv>";
}

LoopbackHttpServer::Response answer(const QByteArray &body)
{
    LoopbackHttpServer::Response r;
    r.body = body;
    return r;
}

enum Column {
    NameColumn,
    AddressColumn,
    ChannelsColumn,
    ProgrammesColumn,
    RangeColumn,
    RefreshColumn,
    ErrorColumn
};

} // namespace

class GuideSourcesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    LoopbackHttpServer m_server;
    std::unique_ptr<FakeProgram> m_program;
    GuideSourcesPanel *m_panel = nullptr;

    template <typename T> T *control(const char *name) const
    {
        T *found = m_panel->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    GuideRegistry &registry() const { return m_program->program.guideRegistry(); }
    QTreeWidget *table() const { return control<QTreeWidget>("GuideSourcesTable"); }
    QString message() const { return control<QLabel>("GuideMessageLabel")->text(); }
    void press(const char *name) const { control<QPushButton>(name)->click(); }

    // The program's list now names a guide in its header.
    void listNamesGuide()
    {
        m_server.setResponse(QStringLiteral("/lista-guia.xml"), answer(guideAroundNow()));
        m_server.setResponse(QStringLiteral("/lista.m3u"),
            answer("#EXTM3U url-tvg=\"" + m_server.url(QStringLiteral("/lista-guia.xml")).toUtf8()
                + "\"\n#EXTINF:-1 tvg-id=\"Globo.br\",TV Globo\nhttp://127.0.0.1:9/globo\n"));
        ChannelListsHub &hub = m_program->program.channelLists();
        const QString list = hub.registry().lists().first().id;
        QTRY_VERIFY_WITH_TIMEOUT(!hub.library().isBusy(list), 10000);
        QVERIFY2(hub.library().refresh(list), qPrintable(list));
        QTRY_VERIFY_WITH_TIMEOUT(
            !registry().guides().isEmpty() && !registry().guides().last().lists.isEmpty(), 10000);
    }

    // A first start: no list yet, the suggestions offered.
    void answerFirstStart()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cache"))));
        m_program = std::make_unique<FakeProgram>();
        ChannelListsHub &hub = m_program->program.channelLists();
        hub.setSuggestedLists(
            { { QStringLiteral("Lista"), m_server.url(QStringLiteral("/lista.m3u")), true } });
        // As the built-in file says, whatever it says: never ticked.
        hub.setSuggestedGuides({ { QStringLiteral("Guia A"), m_server.url(QStringLiteral("/a.xml")), true },
            { QStringLiteral("Guia B"), m_server.url(QStringLiteral("/epg.xml.gz")), false } });
        m_program->program.start();
        ChannelListsNotice *notice = hub.notice();
        QVERIFY(notice);
        auto check = [notice](const char *name) {
            return notice->findChild<QCheckBox *>(QString::fromLatin1(name));
        };
        QVERIFY(check("SuggestedListCheck1") && check("SuggestedListCheck1")->isChecked());
        QVERIFY(check("SuggestedGuideCheck1") && check("SuggestedGuideCheck2"));
        QVERIFY(!check("SuggestedGuideCheck1")->isChecked() && !check("SuggestedGuideCheck2")->isChecked());
        check("SuggestedGuideCheck2")->setChecked(true);
        notice->findChild<QPushButton *>(QStringLiteral("AcceptSuggestionsButton"))->click();
        QCOMPARE(hub.registry().lists().size(), 1);
        GuideRegistry &guides = registry();
        QCOMPARE(guides.guides().size(), 1);
        QCOMPARE(guides.guides().first().name, QStringLiteral("Guia B"));
        QVERIFY(guides.guides().first().addedByUser);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cache"))));
        m_server.setResponse(QStringLiteral("/epg.xml.gz"), answer(GuideBytes::deflated(guideAroundNow())));
        m_program = std::make_unique<FakeProgram>();
        // A list on the program, so that no first-start notice comes up.
        m_server.setResponse(QStringLiteral("/lista.m3u"),
            answer("#EXTM3U\n#EXTINF:-1 tvg-id=\"Globo.br\",TV Globo\nhttp://127.0.0.1:9/globo\n"));
        m_program->program.channelLists().registry().add(
            QString(), m_server.url(QStringLiteral("/lista.m3u")));
        m_program->program.start();
        ChannelListsWindow *window = m_program->program.channelLists().showListsWindow();
        m_panel = window->findChild<GuideSourcesPanel *>(QStringLiteral("GuideSourcesBox"));
        QVERIFY(m_panel);
        QCOMPARE(m_panel->title(), QStringLiteral("Guias de programação"));
    }

    void cleanup()
    {
        setFileHandler({});
        setTextHandler({});
        m_panel = nullptr;
        m_program.reset();
        m_dir.reset();
    }

    void addedGuideShowsWhatItsReadingFound()
    {
        control<QLineEdit>("GuideAddressEdit")->setText(m_server.url(QStringLiteral("/epg.xml.gz")));
        press("AddGuideButton");
        QCOMPARE(table()->topLevelItemCount(), 1);
        QTreeWidgetItem *row = table()->topLevelItem(0);
        QCOMPARE(row->text(NameColumn), QStringLiteral("epg.xml.gz (127.0.0.1)"));
        QTRY_COMPARE_WITH_TIMEOUT(
            table()->topLevelItem(0)->text(ProgrammesColumn), QStringLiteral("4"), 10000);
        row = table()->topLevelItem(0);
        QCOMPARE(row->text(ChannelsColumn), QStringLiteral("1"));
        QVERIFY2(row->text(RangeColumn).contains(QStringLiteral(" a ")), qPrintable(row->text(RangeColumn)));
        QTRY_VERIFY(!table()->topLevelItem(0)->text(RefreshColumn).contains(QStringLiteral("…")));
        QVERIFY(table()->topLevelItem(0)->text(ErrorColumn).isEmpty());
        QVERIFY(control<QLineEdit>("GuideAddressEdit")->text().isEmpty());

        // A refresh that fails keeps the counts and shows why.
        m_server.setResponse(QStringLiteral("/epg.xml.gz"), answer("<html>fora do ar</html>"));
        press("RefreshGuideButton");
        QTRY_VERIFY_WITH_TIMEOUT(!table()->topLevelItem(0)->text(ErrorColumn).isEmpty(), 10000);
        QCOMPARE(table()->topLevelItem(0)->text(ProgrammesColumn), QStringLiteral("4"));
    }

    void badAddressesAreRefusedWithAMessage_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("ftp") << QStringLiteral("ftp://epg.test/guia.xml");
        QTest::newRow("relative") << QStringLiteral("guia.xml");
        QTest::newRow("placeholder") << QStringLiteral("https://guia.example/epg.xml");
    }
    void badAddressesAreRefusedWithAMessage()
    {
        QFETCH(QString, typed);
        control<QLineEdit>("GuideAddressEdit")->setText(typed);
        press("AddGuideButton");
        QCOMPARE(table()->topLevelItemCount(), 0);
        QVERIFY(!message().isEmpty());
        QCOMPARE(control<QLineEdit>("GuideAddressEdit")->text(), typed); // kept for correcting
    }

    void fileRenameAndOffset()
    {
        const QString path = m_dir->filePath(QStringLiteral("meu guia.xml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(guideAroundNow());
        file.close();
        setFileHandler([path](QWidget *, const FileRequest &) { return QStringList { path }; });
        press("AddGuideFileButton");
        QCOMPARE(table()->topLevelItemCount(), 1);
        QCOMPARE(table()->topLevelItem(0)->text(AddressColumn), path);
        const QString id = registry().guides().first().id;
        QTRY_COMPARE_WITH_TIMEOUT(registry().guide(id).programmeCount, 4, 10000);

        setTextHandler([](QWidget *, const TextRequest &asked) {
            return asked.text == QStringLiteral("meu guia.xml") ? QStringLiteral("Guia da casa") : QString();
        });
        press("RenameGuideButton");
        QCOMPARE(table()->topLevelItem(0)->text(NameColumn), QStringLiteral("Guia da casa"));

        auto *offset = control<QSpinBox>("GuideOffsetBox");
        QCOMPARE(offset->minimum(), -12);
        QCOMPARE(offset->maximum(), 12);
        m_panel->setSelectedOffset(-3);
        QCOMPARE(registry().guide(id).offsetHours, -3);
        QCOMPARE(offset->value(), -3);

        press("RemoveGuideButton");
        QCOMPARE(table()->topLevelItemCount(), 0);
        QVERIFY(registry().guides().isEmpty());
        QVERIFY(!offset->isEnabled());
    }

    void listGuideIsNotRemovedHere()
    {
        listNamesGuide();
        QCOMPARE(table()->topLevelItemCount(), 1);
        press("RemoveGuideButton");
        QCOMPARE(table()->topLevelItemCount(), 1);
        QVERIFY(message().contains(QStringLiteral("lista")));
    }

    void firstStartOffersGuidesUnticked()
    {
        cleanup();
        answerFirstStart();
    }

    // Under a real X server, LUMI_SCREENSHOT_DIR gets a picture of the window.
    void partFitsBesideTheLists()
    {
        control<QLineEdit>("GuideAddressEdit")->setText(m_server.url(QStringLiteral("/epg.xml.gz")));
        press("AddGuideButton");
        listNamesGuide();
        QTRY_VERIFY_WITH_TIMEOUT(
            registry().guides().first().programmeCount == 4 && registry().guides().last().programmeCount == 4,
            10000);
        QWidget *window = m_panel->window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *lists = window->findChild<QWidget *>(QStringLiteral("ChannelListsTable"));
        QVERIFY(lists && m_panel->isVisible());
        // Room for the header and a few rows in both tables, even on a small screen.
        const int rows = 6 * table()->fontMetrics().height();
        QVERIFY2(lists->height() >= rows && table()->height() >= rows,
            qPrintable(QStringLiteral("%1 %2").arg(lists->height()).arg(table()->height())));
        QVERIFY(window->rect().contains(QRect(m_panel->mapTo(window, QPoint()), m_panel->size())));
        const QString shots = qEnvironmentVariable("LUMI_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            QVERIFY(window->grab().save(shots + QStringLiteral("/guias-de-programacao.png")));
    }

    void suggestionsAreOfferedUntilAdded()
    {
        auto *suggestions = control<QComboBox>("SuggestedGuidesBox");
        const int offered = int(GuideRegistry::suggested().size());
        QVERIFY(offered > 0);
        QCOMPARE(suggestions->count(), offered);
        QVERIFY(registry().guides().isEmpty()); // nothing is added unasked
        suggestions->setCurrentIndex(offered - 1);
        const QString address = suggestions->currentData().toString();
        press("AddSuggestedGuideButton");
        QCOMPARE(registry().guides().size(), 1);
        QCOMPARE(registry().guides().first().address, address);
        QCOMPARE(suggestions->count(), offered - 1);
        QCOMPARE(suggestions->findData(address), -1);
    }
};

QTEST_MAIN(GuideSourcesTest)
#include "guidesources_test.moc"
