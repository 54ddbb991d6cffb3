#include "game/window_size.h"

std::uint32_t HeaderColumns(std::uint32_t columns)
{
    return columns > 0 && columns < kNarrowestHeaderColumns ? kNarrowestHeaderColumns : columns;
}

WindowSize ClientSizeFor(std::uint32_t rows, std::uint32_t columns)
{
    return WindowSize{static_cast<std::int32_t>(HeaderColumns(columns)) * kColumnStep + kClientExtraWidth,
                      static_cast<std::int32_t>(rows) * kRowPitch + kClientExtraHeight};
}

WindowSize WindowSizeFor(std::uint32_t rows, std::uint32_t columns)
{
    const WindowSize client = ClientSizeFor(rows, columns);
    return WindowSize{client.width + kClassicFrameWidth, client.height + kClassicFrameHeight};
}
