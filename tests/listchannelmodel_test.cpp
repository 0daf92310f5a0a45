// The channel model and its filter (search, groups, "Favoritos", "Recentes"),
// and the picks kept across runs.
#include "lists/ChannelNameRules.h"
#include "lists/ChannelPicks.h"
#include "lists/ListChannelFilter.h"
#include "lists/ListChannelModel.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

ListChannel channel(const char *name, const char *group = "", const char *tvgId = "")
{
    ListChannel c;
    c.name = u(name);
    c.title = ChannelNameRules::splitTags(c.name).title;
    c.group = u(group);
    c.tvgId = u(tvgId);
    c.address = QStringLiteral("http://a.test/") + c.name;
    return c;
}

const QVector<ListChannel> Channels = {
    channel("Canção Nova (720p)", "Religioso", "CancaoNova.br"),
    channel("TV Globo [Geo-blocked]", "Geral;Notícias", "Globo.br"),
    channel("GloboNews", "Notícias"),
    channel("Rede Vida", "religioso;Geral"),
};

QStringList shown(const QAbstractItemModel &model)
{
    QStringList titles;
    for (int row = 0; row < model.rowCount(); ++row)
        titles << model.index(row, 0).data().toString();
    return titles;
}

} // namespace

class ListChannelModelTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_model.reset(new ListChannelModel);
        m_filter.reset(new ListChannelFilter);
        m_modelTester.reset(new QAbstractItemModelTester(
            m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest));
        m_filter->setSourceModel(m_model.get());
        m_filterTester.reset(new QAbstractItemModelTester(
            m_filter.get(), QAbstractItemModelTester::FailureReportingMode::QtTest));
        m_model->setChannels(Channels);
    }

    void searchIgnoresCaseAccentsAndWordOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("nothing typed")
            << QString() << QStringList { u("Canção Nova"), u("TV Globo"), u("GloboNews"), u("Rede Vida") };
        QTest::newRow("no accents") << u("cancao") << QStringList { u("Canção Nova") };
        QTest::newRow("upper case with accents") << u("CANÇÃO") << QStringList { u("Canção Nova") };
        QTest::newRow("words in any order") << u("  nova   canc ") << QStringList { u("Canção Nova") };
        QTest::newRow("part of a word") << u("glob") << QStringList { u("TV Globo"), u("GloboNews") };
        QTest::newRow("tags searched too") << u("720P") << QStringList { u("Canção Nova") };
        QTest::newRow("nothing found") << u("sbt") << QStringList();
    }
    void searchIgnoresCaseAccentsAndWordOrder()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, titles);
        m_filter->setSearchText(text);
        QCOMPARE(shown(*m_filter), titles);
    }

    void groupsAreSplitAndEachShowsItsChannels()
    {
        QCOMPARE(
            m_model->groups(), QStringList({ u("Geral"), u("Notícias"), u("Religioso"), u("religioso") }));
        m_filter->showGroup(u("Geral"));
        QCOMPARE(shown(*m_filter), QStringList({ u("TV Globo"), u("Rede Vida") }));
        m_filter->setSearchText(u("vida"));
        QCOMPARE(shown(*m_filter), QStringList { u("Rede Vida") });
        m_filter->showAll();
        m_filter->setSearchText({});
        QCOMPARE(m_filter->rowCount(), 4);
    }

    void favouritesAreKeptAcrossRuns()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u("picks.ini"));
        const QString globo = ChannelPicks::identityOf(Channels[1]);
        QCOMPARE(globo, u("id:globo.br"));
        QCOMPARE(ChannelPicks::identityOf(Channels[2]), u("name:globonews"));
        ChannelPicks(path).setFavourite(globo, true);
        const ChannelPicks again(path);
        QCOMPARE(again.favourites(), QStringList { globo });
        m_model->setFavourites(again.favouriteSet());
        QVERIFY(m_model->index(1).data(ListChannelModel::FavouriteRole).toBool());
        QVERIFY(!m_model->index(2).data(ListChannelModel::FavouriteRole).toBool());
        m_filter->showFavourites(again.favouriteSet());
        QCOMPARE(shown(*m_filter), QStringList { u("TV Globo") });
    }

    void recentsKeepTheLastTwentyMostRecentFirst()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u("picks.ini"));
        {
            ChannelPicks picks(path);
            for (int i = 0; i < 25; ++i)
                picks.noteTuned(QStringLiteral("name:c%1").arg(i));
            picks.noteTuned(ChannelPicks::identityOf(Channels[3]));
            picks.noteTuned(ChannelPicks::identityOf(Channels[0]));
            picks.noteTuned(ChannelPicks::identityOf(Channels[3]));
        }
        const ChannelPicks again(path);
        QCOMPARE(again.recents().size(), ChannelPicks::MaxRecents);
        QCOMPARE(again.recents().first(), ChannelPicks::identityOf(Channels[3]));
        QCOMPARE(again.recents().last(), u("name:c7"));
        m_filter->showRecents(again.recents());
        QCOMPARE(shown(*m_filter), QStringList({ u("Rede Vida"), u("Canção Nova") }));
    }

private:
    std::unique_ptr<ListChannelModel> m_model;
    std::unique_ptr<ListChannelFilter> m_filter;
    std::unique_ptr<QAbstractItemModelTester> m_modelTester;
    std::unique_ptr<QAbstractItemModelTester> m_filterTester;
};

QTEST_GUILESS_MAIN(ListChannelModelTest)
#include "listchannelmodel_test.moc"
