// Mouse feedback state: which cell, if any, is drawn pressed.
#pragma once

#include <cstdint>

struct PressedCellState {
    std::uint8_t kind;     // kNoCell, kUpCell or kDownCell, as HitTest reports it
    std::uint32_t column;  // meaningful while kind is not kNoCell
    std::uint32_t row;
};

extern PressedCellState PressedCell;

void ClearPressedCell();
