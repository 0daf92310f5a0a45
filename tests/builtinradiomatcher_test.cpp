// Which database station each built-in radio takes: its own name in the
// forms stations are written, never a false friend.
#include "radio/BuiltInRadioMatcher.h"

#include <QTest>

namespace
{
RadioStation station(
    const QString &name, int clicks = 10, const QString &country = QStringLiteral("BR"), bool ok = true)
{
    RadioStation s;
    s.uuid = name + country + QString::number(clicks);
    s.name = name;
    s.url = QStringLiteral("http://s.test/x");
    s.clickCount = clicks;
    s.countryCode = country;
    s.lastCheckOk = ok;
    return s;
}
} // namespace

class BuiltInRadioMatcherTest : public QObject
{
    Q_OBJECT

    const ChannelCatalogue m_catalogue = ChannelCatalogue::builtIn();

private slots:
    void everyRadioOfTheProgramIsSearched()
    {
        const BuiltInRadioMatcher matcher(m_catalogue);
        QCOMPARE(matcher.radios().size(), 37);
        const BuiltInRadioMatcher::Radio &cbn = matcher.radios().first();
        QCOMPARE(cbn.control, QStringLiteral("SpeedButton19"));
        QCOMPARE(BuiltInRadioMatcher::queryFor(cbn).countryCode, QStringLiteral("BR"));
        QVERIFY(BuiltInRadioMatcher::queryFor(matcher.radios().last()).countryCode.isEmpty());
    }

    void stationNamesMatch_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("Rádio in front") << "SpeedButton19"
                                        << "Rádio CBN" << true;
        QTest::newRow("bare") << "SpeedButton19"
                              << "CBN" << true;
        QTest::newRow("frequency behind") << "SpeedButton104"
                                          << "Globo FM 92,5" << true;
        QTest::newRow("frequency and band") << "SpeedButton104"
                                            << "Globo FM 92.5 FM" << true;
        QTest::newRow("accents and case") << "SpeedButton14"
                                          << "RADIO FENIX" << true;
        QTest::newRow("Globo FM is not Rádio Globo") << "SpeedButton104"
                                                     << "Rádio Globo" << false;
        QTest::newRow("Hits is not Pop") << "SpeedButton116"
                                         << "Transamerica Pop" << false;
        QTest::newRow("Pop is not Hits") << "SpeedButton21"
                                         << "Rádio Transamérica Hits" << false;
        QTest::newRow("Pop") << "SpeedButton21"
                             << "Transamérica Pop" << true;
        QTest::newRow("no prefix rule") << "SpeedButton24"
                                        << "Terra FM Goiânia" << false;
        QTest::newRow("DI-FM channel") << "rance1"
                                       << "DI.FM - Trance" << true;
        QTest::newRow("DI-FM long name") << "VocalTrance1"
                                         << "Digitally Imported Vocal Trance" << true;
        QTest::newRow("DI-FM title form") << "ChillOut1"
                                          << "DI.FM Chill Out" << true;
        QTest::newRow("other network's Trance") << "rance1"
                                                << "Trance" << false;
        QTest::newRow("other network's Trance with radio") << "rance1"
                                                           << "Radio Trance" << false;
        QTest::newRow("second host's name") << "SmoothJazz1"
                                            << "RadioTunes Smooth Jazz" << true;
        QTest::newRow("Vocal Trance is not Trance") << "rance1"
                                                    << "DI.FM Vocal Trance" << false;
    }
    void stationNamesMatch()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        const BuiltInRadioMatcher matcher(m_catalogue);
        const RadioStations stations { station(name) };
        QCOMPARE(matcher.match(stations).contains(control), matches);
        for (const BuiltInRadioMatcher::Radio &radio : matcher.radios())
            if (radio.control == control)
                QCOMPARE(matcher.best(radio, stations) != nullptr, matches);
    }

    void homeCountryThenPopularityAndOnlyLiveOnes()
    {
        const BuiltInRadioMatcher matcher(m_catalogue);
        const RadioStations stations { station(QStringLiteral("CBN"), 5000, QStringLiteral("PT")),
            station(QStringLiteral("Rádio CBN"), 300), station(QStringLiteral("CBN"), 900),
            station(QStringLiteral("CBN"), 99999, QStringLiteral("BR"), false) };
        QCOMPARE(matcher.match(stations).value(QStringLiteral("SpeedButton19")).clickCount, 900);
        QCOMPARE(matcher.best(matcher.radios().first(), stations)->clickCount, 900);
    }
};

QTEST_GUILESS_MAIN(BuiltInRadioMatcherTest)
#include "builtinradiomatcher_test.moc"
