// One line of a text file: UTF-8 when it is valid, else Windows-1252, with
// every kind of broken sequence sent to the fallback.
#include "base/TextDecoding.h"

#include <QTest>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}
} // namespace

class TextDecodingTest : public QObject
{
    Q_OBJECT

private slots:
    void eachLineIsUtf8OrElseWindows1252_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fellBack");
        QTest::newRow("ascii") << QByteArray("TV Globo") << u("TV Globo") << false;
        QTest::newRow("empty") << QByteArray() << QString() << false;
        QTest::newRow("two-byte") << QByteArray("Can\xc3\xa7\xc3\xa3o") << u("Canção") << false;
        QTest::newRow("three-byte") << QByteArray("\xe2\x82\xac") << u("€") << false;
        QTest::newRow("four-byte") << QByteArray("\xf0\x9f\x93\xba") << u("📺") << false;
        QTest::newRow("marks kept") << QByteArray("\xef\xbb\xbf\xef\xbb\xbfx")
                                    << QString(2, QChar(0xfeff)) + u("x") << false;
        QTest::newRow("windows-1252") << QByteArray("Can\xe7\xe3o \x96 \x80") << u("Canção – €") << true;
        QTest::newRow("beyond latin-1") << QByteArray("\x80 \x8a \x9f \xe9") << u("€ Š Ÿ é") << true;
        QTest::newRow("unassigned keep their code")
            << QByteArray("\x81\x8d\x8f\x90\x9d") << u("\u0081\u008d\u008f\u0090\u009d") << true;
        QTest::newRow("lone continuation") << QByteArray("a\xa7") << u("a§") << true;
        QTest::newRow("sequence cut at the end") << QByteArray("a\xf0\x9f\x93") << u("aðŸ“") << true;
        QTest::newRow("overlong form") << QByteArray("\xc0\xaf") << u("À¯") << true;
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << u("í\u00a0\u20ac") << true;
        QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << u("ô\u0090€€") << true;
    }
    void eachLineIsUtf8OrElseWindows1252()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, fellBack);
        bool windows1252 = !fellBack;
        QCOMPARE(TextDecoding::utf8OrWindows1252(bytes, &windows1252), text);
        QCOMPARE(windows1252, fellBack);
        QCOMPARE(TextDecoding::utf8OrWindows1252(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TextDecodingTest)
#include "textdecoding_test.moc"
