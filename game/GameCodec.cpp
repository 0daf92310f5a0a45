#include "game/GameCodec.h"

namespace
{
GameMark markOf(char byte)
{
    if (byte == 'X')
        return GameMark::X;
    if (byte == 'O')
        return GameMark::O;
    return GameMark::None;
}

bool isCellDigit(char byte)
{
    return byte >= '1' && byte <= '9';
}
} // namespace

QByteArray GameCodec::encode(const GameMessage &message)
{
    if (message.kind == GameMessage::Kind::NewGame)
        return QByteArrayLiteral("New");
    if (message.mark == GameMark::None || !GameBoard::isCell(message.cell))
        return QByteArray();
    QByteArray bytes(2, '\0');
    bytes[0] = message.mark == GameMark::X ? 'X' : 'O';
    bytes[1] = static_cast<char>('0' + message.cell);
    return bytes;
}

void GameCodec::feed(QByteArrayView bytes, const Sink &sink)
{
    for (const char byte : bytes) {
        // No message has 'X', 'O' or 'N' past its first byte, so when a byte
        // does not continue the pending start, that start is dropped and the
        // byte is tried as the start of the next message.
        switch (m_pendingSize) {
        case 1:
            if (m_pending[0] == 'N' && byte == 'e') {
                m_pending[m_pendingSize++] = byte;
                continue;
            }
            if (m_pending[0] != 'N' && isCellDigit(byte)) {
                m_pendingSize = 0;
                sink(GameMessage::move(markOf(m_pending[0]), byte - '0'));
                continue;
            }
            break;
        case 2:
            if (byte == 'w') {
                m_pendingSize = 0;
                sink(GameMessage::newGame());
                continue;
            }
            break;
        default:
            break;
        }
        m_pendingSize = 0;
        if (byte == 'X' || byte == 'O' || byte == 'N')
            m_pending[m_pendingSize++] = byte;
    }
}
