// Players' own levels: a level's outline as a text picture, a new record built from it, and a
// data file image with one level's record replaced and every other byte kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/file_layout.h"

constexpr std::uint32_t kLargestSide = 255;  // rows and columns are single bytes in the record
constexpr std::uint32_t kLargestMines = 255;
constexpr char kPictureCell = '#';
constexpr char kPictureVoid = '.';

// rows x columns mask bytes, row-major: kPlayableCell or kVoidCell.
struct LevelOutline {
    std::uint32_t rows;
    std::uint32_t columns;
    std::vector<std::uint8_t> cells;
};

struct LevelDefinition {
    std::string title;
    std::uint32_t mines;
    LevelOutline outline;
};

// Reads a picture: one line per row, '#' a triangle, '.' none; a line may end in CR LF.
// False with a message that starts with sourceName and gives the line and column at fault.
bool ParseOutlinePicture(const std::string& text, const std::string& sourceName, LevelOutline& outline,
                         std::string& problem);

// The picture that ParseOutlinePicture reads back, each line ending in '\n'.
std::string OutlinePicture(const LevelOutline& outline);

LevelOutline RectangleOutline(std::uint32_t rows, std::uint32_t columns);

// Why a board of the outline's rows and columns cannot be stored; empty when it can.
std::string SizeProblem(const LevelOutline& outline);

// Whether the level can go into the slot as it stands: sizes, title, mines below the playable
// cells, and no holes where the game reads no outline. pictureName names the picture in the
// message about holes; dataFileName the rest.
bool CheckLevelDefinition(int levelIndex, const LevelDefinition& level, const std::string& pictureName,
                          const std::string& dataFileName, std::string& problem);

// The record of a new level: its sizes, title, an empty best-times table (five "NONAME"
// entries with time 0) and, for shaped levels, its outline.
std::vector<std::uint8_t> NewLevelRecord(int levelIndex, const LevelDefinition& level);

// The record of a level as the default file holds it, default best times included.
std::vector<std::uint8_t> DefaultLevelRecord(int levelIndex);

// The level as the game reads it from a checked file image: levels before the shaped ones are
// full rectangles whatever follows their record.
LevelDefinition ReadLevelDefinition(const std::vector<std::uint8_t>& file, int levelIndex);

// The image with the level's record replaced. The record stays where it is when it fits there
// without reaching into another level's record (or the file ends there); otherwise, and when its
// old offset points nowhere sensible, it goes to the end of the file and the offset table points
// at it there. Every other level's bytes stay as they were.
std::vector<std::uint8_t> ReplaceLevelRecord(const std::vector<std::uint8_t>& file, int levelIndex,
                                             const std::vector<std::uint8_t>& record);
