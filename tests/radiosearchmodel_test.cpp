// The "Rádios" results: popularity order, broken stations out, and the
// filters that act at once on what is already there.
#include "radio/RadioSearchModel.h"

#include <QAbstractItemModelTester>
#include <QTest>

namespace
{
RadioStation station(const QString &name, int clicks, int votes,
    const QString &country = QStringLiteral("BR"), const QStringList &tags = {}, bool ok = true)
{
    RadioStation s;
    s.uuid = name;
    s.name = name;
    s.url = QStringLiteral("http://s.test/") + name;
    s.clickCount = clicks;
    s.votes = votes;
    s.countryCode = country;
    s.tags = tags;
    s.language = QStringLiteral("portuguese,english");
    s.lastCheckOk = ok;
    return s;
}

QStringList names(const RadioSearchModel &model)
{
    QStringList list;
    for (int row = 0; row < model.rowCount(); ++row)
        list << model.index(row).data().toString();
    return list;
}
} // namespace

class RadioSearchModelTest : public QObject
{
    Q_OBJECT

private slots:
    void clicksThenVotesAndBrokenOnesHidden()
    {
        RadioSearchModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setStations({ station(QStringLiteral("Poucos"), 1, 100),
            station(QStringLiteral("Votada"), 50, 9), station(QStringLiteral("Clicada"), 50, 2),
            station(QStringLiteral("Quebrada"), 999, 999, QStringLiteral("BR"), {}, false) });
        QCOMPARE(names(model),
            (QStringList { QStringLiteral("Votada"), QStringLiteral("Clicada"), QStringLiteral("Poucos") }));
    }

    void typedWordsFilterIgnoringCaseAndAccents()
    {
        RadioSearchModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setStations({ station(QStringLiteral("Rádio Canção Nova"), 5, 0),
            station(QStringLiteral("Nova Brasil FM"), 9, 0), station(QStringLiteral("Jovem Pan"), 1, 0) });
        model.setNameFilter(QStringLiteral("  NOVA cancao"));
        QCOMPARE(names(model), QStringList { QStringLiteral("Rádio Canção Nova") });
        model.setNameFilter(QStringLiteral("nova"));
        QCOMPARE(model.rowCount(), 2);
        model.setNameFilter(QString());
        QCOMPARE(model.rowCount(), 3);
    }

    void countryTagAndLanguageNarrow()
    {
        RadioSearchModel model;
        model.setStations(
            { station(QStringLiteral("A"), 3, 0, QStringLiteral("BR"), { QStringLiteral("rock") }),
                station(QStringLiteral("B"), 2, 0, QStringLiteral("PT"), { QStringLiteral("Rock") }),
                station(QStringLiteral("C"), 1, 0, QStringLiteral("BR"), { QStringLiteral("samba") }) });
        model.setCountryFilter(QStringLiteral("BR"));
        QCOMPARE(names(model), (QStringList { QStringLiteral("A"), QStringLiteral("C") }));
        model.setTagFilter(QStringLiteral("rock"));
        QCOMPARE(names(model), QStringList { QStringLiteral("A") });
        model.setCountryFilter(QString());
        QCOMPARE(names(model), (QStringList { QStringLiteral("A"), QStringLiteral("B") }));
        model.setLanguageFilter(QStringLiteral("german"));
        QCOMPARE(model.rowCount(), 0);
    }

    void outsideTextIsShownAsOneLine()
    {
        RadioSearchModel model;
        model.setStations({ station(QStringLiteral("<b>Rádio</b>\nSegunda linha"), 1, 0) });
        QCOMPARE(model.index(0).data().toString(), QStringLiteral("<b>Rádio</b> Segunda linha"));
        QCOMPARE(model.rowOf(QStringLiteral("<b>Rádio</b>\nSegunda linha")), 0);
    }
};

QTEST_GUILESS_MAIN(RadioSearchModelTest)
#include "radiosearchmodel_test.moc"
