// Outside text as Qt would show it: literally, whatever markup it holds, and
// bounded, whatever its length.
#include "base/PlainText.h"
#include "tests/support/ShownText.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class PlainTextTest : public QObject
{
    Q_OBJECT

private slots:
    void tooltipShowsTheCharactersItHolds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << u("TV Globo");
        QTest::newRow("bold") << u("<b>Negrito</b>");
        QTest::newRow("image") << u("<img src=/usr/share/pixmaps/debian-logo.png><h1>Rich</h1>");
        QTest::newRow("entity") << u("&lt;b&gt; não é tag");
        QTest::newRow("entity after text") << u("Canal &lt;1&gt;");
        QTest::newRow("ampersand") << u("Tom & Jerry");
        QTest::newRow("runs of spaces") << u("A    B");
        QTest::newRow("long plain") << QString(120, u'n');
        QTest::newRow("10,000 characters") << QString(10000, u'N');
        QTest::newRow("long markup") << u("<b>") + QString(10000, u'x');
    }
    void tooltipShowsTheCharactersItHolds()
    {
        QFETCH(QString, name);
        const QString tooltip = PlainText::tooltip(name);
        QCOMPARE(shownText(tooltip), PlainText::line(name));
        QVERIFY(PlainText::line(name).size() <= PlainText::maxLineChars + 1);
    }

    // A tooltip the size of the screen, or a line of 10,000 characters, is no tooltip.
    void tooltipStaysReadablySmall_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << u("TV Globo");
        QTest::newRow("markup") << u("<b>Negrito</b>");
        QTest::newRow("10,000 characters") << QString(10000, u'N');
        QTest::newRow("10,000 in words") << u("palavra ").repeated(1250);
    }
    void tooltipStaysReadablySmall()
    {
        QFETCH(QString, name);
        const QString tooltip = PlainText::tooltip(name);
        // As Qt's tooltip label lays it out: rich text is word-wrapped.
        QLabel tip;
        tip.setText(tooltip);
        tip.setWordWrap(Qt::mightBeRichText(tooltip));
        QVERIFY2(tip.sizeHint().width() < 700, qPrintable(QString::number(tip.sizeHint().width())));
        QVERIFY(tip.sizeHint().height() < 400);
    }

    // Short plain names go in as they are, so they look like every other tooltip.
    void shortPlainTooltipIsTheName()
    {
        QCOMPARE(PlainText::tooltip(u("Rede Vida (720p)")), u("Rede Vida (720p)"));
    }

    void lineIsOneBoundedLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        QTest::newRow("breaks and controls")
            << u("a\nb\r\nc") + QChar(0) + u("d\x1b[2J") + QChar(0x2028) << u("a b  c d [2J ");
        QTest::newRow("at the bound") << QString(200, u'x') << QString(200, u'x');
        QTest::newRow("past the bound") << QString(201, u'x') << QString(200, u'x') + QChar(0x2026);
        // An emoji across the cut is not split in half.
        QTest::newRow("pair at the cut")
            << QString(199, u'x') + u("📺📺") << QString(199, u'x') + QChar(0x2026);
    }
    void lineIsOneBoundedLine()
    {
        QFETCH(QString, text);
        QTEST(PlainText::line(text), "line");
    }

    void textKeepsItsLineBreaks()
    {
        QCOMPARE(PlainText::text(u("a\r\nb\rc\nd") + QChar(0) + u("e")), u("a\nb\nc\nd e"));
        const QString cut = PlainText::text(QString(5000, u'x')).remove(QChar(PlainText::ZeroWidthSpace));
        QCOMPARE(cut, QString(PlainText::maxTextChars, u'x') + QChar(0x2026));
    }

    // A word-wrapped label keeps to a window's width even for one long word.
    void longWordStillWraps()
    {
        QLabel label;
        label.setTextFormat(Qt::PlainText);
        label.setWordWrap(true);
        label.setText(PlainText::text(QString(10000, u'N')));
        QVERIFY2(label.minimumSizeHint().width() < 700,
            qPrintable(QString::number(label.minimumSizeHint().width())));
    }
};

QTEST_MAIN(PlainTextTest)
#include "plaintext_test.moc"
