#include "packaging/ProgramIcon.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTest>
#include <algorithm>

namespace
{
QString embeddedPicture(int size)
{
    return QStringLiteral(":/icons/hicolor/%1x%1/lumivortex.png").arg(size);
}
} // namespace

class ProgramIconTest : public QObject
{
    Q_OBJECT

private slots:
    void everyDrawnSizeIsEmbeddedAtItsSize_data();
    void everyDrawnSizeIsEmbeddedAtItsSize();
    void iconGivesTheDrawnPictureNotAScaledOne_data();
    void iconGivesTheDrawnPictureNotAScaledOne();
    void noDrawnSizeIsLeftOutOfTheIcon();
};

void ProgramIconTest::everyDrawnSizeIsEmbeddedAtItsSize_data()
{
    QTest::addColumn<int>("size");
    for (int size : ProgramIcon::drawnSizes())
        QTest::addRow("%d", size) << size;
}

void ProgramIconTest::everyDrawnSizeIsEmbeddedAtItsSize()
{
    QFETCH(int, size);
    const QImage picture(embeddedPicture(size));
    QVERIFY2(!picture.isNull(), qPrintable(embeddedPicture(size)));
    QCOMPARE(picture.size(), QSize(size, size));
    QVERIFY(picture.hasAlphaChannel());
}

void ProgramIconTest::iconGivesTheDrawnPictureNotAScaledOne_data()
{
    everyDrawnSizeIsEmbeddedAtItsSize_data();
}

void ProgramIconTest::iconGivesTheDrawnPictureNotAScaledOne()
{
    QFETCH(int, size);
    const QImage drawn = QImage(embeddedPicture(size)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage given = ProgramIcon::icon()
                             .pixmap(QSize(size, size))
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(given.size(), drawn.size());
    QVERIFY(given == drawn);
}

// A size rendered into the hicolor folders (and installed) must be in the
// program's own icon too, and the other way round.
void ProgramIconTest::noDrawnSizeIsLeftOutOfTheIcon()
{
    const QDir hicolor(qEnvironmentVariable("LUMI_SOURCE_DIR") + QStringLiteral("/packaging/icons/hicolor"));
    QVERIFY(hicolor.exists());
    QList<int> rendered;
    for (const QString &folder : hicolor.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QStringList sides = folder.split(QLatin1Char('x'));
        QCOMPARE(sides.size(), 2);
        QCOMPARE(sides.at(0), sides.at(1));
        QVERIFY(QFileInfo::exists(hicolor.filePath(folder) + QStringLiteral("/lumivortex.png")));
        rendered.append(sides.at(0).toInt());
    }
    std::sort(rendered.begin(), rendered.end());
    QCOMPARE(rendered, ProgramIcon::drawnSizes());
}

QTEST_MAIN(ProgramIconTest)
#include "program_icon_test.moc"
