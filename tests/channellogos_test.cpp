#include "channels/ChannelCatalogue.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>

// The logo bitmaps are compiled in; a missing or misnamed file leaves a
// button blank, which nothing else would notice.
class ChannelLogosTest : public QObject
{
    Q_OBJECT

private slots:
    void logoFacedButtonHasItsBitmap_data();
    void logoFacedButtonHasItsBitmap();
    void noBitmapWithoutALogoFacedButton();
};

void ChannelLogosTest::logoFacedButtonHasItsBitmap_data()
{
    QTest::addColumn<QString>("resource");
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    for (const Channel &c : catalogue.channels()) {
        if (c.logo)
            QTest::newRow(qPrintable(c.control)) << c.logoResource();
    }
    for (const MenuButton &b : catalogue.menuButtons()) {
        if (b.logo)
            QTest::newRow(qPrintable(b.control)) << b.logoResource();
    }
}

void ChannelLogosTest::logoFacedButtonHasItsBitmap()
{
    QFETCH(QString, resource);
    QVERIFY2(QFile::exists(resource), qPrintable(resource));
    QImage image;
    QVERIFY2(image.load(resource), qPrintable(resource));
    // The bitmap must fit a 62 x 49 button.
    QVERIFY2(image.width() >= 38 && image.width() <= 60, qPrintable(resource));
    QVERIFY2(image.height() > 0 && image.height() <= 49, qPrintable(resource));
}

void ChannelLogosTest::noBitmapWithoutALogoFacedButton()
{
    const ChannelCatalogue catalogue = ChannelCatalogue::builtIn();
    QSet<QString> expected;
    for (const Channel &c : catalogue.channels()) {
        if (c.logo)
            expected.insert(c.logoResource());
    }
    for (const MenuButton &b : catalogue.menuButtons()) {
        if (b.logo)
            expected.insert(b.logoResource());
    }
    QCOMPARE(expected.size(), 35);

    QSet<QString> present;
    const QDir logos(QStringLiteral(":/logos"));
    for (const QString &name : logos.entryList(QDir::Files))
        present.insert(QStringLiteral(":/logos/") + name);
    QCOMPARE(present, expected);
}

QTEST_MAIN(ChannelLogosTest)
#include "channellogos_test.moc"
