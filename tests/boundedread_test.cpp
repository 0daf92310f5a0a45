// Reading a file up to a bound: all it holds below the bound, one byte more
// past it, and memory in proportion to what was read, not to the bound.
#include "base/BoundedRead.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class BoundedReadTest : public QObject
{
    Q_OBJECT

private slots:
    void fileIsReadWholeUpToTheBound_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bound");
        QTest::addColumn<int>("read");
        QTest::newRow("empty") << 0 << 100 << 0;
        QTest::newRow("small") << 10 << 100 << 10;
        QTest::newRow("at the bound") << 100 << 100 << 100;
        QTest::newRow("one past") << 101 << 100 << 101;
        QTest::newRow("far past") << 300 * 1024 << 100 << 101;
        QTest::newRow("many chunks") << 300 * 1024 << 400 * 1024 << 300 * 1024;
    }
    void fileIsReadWholeUpToTheBound()
    {
        QFETCH(int, size);
        QFETCH(int, bound);
        QFETCH(int, read);
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char(i * 7);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("f")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == size);
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(readBounded(file, bound), bytes.left(read));
    }

    void smallFileCostsWhatItHoldsNotTheBound()
    {
        QBuffer buffer;
        buffer.setData(QByteArray(1000, 'x'));
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const QByteArray bytes = readBounded(buffer, 64 * 1024 * 1024);
        QCOMPARE(bytes.size(), 1000);
        QVERIFY2(bytes.capacity() < 128 * 1024, qPrintable(QString::number(bytes.capacity())));
    }

    void endlessDeviceStopsPastTheBound()
    {
        QFile zero(QStringLiteral("/dev/zero"));
        QVERIFY(zero.open(QIODevice::ReadOnly));
        QVERIFY(zero.isSequential());
        const QByteArray bytes = readBounded(zero, 200 * 1024);
        QCOMPARE(bytes.size(), 200 * 1024 + 1);
        QVERIFY(bytes.capacity() < 1024 * 1024);
    }

    void readingStartsWhereTheDeviceStands()
    {
        QBuffer buffer;
        buffer.setData("headerbody");
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVERIFY(buffer.seek(6));
        QCOMPARE(readBounded(buffer, 100), QByteArray("body"));
    }
};

QTEST_GUILESS_MAIN(BoundedReadTest)
#include "boundedread_test.moc"
