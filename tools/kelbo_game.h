// The seeded games that board, replay, chances and solve play: set up as a new game of the
// program sets them up, played by the game's own rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/rules.h"
#include "solver/deal.h"

struct CommandLine;

// Sets up the game that --seed, or --time with --game, names; the exit code of a failure, or 0.
int StartSeededGame(const CommandLine& line);

// Sets up the game of a level with the generator seeded with seed, the level read from the data
// file as every new game reads it; the exit code of a failure, or 0.
int StartGameOfSeed(int level, std::uint32_t seed);

// Sets up the seeded game and plays the moves after the level on it, a left release dealing the
// board with --no-guess (dealt: what the deal found, NotDealt when none was made); the exit code of a failure,
// or 0.
int ReplaySeededGame(const CommandLine& line, DealOutcome& dealt);

// --first COLUMN,ROW as typed; false with a message.
bool ParseFirst(const std::string& text, CellPosition& cell, std::string& problem);

// The first release must fall on a triangle of the game set up; false with a message.
bool FirstOnTriangle(const CellPosition& cell, const std::string& text, std::string& problem);

// What a deal in the no-guess mode found, as kelbo prints it.
const char* DealText(DealOutcome outcome);

// The moves after the level; false with a message naming the first bad one.
bool ParseMoves(const CommandLine& line, std::vector<Move>& moves, std::string& problem);

// False with a message naming the first move that lies outside the grid of the game set up.
bool MovesInsideGrid(const std::vector<Move>& moves, const std::vector<std::string>& texts, std::string& problem);
