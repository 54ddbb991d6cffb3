#include "ui/input.h"

#include "ui/geometry.h"

PressedCellState PressedCell;

void ClearPressedCell()
{
    PressedCell = PressedCellState{kNoCell, 0, 0};
}
