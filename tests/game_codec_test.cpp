#include "game/GameCodec.h"

#include <QTest>
#include <vector>

Q_DECLARE_METATYPE(std::vector<GameMessage>)

namespace
{
GameMessage X(int cell)
{
    return GameMessage::move(GameMark::X, cell);
}
GameMessage O(int cell)
{
    return GameMessage::move(GameMark::O, cell);
}
GameMessage New()
{
    return GameMessage::newGame();
}

// Feeds the chunks one after another, as separate reads of one connection.
std::vector<GameMessage> decode(GameCodec &codec, const QList<QByteArray> &chunks)
{
    std::vector<GameMessage> messages;
    for (const QByteArray &chunk : chunks)
        codec.feed(chunk, [&messages](const GameMessage &message) { messages.push_back(message); });
    return messages;
}

std::vector<GameMessage> decode(const QList<QByteArray> &chunks)
{
    GameCodec codec;
    return decode(codec, chunks);
}

QString describe(const std::vector<GameMessage> &messages)
{
    QStringList parts;
    for (const GameMessage &message : messages)
        parts << QString::fromLatin1(GameCodec::encode(message));
    return parts.join(QLatin1Char(','));
}
} // namespace

class GameCodecTest : public QObject
{
    Q_OBJECT

private slots:
    void everyMessageRoundTrips();
    void invalidMovesEncodeToNothing();
    void streamDecodesToMessages_data();
    void streamDecodesToMessages();
    void splitAtEveryByteGivesTheSameMessages();
    void unfinishedMessageWaitsForItsEnd();
    void floodOfGarbageHoldsNoMoreThanAMessageStart();
    void clearForgetsAnUnfinishedMessage();
};

void GameCodecTest::everyMessageRoundTrips()
{
    std::vector<GameMessage> all { New() };
    for (int cell = 1; cell <= 9; ++cell) {
        all.push_back(X(cell));
        all.push_back(O(cell));
    }
    for (const GameMessage &message : all) {
        const QByteArray bytes = GameCodec::encode(message);
        QVERIFY(bytes.size() == 2 || bytes == "New");
        const auto decoded = decode({ bytes });
        QCOMPARE(describe(decoded), QString::fromLatin1(bytes));
        QVERIFY(decoded.size() == 1 && decoded.front() == message);
    }
    QCOMPARE(GameCodec::encode(X(5)), QByteArray("X5"));
    QCOMPARE(GameCodec::encode(O(9)), QByteArray("O9"));
}

void GameCodecTest::invalidMovesEncodeToNothing()
{
    QVERIFY(GameCodec::encode(X(0)).isEmpty());
    QVERIFY(GameCodec::encode(O(10)).isEmpty());
    QVERIFY(GameCodec::encode(GameMessage::move(GameMark::None, 3)).isEmpty());
}

void GameCodecTest::streamDecodesToMessages_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<std::vector<GameMessage>>("expected");

    QTest::newRow("two messages in one read both count")
        << QList<QByteArray> { "X3New" } << std::vector { X(3), New() };
    QTest::newRow("three moves in one read")
        << QList<QByteArray> { "O1O2O3" } << std::vector { O(1), O(2), O(3) };
    QTest::newRow("move split over two reads") << QList<QByteArray> { "X", "7" } << std::vector { X(7) };
    QTest::newRow("New split over three reads")
        << QList<QByteArray> { "N", "e", "w" } << std::vector { New() };
    QTest::newRow("split and joined")
        << QList<QByteArray> { "Ne", "wO", "5X" } << std::vector { New(), O(5) };
    QTest::newRow("garbage before a message is dropped")
        << QList<QByteArray> { "hello X2" } << std::vector { X(2) };
    QTest::newRow("lower case is not a message")
        << QList<QByteArray> { "x1o2new" } << std::vector<GameMessage> {};
    QTest::newRow("cell 0 is not a cell") << QList<QByteArray> { "X0O0" } << std::vector<GameMessage> {};
    QTest::newRow("a mark after a mark restarts") << QList<QByteArray> { "XO4" } << std::vector { O(4) };
    QTest::newRow("broken New is dropped, restart on N")
        << QList<QByteArray> { "NeNNewNx" } << std::vector { New() };
    QTest::newRow("mark inside broken New restarts") << QList<QByteArray> { "NeX8" } << std::vector { X(8) };
    QTest::newRow("nul and high bytes dropped")
        << QList<QByteArray> { QByteArray("\0\xff", 2), QByteArray("O\0O6", 4) } << std::vector { O(6) };
    QTest::newRow("terminators are ignored")
        << QList<QByteArray> { "X1\r\nO2\n" } << std::vector { X(1), O(2) };
    QTest::newRow("empty reads change nothing")
        << QList<QByteArray> { "", "O", "", "1" } << std::vector { O(1) };
}

void GameCodecTest::streamDecodesToMessages()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(std::vector<GameMessage>, expected);
    QCOMPARE(describe(decode(chunks)), describe(expected));
}

void GameCodecTest::splitAtEveryByteGivesTheSameMessages()
{
    const QByteArray stream("X1zzO5NewNeX9N\x01O3New");
    const QString whole = describe(decode({ stream }));
    QCOMPARE(whole, QStringLiteral("X1,O5,New,X9,O3,New"));
    for (int at = 0; at <= stream.size(); ++at)
        QCOMPARE(describe(decode({ stream.left(at), stream.mid(at) })), whole);
    QList<QByteArray> bytes;
    for (char byte : stream)
        bytes << QByteArray(1, byte);
    QCOMPARE(describe(decode(bytes)), whole);
}

void GameCodecTest::unfinishedMessageWaitsForItsEnd()
{
    GameCodec codec;
    QVERIFY(decode(codec, { "O" }).empty());
    QCOMPARE(codec.pendingSize(), 1);
    QVERIFY(decode(codec, { "Ne" }).empty());
    QCOMPARE(codec.pendingSize(), 2);
    QCOMPARE(describe(decode(codec, { "w" })), QStringLiteral("New"));
    QCOMPARE(codec.pendingSize(), 0);
}

void GameCodecTest::floodOfGarbageHoldsNoMoreThanAMessageStart()
{
    GameCodec codec;
    QByteArray flood(1 << 20, 'Z');
    for (int i = 0; i < flood.size(); i += 3)
        flood[i] = "XONe"[i % 4];
    flood.append("Ne");
    QVERIFY(decode(codec, { flood }).empty());
    QVERIFY(codec.pendingSize() <= GameCodec::MaxPending);
    QCOMPARE(codec.pendingSize(), 2);
    // The stream is still good for the next message.
    QCOMPARE(describe(decode(codec, { "wO9" })), QStringLiteral("New,O9"));
}

void GameCodecTest::clearForgetsAnUnfinishedMessage()
{
    GameCodec codec;
    decode(codec, { "X" });
    codec.clear();
    QCOMPARE(codec.pendingSize(), 0);
    QVERIFY(decode(codec, { "5" }).empty());
}

QTEST_GUILESS_MAIN(GameCodecTest)
#include "game_codec_test.moc"
