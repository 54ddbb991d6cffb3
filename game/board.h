// The state of one game and the operation that sets up a new one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/data_file.h"
#include "game/platform.h"

enum GamePhase : std::uint8_t { Idle = 0, Running = 1, Over = 2 };

// Each thread plays a game of its own: the window's, and a worker's boards played for figures.
extern thread_local std::vector<std::uint8_t> Board;  // Rows x Columns cell bytes, row-major, plus one spare byte
extern thread_local std::uint32_t Rows;               // rows of the current level's grid
extern thread_local std::uint32_t Columns;            // triangles per row
extern thread_local std::uint32_t Mines;              // mines placed by a new game
extern thread_local GamePhase GameState;              // Idle until the first click, Running, then Over
extern thread_local std::uint32_t FlagsLeft;          // mines minus flags on the board
extern thread_local std::int32_t ElapsedSeconds;      // seconds since the first click of the game
extern thread_local std::int32_t LevelIndex;          // current level, 0 to 7
extern thread_local std::uint32_t LevelOffset;        // file offset of the current level's record
extern thread_local std::uint32_t GamesStarted;       // new games made since the program started
extern thread_local bool HintUsed;      // the player asked for a hint in this game: it enters no best time
extern thread_local bool NoGuessing;    // new games are dealt at their first left release, to be won by logic alone
extern thread_local bool AwaitingDeal;  // no mine is laid yet: the first left release deals the board
extern thread_local std::uint32_t GameSeed;  // the seed the current game was made with
// The current game plays again the board of the game before it (F3): it enters no best time.
extern thread_local bool BoardPlayedAgain;

inline std::size_t CellIndex(std::uint32_t column, std::uint32_t row)
{
    return static_cast<std::size_t>(row) * Columns + column;
}

inline std::uint8_t& CellAt(std::uint32_t column, std::uint32_t row)
{
    return Board[CellIndex(column, row)];
}

inline std::size_t GridSize()
{
    return static_cast<std::size_t>(Rows) * Columns;
}

// Same-row neighbours (columns -2, -1, +1, +2) of the cell at cellIndex whose byte equals value.
int CountInRow(std::uint8_t value, std::size_t cellIndex, std::uint32_t column);

// Neighbours among the twelve around (column, row) whose byte equals value.
// orientation: 0 up-pointing, 1 down-pointing.
int CountNeighbours(std::uint8_t value, std::uint32_t column, std::uint32_t row, std::size_t cellIndex,
                    int orientation);

struct LevelRecord;

// Sets up the board of a level's record, read and checked beforehand, with the generator seeded
// with seed: Rows, Columns, Mines and Board. False when the mines cannot all be placed.
bool BuildBoard(const LevelRecord& record, std::uint32_t seed);

// A new game of a level's record, read and checked beforehand, with nothing of the platform: the
// counters, the state and the board (awaiting its deal with NoGuessing); false when the mines
// cannot all be placed.
bool SetUpGame(const LevelRecord& record, std::uint32_t seed);

// Sets up the board of a level's record with no mine laid yet, every real cell covered, for a deal
// at the first left release; false when the level's mines could not be placed.
bool BuildUndealtBoard(const LevelRecord& record);

// The seed of the new game made at time seconds (since 1970) after gamesBefore others. The clock's
// seconds alone barely move the generator's first draw, so the first mine would stay put for
// minutes and two games in one second would be the same board; mixing the two spreads them.
std::uint32_t NewGameSeed(std::uint32_t seconds, std::uint32_t gamesBefore);

// Builds a new game for LevelIndex with the generator seeded from the current time and GamesStarted;
// with NoGuessing, a board that awaits its deal.
void NewGame(PlatformWindow window);

// The same with a given seed, so that a board can be reproduced.
void NewGameWithSeed(PlatformWindow window, std::uint32_t seed);

// A new game on the board of the game that has just ended: the same mines, every triangle covered
// again, nothing left to deal. It counts among GamesStarted as every new game does.
void PlaySameBoardAgain(PlatformWindow window);
