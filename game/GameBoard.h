#pragma once

#include <QString>
#include <array>

// Texts of the game status; the result texts are also state: they lock the
// board and the score reads them when the next game starts.
namespace GameStatus
{
inline const QString YourTurn = QStringLiteral("Sua Vez");
inline const QString PeerTurn = QStringLiteral("Vez do Adversário");
inline const QString Won = QStringLiteral("Você ganhou! \\o/");
inline const QString Lost = QStringLiteral("Você perdeu! :(");
inline const QString Draw = QStringLiteral("Velha!!!");
} // namespace GameStatus

enum class GameMark { None, X, O };
// The role of the local player while a connection is up; None otherwise.
enum class GameSide { None, Server, Client };

QString markCaption(GameMark mark);
// The server plays "X", the client "O".
GameMark ownMarkOf(GameSide side);
GameMark peerMarkOf(GameSide side);

// The tic-tac-toe board of the game window: cells 1..9 row by row from the top
// left, their marks and enabled flags, the status text, the two scores and the
// "Novo Jogo!" flag. Each side keeps its own board and decides the result on
// its own; the window mirrors this model on its controls.
class GameBoard
{
public:
    static constexpr int CellCount = 9;

    static bool isCell(int cell) { return cell >= 1 && cell <= CellCount; }

    // Cells outside 1..9 read as empty and disabled.
    GameMark mark(int cell) const;
    QString caption(int cell) const { return markCaption(mark(cell)); }
    bool isCellEnabled(int cell) const;
    const QString &status() const { return m_status; }
    int ownWins() const { return m_ownWins; }
    int peerWins() const { return m_peerWins; }
    bool isNewGameEnabled() const { return m_newGameEnabled; }
    // Won, lost or drawn, until the next game starts.
    bool showsResult() const;

    void setStatus(const QString &status) { m_status = status; }
    void setAllCellsEnabled(bool enabled);

    // The local player marks a free, enabled cell (after the move was sent):
    // the board locks and waits for the peer. Anything else is ignored.
    void localMove(int cell, GameMark own);
    // Whether a move received from the peer may be applied: only on the
    // peer's turn and only into an empty cell.
    bool acceptsPeerMove(int cell) const;
    // The peer's mark lands on cell; the empty cells open for the local player.
    void peerMove(int cell, GameMark peer);
    // Runs after every mark: a complete line wins or loses, a full board
    // without one is a draw; either locks the board and enables "Novo Jogo!".
    void checkGameResult(GameMark own);
    // A "New" from the peer only counts while a result is shown. A second one
    // (both players pressed at once) or one in mid-game would wipe a board
    // the two sides no longer share.
    bool acceptsNewGame() const { return showsResult(); }
    // Counts the finished game, clears the board; the server moves first.
    // With no side (no connection) the status and cells stay as they are.
    void startNewGame(GameSide side);
    // Closing the window: scores back to 0, an empty, locked board. The status
    // and "Novo Jogo!" keep their state.
    void resetBoardOnClose();

private:
    bool hasLine(GameMark mark) const;
    bool isFull() const;

    std::array<GameMark, CellCount> m_marks {};
    std::array<bool, CellCount> m_enabled {};
    QString m_status;
    int m_ownWins = 0;
    int m_peerWins = 0;
    bool m_newGameEnabled = false;
};
