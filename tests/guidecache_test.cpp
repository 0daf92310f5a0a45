// The store's questions (now, next, the rest of the day) and its cache file:
// a round trip gives the same answers, and a cache that is cut, flipped,
// from another version or made to point out of bounds is refused whole.
#include "guide/GuideCache.h"
#include "guide/XmlTvReader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <zlib.h>

namespace
{

const qint64 Now = QDateTime(QDate(2024, 5, 10), QTime(15, 0), Qt::UTC).toSecsSinceEpoch();

std::unique_ptr<GuideStore> sampleStore()
{
    QByteArray xml = "<tv><channel id=\"Band.br\"><display-name>Band</display-name>"
                     "<display-name>Band SP</display-name></channel>";
    // Hourly from 10:00 UTC; the 13:00 one is missing, so 12:00 runs to 14:00.
    for (int hour = 10; hour < 20; ++hour) {
        if (hour == 13)
            continue;
        xml += "<programme start=\"20240510" + QByteArray::number(hour)
            + "0000\" channel=\"Band.br\"><title>Hora " + QByteArray::number(hour)
            + "</title><desc>Descrição</desc><category>Filme, Drama</category>"
              "<category>Ação</category></programme>";
    }
    xml += "<programme start=\"20240510120000\" stop=\"20240510130000\" "
           "channel=\"outro\"><title>Outro</title>"
           "</programme></tv>";
    QBuffer buffer(&xml);
    buffer.open(QIODevice::ReadOnly);
    GuideReadOptions options;
    options.now = Now;
    options.wanted = WantedChannels::everything();
    return std::move(XmlTvReader::read(&buffer, options).store);
}

QByteArray cacheBytes(const GuideStore &store, const GuideCacheStamp &stamp = {})
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    GuideCache::write(store, stamp, &buffer);
    return buffer.data();
}

GuideCache::Loaded load(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return GuideCache::read(&buffer);
}

// Rewrites the check sum after a change, as a hostile cache would.
QByteArray resealed(QByteArray bytes)
{
    bytes.chop(4);
    char crc[4];
    qToLittleEndian(
        quint32(crc32_z(0, reinterpret_cast<const Bytef *>(bytes.constData()), size_t(bytes.size()))), crc);
    return bytes + QByteArray(crc, 4);
}

} // namespace

class GuideCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void nowNextAndRestOfDay()
    {
        const std::unique_ptr<GuideStore> store = sampleStore();
        const int band = store->findChannel(u"band.br@HD");
        QVERIFY(band >= 0);
        const NowNext at1230 = store->nowNext(band, Now - 150 * 60);
        QCOMPARE(at1230.now.title, QStringLiteral("Hora 12"));
        QCOMPARE(at1230.now.stop, Now - 60 * 60);
        QCOMPARE(at1230.next.title, QStringLiteral("Hora 14"));
        QCOMPARE(
            at1230.now.categories, QStringList({ QStringLiteral("Filme, Drama"), QStringLiteral("Ação") }));
        const NowNext before = store->nowNext(band, Now - 6 * 3600);
        QVERIFY(!before.now.isValid());
        QCOMPARE(before.next.title, QStringLiteral("Hora 10"));
        const NowNext after = store->nowNext(band, Now + 10 * 3600);
        QVERIFY(!after.now.isValid() && !after.next.isValid());
        QCOMPARE(store->between(band, Now, Now + 3 * 3600).size(), 3); // 15:00, 16:00, 17:00
    }

    void roundTripGivesTheSameGuide()
    {
        const std::unique_ptr<GuideStore> store = sampleStore();
        const GuideCacheStamp stamp { Now, -3, 12345, 987654321 };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("guide.cache"));
        QVERIFY(GuideCache::write(*store, stamp, path));
        const GuideCache::Loaded loaded = GuideCache::read(path);
        QCOMPARE(loaded.error, QString());
        QVERIFY(loaded.stamp == stamp);
        const GuideStore &back = *loaded.store;
        QCOMPARE(back.channelCount(), store->channelCount());
        QCOMPARE(back.totalProgrammes(), store->totalProgrammes());
        for (int c = 0; c < back.channelCount(); ++c) {
            QCOMPARE(back.channelId(c), store->channelId(c));
            QCOMPARE(back.displayNames(c), store->displayNames(c));
            QCOMPARE(back.wasWanted(c), store->wasWanted(c));
            for (int i = 0; i < back.programmeCount(c); ++i) {
                const GuideProgramme a = back.programme(c, i);
                const GuideProgramme b = store->programme(c, i);
                QCOMPARE(a.start, b.start);
                QCOMPARE(a.stop, b.stop);
                QCOMPARE(a.title, b.title);
                QCOMPARE(a.description, b.description);
                QCOMPARE(a.categories, b.categories);
            }
        }
        QCOMPARE(back.findChannel(u"BAND.BR"), store->findChannel(u"band.br"));
        // Written again, it is the same bytes: nothing is lost or added on the way.
        QCOMPARE(cacheBytes(back, stamp), cacheBytes(*store, stamp));
    }

    void damagedCacheIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why"); // as logged
        const QByteArray good = cacheBytes(*sampleStore());
        QTest::newRow("empty") << QByteArray() << QStringLiteral("shorter than its header");
        QTest::newRow("cut in half") << good.left(good.size() / 2) << QStringLiteral("size does not match");
        QTest::newRow("one byte short")
            << good.left(good.size() - 1) << QStringLiteral("size does not match");
        QTest::newRow("a byte too many") << good + 'x' << QStringLiteral("size does not match");
        QByteArray flipped = good;
        flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x40);
        QTest::newRow("a flipped bit") << flipped << QStringLiteral("check sum");
        QByteArray version = good;
        qToLittleEndian(quint32(GuideCache::Version + 1), version.data() + 8);
        QTest::newRow("another version") << resealed(version) << QStringLiteral("another version");
        // Hostile: a check sum made to fit, around indexes that point out of bounds.
        const qsizetype header = 68;
        QByteArray huge = good;
        qToLittleEndian(quint32(0xFFFFFFF0), huge.data() + header - 12);
        QTest::newRow("a channel count past the file") << resealed(huge) << QStringLiteral("past the limits");
        QByteArray lastTitle = good;
        const qsizetype titleAt = good.size() - 4 - 7 * 4;
        qToLittleEndian(quint32(0x7FFFFFFF), lastTitle.data() + titleAt);
        QTest::newRow("a title past the texts") << resealed(lastTitle) << QStringLiteral("bad text");
        QByteArray backwards = good;
        const qsizetype lastStop = good.size() - 4 - 7 * 4 - 8;
        qToLittleEndian(qint64(0), backwards.data() + lastStop);
        QTest::newRow("a programme ending before it starts")
            << resealed(backwards) << QStringLiteral("out of order");
        QByteArray noId = good;
        const quint32 strings = qFromLittleEndian<quint32>(good.constData() + 44);
        const quint64 poolBytes = qFromLittleEndian<quint64>(good.constData() + 48);
        const quint32 id
            = qFromLittleEndian<quint32>(good.constData() + header + (strings + 1) * 4 + poolBytes);
        // The text after the id takes its bytes: the id is left empty, every offset still in order.
        qToLittleEndian(qFromLittleEndian<quint32>(good.constData() + header + id * 4),
            noId.data() + header + (id + 1) * 4);
        QTest::newRow("a channel with an empty id") << resealed(noId) << QStringLiteral("no id");
    }
    void damagedCacheIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        const GuideCache::Loaded loaded = load(bytes);
        QVERIFY(!loaded.store);
        QVERIFY2(loaded.error.contains(why), qPrintable(loaded.error));
    }
};

QTEST_GUILESS_MAIN(GuideCacheTest)
#include "guidecache_test.moc"
