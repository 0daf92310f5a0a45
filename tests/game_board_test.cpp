#include "game/GameBoard.h"

#include <QTest>

namespace
{
// Plays a whole move list on the board of one side, alternating X and O from
// X, as the window does: local moves for the own mark, peer moves otherwise.
void play(GameBoard &board, GameSide side, const QList<int> &cells)
{
    GameMark turn = GameMark::X;
    for (int cell : cells) {
        if (turn == ownMarkOf(side)) {
            QVERIFY2(board.isCellEnabled(cell), qPrintable(QStringLiteral("cell %1 not open").arg(cell)));
            board.localMove(cell, turn);
        } else {
            QVERIFY2(board.acceptsPeerMove(cell), qPrintable(QStringLiteral("cell %1 refused").arg(cell)));
            board.peerMove(cell, turn);
            board.checkGameResult(ownMarkOf(side));
        }
        turn = turn == GameMark::X ? GameMark::O : GameMark::X;
    }
}

GameBoard startedBoard(GameSide side)
{
    GameBoard board;
    if (side == GameSide::Server) {
        board.setStatus(GameStatus::YourTurn);
        board.setAllCellsEnabled(true);
    } else {
        board.setStatus(GameStatus::PeerTurn);
    }
    return board;
}

bool anyCellEnabled(const GameBoard &board)
{
    for (int cell = 1; cell <= GameBoard::CellCount; ++cell) {
        if (board.isCellEnabled(cell))
            return true;
    }
    return false;
}
} // namespace

class GameBoardTest : public QObject
{
    Q_OBJECT

private slots:
    void newBoardIsEmptyAndLocked();
    void everyLineWinsForItsMarkOnly_data();
    void everyLineWinsForItsMarkOnly();
    void ninthMarkCompletingALineIsNotADraw();
    void fullBoardWithoutLineIsADrawOnBothSides();
    void noCellOpensAfterAResult();
    void localMoveLocksTheBoardAndWaits();
    void peerMoveOpensOnlyEmptyCells();
    void peerMoveOutOfTurnOrOnATakenCellIsRefused();
    void localMoveOnATakenOrLockedCellIsIgnored();
    void finishedGameCountsWhenTheNextStarts();
    void bothPressingNewGameCountsOnce();
    void newGameFromThePeerCountsOnlyAfterAResult();
    void scoresCountUpOneByOne();
    void closeResetsScoresAndBoardButKeepsStatus();
    void newGameWithoutConnectionCountsIntoFreshScore();
};

void GameBoardTest::newBoardIsEmptyAndLocked()
{
    const GameBoard board;
    for (int cell = 0; cell <= 10; ++cell) {
        QCOMPARE(board.caption(cell), QString());
        QVERIFY(!board.isCellEnabled(cell));
    }
    QCOMPARE(board.status(), QString());
    QCOMPARE(board.ownWins(), 0);
    QCOMPARE(board.peerWins(), 0);
    QVERIFY(!board.isNewGameEnabled());
}

void GameBoardTest::everyLineWinsForItsMarkOnly_data()
{
    QTest::addColumn<QList<int>>("line");
    QTest::addColumn<int>("markIndex");
    const QList<QList<int>> lines { { 1, 2, 3 }, { 4, 5, 6 }, { 7, 8, 9 }, { 1, 4, 7 }, { 2, 5, 8 },
        { 3, 6, 9 }, { 1, 5, 9 }, { 3, 5, 7 } };
    for (const auto &line : lines) {
        for (int markIndex : { 0, 1 }) {
            QTest::addRow("%c on %d%d%d", markIndex == 0 ? 'X' : 'O', line[0], line[1], line[2])
                << line << markIndex;
        }
    }
}

void GameBoardTest::everyLineWinsForItsMarkOnly()
{
    QFETCH(QList<int>, line);
    QFETCH(int, markIndex);
    const GameMark mark = markIndex == 0 ? GameMark::X : GameMark::O;
    const GameMark other = mark == GameMark::X ? GameMark::O : GameMark::X;

    for (const GameMark own : { mark, other }) {
        GameBoard board;
        board.setStatus(GameStatus::PeerTurn);
        for (int cell : line) {
            board.peerMove(cell, mark);
            board.checkGameResult(own);
        }
        QCOMPARE(board.status(), own == mark ? GameStatus::Won : GameStatus::Lost);
        QVERIFY(board.isNewGameEnabled());
        QVERIFY(!anyCellEnabled(board));
    }

    // Two marks of the line are not enough.
    GameBoard partial;
    partial.setStatus(GameStatus::PeerTurn);
    partial.peerMove(line[0], mark);
    partial.peerMove(line[1], mark);
    partial.checkGameResult(other);
    QCOMPARE(partial.status(), GameStatus::YourTurn);
    QVERIFY(!partial.isNewGameEnabled());
}

void GameBoardTest::ninthMarkCompletingALineIsNotADraw()
{
    // X: 1 3 5 8 9, O: 2 4 6 7; X's ninth mark closes the diagonal 1-5-9.
    const QList<int> moves { 1, 2, 3, 4, 5, 6, 8, 7, 9 };
    GameBoard server = startedBoard(GameSide::Server);
    GameBoard client = startedBoard(GameSide::Client);
    play(server, GameSide::Server, moves);
    play(client, GameSide::Client, moves);
    QCOMPARE(server.status(), GameStatus::Won);
    QCOMPARE(client.status(), GameStatus::Lost);

    server.startNewGame(GameSide::Server);
    client.startNewGame(GameSide::Client);
    QCOMPARE(server.ownWins(), 1);
    QCOMPARE(server.peerWins(), 0);
    QCOMPARE(client.ownWins(), 0);
    QCOMPARE(client.peerWins(), 1);
}

void GameBoardTest::fullBoardWithoutLineIsADrawOnBothSides()
{
    // X: 1 3 4 8 9, O: 2 5 6 7.
    const QList<int> moves { 1, 2, 3, 5, 8, 7, 4, 6, 9 };
    for (const GameSide side : { GameSide::Server, GameSide::Client }) {
        GameBoard board = startedBoard(side);
        play(board, side, moves);
        QCOMPARE(board.status(), GameStatus::Draw);
        QVERIFY(board.isNewGameEnabled());
        QVERIFY(!anyCellEnabled(board));
        board.startNewGame(side);
        QCOMPARE(board.ownWins(), 0);
        QCOMPARE(board.peerWins(), 0);
    }
}

void GameBoardTest::noCellOpensAfterAResult()
{
    GameBoard board = startedBoard(GameSide::Client);
    play(board, GameSide::Client, { 1, 4, 2, 5, 3 });
    QCOMPARE(board.status(), GameStatus::Lost);
    QVERIFY(!anyCellEnabled(board));
    board.localMove(6, GameMark::O);
    QCOMPARE(board.caption(6), QString());
    QVERIFY(!board.acceptsPeerMove(7));
}

void GameBoardTest::localMoveLocksTheBoardAndWaits()
{
    GameBoard board = startedBoard(GameSide::Server);
    board.localMove(5, GameMark::X);
    QCOMPARE(board.caption(5), QStringLiteral("X"));
    QCOMPARE(board.status(), GameStatus::PeerTurn);
    QVERIFY(!anyCellEnabled(board));
    QVERIFY(!board.isNewGameEnabled());
}

void GameBoardTest::peerMoveOpensOnlyEmptyCells()
{
    GameBoard board = startedBoard(GameSide::Client);
    board.peerMove(5, GameMark::X);
    QCOMPARE(board.caption(5), QStringLiteral("X"));
    QCOMPARE(board.status(), GameStatus::YourTurn);
    for (int cell = 1; cell <= 9; ++cell)
        QCOMPARE(board.isCellEnabled(cell), cell != 5);
}

void GameBoardTest::peerMoveOutOfTurnOrOnATakenCellIsRefused()
{
    GameBoard board = startedBoard(GameSide::Server);
    QVERIFY(!board.acceptsPeerMove(1)); // the server moves first
    board.localMove(1, GameMark::X);
    QVERIFY(!board.acceptsPeerMove(1));
    QVERIFY(!board.acceptsPeerMove(0));
    QVERIFY(!board.acceptsPeerMove(10));
    QVERIFY(board.acceptsPeerMove(2));
}

void GameBoardTest::localMoveOnATakenOrLockedCellIsIgnored()
{
    GameBoard board = startedBoard(GameSide::Client);
    board.localMove(3, GameMark::O); // not the client's turn
    QCOMPARE(board.caption(3), QString());
    board.peerMove(3, GameMark::X);
    board.localMove(3, GameMark::O);
    QCOMPARE(board.caption(3), QStringLiteral("X"));
    QCOMPARE(board.status(), GameStatus::YourTurn);
}

void GameBoardTest::finishedGameCountsWhenTheNextStarts()
{
    GameBoard board = startedBoard(GameSide::Server);
    play(board, GameSide::Server, { 1, 4, 2, 5, 3 });
    QCOMPARE(board.status(), GameStatus::Won);
    QCOMPARE(board.ownWins(), 0);
    board.startNewGame(GameSide::Server);
    QCOMPARE(board.ownWins(), 1);
    QCOMPARE(board.status(), GameStatus::YourTurn);
    QVERIFY(!board.isNewGameEnabled());
    for (int cell = 1; cell <= 9; ++cell) {
        QCOMPARE(board.caption(cell), QString());
        QVERIFY(board.isCellEnabled(cell));
    }
}

void GameBoardTest::bothPressingNewGameCountsOnce()
{
    GameBoard board = startedBoard(GameSide::Client);
    play(board, GameSide::Client, { 1, 4, 2, 5, 3 });
    board.startNewGame(GameSide::Client); // own press
    QVERIFY(!board.acceptsNewGame()); // the peer's "New" arrives afterwards
    board.startNewGame(GameSide::Client); // even when run, nothing is counted twice
    QCOMPARE(board.peerWins(), 1);
    QCOMPARE(board.ownWins(), 0);
    QCOMPARE(board.status(), GameStatus::PeerTurn);
    QVERIFY(!anyCellEnabled(board));
}

void GameBoardTest::newGameFromThePeerCountsOnlyAfterAResult()
{
    GameBoard board = startedBoard(GameSide::Server);
    QVERIFY(!board.acceptsNewGame());
    play(board, GameSide::Server, { 1, 4 });
    QVERIFY(!board.acceptsNewGame());
    play(board, GameSide::Server, { 2, 5, 3 });
    QVERIFY(board.acceptsNewGame());
}

void GameBoardTest::scoresCountUpOneByOne()
{
    GameBoard board = startedBoard(GameSide::Server);
    for (int game = 1; game <= 3; ++game) {
        play(board, GameSide::Server, { 1, 4, 2, 5, 3 });
        board.startNewGame(GameSide::Server);
        QCOMPARE(board.ownWins(), game);
    }
    play(board, GameSide::Server, { 1, 4, 2, 5, 9, 6 });
    QCOMPARE(board.status(), GameStatus::Lost);
    board.startNewGame(GameSide::Server);
    QCOMPARE(board.peerWins(), 1);
    QCOMPARE(board.ownWins(), 3);
}

void GameBoardTest::closeResetsScoresAndBoardButKeepsStatus()
{
    GameBoard board = startedBoard(GameSide::Server);
    play(board, GameSide::Server, { 1, 4, 2, 5, 3 });
    board.startNewGame(GameSide::Server);
    play(board, GameSide::Server, { 1, 4, 2, 5, 3 });
    board.resetBoardOnClose();
    QCOMPARE(board.ownWins(), 0);
    QCOMPARE(board.peerWins(), 0);
    QCOMPARE(board.status(), GameStatus::Won);
    QVERIFY(board.isNewGameEnabled());
    for (int cell = 1; cell <= 9; ++cell)
        QCOMPARE(board.caption(cell), QString());
    QVERIFY(!anyCellEnabled(board));
}

void GameBoardTest::newGameWithoutConnectionCountsIntoFreshScore()
{
    GameBoard board = startedBoard(GameSide::Client);
    play(board, GameSide::Client, { 1, 4, 2, 5, 3 });
    board.resetBoardOnClose();
    board.startNewGame(GameSide::None);
    QCOMPARE(board.peerWins(), 1);
    QVERIFY(!board.isNewGameEnabled());
    QVERIFY(!anyCellEnabled(board));
    // No side: the status is left for the next connection to replace.
    QCOMPARE(board.status(), GameStatus::Lost);
}

QTEST_GUILESS_MAIN(GameBoardTest)
#include "game_board_test.moc"
