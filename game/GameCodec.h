#pragma once

#include "game/GameBoard.h"

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// One message of the game's wire protocol: a mark on a cell ("X1".."X9",
// "O1".."O9") or a new game ("New").
struct GameMessage {
    enum class Kind { Move, NewGame };

    Kind kind = Kind::NewGame;
    GameMark mark = GameMark::None;
    int cell = 0;

    static GameMessage move(GameMark mark, int cell) { return { Kind::Move, mark, cell }; }
    static GameMessage newGame() { return {}; }

    friend bool operator==(const GameMessage &a, const GameMessage &b)
    {
        return a.kind == b.kind && a.mark == b.mark && a.cell == b.cell;
    }
    friend bool operator!=(const GameMessage &a, const GameMessage &b) { return !(a == b); }
};

// Turns the byte stream of one connection into messages. Messages carry no
// terminator, so TCP may join several into one read or split one over two:
// the codec keeps the start of an unfinished message (at most two bytes) and
// drops every byte that cannot begin a valid one, so a peer sending garbage
// or a flood never makes it hold more.
class GameCodec
{
public:
    static constexpr int MaxPending = 2;
    using Sink = std::function<void(const GameMessage &)>;

    // The exact bytes of a message; empty for a move that is not one.
    static QByteArray encode(const GameMessage &message);

    // Decodes bytes as they arrive; sink runs once for every complete message,
    // in order.
    void feed(QByteArrayView bytes, const Sink &sink);
    // Bytes held of an unfinished message.
    int pendingSize() const { return m_pendingSize; }
    // Forgets any unfinished message (a new connection starts clean).
    void clear() { m_pendingSize = 0; }

private:
    char m_pending[MaxPending] = {};
    int m_pendingSize = 0;
};
