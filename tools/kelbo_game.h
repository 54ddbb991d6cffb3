// The seeded games that board, replay, chances and solve play: set up as a new game of the
// program sets them up, played by the game's own rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/rules.h"

struct CommandLine;

// Sets up the game that --seed, or --time with --game, names; the exit code of a failure, or 0.
int StartSeededGame(const CommandLine& line);

// Sets up the game of a level with the generator seeded with seed, the level read from the data
// file as every new game reads it; the exit code of a failure, or 0.
int StartGameOfSeed(int level, std::uint32_t seed);

// Sets up the seeded game and plays the moves after the level on it; the exit code of a failure,
// or 0.
int ReplaySeededGame(const CommandLine& line);

// The moves after the level; false with a message naming the first bad one.
bool ParseMoves(const CommandLine& line, std::vector<Move>& moves, std::string& problem);

// False with a message naming the first move that lies outside the grid of the game set up.
bool MovesInsideGrid(const std::vector<Move>& moves, const std::vector<std::string>& texts, std::string& problem);
