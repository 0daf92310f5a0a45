// The options kept across runs: read back by the next run, and no file for a
// run that changed nothing.
#include "options/KeptOptions.h"

#include <QTemporaryDir>
#include <QtTest>

class KeptOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void switchSourcesChoiceSurvivesARestart()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("options.ini"));
        {
            KeptOptions first(path);
            QVERIFY(first.switchSourcesAlone());
            first.setSwitchSourcesAlone(true);
        }
        QVERIFY(!QFile::exists(path));
        {
            KeptOptions second(path);
            second.setSwitchSourcesAlone(false);
        }
        KeptOptions third(path);
        QVERIFY(!third.switchSourcesAlone());
    }
};

QTEST_GUILESS_MAIN(KeptOptionsTest)
#include "keptoptions_test.moc"
