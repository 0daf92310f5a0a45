// "Guardar até N minutos da transmissão": the choice kept across runs, its
// row in the options window, and the engine given it by the program.
#include "app/Program.h"
#include "options/OptionsWindow.h"
#include "player/LiveBufferChoice.h"
#include "tests/support/FakeProgram.h"

#include <QCheckBox>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class LiveBufferChoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(LiveBufferChoice::defaultPath()); }
    void cleanup() { QFile::remove(LiveBufferChoice::defaultPath()); }

    void anHourIsKeptUntilTheUserChoosesAndTheChoiceIsKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("options.ini"));
        {
            LiveBufferChoice choice(path);
            QVERIFY(choice.enabled());
            QCOMPARE(choice.settings().seconds, 3600);
            QCOMPARE(choice.settings().maxBytes, qint64(4) << 30);
            QCOMPARE(choice.settings().keepFreeBytes, qint64(2) << 30);
            choice.setMinutes(25);
            choice.setEnabled(false);
        }
        LiveBufferChoice again(path);
        QCOMPARE(again.minutes(), 25);
        QVERIFY(!again.enabled());
        QVERIFY(!again.settings().enabled);
    }

    void minutesOutsideTheRangeAreBounded_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("minutes");
        QTest::newRow("zero") << QVariant(0) << LiveBufferChoice::leastMinutes;
        QTest::newRow("negative") << QVariant(-30) << LiveBufferChoice::leastMinutes;
        QTest::newRow("a week") << QVariant(10080) << LiveBufferChoice::mostMinutes;
        QTest::newRow("a word") << QVariant(QStringLiteral("muito")) << LiveBufferChoice::defaultMinutes;
    }

    void minutesOutsideTheRangeAreBounded()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, minutes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("options.ini"));
        QSettings(path, QSettings::IniFormat).setValue(QStringLiteral("liveBuffer/minutes"), stored);
        QCOMPARE(LiveBufferChoice(path).minutes(), minutes);
    }

    void optionsRowChangesWhatTheEngineKeeps()
    {
        FakeProgram h;
        QVERIFY(h.engine->calls.contains(QStringLiteral("setLiveBufferSettings 1 3600")));
        OptionsWindow &options = h.program.optionsWindow();
        auto *keep = options.findChild<QCheckBox *>(QStringLiteral("LiveBufferCheckBox"));
        auto *minutes = options.findChild<QSpinBox *>(QStringLiteral("LiveBufferMinutes"));
        QVERIFY(keep && minutes);
        QVERIFY(keep->isChecked());
        QCOMPARE(minutes->value(), 60);
        h.engine->calls.clear();
        minutes->setValue(30);
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("setLiveBufferSettings 1 1800") });
        keep->click();
        QCOMPARE(h.engine->calls.last(), QStringLiteral("setLiveBufferSettings 0 1800"));
        QVERIFY(!minutes->isEnabled());
        QCOMPARE(h.program.liveBufferChoice().minutes(), 30);
        // The row fits inside the window, above "OK".
        const QWidget *ok = options.findChild<QWidget *>(QStringLiteral("Button1"));
        QVERIFY(minutes->geometry().bottom() < ok->geometry().top());
        QVERIFY(ok->geometry().bottom() < options.height());
    }
};

QTEST_MAIN(LiveBufferChoiceTest)
#include "livebufferchoice_test.moc"
