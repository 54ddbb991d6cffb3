// The original recursive uncovering, transcribed step by step: row runs, a recursion into the
// rows above and below, and a sweep of the whole board in every call. Too slow and too deep
// for large boards, but plainly right on small ones, so the work-list fill is checked
// against it.
#pragma once

#include <cstdint>

#include "game/platform.h"

void ReferenceUncover(PlatformWindow window, std::uint32_t column, std::uint32_t row);
void ReferenceFloodFill(std::uint32_t column, std::uint32_t row);
std::int32_t ReferenceUncoverRun(std::uint32_t column, std::uint32_t row);
