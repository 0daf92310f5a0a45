// Check results kept with their list across runs, and the kept choice of a
// channel's first source.
#include "lists/SourceCheckResults.h"
#include "lists/SourceChoices.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class SourceCheckResultsTest : public QObject
{
    Q_OBJECT

private slots:
    void resultsSurviveARestart()
    {
        QTemporaryDir dir;
        const QDateTime earlier = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
        const QDateTime later = QDateTime::fromSecsSinceEpoch(2000, Qt::UTC);
        {
            SourceCheckResults results(dir.path());
            results.record(
                QStringLiteral("list1"), QStringLiteral("http://a.test/"), SourceHealth::Dead, later);
            results.record(
                QStringLiteral("list2"), QStringLiteral("http://a.test/"), SourceHealth::Playing, earlier);
            results.record(
                QStringLiteral("list2"), QStringLiteral("http://b.test/ x"), SourceHealth::NeedsLogin, later);
            // Not an id the registry makes: it would name a file anywhere.
            results.record(
                QStringLiteral("../evil"), QStringLiteral("http://c.test/"), SourceHealth::Dead, later);
            results.save();
        }
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("../evil.checks"))));
        SourceCheckResults again(dir.path());
        again.load(QStringLiteral("list1"));
        again.load(QStringLiteral("list2"));
        QCOMPARE(again.health().size(), 2);
        // Where lists disagree the later check holds.
        QCOMPARE(again.health().value(QStringLiteral("http://a.test/")), SourceHealth::Dead);
        QCOMPARE(again.health().value(QStringLiteral("http://b.test/ x")), SourceHealth::NeedsLogin);
        QCOMPARE(
            again.results(QStringLiteral("list2")).value(QStringLiteral("http://a.test/")).checkedAt, 1000);

        QSignalSpy changed(&again, &SourceCheckResults::changed);
        again.forget(QStringLiteral("list1"));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!QFile::exists(again.pathOf(QStringLiteral("list1"))));
        QCOMPARE(again.health().value(QStringLiteral("http://a.test/")), SourceHealth::Playing);
    }

    void damagedLinesAreSkipped()
    {
        const QByteArray text = "playing\t5\thttp://ok.test/\n"
                                "nonsense\t5\thttp://bad-word.test/\n"
                                "dead\tfive\thttp://bad-time.test/\n"
                                "dead\t5\n"
                                "dead\t5\thttp://control.test/\x01\n"
                                "\n"
                                "blocked\t7\thttp://ok2.test/";
        const SourceCheckResults::ListResults parsed = SourceAnswers::read(text, 10);
        QCOMPARE(parsed.size(), 2);
        QCOMPARE(parsed.value(QStringLiteral("http://ok2.test/")).health, SourceHealth::Blocked);
        QCOMPARE(SourceAnswers::read(SourceAnswers::written(parsed), 10).size(), 2);
        QCOMPARE(SourceAnswers::read(text, 1).size(), 1);
    }

    void keptChoiceSurvivesARestart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("source-choices.ini"));
        {
            SourceChoices choices(path);
            QSignalSpy changed(&choices, &SourceChoices::changed);
            choices.setPreferred(QStringLiteral("id:band.br"), QStringLiteral("http://a.test/"));
            choices.setPreferred(QStringLiteral("name:globo"), QStringLiteral("http://g.test/"));
            choices.setPreferred(QStringLiteral("id:band.br"), QStringLiteral("http://b.test/"));
            choices.setPreferred(QStringLiteral("id:band.br"), QStringLiteral("http://b.test/"));
            QCOMPARE(changed.count(), 3);
        }
        SourceChoices again(path);
        QCOMPARE(again.preferred(QStringLiteral("id:band.br")), QStringLiteral("http://b.test/"));
        QCOMPARE(again.preferred(QStringLiteral("name:globo")), QStringLiteral("http://g.test/"));
        QVERIFY(again.preferred(QStringLiteral("name:sbt")).isEmpty());
    }

    void oldestChoicesGoPastTheBound()
    {
        QTemporaryDir dir;
        SourceChoices choices(dir.filePath(QStringLiteral("c.ini")), nullptr, 5);
        for (int i = 0; i <= 5; ++i)
            choices.setPreferred(
                QStringLiteral("name:c%1").arg(i), QStringLiteral("http://x.test/%1").arg(i));
        QVERIFY(choices.preferred(QStringLiteral("name:c0")).isEmpty());
        QCOMPARE(choices.preferred(QStringLiteral("name:c1")), QStringLiteral("http://x.test/1"));
    }
};

QTEST_GUILESS_MAIN(SourceCheckResultsTest)
#include "sourcecheckresults_test.moc"
