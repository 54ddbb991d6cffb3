// The seeded games that board, replay, chances and solve play: set up as a new game of the
// program sets them up, played by the game's own rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CommandLine;

struct Move {
    char button;  // 'L' left, 'R' right, 'M' middle release
    std::uint32_t column;
    std::uint32_t row;
};

// Sets up the game that --seed, or --time with --game, names; the exit code of a failure, or 0.
int StartSeededGame(const CommandLine& line);

// Sets up the game of a level with the generator seeded with seed, the level read from the data
// file as every new game reads it; the exit code of a failure, or 0.
int StartGameOfSeed(int level, std::uint32_t seed);

// The moves after the level; false with a message naming the first bad one.
bool ParseMoves(const CommandLine& line, std::vector<Move>& moves, std::string& problem);

// False with a message naming the first move that lies outside the grid of the game set up.
bool MovesInsideGrid(const std::vector<Move>& moves, const std::vector<std::string>& texts, std::string& problem);

// A button released on a cell, as the window applies it.
void ApplyMove(const Move& move);

// The game is over with an uncovered mine.
bool GameWasLost();
