// The logos kept on disk: bounded, the ones used longest ago going first, and
// nothing but the cache's own files ever counted or removed.
#include "lists/LogoCache.h"
#include "lists/LogoDiskCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// Noise compresses badly: each logo weighs about the same few kilobytes.
QImage noise(quint32 seed)
{
    QImage image(32, 24, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, random.generate());
    return image;
}

QString nameOf(int i)
{
    return LogoCache::fileNameOf(QStringLiteral("https://logos.test/%1.png").arg(i));
}

void setUsed(const QString &path, const QDateTime &when)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace

class LogoDiskCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void logosUsedLongestAgoGoFirst()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("logos"));
        const qint64 logo = [&] {
            LogoDiskCache probe(dir.filePath(QStringLiteral("probe")));
            probe.store(nameOf(0), noise(0));
            return probe.bytesHeld();
        }();
        QVERIFY(logo > 1000);
        const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-10);
        {
            LogoDiskCache cache(folder, 100 * logo);
            for (int i = 0; i < 10; ++i) {
                cache.store(nameOf(i), noise(i));
                setUsed(folder + QLatin1Char('/') + nameOf(i), start.addSecs(i));
            }
        }
        // A file of someone else's in the folder is neither counted nor removed.
        QFile other(folder + QStringLiteral("/leia-me.png"));
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write(QByteArray(int(20 * logo), 'x')) > 0);
        other.close();

        // The next run, with room for six: logo 0 was used just now.
        LogoDiskCache cache(folder, 6 * logo + logo / 2);
        QVERIFY(!cache.read(nameOf(0)).isNull());
        QCOMPARE(cache.bytesHeld(), 10 * logo);
        cache.store(nameOf(10), noise(10));
        QVERIFY(cache.bytesHeld() <= 6 * logo);
        QStringList kept = QDir(folder).entryList(QDir::Files);
        kept.removeOne(QStringLiteral("leia-me.png"));
        QVERIFY(QFile::exists(other.fileName()));
        // Nine tenths of the bound hold five: the newest, the one just read, and the three used last.
        QCOMPARE(kept.size(), 5);
        for (int i : { 0, 7, 8, 9, 10 })
            QVERIFY2(kept.contains(nameOf(i)), qPrintable(QString::number(i)));
    }

    void onlyTheCachesOwnNamesAreTaken_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a path") << QStringLiteral("../x.png");
        QTest::newRow("other name") << QStringLiteral("logo.png");
        QTest::newRow("upper-case hash")
            << nameOf(1).toUpper().replace(QStringLiteral(".PNG"), QStringLiteral(".png"));
    }
    void onlyTheCachesOwnNamesAreTaken()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        LogoDiskCache cache(dir.filePath(QStringLiteral("logos")));
        cache.store(name, noise(1));
        QVERIFY(cache.read(name).isNull());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 0);
        QVERIFY(LogoDiskCache::isCacheFileName(nameOf(1)));
    }
};

QTEST_GUILESS_MAIN(LogoDiskCacheTest)
#include "logodiskcache_test.moc"
