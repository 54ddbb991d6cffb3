// The cell byte. A cell's value v is fixed at set-up: 0 to 12 mines among its twelve
// neighbours, or 15 for a mine. The byte keeps v together with what the player sees:
//   v        uncovered        (0 to 31)
//   v + 32   flagged          (32 to 63)
//   v + 64   question-marked  (64 to 127)
//   v + 128  covered          (128 to 254)
//   255      void: no triangle at this position
// Marks move a cell between the ranges by adding a constant modulo 256, which keeps v.
#pragma once

#include <cstdint>

#include "data/data_file.h"  // kVoidCell and kPlayableCell: the mask bytes are the cells' first bytes

constexpr std::uint8_t kMine = 15;

constexpr std::uint8_t kFlaggedBase = 32;
constexpr std::uint8_t kQuestionBase = 64;
constexpr std::uint8_t kCoveredBase = 128;

constexpr std::uint8_t kCoveredZero = kCoveredBase;              // 128
constexpr std::uint8_t kQuestionedZero = kQuestionBase;          // 64
constexpr std::uint8_t kCoveredMine = kCoveredBase + kMine;      // 143
constexpr std::uint8_t kQuestionedMine = kQuestionBase + kMine;  // 79
constexpr std::uint8_t kFlaggedMine = kFlaggedBase + kMine;      // 47

inline bool IsVoid(std::uint8_t b)
{
    return b == kVoidCell;
}
inline bool IsUncovered(std::uint8_t b)
{
    return b < kFlaggedBase;
}
inline bool IsFlagged(std::uint8_t b)
{
    return b >= kFlaggedBase && b < kQuestionBase;
}
inline bool IsQuestionMarked(std::uint8_t b)
{
    return b >= kQuestionBase && b < kCoveredBase;
}
inline bool IsCovered(std::uint8_t b)
{
    return b >= kCoveredBase && b != kVoidCell;
}

// Covered or question-marked: what still hides its value and blocks a win.
inline bool IsHidden(std::uint8_t b)
{
    return b >= kQuestionBase && b != kVoidCell;
}

// A covered or question-marked zero: uncovering it opens its neighbourhood.
inline bool IsHiddenZero(std::uint8_t b)
{
    return b == kCoveredZero || b == kQuestionedZero;
}

// The value under a covered or question-marked byte.
inline std::uint8_t UncoveredValue(std::uint8_t b)
{
    return static_cast<std::uint8_t>(b >= kCoveredBase ? b - kCoveredBase : b - kQuestionBase);
}

// The value under any byte of a real cell, whatever the player sees of it.
inline std::uint8_t CellValue(std::uint8_t b)
{
    return IsUncovered(b) ? b : IsFlagged(b) ? static_cast<std::uint8_t>(b - kFlaggedBase) : UncoveredValue(b);
}

// Orientation of the cell at (column, row): 0 points up, 1 points down.
inline int CellOrientation(std::uint32_t column, std::uint32_t row)
{
    return static_cast<int>((column + row) & 1u);
}
