// What the release that lost a game was, in the solver's words on the position just before it:
// a triangle was certainly safe, or none was and the one released was or was not the least
// likely to hide a mine. H says it after a loss, and kelbo's replay prints it.
#pragma once

#include <string>

#include "game/rules.h"

struct LossExplanation {
    std::string message;         // empty when the current game was not lost by a release
    bool safeCellFound = false;  // the message names a certainly safe triangle: cell
    CellPosition cell{0, 0};     // the safe triangle, else the mine released
};

// A triangle as H and kelbo name it: "COLUMN,ROW".
std::string TriangleName(CellPosition cell);

// The current game's losing release judged on the position before it. A chord names the flag it
// trusted wrongly and the mine it reached first, which is judged as a release of its own.
LossExplanation ExplainLoss();
