#include "game/GameBoard.h"

namespace
{
// Rows, columns, diagonals, in the order the result check tests them.
constexpr int Lines[8][3] = { { 1, 2, 3 }, { 4, 5, 6 }, { 7, 8, 9 }, { 1, 4, 7 }, { 2, 5, 8 }, { 3, 6, 9 },
    { 1, 5, 9 }, { 3, 5, 7 } };
} // namespace

QString markCaption(GameMark mark)
{
    switch (mark) {
    case GameMark::X:
        return QStringLiteral("X");
    case GameMark::O:
        return QStringLiteral("O");
    case GameMark::None:
        break;
    }
    return QString();
}

GameMark ownMarkOf(GameSide side)
{
    switch (side) {
    case GameSide::Server:
        return GameMark::X;
    case GameSide::Client:
        return GameMark::O;
    case GameSide::None:
        break;
    }
    return GameMark::None;
}

GameMark peerMarkOf(GameSide side)
{
    switch (side) {
    case GameSide::Server:
        return GameMark::O;
    case GameSide::Client:
        return GameMark::X;
    case GameSide::None:
        break;
    }
    return GameMark::None;
}

GameMark GameBoard::mark(int cell) const
{
    return isCell(cell) ? m_marks[cell - 1] : GameMark::None;
}

bool GameBoard::isCellEnabled(int cell) const
{
    return isCell(cell) && m_enabled[cell - 1];
}

bool GameBoard::showsResult() const
{
    return m_status == GameStatus::Won || m_status == GameStatus::Lost || m_status == GameStatus::Draw;
}

void GameBoard::setAllCellsEnabled(bool enabled)
{
    m_enabled.fill(enabled);
}

void GameBoard::localMove(int cell, GameMark own)
{
    if (!isCellEnabled(cell) || mark(cell) != GameMark::None || own == GameMark::None)
        return;
    m_marks[cell - 1] = own;
    setAllCellsEnabled(false);
    m_status = GameStatus::PeerTurn;
    checkGameResult(own);
}

bool GameBoard::acceptsPeerMove(int cell) const
{
    return m_status == GameStatus::PeerTurn && isCell(cell) && mark(cell) == GameMark::None;
}

void GameBoard::peerMove(int cell, GameMark peer)
{
    if (!isCell(cell) || peer == GameMark::None)
        return;
    m_marks[cell - 1] = peer;
    for (int i = 0; i < CellCount; ++i)
        m_enabled[i] = m_marks[i] == GameMark::None;
    m_status = GameStatus::YourTurn;
}

bool GameBoard::hasLine(GameMark mark) const
{
    for (const auto &line : Lines) {
        if (m_marks[line[0] - 1] == mark && m_marks[line[1] - 1] == mark && m_marks[line[2] - 1] == mark)
            return true;
    }
    return false;
}

bool GameBoard::isFull() const
{
    for (GameMark m : m_marks) {
        if (m == GameMark::None)
            return false;
    }
    return true;
}

void GameBoard::checkGameResult(GameMark own)
{
    const bool lineX = hasLine(GameMark::X);
    const bool lineO = hasLine(GameMark::O);
    // A later hit overwrites an earlier one; in play at most one mark owns a line.
    if (lineX) {
        m_status = own == GameMark::X ? GameStatus::Won : GameStatus::Lost;
        m_newGameEnabled = true;
    }
    if (lineO) {
        m_status = own == GameMark::O ? GameStatus::Won : GameStatus::Lost;
        m_newGameEnabled = true;
    }
    if (m_status == GameStatus::Won || m_status == GameStatus::Lost)
        setAllCellsEnabled(false);
    // The ninth mark that completes a line is a win, never a draw.
    if (!lineX && !lineO && isFull()) {
        bool anyEnabled = false;
        for (bool enabled : m_enabled)
            anyEnabled = anyEnabled || enabled;
        if (!anyEnabled) {
            m_status = GameStatus::Draw;
            m_newGameEnabled = true;
        }
    }
}

void GameBoard::startNewGame(GameSide side)
{
    // Counted here, not when the game ends: once the status is replaced a
    // second reset finds nothing to count.
    if (m_status == GameStatus::Won)
        ++m_ownWins;
    if (m_status == GameStatus::Lost)
        ++m_peerWins;
    m_marks.fill(GameMark::None);
    if (side == GameSide::Client) {
        m_status = GameStatus::PeerTurn;
        setAllCellsEnabled(false);
    } else if (side == GameSide::Server) {
        m_status = GameStatus::YourTurn;
        setAllCellsEnabled(true);
    }
    m_newGameEnabled = false;
}

void GameBoard::resetBoardOnClose()
{
    m_ownWins = 0;
    m_peerWins = 0;
    setAllCellsEnabled(false);
    m_marks.fill(GameMark::None);
}
