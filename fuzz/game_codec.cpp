#include "game/GameCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace
{
void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::vector<GameMessage> decodeWhole(QByteArrayView bytes)
{
    std::vector<GameMessage> messages;
    GameCodec codec;
    codec.feed(bytes, [&messages](const GameMessage &message) { messages.push_back(message); });
    check(codec.pendingSize() <= GameCodec::MaxPending);
    return messages;
}
} // namespace

// The first byte picks read sizes; the rest is the stream a peer sends.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const unsigned seed = data[0];
    const QByteArrayView stream(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const std::vector<GameMessage> whole = decodeWhole(stream);
    QByteArray reencoded;
    for (const GameMessage &message : whole) {
        const QByteArray bytes = GameCodec::encode(message);
        check(!bytes.isEmpty());
        check(message.kind == GameMessage::Kind::NewGame
            || (message.mark != GameMark::None && GameBoard::isCell(message.cell)));
        reencoded += bytes;
    }
    // Decoding is idempotent on its own output.
    check(decodeWhole(reencoded) == whole);

    // The same stream in reads of varying sizes yields the same messages.
    std::vector<GameMessage> chunked;
    GameCodec codec;
    qsizetype at = 0;
    unsigned step = seed;
    while (at < stream.size()) {
        step = step * 1103515245u + 12345u;
        const qsizetype length = qMin<qsizetype>(stream.size() - at, 1 + (step >> 16) % 7);
        codec.feed(stream.sliced(at, length),
            [&chunked](const GameMessage &message) { chunked.push_back(message); });
        check(codec.pendingSize() <= GameCodec::MaxPending);
        at += length;
    }
    check(chunked == whole);
    return 0;
}
