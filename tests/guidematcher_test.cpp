// Which guide channel is which channel: by id (case and "@Feed" ignored), by
// folded name without quality tags, never by prefix; the user's choice
// ("Nenhum" included) wins and is kept across runs; built-in channels go by
// the entry they play or their tooltip and title.
#include "channels/ChannelCatalogue.h"
#include "guide/GuideMatcher.h"
#include "guide/XmlTvReader.h"
#include "lists/ChannelNameRules.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

namespace
{

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// Channel ids as real Brazilian guides write them, one programme each.
std::shared_ptr<const GuideStore> brazilianGuide()
{
    const char *const channels[][2] = { { "Band.br@HD", "Band" }, { "tv-globo", "tv-globo" },
        { "BAND NEWS", "BAND NEWS" }, { "TV CÂMARA", "TV CÂMARA" }, { "SBT", "SBT" }, { "globo.br", "Globo" },
        { "Cultura.br", "TV Cultura" } };
    QByteArray xml = "<tv>";
    for (const auto &channel : channels)
        xml += QByteArray("<channel id=\"") + channel[0] + "\"><display-name>" + channel[1]
            + "</display-name></channel>";
    for (const auto &channel : channels)
        xml += QByteArray("<programme start=\"20240510120000\" stop=\"20240510130000\" channel=\"")
            + channel[0] + "\"><title>" + channel[1] + " ao vivo</title></programme>";
    xml += "</tv>";
    QBuffer buffer(&xml);
    buffer.open(QIODevice::ReadOnly);
    GuideReadOptions options;
    options.now = QDateTime(QDate(2024, 5, 10), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    options.wanted = WantedChannels::everything();
    return std::shared_ptr<const GuideStore>(XmlTvReader::read(&buffer, options).store);
}

ListChannel entry(const QString &name, const QString &tvgId = QString())
{
    ListChannel c;
    c.name = name;
    c.title = ChannelNameRules::splitTags(name).title;
    c.tvgId = tvgId;
    c.address = QStringLiteral("https://cdn.test/") + name;
    return c;
}

} // namespace

class GuideMatcherTest : public QObject
{
    Q_OBJECT

private:
    GuideMatcher m_matcher;
    std::shared_ptr<const GuideStore> m_guide = brazilianGuide();

private slots:
    void init() { m_matcher.setGuides({ { QStringLiteral("br"), m_guide } }); }

    void entriesFindTheirGuideChannel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tvgId");
        QTest::addColumn<QString>("guideChannel"); // empty: none
        QTest::newRow("id, other feed and case") << u("Bandeirantes") << u("band.BR@SD") << u("Band.br@HD");
        QTest::newRow("unknown id falls back to the name")
            << u("TV Cultura") << u("Cultura.pt") << u("Cultura.br");
        QTest::newRow("slug id as the only name") << u("TV Globo HD") << QString() << u("tv-globo");
        QTest::newRow("tags and resolution dropped")
            << u("Band News (720p) [Geo-blocked]") << QString() << u("BAND NEWS");
        QTest::newRow("accents and case") << u("Tv Camara") << QString() << u("TV CÂMARA");
        QTest::newRow("FHD dropped") << u("SBT FHD") << QString() << u("SBT");
        QTest::newRow("4K dropped") << u("Globo 4K") << QString() << u("globo.br");
        QTest::newRow("Globo FM is not Globo") << u("Globo FM") << QString() << QString();
        QTest::newRow("SBT (Alterosa) is not SBT") << u("SBT (Alterosa)") << QString() << QString();
        QTest::newRow("no prefix rule") << u("Band") << QString() << u("Band.br@HD");
        QTest::newRow("Bandnews is not Band") << u("Bandnews TV") << QString() << QString();
    }
    void entriesFindTheirGuideChannel()
    {
        QFETCH(QString, name);
        QFETCH(QString, tvgId);
        QFETCH(QString, guideChannel);
        const GuideSchedule found = m_matcher.match(GuideChannelQuery::forEntry(entry(name, tvgId)));
        QCOMPARE(found.channelId(), guideChannel);
        QCOMPARE(found.isEmpty(), guideChannel.isEmpty());
    }

    void ownListGuideComesFirst()
    {
        const std::shared_ptr<const GuideStore> other = brazilianGuide();
        m_matcher.setGuides({ { QStringLiteral("first"), m_guide }, { QStringLiteral("own"), other } });
        const GuideChannelQuery sbt = GuideChannelQuery::forEntry(entry(u("SBT"))); // no list guides
        QCOMPARE(m_matcher.guideOf(m_matcher.match(sbt)), u("first"));
        const GuideChannelQuery ownSbt
            = GuideChannelQuery::forEntry(entry(u("SBT")), { QStringLiteral("own") });
        QCOMPARE(m_matcher.guideOf(m_matcher.match(ownSbt)), u("own"));
    }

    void entryFeedComesFirst_data()
    {
        QTest::addColumn<QString>("tvgId");
        QTest::addColumn<QString>("guideChannel");
        QTest::newRow("its own feed") << u("Globo.br@RJ") << u("globo.br@RJ");
        QTest::newRow("its own feed, other case") << u("GLOBO.BR@sp") << u("Globo.br@SP");
        QTest::newRow("a feed the guide lacks") << u("Globo.br@MG") << u("Globo.br@SP");
        QTest::newRow("no feed") << u("globo.br") << u("Globo.br@SP");
    }
    void entryFeedComesFirst()
    {
        QFETCH(QString, tvgId);
        QFETCH(QString, guideChannel);
        QByteArray xml = "<tv>";
        for (const char *id : { "Globo.br@SP", "globo.br@RJ" })
            xml += QByteArray("<programme start=\"20240510120000\" stop=\"20240510130000\" channel=\"") + id
                + "\"><title>Praça TV</title></programme>";
        QBuffer buffer;
        buffer.setData(xml + "</tv>");
        buffer.open(QIODevice::ReadOnly);
        GuideReadOptions options;
        options.now = QDateTime(QDate(2024, 5, 10), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
        options.wanted = WantedChannels::everything();
        m_matcher.setGuides({ { QStringLiteral("feeds"),
            std::shared_ptr<const GuideStore>(XmlTvReader::read(&buffer, options).store) } });
        QCOMPARE(
            m_matcher.match(GuideChannelQuery::forEntry(entry(u("Globo"), tvgId))).channelId(), guideChannel);
    }

    void usersChoiceWinsAndIsKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("guide-choices.ini"));
        const GuideChannelQuery globo = GuideChannelQuery::forEntry(entry(u("TV Globo")));
        const GuideChannelQuery alterosa = GuideChannelQuery::forEntry(entry(u("SBT (Alterosa)")));
        {
            GuideChoices choices(path);
            choices.chooseNone(globo.identity);
            choices.choose(alterosa.identity, QStringLiteral("br"), QStringLiteral("SBT"));
        }
        GuideChoices later(path);
        QCOMPARE(later.all().size(), 2);
        m_matcher.setChoices(later.all());
        QVERIFY(m_matcher.match(globo).isEmpty());
        QCOMPARE(m_matcher.match(alterosa).channelId(), u("SBT"));

        // A choice of a guide no longer held leaves the automatic match in place.
        later.choose(globo.identity, QStringLiteral("gone"), QStringLiteral("x"));
        m_matcher.setChoices(later.all());
        QCOMPARE(m_matcher.match(globo).channelId(), u("tv-globo"));
        later.forget(globo.identity);
        QVERIFY(!later.choiceFor(globo.identity));
    }

    void builtInChannelsMatchByWhatTheyPlayOrTheirNames()
    {
        const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
        auto builtIn = [&](const char *control, const ListChannel *plays = nullptr) {
            return m_matcher
                .match(GuideChannelQuery::forBuiltIn(*catalogue.byControl(QLatin1String(control)), plays))
                .channelId();
        };
        QCOMPARE(builtIn("SpeedButton90"), u("globo.br")); // tooltip "Globo"
        QCOMPARE(builtIn("SpeedButton104"), QString()); // "Globo FM"
        QCOMPARE(builtIn("SpeedButton2"), QString()); // "SBT (Alterosa)"
        const ListChannel band = entry(u("Band SP"), u("Band.br"));
        QCOMPARE(builtIn("SpeedButton117", &band), u("Band.br@HD"));
    }

    void wantedKeepsWhatMatchingCanUse()
    {
        GuideChoices::Choice chosen { QStringLiteral("br"), QStringLiteral("Cultura.br") };
        const WantedChannels wanted
            = GuideMatcher::wanted({ GuideChannelQuery::forEntry(entry(u("TV Globo HD"))),
                                       GuideChannelQuery::forEntry(entry(u("X"), u("Band.br"))) },
                { { QStringLiteral("someone"), chosen } });
        QVERIFY(wanted.wants(u"tv-globo", {}));
        QVERIFY(wanted.wants(u"band.br@HD", { u("Band") }));
        QVERIFY(wanted.wants(u"Cultura.br", {}));
        QVERIFY(!wanted.wants(u"SBT", { u("SBT") }));
        QVERIFY(!wanted.wants(u"globo-fm", { u("Globo FM") }));
    }
};

QTEST_GUILESS_MAIN(GuideMatcherTest)
#include "guidematcher_test.moc"
