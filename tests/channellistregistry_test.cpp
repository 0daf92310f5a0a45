// The user's lists kept between runs, the reasons a list is refused, hostile
// ids in the settings file, and the suggested public lists built into the program.
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/OwnChannelList.h"
#include "lists/SuggestedLists.h"
#include "tests/support/LoopbackHttpServer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every file under the test's home but the cache folder and the registry's
// own settings, with its bytes.
QMap<QString, QByteArray> filesUnder(const QString &root, const QStringList &except)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (std::any_of(except.begin(), except.end(), [&](const QString &e) { return path.startsWith(e); }))
            continue;
        QFile file(path);
        files.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)"));
    }
    return files;
}

} // namespace

class ChannelListRegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CONFIG_HOME", m_home.filePath(u("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", m_home.filePath(u("cache")).toUtf8());
        QVERIFY(writeFile(m_home.filePath(u("local.m3u")), "#EXTM3U\n"));
    }
    void init() { m_path = m_home.filePath(u("config/lumivortex-test/lists-%1.ini").arg(++m_run)); }

    void listsSurviveARestart()
    {
        const QDateTime refreshed = QDateTime(QDate(2024, 5, 1), QTime(12, 30), Qt::UTC);
        QString remote;
        {
            ChannelListRegistry registry(m_path);
            QSignalSpy changed(&registry, &ChannelListRegistry::listsChanged);
            remote = registry.add(u("Pública"), u("  https://lists.test/br.m3u "));
            const QString local = registry.add({}, m_home.filePath(u("local.m3u")));
            const QString gone = registry.add(u("Some"), u("http://lists.test/gone.m3u"));
            QVERIFY(registry.rename(remote, u("Pública do Brasil")));
            QVERIFY(writeFile(registry.cachePath(gone), "#EXTM3U\n"));
            QVERIFY(registry.remove(gone));
            QVERIFY(!QFile::exists(registry.cachePath(gone)));
            registry.recordRefresh(remote, refreshed, "W/\"a,b\"", u("Wed, 01 May 2024 12:00:00 GMT"), 1234);
            registry.recordFailure(remote, u("O servidor respondeu com o código 503."));
            QCOMPARE(changed.size(), 5);
            QVERIFY(!local.isEmpty());
        }
        const ChannelListRegistry again(m_path);
        const QVector<ChannelListSource> lists = again.lists();
        QCOMPARE(lists.size(), 2);
        QCOMPARE(lists[0].id, remote);
        QCOMPARE(lists[0].name, u("Pública do Brasil"));
        QCOMPARE(lists[0].address, u("https://lists.test/br.m3u"));
        QCOMPARE(lists[0].lastRefresh, refreshed);
        QCOMPARE(lists[0].etag, QByteArray("W/\"a,b\""));
        QCOMPARE(lists[0].lastModified, u("Wed, 01 May 2024 12:00:00 GMT"));
        QCOMPARE(lists[0].channelCount, 1234);
        QCOMPARE(lists[0].lastError, u("O servidor respondeu com o código 503."));
        QVERIFY(!lists[0].needsRefresh(refreshed.addSecs(11 * 3600)));
        QVERIFY(lists[0].needsRefresh(refreshed.addSecs(12 * 3600)));
        QCOMPARE(lists[1].name, u("local.m3u"));
        QVERIFY(!lists[1].isRemote() && !lists[1].needsRefresh(refreshed.addYears(1)));
    }

    void certificateChoiceIsKeptWithItsListOnly()
    {
        QString broken;
        QString other;
        {
            ChannelListRegistry registry(m_path);
            broken = registry.add(u("Provedor"), u("https://iptv.test/broken.m3u"));
            other = registry.add(u("Outra"), u("https://lists.test/other.m3u"));
            QVERIFY(!registry.list(broken).acceptInvalidCertificates);
            QSignalSpy state(&registry, &ChannelListRegistry::listStateChanged);
            registry.setAcceptInvalidCertificates(broken, true);
            QCOMPARE(state.size(), 1);
            // A refresh records its own state and leaves the choice alone.
            registry.recordRefresh(broken, QDateTime::currentDateTimeUtc(), {}, {}, 3);
        }
        ChannelListRegistry again(m_path);
        QVERIFY(again.list(broken).acceptInvalidCertificates);
        QVERIFY(!again.list(other).acceptInvalidCertificates);
        again.setAcceptInvalidCertificates(broken, false);
        QVERIFY(!ChannelListRegistry(m_path).list(broken).acceptInvalidCertificates);
    }

    void badListIsRefusedWithItsReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("reason");
        QTest::newRow("nothing") << QString() << u("  ") << u("Informe o endereço");
        QTest::newRow("other scheme")
            << QString() << u("ftp://lists.test/a.m3u") << u("Só endereços http://");
        QTest::newRow("no host") << QString() << u("http:///a.m3u") << u("Endereço inválido");
        QTest::newRow("placeholder") << QString() << u("https://lists.example/a.m3u") << u("só um exemplo");
        QTest::newRow("relative path") << QString() << u("listas/a.m3u") << u("caminho completo");
        QTest::newRow("missing file") << QString() << m_home.filePath(u("nada.m3u")) << u("não existe");
        QTest::newRow("folder") << QString() << m_home.path() << u("não é um arquivo comum");
        QTest::newRow("twice") << QString() << u("https://lists.test/a.m3u")
                               << u("já está na relação, como \"Primeira\"");
        QTest::newRow("name taken") << u("primeira") << u("https://lists.test/b.m3u")
                                    << u("Já existe uma lista chamada");
        QTest::newRow("name too long")
            << QString(81, u'x') << u("https://lists.test/c.m3u") << u("longo demais");
    }
    void badListIsRefusedWithItsReason()
    {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, reason);
        ChannelListRegistry registry(m_path);
        QVERIFY(!registry.add(u("Primeira"), u("https://lists.test/a.m3u")).isEmpty());
        QString error;
        QVERIFY(registry.add(name, address, &error).isEmpty());
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(registry.lists().size(), 1);
    }

    void ownChannelsFileIsOneMoreFixedList()
    {
        QVERIFY(writeFile(OwnChannelList::path(), "#EXTM3U\n"));
        ChannelListRegistry registry(m_path);
        registry.add({}, u("https://lists.test/a.m3u"));
        const QVector<ChannelListSource> lists = registry.lists();
        QCOMPARE(lists.size(), 2);
        QCOMPARE(lists[0].id, ChannelListRegistry::ownListId());
        QCOMPARE(lists[0].address, OwnChannelList::path());
        QVERIFY(lists[0].fixed);
        QString error;
        QVERIFY(!registry.remove(lists[0].id, &error) && error.contains(u("apague ou renomeie o arquivo")));
        QVERIFY(!registry.rename(lists[0].id, u("Outra"), &error));
        QVERIFY(registry.add({}, OwnChannelList::path(), &error).isEmpty());
        QVERIFY(QFile::remove(OwnChannelList::path()));
        QCOMPARE(registry.lists().size(), 1);
    }

    void hostileIdsChangeNothingOutsideTheCache()
    {
        LoopbackHttpServer server;
        LoopbackHttpServer::Response list;
        list.contentType = "audio/x-mpegurl";
        list.body = "#EXTM3U\n#EXTINF:-1,A\nhttp://a.test/1\n";
        server.setResponse(u("/l.m3u"), list);
        const QString victim = m_home.filePath(u("victim.m3u"));
        QVERIFY(writeFile(victim, "keep"));
        QVERIFY(writeFile(m_home.filePath(u("abs/victim.m3u")), "keep"));
        const QString cache = ChannelListRegistry::cacheFolder();
        const QString up = QDir(cache).relativeFilePath(m_home.filePath(u("victim")));
        QVERIFY(up.startsWith(u("../")));
        const QStringList hostile = { up, m_home.filePath(u("abs/victim")), u("list1") + QChar(0) + up,
            u("list") + QString(5000, u'7'), u("list01"), u("List2"), u("list-3"), u("list4/") + up,
            u("list5 ") };
        {
            QSettings ini(m_path, QSettings::IniFormat);
            const QStringList order = QStringList(hostile) << u("list7");
            for (const QString &id : order) {
                ini.setValue(id + u("/name"), id.left(20));
                ini.setValue(id + u("/address"), server.url(u("/l.m3u")));
            }
            ini.setValue(u("order"), order);
        }
        const QMap<QString, QByteArray> before = filesOutside(cache);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u("left out the lists whose ids")));
        ChannelListRegistry registry(m_path);
        QCOMPARE(registry.ignoredIds(), hostile);
        QCOMPARE(registry.lists().size(), 1);
        QCOMPARE(registry.lists().first().id, u("list7"));
        ChannelListLibrary library(&registry);
        library.start();
        QTRY_VERIFY(!library.isBusy(u("list7")) && library.channels(u("list7")).size() == 1);
        for (const QString &id : hostile) {
            QVERIFY(registry.cachePath(id).isEmpty());
            QVERIFY(!library.refresh(id));
            QVERIFY(!registry.remove(id));
        }
        QCOMPARE(server.connectionCount(), 1);
        QVERIFY(QFile::exists(registry.cachePath(u("list7"))));
        QCOMPARE(filesOutside(cache), before);
        // A new list takes the next number of its own form, whatever the file says.
        QSettings(m_path, QSettings::IniFormat).setValue(u("nextNumber"), 2147483647);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u("left out the lists whose ids")));
        ChannelListRegistry again(m_path);
        QCOMPARE(again.add({}, u("https://lists.test/new.m3u")), u("list1"));
    }

    void suggestionsAnswerIsKept()
    {
        QVERIFY(!ChannelListRegistry(m_path).suggestionsAnswered());
        ChannelListRegistry(m_path).setSuggestionsAnswered();
        QVERIFY(ChannelListRegistry(m_path).suggestionsAnswered());
    }

    void suggestedListsFileIsRead()
    {
        QFile shipped(qEnvironmentVariable("LUMI_SOURCE_DIR") + u("/lists/suggested-lists.tsv"));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QVector<SuggestedList> lists = SuggestedLists::parse(shipped.readAll());
        QCOMPARE(lists.size(), 4);
        QCOMPARE(lists[0].address,
            u("https://raw.githubusercontent.com/Free-TV/IPTV/master/playlists/playlist_brazil.m3u8"));
        QCOMPARE(lists[1].address, u("https://iptv-org.github.io/iptv/countries/br.m3u"));
        QCOMPARE(lists[2].address, u("https://iptv-org.github.io/iptv/languages/por.m3u"));
        QCOMPARE(lists[3].address, u("https://iptv-org.github.io/iptv/index.m3u"));
        QCOMPARE(QVector<bool>({ lists[0].chosenByDefault, lists[1].chosenByDefault, lists[2].chosenByDefault,
                     lists[3].chosenByDefault }),
            QVector<bool>({ true, true, false, false }));

        // What the program carries is the file the build was told to use.
        QFile built(QStringLiteral(LUMI_SUGGESTED_COPY));
        QVERIFY(built.open(QIODevice::ReadOnly));
        QCOMPARE(SuggestedLists::builtIn(), SuggestedLists::parse(built.readAll()));
    }

    void emptySuggestionsFileOffersNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("comments only") << QByteArray("# nada\n\n   \n");
        QTest::newRow("no address") << QByteArray("Lista\tnão é endereço\tsim\nOutra\n");
    }
    void emptySuggestionsFileOffersNothing()
    {
        QFETCH(QByteArray, text);
        QVERIFY(SuggestedLists::parse(text).isEmpty());
    }

private:
    QMap<QString, QByteArray> filesOutside(const QString &cache) const
    {
        return filesUnder(m_home.path(), { cache + u("/"), QFileInfo(m_path).path() + u("/") });
    }

    QTemporaryDir m_home;
    QString m_path;
    int m_run = 0;
};

QTEST_GUILESS_MAIN(ChannelListRegistryTest)
#include "channellistregistry_test.moc"
